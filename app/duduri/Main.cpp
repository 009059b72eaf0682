// The player: a Qt application whose main window plays the project carried
// by this executable, or the project file named by the first argument.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PageModule.h"
#include "shell/ui/PlayArea.h"

namespace {

bool haveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return (platform && *platform) || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// DUDURI_EXIT_AFTER_FIRST_FRAME=1 ends the program once the first game's
// first frame has been painted: how start-up time is measured.
class TFirstFrameExit : public QObject {
 public:
  explicit TFirstFrameExit(duduri::TfrmMain& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && window_.Flow().Board() && !done_) {
      done_ = true;
      QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  duduri::TfrmMain& window_;
  bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (!haveDisplay()) {
    std::fprintf(stderr,
                 "duduri: no display to show the game on (set DISPLAY, or run it under "
                 "xvfb-run)\n");
    return 1;
  }
  duduri::PreparePageBrowserBeforeApplication();
  QApplication app(argc, argv);
  QApplication::setApplicationName("duduri");
  // The window decides when the program ends: dialogs shown while it is
  // hidden between games must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  duduri::TfrmMain window(duduri::RunningEnvironment(argc, argv));
  if (window.Terminated()) return 0;
  // exit, not quit: quit would ask every window to close, and the main
  // window's close query asks the player.
  QObject::connect(
      &window, &duduri::TfrmMain::Closed, &app, [] { QCoreApplication::exit(0); },
      Qt::QueuedConnection);
  QObject::connect(
      &window, &duduri::TfrmMain::Terminating, &app, [] { QCoreApplication::exit(0); },
      Qt::QueuedConnection);
  TFirstFrameExit firstFrame(window);
  const char* exitEarly = std::getenv("DUDURI_EXIT_AFTER_FIRST_FRAME");
  if (exitEarly && *exitEarly == '1') window.PlayAreaWidget().installEventFilter(&firstFrame);
  window.show();
  return app.exec();
}
