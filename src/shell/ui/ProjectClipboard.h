#pragma once
// A project on the clipboard: its package (the bytes a project file holds)
// under the format "MorvenhalPRJX", so a project can be copied from one
// program and pasted into another while the first one runs (the clipboard
// keeps nothing once its owner ends).

#include <QString>

namespace duduri {

class TJigsawProject2;

inline const QString kProjectClipboardFormat = QStringLiteral("MorvenhalPRJX");

// Puts the project's package on the clipboard. The package writer's errors
// (no master template set) pass on; a clipboard that does not take the data
// raises EExecDataError "Unable to copy data to clipboard".
void CopyProjectToClipboard(TJigsawProject2& project);

// Whether the clipboard holds a project.
bool ClipboardHasProject();

// Reads the clipboard's project into `project` and returns true; false,
// with the project untouched, when the clipboard holds none. A package that
// does not read raises the reader's error and also leaves the project as it
// was: a paste never costs the project being worked on.
bool PasteProjectFromClipboard(TJigsawProject2& project);

}  // namespace duduri
