#include "shell/ui/QtDesktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace duduri {

TDesktopTarget DesktopTargetOf(const QString& target) {
  TDesktopTarget result;
  const QString text = target.trimmed();
  if (text.isEmpty()) return result;
  // A scheme of one letter would be a drive, not an address; such names are
  // files here like any other.
  const QUrl url(text, QUrl::TolerantMode);
  if (url.isValid() && url.scheme().size() > 1 && !url.isLocalFile()) {
    result.Kind = TDesktopTarget::tkAddress;
    result.Url = url;
    return result;
  }
  const QString path = url.isLocalFile() ? url.toLocalFile() : text;
  const QFileInfo file(QDir::current(), path);
  if (file.isFile() && file.isExecutable()) {
    result.Kind = TDesktopTarget::tkProgram;
    result.Program = file.absoluteFilePath();
    return result;
  }
  result.Kind = TDesktopTarget::tkDocument;
  result.Url = QUrl::fromLocalFile(file.absoluteFilePath());
  return result;
}

bool TQtDesktop::OpenHelp(const std::filesystem::path& helpFile) {
  return QDesktopServices::openUrl(
      QUrl::fromLocalFile(QFileInfo(QString::fromStdString(helpFile.string())).absoluteFilePath()));
}

bool TQtDesktop::Open(const std::string& target, TShowMode mode) {
  const TDesktopTarget what = DesktopTargetOf(QString::fromStdString(target));
  switch (what.Kind) {
    case TDesktopTarget::tkNone:
      return false;
    case TDesktopTarget::tkAddress:
    case TDesktopTarget::tkDocument:
      // The desktop decides how its viewers show themselves.
      return QDesktopServices::openUrl(what.Url);
    case TDesktopTarget::tkProgram: {
      QProcess process;
      process.setProgram(what.Program);
      process.setArguments({});
      process.setWorkingDirectory(QFileInfo(what.Program).absolutePath());
      if (mode == TShowMode::smHidden) {
        // Hidden: nothing of it reaches the player's terminal either.
        process.setStandardInputFile(QProcess::nullDevice());
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
      }
      return process.startDetached();
    }
  }
  return false;
}

}  // namespace duduri
