// The end of a game: the win flow (score level, high-score entry, win script
// or result dialog, next picture) and the lose flow.

#include "shell/GameFlow.h"
#include "shell/PieceCountRule.h"
#include "shell/ShellTexts.h"

namespace duduri {

bool TGameFlow::hasWinScript() const {
  const TActionItem& script = project_->WinScript;
  if (script.ScriptCount() == 0) return false;
  const std::int32_t code = script.ScriptItem(0).Code;
  return code != 0 && code != ccWinStandard;
}

std::optional<int> TGameFlow::wonGameScoreLevel() const {
  std::optional<TPieceRange> own;
  if (const TPicturePieceRange* r = project_->FindPieceCountRange(currentPictureId_)) {
    own = TPieceRange{r->MinPieces, r->MaxPieces};
  }
  return WonGameScoreLevel(project_->PieceRangeMin, own);
}

void TGameFlow::winFlow() {
  if (winHandled_ || !board_ || !project_) return;
  winHandled_ = true;
  gameOver_ = true;
  // The board may be replaced by anything below; keep what the flow reads.
  const int ticks = board_->Ticks();
  const bool clockShown = board_->EnabledTimer();
  const int total = board_->PiecesTotal();

  seams_.Sound().StopSystemSound();
  stopBackgroundMusic();
  playEvent(6);
  // A solve-all joins its pieces without reporting each one.
  updatePieceStatus();
  view_.SetStatusText(2, "");

  if (cheatCount_ == 0) highScoreEntry(ticks);
  if (terminated_ || !project_) return;

  if (hasWinScript()) {
    project_->WinScript.Run();
    cheatCount_ = 0;
    return;
  }

  TResultDialogText text;
  text.SecondLine = kWinSecondLine;
  text.ClockText = clockShown ? FormatClock(ticks) : "";
  if (cheatCount_ == 0) {
    text.Caption = kWinCaption;
    text.LargeText = kWinText;
    text.LargeTextPoints = 36;
  } else if (cheatCount_ == total) {
    text.Caption = kAutoSolveText;
    text.LargeText = kAutoSolveText;
    text.LargeTextPoints = 20;
  } else {
    text.Caption = kCheatCaption;
    text.LargeText = kCheatTextPrefix + std::to_string(cheatCount_) + "X";
    text.LargeTextPoints = 16;
  }
  services_.ShowResult(text);
  if (!project_->HighScoresDisabled()) {
    services_.ShowHighScores(highScores_, scoreLevel_, pieceScaleFactor_);
  }
  cheatCount_ = 0;

  if (project_->PictureChoice == kChoiceSequence) {
    if (playPosition_ >= 0 && playPosition_ < int(playList_.size()) - 1) {
      switch (services_.NextPicture()) {
        case TModalResult::mrOk:
          ++playPosition_;
          NewGame();
          break;
        case TModalResult::mrYes:
          NewGame();
          break;
        default:
          playPosition_ = 0;
          stopAndClose();
          break;
      }
    } else {
      playAgainQuestion(kMsgNoMoreImage);
    }
    return;
  }
  const TActionItem& script = project_->WinScript;
  if (script.ScriptCount() > 0 && script.ScriptItem(0).Code == ccWinStandard) {
    playAgainQuestion(kMsgPlayAgain);
  }
}

void TGameFlow::highScoreEntry(int ticks) {
  const std::optional<int> level = wonGameScoreLevel();
  scoreLevel_ = level.value_or(0);
  if (!level) return;
  if (!highScores_.Qualifies(*level, ticks).Qualifies || project_->HighScoresDisabled()) return;
  std::string name;
  if (project_->HighscoreOptions.EntryPage != 0) {
    // The entry page may be closed without a name: then there is no entry.
    std::optional<std::string> entered = htmlEntryPage();
    if (!entered) return;
    name = std::move(*entered);
  } else {
    name = services_.NameEntry();
  }
  highScores_.Add({name, ticks, std::uint8_t(*level)});
  if (project_->HighscoreOptions.ShowTable != 0) {
    services_.ShowHighScores(highScores_, *level, pieceScaleFactor_);
  }
}

void TGameFlow::playAgainQuestion(const char* question) {
  if (services_.MessageBox(question, TMsgKind::mkConfirmation, TMsgButtons::mbYesNo) ==
      TModalResult::mrYes) {
    playPosition_ = 0;
    NewGame();
  } else {
    playPosition_ = 0;
    stopAndClose();
  }
}

void TGameFlow::stopAndClose() {
  clearPlayArea();
  closeWithoutAsking_ = true;
  view_.CloseWindow();
}

void TGameFlow::loseFlow() {
  // A time trial that was won stays won: its clock starts again when the
  // game is paused and resumed, and can run down over the finished picture.
  if (!board_ || !project_ || winHandled_) return;
  gameOver_ = true;
  stopBackgroundMusic();
  playEvent(5);
  TResultDialogText text;
  text.Caption = kLoseCaption;
  text.LargeText = kLoseText;
  text.LargeTextPoints = 0;
  text.SecondLine = kLoseSecondLine;
  text.ClockText = FormatClock(clockStart_);
  services_.ShowResult(text);
  seams_.Sound().StopSystemSound();
  view_.SetStatusText(2, "");
  if (services_.PlayAgain() == TModalResult::mrOk) {
    NewGame();
  } else {
    stopAndClose();
  }
}

}  // namespace duduri
