#include "shell/ui/PageModule.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <cstdlib>

namespace duduri {

namespace {

TCreatePageBrowser gCreate = nullptr;

QStringList moduleCandidates() {
  QStringList folders;
  const QString exeDir = QCoreApplication::applicationDirPath();
  folders << exeDir << exeDir + "/../lib/duduri";
#ifdef DUDURI_PAGES_INSTALL_DIR
  folders << QStringLiteral(DUDURI_PAGES_INSTALL_DIR);
#endif
#ifdef DUDURI_PAGES_BUILD_DIR
  // A written puzzle executable placed anywhere still finds the module of
  // the build it came from.
  folders << QStringLiteral(DUDURI_PAGES_BUILD_DIR);
#endif
  QStringList files;
  for (const QString& folder : folders) {
    const QString file = QDir(folder).absoluteFilePath(kPageModuleFile);
    if (!files.contains(file)) files << file;
  }
  return files;
}

}  // namespace

void PreparePageBrowserBeforeApplication() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (::geteuid() == 0 && !std::getenv("QTWEBENGINE_DISABLE_SANDBOX")) {
    ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
  }
}

bool PageModuleLoaded() {
  return gCreate != nullptr;
}

IPageBrowser* CreatePageBrowser(IPageBrowserEvents& events, QWidget* parent, QString* error) {
  if (!gCreate) {
    QStringList tried;
    for (const QString& file : moduleCandidates()) {
      if (!QFileInfo::exists(file)) continue;
      // Never unloaded: the browser cannot be shut down and started again.
      QLibrary library(file);
      if (!library.load()) {
        tried << library.errorString();
        continue;
      }
      gCreate = reinterpret_cast<TCreatePageBrowser>(library.resolve(kCreatePageBrowserSymbol));
      if (gCreate) break;
      tried << file + ": no " + kCreatePageBrowserSymbol;
    }
    if (!gCreate) {
      if (error) {
        *error = tried.isEmpty()
                     ? QString("%1 was not found beside the program.").arg(kPageModuleFile)
                     : tried.join("\n");
      }
      return nullptr;
    }
  }
  return gCreate(&events, parent);
}

}  // namespace duduri
