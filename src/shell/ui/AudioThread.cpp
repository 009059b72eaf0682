#include "shell/ui/AudioThread.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QSemaphore>
#include <QThread>
#include <QTimer>

namespace duduri {

namespace {

constexpr int kFrameBytes = 4;              // two 16-bit channels
constexpr int kSinkBufferMs = 100;          // latency of event sounds
constexpr int kIdleCheckMs = 1000;
constexpr int kIdleChecksBeforeStop = 2;  // seconds of silence before the stream closes
constexpr int kShutdownWaitMs = 3000;

// The mixer as the sink's source: it always has frames (silence when
// nothing plays).
class TMixerDevice : public QIODevice {
 public:
  explicit TMixerDevice(std::shared_ptr<TPcmMixer> mixer, QObject* parent)
      : QIODevice(parent), mixer_(std::move(mixer)) {}
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override {
    return QIODevice::bytesAvailable() + kMixRate * kFrameBytes;
  }

 protected:
  qint64 readData(char* data, qint64 maxSize) override {
    const qint64 frames = maxSize / kFrameBytes;
    if (frames <= 0) return 0;
    mixer_->Render(reinterpret_cast<std::int16_t*>(data), std::size_t(frames));
    return frames * kFrameBytes;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  std::shared_ptr<TPcmMixer> mixer_;
};

}  // namespace

// Lives on the audio thread: the sink, its source and the idle check.
class TAudioOutput : public QObject {
 public:
  explicit TAudioOutput(std::shared_ptr<TPcmMixer> mixer) : mixer_(std::move(mixer)) {}

  void Wake() {
    idleChecks_ = 0;
    if (failed_ || sink_) return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kMixRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
      // No server, no device: stay silent rather than ask on every sound.
      failed_ = true;
      return;
    }
    sink_ = new QAudioSink(device, format, this);
    sink_->setBufferSize(kMixRate * kFrameBytes * kSinkBufferMs / 1000);
    if (!source_) {
      source_ = new TMixerDevice(mixer_, this);
      source_->open(QIODevice::ReadOnly);
    }
    sink_->start(source_);
    if (sink_->error() != QAudio::NoError) {
      closeSink();
      failed_ = true;
      return;
    }
    if (!idle_) {
      idle_ = new QTimer(this);
      idle_->setInterval(kIdleCheckMs);
      QObject::connect(idle_, &QTimer::timeout, this, [this] { checkIdle(); });
    }
    idle_->start();
  }

  void Shutdown() {
    if (idle_) idle_->stop();
    closeSink();
  }

 private:
  // A sink is not started again once stopped (Qt 6.4 then no longer pulls
  // from its source): each stretch of sound gets a new one.
  void closeSink() {
    if (!sink_) return;
    sink_->stop();
    delete sink_;
    sink_ = nullptr;
  }

  // A stream playing silence keeps the sound server busy for nothing.
  void checkIdle() {
    if (mixer_->Busy()) {
      idleChecks_ = 0;
      return;
    }
    if (++idleChecks_ < kIdleChecksBeforeStop) return;
    idle_->stop();
    closeSink();
  }

  std::shared_ptr<TPcmMixer> mixer_;
  QAudioSink* sink_ = nullptr;
  TMixerDevice* source_ = nullptr;
  QTimer* idle_ = nullptr;
  int idleChecks_ = 0;
  bool failed_ = false;
};

TAudioThread::TAudioThread() : mixer_(std::make_shared<TPcmMixer>()) {
  thread_ = new QThread;
  thread_->setObjectName("duduri-audio");
  output_ = new TAudioOutput(mixer_);
  output_->moveToThread(thread_);
  thread_->start();
}

TAudioThread::~TAudioThread() {
  // Everything posted before runs first; then the output goes, on its own
  // thread. A thread stuck in the sound system is left behind rather than
  // waited for: the program is ending.
  auto done = std::make_shared<QSemaphore>();
  TAudioOutput* output = output_;
  QMetaObject::invokeMethod(
      output_,
      [output, done] {
        output->Shutdown();
        // Deleted as the thread finishes, not inside its own event.
        output->deleteLater();
        done->release();
      },
      Qt::QueuedConnection);
  if (!done->tryAcquire(1, kShutdownWaitMs)) return;
  thread_->quit();
  if (thread_->wait(kShutdownWaitMs)) delete thread_;
}

namespace {
std::shared_ptr<TAudioThread>& sharedAudio() {
  static std::shared_ptr<TAudioThread> audio;
  return audio;
}
}  // namespace

std::shared_ptr<TAudioThread> SharedAudioThread() {
  std::shared_ptr<TAudioThread>& audio = sharedAudio();
  if (!audio) {
    audio = std::make_shared<TAudioThread>();
    // Before the application object goes, while the event loops still work.
    qAddPostRoutine([] { sharedAudio().reset(); });
  }
  return audio;
}

void TAudioThread::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(output_, std::move(call), Qt::QueuedConnection);
}

QObject* TAudioThread::Context() const {
  return output_;
}

void TAudioThread::Wake() {
  TAudioOutput* output = output_;
  Post([output] { output->Wake(); });
}

}  // namespace duduri
