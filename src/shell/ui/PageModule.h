#pragma once
// Finding and loading the page browser module (PageBrowser.h) when the first
// page opens, and what the browser needs from the program before Qt starts.

#include <QString>

#include "shell/ui/PageBrowser.h"

class QWidget;

namespace duduri {

// Call before the QApplication is made: sharing OpenGL contexts is how a
// browser loaded later can draw at all, and as root the browser's sandbox
// must be off (it refuses to start otherwise). Costs nothing else.
void PreparePageBrowserBeforeApplication();

// Makes a browser in `parent`, loading the module on first use. The module
// is looked for beside the running executable, in "../lib/duduri" from it,
// in the folder it is installed to and in the build's program folder.
// nullptr when it cannot be loaded; `error` then says why.
IPageBrowser* CreatePageBrowser(IPageBrowserEvents& events, QWidget* parent, QString* error);

// Whether the module has been loaded in this process (a page was opened).
bool PageModuleLoaded();

}  // namespace duduri
