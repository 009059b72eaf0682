#include "PageTestKit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <cstdlib>

#include "shell/ui/HtmlPageWindow.h"
#include "shell/ui/PageModule.h"

namespace duduri::test {

namespace {

// The browser needs these before the application object exists; the test
// main makes that object, so they are set while the program loads.
const bool gPrepared = [] {
  PreparePageBrowserBeforeApplication();
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  return true;
}();

QString writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

}  // namespace

TPageFolder::TPageFolder() {
  (void)gPrepared;
  QDir().mkpath(Base());
  QDir().mkpath(Outside());
}

QString TPageFolder::Write(const QString& relative, const QByteArray& text) const {
  return writeFile(Base() + "/" + relative, text);
}

QString TPageFolder::WriteOutside(const QString& relative, const QByteArray& text) const {
  return writeFile(Outside() + "/" + relative, text);
}

QString TPageFolder::WritePicture(const QString& path) const {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QImage image(24, 16, QImage::Format_RGB32);
  image.fill(Qt::darkGreen);
  image.save(path, "PNG");
  return path;
}

QWebEngineView* ViewOf(TfrmHTML& window) {
  return window.findChild<QWebEngineView*>();
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QEventLoop loop;
    QTimer::singleShot(10, &loop, &QEventLoop::quit);
    loop.exec();
  }
  return true;
}

void Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

bool WaitCompleted(TfrmHTML& window, int count, int timeoutMs) {
  return WaitFor([&] { return window.CompletedCount() >= count; }, timeoutMs);
}

QVariant Evaluate(TfrmHTML& window, const QString& script) {
  QWebEngineView* view = ViewOf(window);
  if (!view) return {};
  QVariant result;
  bool done = false;
  QEventLoop loop;
  view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& v) {
    result = v;
    done = true;
    loop.quit();
  });
  QTimer::singleShot(10000, &loop, &QEventLoop::quit);
  if (!done) loop.exec();
  return result;
}

QString TextOf(TfrmHTML& window, const QString& selector) {
  return Evaluate(window, QString("(function(){const e=document.querySelector('%1');"
                                  "return e ? e.textContent : '';})()")
                              .arg(selector))
      .toString();
}

bool ClickOn(TfrmHTML& window, const QString& selector) {
  QWebEngineView* view = ViewOf(window);
  if (!view) return false;
  const QVariantList box =
      Evaluate(window,
               QString("(function(){const e=document.querySelector('%1');"
                       "if(!e) return [];e.scrollIntoView();const r=e.getBoundingClientRect();"
                       "return [r.left+r.width/2, r.top+r.height/2];})()")
                   .arg(selector))
          .toList();
  if (box.size() != 2) return false;
  QWidget* target = view->focusProxy() ? view->focusProxy() : view;
  const QPointF at(box[0].toDouble(), box[1].toDouble());
  const QPointF global = target->mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(target, &release);
  return true;
}

TCommandRecorder::TCommandRecorder() {
  SetCommandHandler([this](void*, std::int32_t code, const TScriptParameter& parameter) {
    TRecordedCommand c;
    c.Code = code;
    c.Parameter.Assign(parameter);
    Commands.push_back(std::move(c));
  });
}

TCommandRecorder::~TCommandRecorder() {
  SetCommandHandler({});
}

std::int32_t IntegerOf(const TScriptParam& parameter) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4 && i < parameter.Data.size(); ++i) {
    v |= std::uint32_t(parameter.Data[i]) << (8 * i);
  }
  return std::int32_t(v);
}

}  // namespace duduri::test
