// The commands that are a dialog and what follows it: select skin, change
// difficulty, the high-score table, play picture.

#include "shell/GameFlow.h"

namespace duduri {

void TGameFlow::SelectSkin() {}

void TGameFlow::ShowHighScoreTable() {}

void TGameFlow::PlayPicture(const TScriptParameter& /*parameter*/) {}

void TGameFlow::ChangeDifficulty() {}

}  // namespace duduri
