// Building a game: the picture, its background, the sprite creator with the
// piece-count rule, the sprites (under the progress window or the splash)
// and the board that plays them.

#include <algorithm>
#include <cstring>

#include "board/CreatorSource.h"
#include "board/JigsawFile.h"
#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"
#include "project/ProjectErrors.h"
#include "raster/Picture.h"
#include "shell/BigPuzzle.h"
#include "shell/GameFlow.h"
#include "shell/PieceCountRule.h"
#include "shell/ShellTexts.h"

namespace duduri {

namespace {

// The smallest play area a board is built on: a window squeezed to nothing
// still gets a playable (if cramped) board rather than an empty one.
constexpr int kMinPlaySide = 64;

// Clears a flag when the build ends, however it ends.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
};

// The stored layout of a project as a saved game: Columns x Rows records of
// 40 bytes, checked against the bytes the project holds.
TJigsawArrayData storedRecords(const TStoredGameLayout& layout) {
  const std::int64_t count = std::int64_t(layout.Columns) * layout.Rows;
  if (layout.Columns < 1 || layout.Rows < 1 ||
      count > std::int64_t(layout.Pieces.size() / kSavedPieceBytes)) {
    throw EStreamReadError();
  }
  TJigsawArrayData records(static_cast<std::size_t>(count));
  std::memcpy(records.data(), layout.Pieces.data(), std::size_t(count) * kSavedPieceBytes);
  return records;
}

}  // namespace

void TGameFlow::buildGame(TJigsawFile* savedGame) {
  if (building_) return;
  try {
    buildGameSteps(savedGame);
  } catch (const ESpriteCreatorError&) {
    // A saved game whose pieces do not fit the picture is the file's fault,
    // not the project's: the caller keeps the game that was being played.
    if (savedGame) throw;
    fatalBuildError();
  } catch (const EDuduriError&) {
    fatalBuildError();
  }
}

void TGameFlow::fatalBuildError() {
  // The project's data is broken (a picture that does not decode, a
  // template set or stored layout that does not read): nothing can be
  // played.
  if (terminated_) return;
  if (splashShown_) {
    services_.HideSplash();
    splashShown_ = false;
  }
  view_.PlayArea().Fill(view_.WorkspaceColor());
  services_.MessageBox(kMsgInvalidData, TMsgKind::mkError, TMsgButtons::mbOK);
  startFailed_ = true;
  terminate();
}

void TGameFlow::rebuildMenus() {
  // The old models stay alive until the window has its new items.
  std::unique_ptr<TMenuModel> oldPopup = std::move(popup_);
  popup_ = TMenuModel::Build(project_->MenuTree, kPopupMenu);
  view_.BuildPopup(popup_.get());
  if (HasMenuRecords(project_->MenuTree)) {
    std::unique_ptr<TMenuModel> oldToolbar = std::move(toolbar_);
    toolbar_ = TMenuModel::Build(project_->MenuTree, kToolbarMenu);
    view_.BuildToolbar(toolbar_.get());
  }
}

TSpriteDrawParam TGameFlow::backgroundParam() const {
  const TJigsawProject2& project = *project_;
  // None for a one-picture project, else the background the project has
  // selected, placed by its own fill mode.
  TSpriteDrawParam param;
  param.BackgroundStyle = project.DefaultBackground.FillMode;
  if (project.Pictures.size() == 1) return param;
  const std::int32_t index = project.CurrentBackgroundIndex;
  if (index < 0 || index >= std::int32_t(project.Pictures.size())) return param;
  const TBMPData& background = project.Pictures[std::size_t(index)];
  if (background.ID == 0 || !IsBackgroundId(background.ID)) return param;
  param.BackgroundStream = background.Data;
  param.BackgroundStyle = 0;
  for (const TBackgroundSettings& s : project.BackgroundSettings) {
    if (s.BackgroundID == background.ID) {
      param.BackgroundStyle = s.FillMode;
      break;
    }
  }
  return param;
}

