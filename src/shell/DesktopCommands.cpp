// The commands that hand something to the desktop: help, documents and
// addresses, and sound on or off.

#include <system_error>

#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri {

namespace {

// The one text value a document command names, or nothing when the
// parameter holds anything else (no value, several, or a number).
std::optional<std::string> singleText(const TScriptParameter& parameter) {
  if (parameter.Count() != 1 || parameter.Get(0).Kind != kParamText) return std::nullopt;
  std::string text = parameter.Text(0);
  if (text.empty()) return std::nullopt;
  return text;
}

}  // namespace

void TGameFlow::tbxHelpContentClick(void* /*sender*/) {
  const std::filesystem::path help = environment_.ExeDir / kHelpFile;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(help, ec)) return;
  seams_.Desktop().OpenHelp(help);
}

void TGameFlow::tbxSoundClick(void* sender) {
  soundOn_ = !soundOn_;
  view_.SetMenuItemChecked(sender, !soundOn_);
  if (soundOn_) {
    startBackgroundMusic();
  } else {
    stopBackgroundMusic();
    seams_.Sound().StopSystemSound();
  }
}

void TGameFlow::RunHidden(const TScriptParameter& parameter) {
  if (const std::optional<std::string> target = singleText(parameter)) {
    seams_.Desktop().Open(*target, TShowMode::smHidden);
  }
}

void TGameFlow::OpenDocument(const TScriptParameter& parameter) {
  if (const std::optional<std::string> target = singleText(parameter)) {
    seams_.Desktop().Open(*target, TShowMode::smNormal);
  }
}

}  // namespace duduri
