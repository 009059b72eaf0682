#pragma once
// The command codes of the action dispatcher (TGameFlow::ActionDispatch).
// Menus, skin buttons, banners, HTML pages and event scripts all name a
// command by its code and may pass a parameter; a code the dispatcher does
// not know does nothing. Code 18 is no command: as the first item of the win
// script it asks for the standard win behaviour.

#include <cstdint>

namespace duduri {

enum TCommandCode : std::int32_t {
  ccOpenGame = 1,
  ccSaveGame = 2,
  ccExit = 3,
  ccHelp = 4,
  ccAbout = 5,
  ccShowPicture = 6,
  ccSolveAll = 7,
  ccSound = 8,
  ccSelectSkin = 9,
  ccSolveOnePiece = 10,
  ccRunHidden = 11,
  ccHighScores = 12,
  ccHtmlPage = 13,
  ccPlayPicture = 14,
  ccNewGame = 15,
  ccExitNoConfirm = 16,
  ccOpenDocument = 17,
  ccWinStandard = 18,
  ccSolveAllNoAsk = 19,
  ccClock = 20,
  ccSavePicture = 21,
  ccMakeExe = 22,
  ccDifficulty = 23,
  ccPause = 24,
  ccSelectAll = 25,
  ccDeselectAll = 26,
};

}  // namespace duduri
