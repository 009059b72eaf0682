// The commands that read and write files: open and save a game, save the
// picture, make a new executable.

#include <system_error>

#include "board/JigsawFile.h"
#include "pieces/SpriteCreator.h"
#include "raster/Picture.h"
#include "shell/ExeWriter.h"
#include "shell/FileWriting.h"
#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"
#include "shell/UserPictures.h"

namespace duduri {

namespace {

// The quality the JPEG library uses when it is given none.
constexpr int kJpegLibraryDefaultQuality = 75;

}  // namespace

// ---- Open saved game ---------------------------------------------------------------

void TGameFlow::tbxOpenFromProjectClick(void* /*sender*/) {
  if (!project_) return;
  TDialogScope scope(*this, TDialogScope::kMusicStops);
  try {
    openSavedGame(scope);
  } catch (const std::exception&) {
    // A file that does not read as a saved game is simply not opened; the
    // game that was being played goes on.
  }
}

void TGameFlow::openSavedGame(TDialogScope& scope) {
  const TFileDialogResult chosen = services_.OpenFile({kTitleOpenGame, kFilterSavedGame, 1, ""});
  if (!chosen.Chosen) {
    closeHtmlPage_ = false;
    return;
  }
  const std::string& name = chosen.FileName;
  std::error_code ec;
  if (!std::filesystem::exists(name, ec)) {
    services_.MessageBox(SavedGameNotFoundText(name), TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  }
  if (chosen.FilterIndex != 1) return;
  closeHtmlPage_ = true;

  TJigsawFile file;
  file.LoadFromFile(name);
  int index = -1;
  for (std::size_t i = 0; i < project_->Pictures.size() && index < 0; ++i) {
    if (IsPictureId(file.PictureId) && project_->Pictures[i].ID == file.PictureId) index = int(i);
  }
  auto foreign = [&] {
    services_.MessageBox(SavedGameForeignText(name), TMsgKind::mkError, TMsgButtons::mbOK);
    if (seams_.Pages().PageVisible()) {
      closeHtmlPage_ = false;
      seams_.Pages().FocusPage();
    }
  };
  if (index < 0) {
    foreign();
    return;
  }

  // What building the saved game changes before the sprite creator can
  // find that its pieces do not fit the picture any more (another template
  // set, another play-area size): a refused game leaves the one before it.
  const int oldIndex = currentPictureIndex_;
  const std::int32_t oldId = currentPictureId_;
  TBitmap32 oldPicture;
  oldPicture.Assign(currentPicture_);
  const int oldScoreLevel = scoreLevel_;
  const TPieceRange oldDefault{project_->PieceRangeMin, project_->PieceRangeMax};
  std::optional<TPieceRange> oldOwn;
  if (const TPicturePieceRange* r = project_->FindPieceCountRange(file.PictureId)) {
    oldOwn = TPieceRange{r->MinPieces, r->MaxPieces};
  }

  view_.HideWindow();
  // However the build ends, the window comes back (unless the program is
  // ending).
  struct TShowAgain {
    TGameFlow& flow;
    ~TShowAgain() {
      if (!flow.terminated_) flow.view_.ShowWindow();
    }
  } showAgain{*this};
  stopCurrentGame();
  currentPictureIndex_ = index;
  const int games = gamesBuilt_;
  try {
    buildGame(&file);
  } catch (const ESpriteCreatorError&) {
    currentPictureIndex_ = oldIndex;
    currentPictureId_ = oldId;
    currentPicture_.Assign(oldPicture);
    scoreLevel_ = oldScoreLevel;
    project_->PieceRangeMin = oldDefault.Min;
    project_->PieceRangeMax = oldDefault.Max;
    if (TPicturePieceRange* r = project_->FindPieceCountRange(file.PictureId); r && oldOwn) {
      r->MinPieces = oldOwn->Min;
      r->MaxPieces = oldOwn->Max;
    }
    view_.ShowWindow();
    foreign();
    return;
  }
  if (terminated_) return;
  view_.ShowWindow();
  if (gamesBuilt_ == games) return;
  scope.KeepPaused();
  cheatCount_ = file.CheatCount;
  if (oldFormatGame_ && services_.MessageBox(SavedGameOldFormatText(name), TMsgKind::mkWarning,
                                             TMsgButtons::mbYesNo) == TModalResult::mrYes) {
    TJigsawFile again;
    again.ReSave(name);
  }
}

// ---- Save game -----------------------------------------------------------------------

void TGameFlow::tbxSaveClick(void* /*sender*/) {
  if (!board_ || !project_) return;
  // The time played is what the clock read when the player asked to save,
  // not after the dialog.
  const int ticks = board_->Ticks();
  TDialogScope scope(*this, TDialogScope::kMusicStops);
  const TFileDialogResult chosen =
      services_.SaveFile({kTitleSaveGame, kFilterSavedGame, 1, kSavedGameExt});
  if (!chosen.Chosen || !board_) return;

  TJigsawFile file;
  file.Columns = board_->PiecesX();
  file.Rows = board_->PiecesY();
  // The scale the pieces were cut at, so that opening the file cuts them the
  // same way: the window's own factor can be a preset the scale search then
  // replaced, and pieces cut at another scale no longer fit their places.
  file.PieceScale = gameScale_ > 0 ? gameScale_ : pieceScaleFactor_;
  file.Ticks = ticks;
  file.PictureId = currentPictureId_;
  file.ExePath = environment_.ExePath.string();
  file.SetPieces(board_->Pieces());
  file.Level = board_->MyLevel();
  file.CheatCount = std::uint16_t(cheatCount_ & 0xFFFF);
  try {
    WriteFileReplacing(chosen.FileName, file.SaveToBytes());
  } catch (const EFileCreateError&) {
    services_.MessageBox(kMsgUnableToSaveGame, TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  } catch (const EFileWriteError&) {
    services_.MessageBox(kMsgWriteStreamError, TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  }
  services_.MessageBox(kMsgGameSavedPrefix + chosen.FileName, TMsgKind::mkInformation,
                       TMsgButtons::mbOK);
}

// ---- Save picture ----------------------------------------------------------------------

void TGameFlow::SavePicture() {
  if (!board_) return;
  // Taken before the pause, which hides the pieces.
  TBitmap32 image;
  view_.PlayArea().CopyImage(image);
  TDialogScope scope(*this, TDialogScope::kMusicStops);
  const TFileDialogResult chosen =
      services_.SaveFile({kTitleSavePicture, kFilterSavePicture, 1, ""});
  if (!chosen.Chosen) return;
  savePictureAs(image, chosen);
}

void TGameFlow::savePictureAs(const TBitmap32& image, const TFileDialogResult& chosen) {
  const bool jpeg = chosen.FilterIndex == 2;
  std::filesystem::path name = chosen.FileName;
  // A name typed without an extension gets the one of the kind chosen, so
  // the file says what it holds.
  if (!name.has_extension()) name += jpeg ? ".jpg" : ".bmp";
  try {
    const std::vector<std::byte> bytes =
        jpeg ? EncodeJpeg(image, kJpegLibraryDefaultQuality) : EncodeBmp(image, 24);
    WriteFileReplacing(name, bytes);
  } catch (const EFileCreateError&) {
    services_.MessageBox(kMsgUnableToSavePicture, TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  } catch (const EFileWriteError&) {
    services_.MessageBox(kMsgUnableToSavePicture, TMsgKind::mkError, TMsgButtons::mbOK);
    return;
  }
  services_.MessageBox(kMsgPictureSavedPrefix + name.string(), TMsgKind::mkInformation,
                       TMsgButtons::mbOK);
}

// ---- Make executable ---------------------------------------------------------------------

void TGameFlow::MakeExecutable() {
  if (!project_) return;
  TDialogScope pause(*this, TDialogScope::kMusicPlays);
  const TFileDialogResult picture = services_.OpenFile({kTitleOpenImage, kFilterOpenImage, 1, ""});
  if (!picture.Chosen) return;
  // Programs here carry no extension: a name is written as it was typed.
  const TFileDialogResult output =
      services_.SaveFile({kTitleSaveExecutable, kFilterExecutable, 1, ""});
  if (!output.Chosen || !project_) return;
  const TBytes package = project_->SaveToBytes();
  const std::filesystem::path pictures[] = {picture.FileName};
  // The block carries only bitmaps and JPEGs: any other picture the player
  // can read goes in as JPEG rather than being dropped, which would give an
  // executable without the picture the user chose. Failures (a picture that
  // does not read, a file that cannot be written, an icon that does not
  // fit) reach the error box with their own message.
  WriteExecutableCarrying(package, ExeProjectInfoOf(*project_),
                          CarryPictures(pictures, environment_.DecodeOtherPicture),
                          output.FileName, environment_.ExePath);
  services_.MessageBox(output.FileName + kMsgExecutableCreatedSuffix, TMsgKind::mkInformation,
                       TMsgButtons::mbOK);
}

}  // namespace duduri
