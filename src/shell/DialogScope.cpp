// Pausing around modal dialogs, and the error box for what a command or a
// board event lets escape.

#include <cstdio>

#include "shell/GameFlow.h"

namespace duduri {

TGameFlow::TDialogScope::TDialogScope(TGameFlow& flow, TMusic music)
    : flow_(flow), music_(music == kMusicStops), ran_(false), game_(flow.gamesBuilt_) {
  if (music_) flow_.stopBackgroundMusic();
  ran_ = flow_.pauseSilently();
}

TGameFlow::TDialogScope::~TDialogScope() {
  // Runs while an error may be on its way out: what fails here is dropped.
  try {
    if (flow_.terminated_) return;
    if (music_) flow_.startBackgroundMusic();
    if (resume_ && flow_.gamesBuilt_ == game_) flow_.resumeIfRan(ran_);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "duduri: %s\n", e.what());
  }
}

void TGameFlow::guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    showError(e);
  }
}

void TGameFlow::showError(const std::exception& error) {
  if (terminated_) return;
  // An error box raised while another is up (a timer failing again behind
  // the first box) would stack boxes without end.
  if (showingError_) {
    std::fprintf(stderr, "duduri: %s\n", error.what());
    return;
  }
  showingError_ = true;
  try {
    services_.MessageBox(error.what(), TMsgKind::mkError, TMsgButtons::mbOK);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "duduri: %s\n", e.what());
  }
  showingError_ = false;
}

}  // namespace duduri
