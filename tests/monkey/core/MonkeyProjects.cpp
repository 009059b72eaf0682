#include "MonkeyProjects.h"

#include <memory>

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/Commands.h"
#include "shell/TestProject.h"

namespace duduri::monkey {

namespace {

using test::TTestProjectOptions;

// Skins of three colours; the first is a skinned window with its own board
// area, the others plain windows.
void addSkins(TJigsawProject2& p, bool skinnedWindow) {
  for (int i = 0; i < 3; ++i) {
    TSkinEntry& skin = p.NewSkinEntry();
    TBitmap32 picture;
    picture.SetSize(560, 420);
    picture.Clear(0xFF204060 + TColor32(i * 40));
    skin.Image = EncodeBmp(picture, 24);
    if (i == 0 && skinnedWindow) {
      skin.Kind = kStyleSkinned;
      skin.BoardArea = {20, 20, 520, 380};
    }
  }
  if (skinnedWindow) p.WindowStyle = kStyleSkinned;
}

// A toolbar and a popup menu that carry every command between them.
std::vector<std::pair<std::string, std::int32_t>> everyCommand(int from, int to) {
  std::vector<std::pair<std::string, std::int32_t>> items;
  for (int code = from; code <= to; ++code) {
    // The ones that hand a file to the desktop are left out: the Qt hands
    // would really open them.
    if (code == ccRunHidden || code == ccOpenDocument || code == ccHtmlPage) continue;
    items.push_back({"command " + std::to_string(code), code});
  }
  return items;
}

std::vector<TMonkeyProject> makeAll() {
  struct TEntry {
    std::string name;
    TTestProjectOptions options;
  };
  std::vector<TEntry> entries;
  entries.push_back({"sequence of three", {.Pictures = 3}});
  entries.push_back({"one picture, player's choice", {.Pictures = 1, .Choice = kChoicePlayer}});
  entries.push_back({"player's choice of three", {.Pictures = 3, .Choice = kChoicePlayer}});
  entries.push_back({"time trial, random",
                     {.Pictures = 3, .Choice = kChoiceRandom, .TimeTrial = true,
                      .TimeTrialTicks = 25}});
  entries.push_back({"short time trial",
                     {.Pictures = 2, .TimeTrial = true, .TimeTrialTicks = 4, .NoRotation = true}});
  entries.push_back({"no rotation, menus, table shown",
                     {.Pictures = 2,
                      .NoRotation = true,
                      .ShowTable = true,
                      .Toolbar = everyCommand(1, 13),
                      .Popup = everyCommand(14, 26)}});
  entries.push_back(
      {"play again script, random", {.Pictures = 2, .Choice = kChoiceRandom, .WinScriptCode = 18}});
  entries.push_back({"new-game win script", {.Pictures = 2, .WinScriptCode = ccNewGame}});
  entries.push_back({"no high scores, splash", {.Pictures = 2, .NoHighScores = true, .Splash = true}});
  entries.push_back({"default range 25..50", {.Pictures = 1, .RangeMin = 25, .RangeMax = 50,
                                              .PictureRanges = false}});
  entries.push_back({"skins",
                     {.Pictures = 2,
                      .Toolbar = {{"Skin", ccSelectSkin}, {"Pause", ccPause}},
                      .Edit = [](TJigsawProject2& p) { addSkins(p, false); }}});
  entries.push_back({"skinned window",
                     {.Pictures = 2, .Edit = [](TJigsawProject2& p) { addSkins(p, true); }}});
  entries.push_back({"full screen", {.Pictures = 2, .Edit = [](TJigsawProject2& p) {
                                       p.WindowStyle = kStyleFullScreen;
                                     }}});

  std::vector<TMonkeyProject> all;
  for (TEntry& e : entries) {
    // Kept for the process: the projects point at them.
    static std::vector<std::unique_ptr<TBytes>> packages;
    packages.push_back(std::make_unique<TBytes>(test::MakeTestPackage(e.options)));
    all.push_back({e.name, packages.back().get()});
  }
  return all;
}

}  // namespace

const std::vector<TMonkeyProject>& MonkeyProjects() {
  static const std::vector<TMonkeyProject> all = makeAll();
  return all;
}

}  // namespace duduri::monkey
