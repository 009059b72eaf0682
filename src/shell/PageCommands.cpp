// Opening an HTML page (command 13).

#include "shell/GameFlow.h"

namespace duduri {

void TGameFlow::ShowHtmlPage(const TScriptParameter& /*parameter*/) {}

}  // namespace duduri