void TGameFlow::buildGameSteps(TJigsawFile* savedGame) {
  TFlagScope building(building_);
  TJigsawProject2& project = *project_;

  title_ = project.Title.Caption;
  view_.SetTitle(title_);
  soundOn_ = project.SoundOn != 0;
  if (!project.Icon.empty()) view_.SetIcon(project.Icon);

  if (project.Pictures.empty()) {
    services_.MessageBox(kMsgNoBitmap, TMsgKind::mkError, TMsgButtons::mbOK);
    terminate();
    return;
  }
  seams_.Sound().LoadSounds(project);

  seams_.Style().ApplyTheme(project.WindowStyle);
  rebuildMenus();

  skinId_ = project.CurrentSkinIndex;
  if (!seams_.Style().LayoutStyle(project, project.WindowStyle, skinId_)) {
    view_.SetBannerStripVisible(seams_.Style().ShowBanners(project, 0));
    view_.LayoutWorkArea();
  }

  const TSpriteDrawParam param = backgroundParam();

  if (currentPictureIndex_ < 0 || currentPictureIndex_ >= int(project.Pictures.size())) {
    throw EStreamReadError();
  }
  const TBMPData& record = project.Pictures[std::size_t(currentPictureIndex_)];
  // A big puzzle cut smaller than its photo decodes only what it needs.
  TPicture picture = DecodeGamePicture(record.Data, project, record.ID, savedGame);
  currentPicture_.Assign(picture);
  currentPictureId_ = record.ID;

  std::unique_ptr<TJigsawSpriteCreator> creator;
  if (savedGame) {
    TSavedLayout layout;
    layout.Picture = picture;
    layout.Pieces = savedGame->Pieces;
    layout.Columns = savedGame->Columns;
    layout.Rows = savedGame->Rows;
    layout.Difficulty = savedGame->Level;
    savedGame->Picture = std::move(picture);
    creator = std::make_unique<TJigsawSpriteCreator>(std::move(layout));
  } else if (project.StoredLayout.Columns != 0 || project.StoredLayout.Rows != 0) {
    const TModalResult answer =
        services_.MessageBox(kMsgPlaySavedLayout, TMsgKind::mkInformation, TMsgButtons::mbYesNo);
    if (answer == TModalResult::mrYes) {
      TSavedLayout layout;
      layout.Pieces = storedRecords(project.StoredLayout);
      layout.Columns = project.StoredLayout.Columns;
      layout.Rows = project.StoredLayout.Rows;
      layout.Difficulty = kJigsawFileDefaultLevel;
      layout.Picture = std::move(picture);
      creator = std::make_unique<TJigsawSpriteCreator>(std::move(layout));
      creator->SetScale(float(project.DefaultPieceScale));
    } else {
      creator = std::make_unique<TJigsawSpriteCreator>(picture);
    }
  } else {
    creator = std::make_unique<TJigsawSpriteCreator>(picture);
  }
  // The creator has its own copy; this one would only add to the peak.
  picture = TPicture();
  if (environment_.Seed) RandSeed(*environment_.Seed);
  creator->SetThreads(environment_.SpriteThreads);

  creator->Collection().LoadTemplates(std::span<const std::byte>(project.TemplateSetStore));
  IPlayArea& area = view_.PlayArea();
  creator->SetBoardSize(std::max(area.ClientWidth(), kMinPlaySide),
                        std::max(area.ClientHeight(), kMinPlaySide));
  applyPieceCountRule(*creator, savedGame);

  // The picture's stored edge shapes when the project keeps them per
  // picture; none otherwise.
  std::vector<std::int32_t> pieceValues;
  if (project.PerPictureValues == 1) {
    if (const TPieceValues* values = project.FindPieceValues(currentPictureId_)) {
      pieceValues = values->Values;
    }
  }
  creator->SetPieceValues(std::move(pieceValues));
  creator->SetNoPieceRotation(project.NoPieceRotation != 0);
  creator->SetNoPieceShadow(project.NoPieceShadow != 0);
  creator->SetFlatPiece(project.FlatPiece != 0);
  creator->SetSpriteOptionA(TColor32(project.SpriteOptionA));
  lastCreatorOptions_ = {creator->PieceValues(), creator->FlatPiece(), creator->SpriteOptionA(),
                         creator->NoPieceRotation(), creator->NoPieceShadow()};
  spriteOptionA_ = TColor32(project.SpriteOptionA);
  snapDistance_ = project.SnapDistance;

  makeSprites(*creator);
  gameScale_ = creator->Scale();
  wireBoard(*creator, param, savedGame);
  oldFormatGame_ = savedGame && savedGame->Version < kJigsawFileVersion;
  creator.reset();

  if (project.WindowStyle == kStyleSkinned && board_ && board_->EnabledTimer()) {
    seams_.Style().DrawClockPanels("00:00:00");
  }
  if (board_) board_->Redraw(true);
}

