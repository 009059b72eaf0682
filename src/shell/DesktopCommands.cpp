// The commands that hand something to the desktop: help, documents and
// addresses, and sound on or off.

#include "shell/GameFlow.h"

namespace duduri {

void TGameFlow::tbxHelpContentClick(void* /*sender*/) {}

void TGameFlow::tbxSoundClick(void* /*sender*/) {}

void TGameFlow::RunHidden(const TScriptParameter& /*parameter*/) {}

void TGameFlow::OpenDocument(const TScriptParameter& /*parameter*/) {}

}  // namespace duduri
