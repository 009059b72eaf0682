// The commands that are a dialog and what follows it: select skin, change
// difficulty, the high-score table, play picture.

#include <bit>
#include <cstring>

#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri {

void TGameFlow::SelectSkin() {
  if (!project_) return;
  TDialogScope pause(*this, TDialogScope::kMusicPlays);
  const std::optional<int> chosen = services_.SelectSkin(*project_, skinId_);
  if (!chosen || *chosen == skinId_ || !project_) return;
  // Only a skin the project has can be worn.
  if (*chosen < 0 || *chosen >= int(project_->Skins.size())) return;
  skinId_ = *chosen;
  project_->CurrentSkinIndex = skinId_;
  if (!seams_.Style().LayoutStyle(*project_, kStyleSkinned, skinId_)) {
    // A skin that is no skinned window: the plain window, as a game gets it.
    view_.SetBannerStripVisible(seams_.Style().ShowBanners(*project_, 0));
    view_.LayoutWorkArea();
  }
  if (!board_) return;
  // The new skin may give the play area another size: the board lays its
  // backdrop out again on it. What the backdrop is does not change.
  const TSpriteDrawParam param = backgroundParam();
  IPlayArea& area = view_.PlayArea();
  board_->SetBackground(param, area.ClientWidth(), area.ClientHeight());
  if (board_->GamePaused()) {
    board_->ShowBackgroundOnly();
    board_->Publish();
  } else {
    board_->Redraw(true);
  }
}

void TGameFlow::ShowHighScoreTable() {
  TDialogScope pause(*this, TDialogScope::kMusicPlays);
  services_.ShowHighScores(highScores_, scoreLevel_, pieceScaleFactor_);
}

void TGameFlow::PlayPicture(const TScriptParameter& parameter) {
  if (!project_ || parameter.Count() == 0) return;
  const TScriptParam& value = parameter.Get(0);
  // A number is a 4-byte integer; anything else names no position.
  if (value.Kind != kParamInteger || value.Data.size() != 4) return;
  std::uint32_t raw = 0;
  for (int k = 3; k >= 0; --k) raw = raw << 8 | std::uint32_t(value.Data[std::size_t(k)]);
  const std::int32_t position = std::bit_cast<std::int32_t>(raw);
  stopCurrentGame();
  const int index = pictureIndexOfPlayEntry(position);
  if (index < 0) {
    // The game that was stopped stays stopped: the player chooses what next.
    services_.MessageBox(kMsgInvalidPictureIndex, TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  }
  // Only a position that names a picture becomes the sequence's place:
  // the next picture is counted on from it.
  playPosition_ = position;
  view_.HideWindow();
  currentPictureIndex_ = index;
  buildGame(nullptr);
  if (terminated_) return;
  if (seams_.Pages().PageVisible() && !runningStartScript_) seams_.Pages().HidePage();
  closeHtmlPage_ = true;
  view_.ShowWindow();
}

void TGameFlow::ChangeDifficulty() {
  if (!project_) return;
  bool ran = false;
  if (board_ && !board_->GamePaused() && !gameOver_) {
    // Paused openly: the player sees the game stop while choosing.
    board_->SetSilentPause(false);
    board_->TogglePause();
    ran = true;
  }
  TPicturePieceRange* own = project_->FindPieceCountRange(currentPictureId_);
  TPieceRange current{project_->PieceRangeMin, project_->PieceRangeMax};
  if (own) current = TPieceRange{own->MinPieces, own->MaxPieces};
  const std::optional<TPieceRange> chosen = services_.ChangeDifficulty(current);
  if (!chosen || !project_) {
    if (ran && board_ && board_->GamePaused()) board_->TogglePause();
    return;
  }
  project_->PieceRangeMin = chosen->Min;
  project_->PieceRangeMax = chosen->Max;
  if ((own = project_->FindPieceCountRange(currentPictureId_))) {
    own->MinPieces = chosen->Min;
    own->MaxPieces = chosen->Max;
  }
  stopCurrentGame();
  startGame();  // the same picture, cut again for the new range
}

}  // namespace duduri
