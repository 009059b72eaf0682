// Files the bare player is asked to play: its first argument (or the sample
// when there is none) at start-up, and files dropped on the window or chosen
// from the recent files while it runs.

#include <system_error>

#include "shell/GameFlow.h"
#include "shell/PlayFiles.h"

namespace duduri {

namespace {

std::filesystem::path absoluteOf(const std::filesystem::path& file) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(file, ec);
  return ec ? file : absolute.lexically_normal();
}

}  // namespace

bool TGameFlow::loadBareProject(std::unique_ptr<TJigsawProject2>& project) {
  if (environment_.Args.empty()) {
    // Started from the desktop menu: the sample installed beside the
    // template set, if there is one; otherwise nothing to play.
    const std::filesystem::path sample = FindProgramData(environment_.ExeDir, kSampleProjectFile);
    if (sample.empty()) return false;
    project->LoadFromFile(sample);
    openedFile_.clear();
    return true;
  }
  const std::filesystem::path file = environment_.Args[0];
  project = OpenPlayFile(file, environment_.ExeDir, environment_.DecodeOtherPicture);
  openedFile_ = absoluteOf(file);
  return true;
}

bool TGameFlow::OpenFileForPlay(const std::filesystem::path& file) {
  if (terminated_ || building_ || !created_ || destroyed_ || projectFromOwnExecutable_) {
    return false;
  }
  const bool ran = pauseSilently();
  const bool inProgress = board_ && !gameOver_;
  if (inProgress && services_.MessageBox(LeaveGameQuestion(file), TMsgKind::mkConfirmation,
                                         TMsgButtons::mbYesNo) != TModalResult::mrYes) {
    resumeIfRan(ran);
    return false;
  }
  std::unique_ptr<TJigsawProject2> project;
  try {
    project = OpenPlayFile(file, environment_.ExeDir, environment_.DecodeOtherPicture);
  } catch (const std::exception& e) {
    services_.MessageBox(e.what(), TMsgKind::mkError, TMsgButtons::mbOK);
    resumeIfRan(ran);
    return false;
  }
  stopCurrentGame();
  project_ = std::move(project);
  openedFile_ = absoluteOf(file);
  playPosition_ = 0;
  cheatCount_ = 0;
  rebuildPlayList();
  const int before = gamesBuilt_;
  NewGame();
  return !terminated_ && gamesBuilt_ != before;
}

}  // namespace duduri
