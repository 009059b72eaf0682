#pragma once
// The desktop seam over Qt: the help file and documents go to the desktop's
// own viewers (QDesktopServices), web and mail addresses to its browser and
// mail program, and a program named by a script is started directly with no
// arguments. Nothing is ever handed to a shell, so a name with spaces,
// quotes or semicolons is just a name.

#include <QString>
#include <QUrl>

#include "shell/DesktopSeam.h"

namespace duduri {

// What a script's target names, worked out before anything is opened.
struct TDesktopTarget {
  enum TKind { tkNone, tkAddress, tkProgram, tkDocument };
  TKind Kind = tkNone;
  QUrl Url;         // tkAddress and tkDocument
  QString Program;  // tkProgram: the absolute path
};

// An address with a scheme ("https://...", "mailto:..."), an executable
// file (a program), or any other existing or not yet existing file name (a
// document, relative names taken from the current folder). Empty text names
// nothing.
TDesktopTarget DesktopTargetOf(const QString& target);

class TQtDesktop : public TDesktopSeam {
 public:
  bool OpenHelp(const std::filesystem::path& helpFile) override;
  bool Open(const std::string& target, TShowMode mode) override;
};

}  // namespace duduri