void TGameFlow::applyPieceCountRule(TJigsawSpriteCreator& creator, TJigsawFile* savedGame) {
  TJigsawProject2& project = *project_;
  const std::int32_t pw = currentPicture_.Width();
  const std::int32_t ph = currentPicture_.Height();
  const std::int32_t bw = creator.BoardWidth();
  const std::int32_t bh = creator.BoardHeight();
  auto searchScale = [&](TPieceRange r) {
    return TJigsawSpriteCreator::FitCellScale(r.Min, r.Max, pw, ph, bw, bh).Scale;
  };
  TPicturePieceRange* own = project.FindPieceCountRange(currentPictureId_);
  // The photo's own size: a big puzzle's grid is chosen for it, however
  // much of it was decoded.
  auto photoSize = [&] {
    for (const TBMPData& p : project.Pictures) {
      if (p.ID == currentPictureId_) return ReadJpegSize(p.Data);
    }
    return TPictureSize{pw, ph};
  };

  if (savedGame) {
    const int level = savedGame->Level;
    if (level <= 3) {
      const TPieceRange r = DifficultyRange(level);
      project.PieceRangeMin = r.Min;
      project.PieceRangeMax = r.Max;
      if (own) {
        own->MinPieces = r.Min;
        own->MaxPieces = r.Max;
      }
    }
    scoreLevel_ = level;
    const TPieceRange range = own ? TPieceRange{own->MinPieces, own->MaxPieces}
                                  : TPieceRange{project.PieceRangeMin, project.PieceRangeMax};
    creator.SetScale(RangeSearchesScale(range) ? searchScale(range) : pieceScaleFactor_);
    if (savedGame->PieceScale > 0) creator.SetScale(savedGame->PieceScale);
    return;
  }

  if (!project.PieceCountRanges.empty()) {
    if (!own) return;  // the creator keeps its own scale
    const TPieceRange range{own->MinPieces, own->MaxPieces};
    const TDifficultyChoice choice = ChooseForPictureRange(range, project.DefaultPieceScale);
    if (choice.Scale) pieceScaleFactor_ = *choice.Scale;
    if (choice.ScoreLevel) scoreLevel_ = *choice.ScoreLevel;
    creator.SetDifficulty(choice.Difficulty);
    ApplyBigPieceCount(creator, range, photoSize());
    creator.SetScale(RangeSearchesScale(range) ? searchScale(range) : pieceScaleFactor_);
    pieceScaleFactor_ = creator.Scale();
    return;
  }

  const TPieceRange range{project.PieceRangeMin, project.PieceRangeMax};
  const TDifficultyChoice choice = ChooseForDefaultRange(range, project.DefaultPieceScale);
  if (choice.Scale) pieceScaleFactor_ = *choice.Scale;
  if (choice.ScoreLevel) scoreLevel_ = *choice.ScoreLevel;
  creator.SetDifficulty(choice.Difficulty);
  ApplyBigPieceCount(creator, range, photoSize());
  creator.SetScale(RangeSearchesScale(range) ? searchScale(range) : pieceScaleFactor_);
}

void TGameFlow::makeSprites(TJigsawSpriteCreator& creator) {
  if (!splashShown_ || !inStartup_) {
    struct TProgressScope {
      IShellServices& services;
      explicit TProgressScope(IShellServices& s) : services(s) { services.BeginProgress(); }
      ~TProgressScope() { services.EndProgress(); }
      TProgressScope(const TProgressScope&) = delete;
      TProgressScope& operator=(const TProgressScope&) = delete;
    } progress(services_);
    creator.OnProgress = [this](TJigsawSpriteCreator&, int position, int maximum) {
      services_.Progress(position, maximum);
      view_.ProcessPendingInput();
    };
    creator.Execute();
    creator.OnProgress = nullptr;
  } else {
    creator.Execute();
    services_.HideSplash();
    splashShown_ = false;
  }
}

