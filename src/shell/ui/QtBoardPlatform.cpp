#include "shell/ui/QtBoardPlatform.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "shell/ShellServices.h"
#include "shell/ui/SlotGuard.h"

namespace duduri {

namespace {

class TQtBoardTimer : public IBoardTimer {
 public:
  TQtBoardTimer(int interval, bool enabled, std::function<void()> onTick)
      : timer_(new QTimer), alive_(std::make_shared<bool>(true)) {
    timer_->setInterval(std::max(0, interval));
    timer_->setTimerType(interval < 100 ? Qt::PreciseTimer : Qt::CoarseTimer);
    auto alive = alive_;
    QObject::connect(timer_, &QTimer::timeout, [alive, onTick = std::move(onTick)] {
      if (*alive) GuardSlot(onTick);
    });
    if (enabled) timer_->start();
  }
  ~TQtBoardTimer() override {
    // The board may free a timer from inside its own tick: stop it and let
    // Qt delete it once the tick has returned.
    *alive_ = false;
    timer_->stop();
    timer_->deleteLater();
  }
  void SetEnabled(bool enabled) override {
    if (enabled == timer_->isActive()) return;
    if (enabled) {
      timer_->start();
    } else {
      timer_->stop();
    }
  }
  bool Enabled() const override { return timer_->isActive(); }
  void SetInterval(int milliseconds) override { timer_->setInterval(std::max(0, milliseconds)); }
  int Interval() const override { return timer_->interval(); }

 private:
  QTimer* timer_;
  std::shared_ptr<bool> alive_;
};

}  // namespace

TQtBoardPlatform::TQtBoardPlatform(IShellServices& services, QObject* parent)
    : QObject(parent), services_(services) {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const double rate = screen->refreshRate();
    if (rate >= 20 && rate <= 500) frameInterval_ = std::max(2, int(std::lround(1000.0 / rate)));
  }
  idleTimer_.setSingleShot(true);
  idleTimer_.setTimerType(Qt::PreciseTimer);
  connect(&idleTimer_, &QTimer::timeout, this, &TQtBoardPlatform::pass);
  sinceLastPass_.start();
}

TQtBoardPlatform::~TQtBoardPlatform() = default;

std::unique_ptr<IBoardTimer> TQtBoardPlatform::CreateTimer(int intervalMilliseconds, bool enabled,
                                                           std::function<void()> onTick) {
  return std::make_unique<TQtBoardTimer>(intervalMilliseconds, enabled, std::move(onTick));
}

void TQtBoardPlatform::SetIdleHandler(std::function<void(bool& done)> handler) {
  if (!handler) {
    idle_.reset();
    idleTimer_.stop();
    return;
  }
  idle_ = std::make_shared<std::function<void(bool&)>>(std::move(handler));
  wanted_ = true;
  schedule();
}

void TQtBoardPlatform::InputArrived() {
  wanted_ = true;
  if (idle_) schedule();
}

void TQtBoardPlatform::schedule() {
  if (idleTimer_.isActive()) return;
  const qint64 since = sinceLastPass_.elapsed();
  idleTimer_.start(int(std::max<qint64>(0, frameInterval_ - since)));
}

void TQtBoardPlatform::pass() {
  if (!idle_ || !wanted_) return;
  wanted_ = false;
  sinceLastPass_.restart();
  ++passes_;
  // The handler may remove or replace itself during the call.
  const std::shared_ptr<std::function<void(bool&)>> handler = idle_;
  bool done = true;
  GuardSlot([&] { (*handler)(done); });
  if (!done && idle_ && wanted_) schedule();
}

bool TQtBoardPlatform::AskYesNo(const std::string& question) {
  return services_.MessageBox(question, TMsgKind::mkConfirmation, TMsgButtons::mbYesNo) ==
         TModalResult::mrYes;
}

TColor32 TQtBoardPlatform::WorkspaceColor() const {
  // The desktop's application-workspace grey.
  return 0xFFABABAB;
}

}  // namespace duduri
