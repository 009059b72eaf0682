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

// Saved games.
inline constexpr const char* kTitleOpenGame = "Open Duduri Saved Data";
inline constexpr const char* kTitleSaveGame = "Save Duduri Data";
inline constexpr const char* kFilterSavedGame = "Duduri Saved Data (*.jsw)|*.jsw";
inline constexpr const char* kSavedGameExt = "jsw";
inline constexpr const char* kMsgGameSavedPrefix = "Game is successfully saved into file ";
inline constexpr const char* kMsgUnableToSaveGame = "Unable to save game";
inline constexpr const char* kMsgWriteStreamError = "Write Stream Error";
// "File " + name + " not found."
std::string SavedGameNotFoundText(const std::string& name);
// The message for a saved game whose picture is not in the project.
std::string SavedGameForeignText(const std::string& name);
// The warning that offers to re-save a file of an older format.
std::string SavedGameOldFormatText(const std::string& name);

// Pictures.
inline constexpr const char* kTitleSavePicture = "Save Picture";
inline constexpr const char* kFilterSavePicture =
    "Windows Bitmap (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|";
inline constexpr const char* kMsgPictureSavedPrefix = "Picture successfully saved into file ";
inline constexpr const char* kMsgUnableToSavePicture = "Unable to save picture";

// New executables.
inline constexpr const char* kTitleOpenImage = "Open Image";
inline constexpr const char* kFilterOpenImage =
    "Windows Bitmap (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|GIF Image (*.gif)|*.gif|"
    "Other Pictures (*.png *.webp *.jpeg)|*.png;*.webp;*.jpeg";
inline constexpr const char* kTitleSaveExecutable = "Save Executable Output As";
inline constexpr const char* kFilterExecutable = "Windows Executable (*.exe)|*.exe";
inline constexpr const char* kMsgExecutableCreatedSuffix = " is created successfuly.";

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
