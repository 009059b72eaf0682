#pragma once
// Small puzzle projects for the shell and player tests, built in memory:
// painted pictures, the bundled master template set, and whatever settings
// a test asks for.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "project/ByteStream.h"
#include "project/ProjectRecords.h"

namespace duduri {
class TJigsawProject2;
}

namespace duduri::test {

struct TTestProjectOptions {
  int Pictures = 3;
  std::uint8_t Choice = kChoiceSequence;
  std::int32_t RangeMin = 0;  // the project's default range and every picture's
  std::int32_t RangeMax = 24;
  bool PictureRanges = true;  // keep the per-picture range records
  bool TimeTrial = false;
  std::int32_t TimeTrialTicks = 0;
  bool NoRotation = false;
  bool NoHighScores = false;
  bool ShowTable = false;
  std::int32_t WinScriptCode = -1;               // -1: no win script
  std::optional<TStoredGameLayout> Layout = {};  // a stored game layout
  bool Splash = false;
  std::int32_t BackgroundOnly = 0;  // > 0: only that many backgrounds, no pictures
  // Menu records: top-level items of menu 0 and 1 (caption, code).
  std::vector<std::pair<std::string, std::int32_t>> Toolbar = {};
  std::vector<std::pair<std::string, std::int32_t>> Popup = {};
  // Last changes to the project before it is written (skins, banners...).
  std::function<void(TJigsawProject2&)> Edit = {};
};

// A w x h JPEG with a few shapes, different per seed.
TBytes PaintedJpeg(int w, int h, int seed);
// The bundled master template set (real jigsaw edges).
std::filesystem::path MasterTemplates();
TBytes MakeTestPackage(const TTestProjectOptions& options);

}  // namespace duduri::test
