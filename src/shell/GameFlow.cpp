#include "shell/GameFlow.h"

#include <fstream>
#include <system_error>

#include "pieces/Random.h"
#include "project/Overlay.h"
#include "shell/ExtraImages.h"
#include "shell/ShellTexts.h"

namespace duduri {

// ---- Environment -------------------------------------------------------------

TOwnOverlay ReadOverlayOf(const std::filesystem::path& executable) {
  TOwnOverlay result;
  const TOverlayLayout layout = FindOverlay(executable);
  if (!layout.HasPackage) return result;
  std::ifstream in(executable, std::ios::binary);
  if (!in) return result;
  // FindOverlay has checked both ranges against the file's size.
  auto readRange = [&in](std::uint64_t offset, std::uint64_t size, TBytes& out) {
    out.resize(std::size_t(size));
    in.seekg(std::streamoff(offset));
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(size));
    if (!in) out.clear();
    return bool(in);
  };
  TBytes package;
  if (!readRange(layout.PackageOffset, layout.PackageSize, package)) return result;
  result.Package = std::move(package);
  if (layout.HasExtraImages) {
    in.clear();
    readRange(layout.ExtraImagesOffset, layout.ExtraImagesSize, result.ExtraImages);
  }
  return result;
}

TShellEnvironment RunningEnvironment(int argc, const char* const* argv) {
  TShellEnvironment env;
  for (int i = 1; i < argc; ++i) env.Args.emplace_back(argv[i]);
  env.ExePath = OwnExecutablePath();
  env.ExeDir = env.ExePath.parent_path();
  const std::filesystem::path exe = env.ExePath;
  env.ReadOwnOverlay = [exe] { return ReadOverlayOf(exe); };
  env.HighScorePath = HighScoreFilePath(env.ExeDir);
  return env;
}

// ---- Construction and start-up -----------------------------------------------

TGameFlow::TGameFlow(IMainView& view, IShellServices& services, IBoardPlatform& platform,
                     TShellSeams& seams, TShellEnvironment environment)
    : view_(view),
      services_(services),
      platform_(platform),
      seams_(seams),
      environment_(std::move(environment)) {
  if (environment_.HighScorePath.empty()) {
    environment_.HighScorePath = environment_.ExeDir / kHighScoreFile;
  }
}

TGameFlow::~TGameFlow() {
  FormDestroy();
}

void TGameFlow::FormCreate() {
  if (created_) return;
  created_ = true;
  inStartup_ = true;
  SetCommandHandler([this](void* sender, std::int32_t code, const TScriptParameter& parameter) {
    ActionDispatch(sender, code, parameter);
  });
  if (environment_.Seed) {
    RandSeed(*environment_.Seed);
  } else {
    Randomize();
  }
  loadHighScores();
  skinId_ = 0;
  cheatCount_ = 0;
  closeWithoutAsking_ = false;
  exitRequested_ = false;
  runningStartScript_ = false;
  view_.PlayArea().Fill(view_.WorkspaceColor());
  view_.HideSolution();
  pieceScaleFactor_ = 3.0f;
  timeTrial_ = false;
  clockStart_ = 0;
  spriteOptionA_ = 0xFFFFFF;
  soundOn_ = true;
  playPosition_ = 0;

  loadProject();
  if (terminated_) return;

  if (!project_->Splash.Empty()) {
    // A splash that does not decode is not worth stopping for.
    TBitmap32 splash;
    try {
      project_->Splash.AssignToBitmap(splash);
    } catch (const EDuduriError&) {
      splash.SetSize(0, 0);
    }
    if (!splash.Empty()) {
      services_.ShowSplash(splash);
      splashShown_ = true;
      view_.ProcessPendingInput();
    }
  }
  piecesVisibleNext_ = true;
  NewGame();
  if (splashShown_) {
    services_.HideSplash();
    splashShown_ = false;
  }
  if (terminated_) return;
  inStartup_ = false;
  if (project_->StartScript.ScriptCount() > 0) view_.HideWindow();
  runStartScript();
}

void TGameFlow::loadHighScores() {
  std::error_code ec;
  if (!std::filesystem::exists(environment_.HighScorePath, ec)) return;
  // A damaged file keeps what was read before the damage; the game starts
  // either way.
  try {
    highScores_.LoadFromFile(environment_.HighScorePath);
  } catch (const std::exception&) {
  }
}

void TGameFlow::loadProject() {
  stopCurrentGame();
  TOwnOverlay overlay;
  if (environment_.ReadOwnOverlay) overlay = environment_.ReadOwnOverlay();
  try {
    auto project = std::make_unique<TJigsawProject2>();
    if (overlay.Package) {
      project->LoadFromStream(*overlay.Package);
      if (!overlay.ExtraImages.empty()) {
        TExtJigsawImages images;
        images.ReadFromStream(overlay.ExtraImages);
        images.AssignTo(*project);
      }
      projectFromOwnExecutable_ = true;
    } else if (!loadBareProject(project)) {
      terminate();
      return;
    } else {
      projectFromOwnExecutable_ = false;
    }
    project_ = std::move(project);
  } catch (const std::exception& e) {
    // Not a project, a truncated package, a file that cannot be read: say
    // why and end, rather than play nothing.
    services_.MessageBox(e.what(), TMsgKind::mkError, TMsgButtons::mbOK);
    startFailed_ = true;
    terminate();
    return;
  }
  rebuildPlayList();
}

void TGameFlow::rebuildPlayList() {
  playList_.clear();
  if (!project_) return;
  for (const TBMPData& picture : project_->Pictures) {
    if (IsPictureId(picture.ID)) playList_.push_back(&picture);
  }
}

