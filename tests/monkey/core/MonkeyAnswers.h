#pragma once
// The monkey's random source, and its answers to everything the program
// asks: message boxes, the board's question, file dialogs (files of every
// sort in the run's own folder: saved games old, new, cut short and broken,
// pictures, folders, names in folders that do not exist), the skin and
// difficulty dialogs, the end-of-game dialogs, the player's name.
//
// Every answer comes from the one seeded generator, in the order the
// program asks, so a seed plays the same run again.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "shell/PieceCountRule.h"
#include "shell/ShellServices.h"

namespace duduri::monkey {

class TMonkeyRandom {
 public:
  explicit TMonkeyRandom(std::uint64_t seed) : engine_(seed) {}
  // 0 .. n - 1 (0 for n <= 0).
  int Below(int n) {
    if (n <= 0) return 0;
    return int(engine_() % std::uint64_t(n));
  }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  std::uint64_t Next() { return engine_(); }
  // An index into `weights`, each chosen in proportion to its weight.
  int Weighted(std::initializer_list<int> weights);

 private:
  std::mt19937_64 engine_;
};

class TMonkeyAnswers {
 public:
  // `folder` is the run's own folder; the files the dialogs offer are made
  // there. `tame` leaves out answers a real file dialog cannot give (a
  // folder as a file name).
  TMonkeyAnswers(TMonkeyRandom& random, std::filesystem::path folder, bool tame = false);

  const std::filesystem::path& Folder() const { return folder_; }
  // The executable the program runs as (a stand-in player image).
  std::filesystem::path PlayerFile() const { return folder_ / "duduri"; }

  TModalResult Message(const std::string& text, TMsgButtons buttons);
  bool SolveAll();
  TFileDialogResult OpenFile(const std::string& title);
  TFileDialogResult SaveFile(const std::string& title);
  std::optional<int> Skin(int count);
  std::optional<TPieceRange> Difficulty();
  TModalResult PlayAgain();
  TModalResult NextPicture();
  int Picture(int count);
  std::string Name();
  // A file dropped on the window to play (a picture, a project, anything).
  std::filesystem::path DroppedFile();
  // The result dialog was shown with this caption.
  void Result(const std::string& caption);

  // Every message box text, in order (cleared by the checks).
  std::vector<std::string> Messages;
  // Told of every result dialog.
  std::function<void(const std::string& caption)> OnResult;

 private:
  std::filesystem::path savedGame();
  std::filesystem::path derivedGame(bool old);
  TFileDialogResult chosen(const std::filesystem::path& path, int filter);

  TMonkeyRandom& random_;
  std::filesystem::path folder_;
  bool tame_;
};

}  // namespace duduri::monkey