void TGameFlow::wireBoard(TJigsawSpriteCreator& creator, const TSpriteDrawParam& param,
                          TJigsawFile* savedGame) {
  TJigsawProject2& project = *project_;
  freeBoard();
  board_ =
      std::make_unique<TSpriteDraw>(view_.PlayArea(), platform_, param, SpriteSourceOf(creator));
  gameOver_ = false;
  // Whatever started this game (a new game, a saved one, another picture or
  // difficulty), its win is its own and so is the help it gets.
  winHandled_ = false;
  cheatCount_ = 0;
  ++gamesBuilt_;
  TSpriteDraw& b = *board_;
  // A game laid out elsewhere (another play-area size, another project's
  // turning, saved while solve-all had pieces in flight) is made playable.
  if (creator.Restoring()) b.SettleRestoredGame();
  b.SetPiecesVisible(piecesVisibleNext_);
  piecesVisibleNext_ = true;
  b.SetDrawContinue(false);
  b.SetJigsawMagnet(snapDistance_);
  b.SetNoPieceRotation(project.NoPieceRotation != 0);
  b.SetNoPieceShadow(project.NoPieceShadow != 0);
  b.SetFlatPiece(project.FlatPiece != 0);

  b.DoAbout = [this](TSender) { tbxAboutClick(nullptr); };
  b.DoSaveGame = [this](TSender) { ActionDispatch(nullptr, ccSaveGame, {}); };
  b.DoOpenGame = [this](TSender) { ActionDispatch(nullptr, ccOpenGame, {}); };
  b.DoHelpGame = [this](TSender) { ActionDispatch(nullptr, ccHelp, {}); };
  b.DoExitGame = [this](TSender) { tbxExitClick(nullptr); };
  b.DoShowPicture = [this](TSender) { TBXShowClick(nullptr); };

  timeTrial_ = project.TimeTrial != 0;
  b.SetTimeTrialMode(timeTrial_);
  if (savedGame) {
    clockStart_ = savedGame->Ticks;
  } else {
    clockStart_ = timeTrial_ ? project.TimeTrialTicks : 0;
  }
  b.SetTicks(clockStart_);

  // The board calls these from its timers and the window's input; an error
  // stops here rather than in the board.
  b.SetOnPiecesInRightPlace(
      [this](TSender, int, int) { guarded([this] { onPiecesInRightPlace(); }); });
  b.SetOnPiecesRotate([this](TSender, int, int) { guarded([this] { playEvent(8); }); });
  b.SetOnPiecesClick([this](TSender, int, int) { guarded([this] { playEvent(9); }); });
  b.SetOnWin([this](TSender) { guarded([this] { winFlow(); }); });
  b.SetOnLose([this](TSender) { guarded([this] { loseFlow(); }); });
  b.SetOnTicks([this](TSender, int& counter) { guarded([&] { onTicks(counter); }); });

  hasSounds_ = !project.Sounds.empty();
  startBackgroundMusic();
  updatePieceStatus();
  // The clock of the game before would show until this one's first tick.
  view_.SetStatusText(2, FormatClock(clockStart_));
}

void TGameFlow::onPiecesInRightPlace() {
  playEvent(7);
  updatePieceStatus();
}

void TGameFlow::updatePieceStatus() {
  if (!board_) return;
  view_.SetStatusText(0, std::to_string(board_->PiecesLeft()));
  view_.SetStatusText(1, std::to_string(board_->PiecesTotal()));
}

void TGameFlow::onTicks(int ticks) {
  if (!board_ || !board_->EnabledTimer()) return;
  const std::string text = FormatClock(ticks);
  view_.SetStatusText(2, text);
  // The skinned window's clock panels, or the full-screen toolbar's clock.
  if (project_ && (project_->WindowStyle == kStyleSkinned ||
                   project_->WindowStyle == kStyleFullScreen)) {
    seams_.Style().DrawClockPanels(text.c_str());
  }
}

}  // namespace duduri
