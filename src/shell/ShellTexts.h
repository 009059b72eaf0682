#pragma once
// The player's fixed texts, kept together so the game logic, the widgets and
// the tests spell them the same way, and the clock format used everywhere.

#include <cstdint>
#include <string>

namespace duduri {

inline constexpr const char* kApplicationTitle = "Morvenhal Duduri";

inline constexpr const char* kMsgNoBitmap = "Project doesn't contain any bitmap.";
inline constexpr const char* kMsgInvalidData = "Project doesn't contain valid data.";
inline constexpr const char* kMsgPlaySavedLayout =
    "Project contains saved game data. Play saved game?";
inline constexpr const char* kMsgInvalidPictureIndex = "Invalid picture index.";
inline constexpr const char* kMsgNoMoreImage =
    "No more image to play. Play again from first image?";
inline constexpr const char* kMsgPlayAgain = "Play again?";
inline constexpr const char* kMsgSolveAll = "Solve all pieces?";

inline constexpr const char* kStatusToolbarHidden = "F11 show/hide menu.";

// Result dialog texts.
inline constexpr const char* kWinCaption = "Win";
inline constexpr const char* kWinText = "You Win!";
inline constexpr const char* kAutoSolveText = "Auto solve complete";
inline constexpr const char* kCheatCaption = "Win with cheat";
inline constexpr const char* kCheatTextPrefix = "You win but you cheat ";
inline constexpr const char* kWinSecondLine = "Time to complete puzzle: ";
inline constexpr const char* kLoseCaption = "Lose";
inline constexpr const char* kLoseText = "You Lose!";
inline constexpr const char* kLoseSecondLine = "Your estimated time to solve:";

inline constexpr const char* kHighScoreFile = "highscorefile.dat";
inline constexpr const char* kHelpFile = "deridededo.hlp";

// "%.2d:%.2d:%.2d" of hours, minutes and seconds. Negative values show as
// 00:00:00 (a time-trial counter never shows below zero); hours are not cut
// at 99, so a long game still reads right.
std::string FormatClock(std::int64_t seconds);

}  // namespace duduri
