// The action dispatcher and the commands that are more than a call into the
// board. Every command, from a menu, a key, a board hook or a script, comes
// through ActionDispatch.

#include "raster/Picture.h"
#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri {

void TGameFlow::ActionDispatch(void* sender, std::int32_t code, const TScriptParameter& parameter) {
  // A command that arrives while a game is being built (input processed
  // from the progress callback) would rebuild the game under the build.
  if (terminated_ || building_) return;
  // The exit script runs while the window is being destroyed: a new game or
  // a close then has nothing left to act on.
  if (destroyed_ && (code == ccExit || code == ccExitNoConfirm || code == ccNewGame)) return;
  guarded([&] { runCommand(sender, code, parameter); });
  if (seams_.Pages().PageVisible() && closeHtmlPage_) seams_.Pages().ClosePageOk();
}

void TGameFlow::runCommand(void* sender, std::int32_t code, const TScriptParameter& parameter) {
  switch (code) {
    case ccOpenGame:
      tbxOpenFromProjectClick(sender);
      break;
    case ccSaveGame:
      tbxSaveClick(sender);
      break;
    case ccExit:
      tbxExitClick(sender);
      break;
    case ccHelp:
      tbxHelpContentClick(sender);
      break;
    case ccAbout:
      tbxAboutClick(sender);
      break;
    case ccShowPicture:
      TBXShowClick(sender);
      break;
    case ccSolveAll:
      tbxAutoSolveClick(sender);
      break;
    case ccSound:
      tbxSoundClick(sender);
      break;
    case ccSelectSkin:
      SelectSkin();
      break;
    case ccSolveOnePiece:
      tbxOnePieceSolveClick(sender);
      break;
    case ccRunHidden:
      RunHidden(parameter);
      break;
    case ccHighScores:
      ShowHighScoreTable();
      break;
    case ccHtmlPage:
      ShowHtmlPage(parameter);
      break;
    case ccPlayPicture:
      PlayPicture(parameter);
      break;
    case ccNewGame:
      NewGame();
      break;
    case ccExitNoConfirm:
      ExitApplicationNoConfirm(sender);
      break;
    case ccOpenDocument:
      OpenDocument(parameter);
      break;
    case ccSolveAllNoAsk:
      tbxAutoSolveNoConfirmClick(sender);
      break;
    case ccClock:
      ToggleClock(sender);
      break;
    case ccSavePicture:
      SavePicture();
      break;
    case ccMakeExe:
      MakeExecutable();
      break;
    case ccDifficulty:
      ChangeDifficulty();
      break;
    case ccPause:
      TogglePause(sender);
      break;
    case ccSelectAll:
      SelectAllPieces();
      break;
    case ccDeselectAll:
      DeselectAllPieces();
      break;
    default:
      break;
  }
}

void TGameFlow::tbxExitClick(void* /*sender*/) {
  closeWithoutAsking_ = false;
  exitRequested_ = true;
  view_.CloseWindow();
}

void TGameFlow::ExitApplicationNoConfirm(void* /*sender*/) {
  closeWithoutAsking_ = true;
  exitRequested_ = true;
  view_.CloseWindow();
}

void TGameFlow::tbxAboutClick(void* /*sender*/) {
  TDialogScope pause(*this, TDialogScope::kMusicPlays);
  TAboutRequest request;
  TBitmap32 picture;
  if (project_ && !project_->AboutPicture.empty()) {
    // An about picture that does not decode leaves the standard box.
    try {
      picture.Assign(DecodeJpeg(project_->AboutPicture));
    } catch (const EDuduriError&) {
      picture.SetSize(0, 0);
    }
  }
  if (!picture.Empty()) request.Picture = &picture;
  // Over a skinned window the box sits in the middle of the skin, which is
  // where the window shows anything at all.
  if (project_ && skinId_ >= 0 && skinId_ < int(project_->Skins.size())) {
    try {
      const TPictureSize skin = ReadPictureSize(project_->Skins[std::size_t(skinId_)].Image);
      const TRect window = view_.WindowBounds();
      request.Centre = true;
      request.Over =
          TRect{window.Left, window.Top, window.Left + skin.Width, window.Top + skin.Height};
    } catch (const EDuduriError&) {
      request.Centre = false;  // a skin without a readable picture: the screen's centre
    }
  }
  services_.ShowAbout(request);
  if (request.Picture) closeHtmlPage_ = false;
}

void TGameFlow::TBXShowClick(void* /*sender*/) {
  if (!board_) return;
  if (view_.SolutionVisible()) {
    view_.HideSolution();
  } else {
    view_.ShowSolution(board_->SolutionBitmap());
  }
}

void TGameFlow::tbxAutoSolveClick(void* /*sender*/) {
  if (!board_) return;
  // Set first: the answer does not matter, and a solve that ends at once
  // must already count as one.
  cheatCount_ = board_->PiecesTotal();
  // The board would ask with its clock running, and the time spent reading
  // the question would count as playing time. Ask here, paused, where the
  // board would ask (it asks nothing when paused or finished).
  if (board_->GamePaused() || board_->Finished() || board_->PiecesTotal() == 0) return;
  bool solve = false;
  {
    TDialogScope pause(*this, TDialogScope::kMusicPlays);
    solve = platform_.AskYesNo(kMsgSolveAll);
  }
  if (solve && board_) board_->SolveAll(false);
}

void TGameFlow::tbxAutoSolveNoConfirmClick(void* /*sender*/) {
  if (!board_) return;
  cheatCount_ = board_->PiecesTotal();
  board_->SolveAll(false);
}

void TGameFlow::tbxOnePieceSolveClick(void* /*sender*/) {
  if (!board_) return;
  ++cheatCount_;
  board_->SolveOnePiece();
}

void TGameFlow::ToggleClock(void* sender) {
  if (!board_) return;
  board_->SetEnabledTimer(!board_->EnabledTimer());
  view_.SetMenuItemChecked(sender, !board_->EnabledTimer());
}

void TGameFlow::TogglePause(void* sender) {
  if (!board_) return;
  board_->SetSilentPause(false);
  board_->TogglePause();
  view_.SetMenuItemChecked(sender, board_->GamePaused());
}

void TGameFlow::SelectAllPieces() {
  if (!board_) return;
  board_->SelectAll();
  board_->Redraw(true);
}

void TGameFlow::DeselectAllPieces() {
  if (!board_) return;
  board_->DeselectAll();
  board_->Redraw(true);
}

}  // namespace duduri
