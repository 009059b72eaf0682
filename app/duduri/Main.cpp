// The player: a Qt application whose main window plays the project carried
// by this executable, or else the project, puzzle executable or picture named
// by the first argument (the installed sample when there is none).

#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "shell/GameFlow.h"
#include "shell/PicturePrefetch.h"
#include "shell/ShellTexts.h"
#include "shell/ui/HtmlPageWindow.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PageModule.h"
#include "shell/ui/PlayArea.h"

// Two builds of this file exist only for the start-up benchmark
// (bench/pagestartup.cpp): one without the page browser's preparation, and
// one that links the browser outright instead of loading it on demand.
#ifdef DUDURI_LINK_WEBENGINE
#include <QWebEngineProfile>
#endif

namespace {

bool haveDisplay() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  return (platform && *platform) || std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// Milliseconds since the process started: the kernel's start time (in clock
// ticks since boot) against the boot clock now.
double millisecondsSinceProcessStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  // Field 22, counted after the command name (which may hold spaces).
  const std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::size_t at = close + 2;
  for (int field = 3; field < 22 && at != std::string::npos; ++field) {
    at = text.find(' ', at);
    if (at != std::string::npos) ++at;
  }
  if (at == std::string::npos) return -1;
  const double startTicks = std::strtod(text.c_str() + at, nullptr);
  timespec now{};
  clock_gettime(CLOCK_BOOTTIME, &now);
  const double ticksPerSecond = double(sysconf(_SC_CLK_TCK));
  return (double(now.tv_sec) + double(now.tv_nsec) * 1e-9 - startTicks / ticksPerSecond) * 1000.0;
}

// DUDURI_EXIT_AFTER_FIRST_FRAME=1 ends the program once the first game's
// first frame has been painted: how start-up time is measured. It writes
// "pieces N, M ms from process start to the first painted frame" on
// standard error first.
class TFirstFrameExit : public QObject {
 public:
  explicit TFirstFrameExit(duduri::TfrmMain& window) : window_(window) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && window_.Flow().Board() && !done_) {
      done_ = true;
      const int pieces = window_.Flow().Board()->PiecesTotal();
      // After the paint event has been handled and the frame flushed.
      QTimer::singleShot(0, qApp, [pieces] {
        std::fprintf(stderr, "pieces %d, %.0f ms from process start to the first painted frame\n",
                     pieces, millisecondsSinceProcessStart());
        std::fflush(stderr);
        QCoreApplication::exit(0);
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  duduri::TfrmMain& window_;
  bool done_ = false;
};

// DUDURI_EXIT_AFTER_FIRST_PAGE=1 ends the program once the first HTML page
// is set up: how the cost of the first page is measured. The page may be
// running modally inside the window's creation, so a timer watches for it.
void exitAfterFirstPage() {
  auto* timer = new QTimer(qApp);
  timer->setInterval(2);
  QObject::connect(timer, &QTimer::timeout, [] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      const auto* page = qobject_cast<const duduri::TfrmHTML*>(w);
      if (page && page->CompletedCount() > 0) {
        std::fflush(nullptr);
        std::_Exit(0);
      }
    }
  });
  timer->start();
}

}  // namespace

int main(int argc, char** argv) {
  if (!haveDisplay()) {
    std::fprintf(stderr,
                 "duduri: no display to show the game on (set DISPLAY, or run it under "
                 "xvfb-run)\n");
    return 1;
  }
  // The first game's picture is decoded while the window system starts.
  duduri::TShellEnvironment environment =
      duduri::StartPicturePrefetch(duduri::RunningEnvironment(argc, argv));
  struct TPrefetchWait {
    ~TPrefetchWait() { duduri::WaitForPicturePrefetch(); }
  } prefetchWait;
#ifndef DUDURI_WITHOUT_PAGES
  duduri::PreparePageBrowserBeforeApplication();
#endif
  QApplication app(argc, argv);
#ifdef DUDURI_LINK_WEBENGINE
  // Referenced so the library stays linked; never made.
  if (argc < 0) delete new QWebEngineProfile;
#endif
  const char* exitAtPage = std::getenv("DUDURI_EXIT_AFTER_FIRST_PAGE");
  if (exitAtPage && *exitAtPage == '1') exitAfterFirstPage();
  QApplication::setApplicationName("duduri");
  // The window decides when the program ends: dialogs shown while it is
  // hidden between games must not end it.
  QApplication::setQuitOnLastWindowClosed(false);

  duduri::TfrmMain window(std::move(environment));
  // Nothing to play ends quietly; a file that could not be played has been
  // reported and ends with a failure status.
  if (window.Terminated()) return window.Flow().ExitStatus();
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
