// The commands that read and write files: open and save a game, save the
// picture, make a new executable.

#include "shell/GameFlow.h"

namespace duduri {

void TGameFlow::tbxOpenFromProjectClick(void* /*sender*/) {}

void TGameFlow::tbxSaveClick(void* /*sender*/) {}

void TGameFlow::SavePicture() {}

void TGameFlow::MakeExecutable() {}

}  // namespace duduri
