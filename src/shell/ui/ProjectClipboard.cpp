#include "shell/ui/ProjectClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "project/Project.h"
#include "project/ProjectErrors.h"

namespace duduri {

namespace {

constexpr const char* kCopyFailed = "Unable to copy data to clipboard";

QClipboard* clipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                      : nullptr;
}

}  // namespace

void CopyProjectToClipboard(TJigsawProject2& project) {
  const TBytes package = project.SaveToBytes();
  QClipboard* board = clipboard();
  if (!board) throw EExecDataError(kCopyFailed);
  auto* data = new QMimeData;
  data->setData(kProjectClipboardFormat,
                QByteArray(reinterpret_cast<const char*>(package.data()), qsizetype(package.size())));
  board->setMimeData(data);  // the clipboard owns it now
  const QMimeData* held = board->mimeData();
  if (!held || !held->hasFormat(kProjectClipboardFormat)) throw EExecDataError(kCopyFailed);
}

bool ClipboardHasProject() {
  const QClipboard* board = clipboard();
  const QMimeData* data = board ? board->mimeData() : nullptr;
  return data && data->hasFormat(kProjectClipboardFormat);
}

bool PasteProjectFromClipboard(TJigsawProject2& project) {
  if (!ClipboardHasProject()) return false;
  const QByteArray bytes = clipboard()->mimeData()->data(kProjectClipboardFormat);
  const TByteSpan package(reinterpret_cast<const std::byte*>(bytes.constData()),
                          std::size_t(bytes.size()));
  // A load that fails empties the project it loads into; read a scratch
  // project first so that only a package that reads reaches the real one.
  TJigsawProject2 scratch;
  scratch.LoadFromStream(package);
  project.LoadFromStream(package);
  return true;
}

}  // namespace duduri
