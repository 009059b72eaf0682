#pragma once
// The projects the monkey plays: small test projects that between them use
// every way a game is chosen, timed, won and scored, menus carrying every
// command, skins, a stored start layout, a splash, and the high scores on
// and off. Packages are made once per process and shared by every seed.

#include <string>
#include <vector>

#include "project/ByteStream.h"

namespace duduri::monkey {

struct TMonkeyProject {
  std::string Name;
  const TBytes* Package = nullptr;
};

// All of them, in a fixed order (a seed picks by index).
const std::vector<TMonkeyProject>& MonkeyProjects();

}  // namespace duduri::monkey
