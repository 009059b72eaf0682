// The baseline of the start-up benchmark: the smallest Qt Widgets program
// that shows one frame, then ends.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class TOneFrame : public QWidget {
 protected:
  bool event(QEvent* e) override {
    const bool handled = QWidget::event(e);
    if (e->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    return handled;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TOneFrame window;
  window.resize(608, 430);
  window.show();
  return app.exec();
}