void TGameFlow::runStartScript() {
  runningStartScript_ = true;
  project_->StartScript.Run();
  if (exitRequested_ && !terminated_) terminate();
  runningStartScript_ = false;
}

void TGameFlow::terminate() {
  if (terminated_) return;
  terminated_ = true;
  view_.Terminate();
}

// ---- Games ---------------------------------------------------------------------

void TGameFlow::stopCurrentGame() {
  view_.HideSolution();
  platform_.SetIdleHandler({});
  stopBackgroundMusic();
  if (board_ && !board_->GamePaused()) board_->TogglePause();
}

int TGameFlow::pictureIndexOfPlayEntry(int position) const {
  if (!project_ || position < 0 || position >= int(playList_.size())) return -1;
  const std::int32_t id = playList_[std::size_t(position)]->ID;
  for (std::size_t i = 0; i < project_->Pictures.size(); ++i) {
    if (project_->Pictures[i].ID == id) return int(i);
  }
  return -1;
}

void TGameFlow::chooseBitmap() {
  currentPictureIndex_ = -1;
  if (!project_) return;
  const int count = int(playList_.size());
  switch (project_->PictureChoice) {
    case kChoicePlayer:
      if (count == 1) {
        currentPictureIndex_ = pictureIndexOfPlayEntry(0);
      } else if (count > 1) {
        const int index = services_.ChoosePicture(*project_);
        // Only a playable picture may be chosen, whatever the dialog says.
        if (index >= 0 && index < int(project_->Pictures.size()) &&
            IsPictureId(project_->Pictures[std::size_t(index)].ID)) {
          currentPictureIndex_ = index;
        }
      }
      break;
    case kChoiceSequence:
      if (playPosition_ >= count || playPosition_ < 0) playPosition_ = 0;
      currentPictureIndex_ = pictureIndexOfPlayEntry(playPosition_);
      break;
    case kChoiceRandom:
      if (count > 0) currentPictureIndex_ = pictureIndexOfPlayEntry(Random(count));
      break;
    default:
      break;
  }
}

void TGameFlow::NewGame() {
  if (terminated_ || !project_) return;
  stopCurrentGame();
  chooseBitmap();
  startGame();
}

void TGameFlow::startGame() {
  view_.HideWindow();
  winHandled_ = false;
  if (playList_.empty()) {
    // A project of backgrounds only has nothing to play either.
    services_.MessageBox(kMsgNoBitmap, TMsgKind::mkError, TMsgButtons::mbOK);
    terminate();
    return;
  }
  if (currentPictureIndex_ != -1) buildGame(nullptr);
  if (terminated_) return;
  if (seams_.Pages().PageVisible() && !runningStartScript_) seams_.Pages().HidePage();
  view_.ShowWindow();
  view_.BringToFront();
}

void TGameFlow::clearPlayArea() {
  view_.PlayArea().Fill(view_.ButtonFaceColor());
  view_.SetStatusText(0, "");
  view_.SetStatusText(1, "");
  stopBackgroundMusic();
}

void TGameFlow::freeBoard() {
  if (!board_) return;
  view_.PlayArea().DetachFrame();
  board_.reset();
}

// ---- Closing -------------------------------------------------------------------

bool TGameFlow::pauseSilently() {
  if (!board_ || board_->GamePaused() || gameOver_) return false;
  board_->SetSilentPause(true);
  board_->TogglePause();
  return true;
}

void TGameFlow::resumeIfRan(bool ran) {
  if (ran && board_ && board_->GamePaused()) board_->TogglePause();
}

bool TGameFlow::FormCloseQuery() {
  bool ran = false;
  if (board_) {
    stopBackgroundMusic();
    ran = pauseSilently();
  }
  playEvent(4);
  closeHtmlPage_ = true;
  bool canClose = closeWithoutAsking_ || terminated_;
  if (!canClose) {
    canClose = services_.MessageBox("Quit " + title_ + "?", TMsgKind::mkConfirmation,
                                    TMsgButtons::mbYesNo) == TModalResult::mrYes;
  }
  if (!canClose && board_) {
    startBackgroundMusic();
    exitRequested_ = false;
    closeHtmlPage_ = false;
  }
  resumeIfRan(ran);
  return canClose;
}

void TGameFlow::FormDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  if (project_ && created_) project_->ExitScript.Run();
  view_.HideSolution();
  if (board_) {
    view_.PlayArea().ForgetFrame();
    board_.reset();
  }
  currentPicture_.SetSize(0, 0);
  playList_.clear();
  toolbar_.reset();
  popup_.reset();
  if (project_ && !project_->HighScoresDisabled()) {
    try {
      highScores_.SaveToFile(environment_.HighScorePath);
    } catch (const std::exception& e) {
      services_.MessageBox(e.what(), TMsgKind::mkError, TMsgButtons::mbOK);
    }
  }
  project_.reset();
  platform_.SetIdleHandler({});
  const auto& args = environment_.Args;
  if (args.size() == 2 && args[1] == "-T") {
    std::error_code ec;
    std::filesystem::remove(args[0], ec);
  }
  if (created_) SetCommandHandler({});
}

// ---- Sounds --------------------------------------------------------------------

void TGameFlow::playEvent(int event) {
  if (hasSounds_ && soundOn_ && project_) seams_.Sound().PlayEvent(*project_, event);
}

void TGameFlow::startBackgroundMusic() {
  if (hasSounds_ && project_) seams_.Sound().StartBackgroundMusic(*project_, soundOn_);
}

void TGameFlow::stopBackgroundMusic() {
  seams_.Sound().StopBackgroundMusic();
}

}  // namespace duduri
