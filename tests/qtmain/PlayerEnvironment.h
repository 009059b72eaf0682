// The environment a Qt test starts the player's window with: the program
// and its high scores in the test's folder, a fixed seed.

#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>

#include "shell/GameFlow.h"

namespace duduri::test {

inline TShellEnvironment PlayerEnvironment(const QString& folder, const QStringList& args,
                                           std::uint64_t seed = 3) {
  TShellEnvironment env;
  for (const QString& a : args) env.Args.push_back(a.toStdString());
  env.ExeDir = folder.toStdString();
  env.ExePath = env.ExeDir / "duduri";
  env.HighScorePath = env.ExeDir / "highscorefile.dat";
  env.Seed = seed;
  return env;
}

}  // namespace duduri::test
