#pragma once
// IShellServices: every modal dialog, message box and file dialog the game
// logic shows, as one small interface. The Qt window implements it with real
// dialogs; tests implement it with scripted answers, so no person has to
// press a button. Each call returns only when the dialog is closed.
//
// The modeless windows that come and go with a game (the progress window
// while sprites are made, the splash at start-up) are here as well, so a
// test sees them open and close.

#include <cstdint>
#include <optional>
#include <string>

#include "raster/Bitmap32.h"
#include "shell/PieceCountRule.h"

namespace duduri {

class TJigsawProject2;
class THighScore;

enum class TMsgKind { mkWarning, mkError, mkInformation, mkConfirmation };
enum class TMsgButtons { mbOK, mbYesNo };
enum class TModalResult { mrNone, mrOk, mrCancel, mrYes, mrNo };

// The result dialog (TfrmWin) as the win and lose flows fill it.
struct TResultDialogText {
  std::string Caption;
  std::string LargeText;
  int LargeTextPoints = 36;  // 0: the size the dialog was laid out with
  std::string SecondLine;
  std::string ClockText;
};

// The about box: the standard box with its texts, or a picture without
// border at the picture's size. `Centre` asks for the box to be centred on
// the given screen rectangle instead of the screen.
struct TAboutRequest {
  const TBitmap32* Picture = nullptr;  // nullptr: the standard box
  bool Centre = false;
  TRect Over;
};

struct TFileDialogRequest {
  std::string Title;
  std::string Filter;   // "Caption|*.ext|Caption|*.ext"
  int FilterIndex = 1;  // 1-based
  // Added (with a dot) to a name typed without extension; empty: the name
  // is taken as typed.
  std::string DefaultExt;
};

struct TFileDialogResult {
  bool Chosen = false;
  std::string FileName;
  int FilterIndex = 1;
};

class IShellServices {
 public:
  virtual ~IShellServices() = default;

  virtual TModalResult MessageBox(const std::string& text, TMsgKind kind, TMsgButtons buttons) = 0;

  // TfrmWin, closed by OK.
  virtual void ShowResult(const TResultDialogText& text) = 0;
  // TfrmPlayAgain: mrOk "Play Again", anything else "Stop".
  virtual TModalResult PlayAgain() = 0;
  // TfrmNextBitmap: mrOk "Play Next Bitmap", mrYes "Play Current Bitmap",
  // anything else "Stop".
  virtual TModalResult NextPicture() = 0;
  // TfrmChooseBitmap: the chosen index into the project's picture list.
  virtual int ChoosePicture(const TJigsawProject2& project) = 0;
  // TfmHighScore for one score level (scale is passed along, not shown).
  virtual void ShowHighScores(const THighScore& scores, int level, float scale) = 0;
  // TfmBestTopTen: the edit box's text, however the dialog was closed.
  virtual std::string NameEntry() = 0;
  // TfrmAbout, modal.
  virtual void ShowAbout(const TAboutRequest& request) = 0;

  virtual TFileDialogResult OpenFile(const TFileDialogRequest& request) = 0;
  // Asks before replacing an existing file.
  virtual TFileDialogResult SaveFile(const TFileDialogRequest& request) = 0;

  // TfrmSelectSkin over the project's skins with `currentSkinId` selected:
  // the chosen skin id (a position in the skin list) on "Ok", nothing on
  // "Cancel". Services without the dialog answer Cancel.
  virtual std::optional<int> SelectSkin(const TJigsawProject2& /*project*/, int /*currentSkinId*/) {
    return std::nullopt;
  }
  // TfrmDifficulty opened on `current`: the range of the chosen line on
  // "Ok", nothing on "Cancel". Services without the dialog answer Cancel.
  virtual std::optional<TPieceRange> ChangeDifficulty(TPieceRange /*current*/) {
    return std::nullopt;
  }

  // The splash: the about box without border showing `picture`, modeless,
  // until HideSplash.
  virtual void ShowSplash(const TBitmap32& picture) = 0;
  virtual void HideSplash() = 0;
  // TfrmProgressInfo, modeless while the sprites are made.
  virtual void BeginProgress() = 0;
  virtual void Progress(int position, int maximum) = 0;
  virtual void EndProgress() = 0;
};

}  // namespace duduri
