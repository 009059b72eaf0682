#pragma once
// Real sound for the tests: a PulseAudio server of our own with one null
// sink, started in a private folder and told to every client through
// PULSE_SERVER (so nothing else on the machine hears it or is heard), and a
// recorder of that sink's monitor that tells sound from silence by RMS.
//
// Waits poll the recording with generous bounds and process the event loop
// meanwhile; no test asserts how long anything took.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/TestProject.h"

namespace duduri::test {

inline constexpr int kRecordRate = 22050;
inline constexpr int kWindowMs = 100;
inline constexpr double kSoundRms = 300;   // a half-volume tone gives about 11 000
inline constexpr double kSilenceRms = 30;
inline constexpr int kSoundBoundMs = 20000;  // what a loaded machine may need

inline void pumpEvents(int ms) {
  QElapsedTimer t;
  t.start();
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(2);
  } while (t.elapsed() < ms);
}

class TNullSinkServer {
 public:
  // Starts the server; Ready() tells whether it answers.
  TNullSinkServer() {
    dir_ = std::make_unique<QTemporaryDir>();
    socket_ = dir_->filePath("native");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", dir_->path());
    env.insert("XDG_RUNTIME_DIR", dir_->path());
    env.remove("PULSE_SERVER");
    server_.setProcessEnvironment(env);
    server_.setProgram("pulseaudio");
    // It ends by itself once no client has come for a while, also when a
    // failed test never got to stop it.
    server_.setArguments({"--daemonize=no", "--exit-idle-time=30", "--use-pid-file=no", "-n",
                          "--load=module-null-sink sink_name=null",
                          "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket_});
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.setStandardOutputFile(QProcess::nullDevice());
    server_.start();
    if (!server_.waitForStarted(10000)) return;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < kSoundBoundMs && server_.state() == QProcess::Running) {
      QProcess info;
      info.start("pactl", {"--server=" + Address(), "info"});
      if (info.waitForFinished(5000) && info.exitCode() == 0) {
        ready_ = true;
        return;
      }
      QThread::msleep(50);
    }
  }
  ~TNullSinkServer() {
    if (server_.state() == QProcess::NotRunning) return;
    server_.terminate();
    if (!server_.waitForFinished(5000)) {
      server_.kill();
      server_.waitForFinished(5000);
    }
  }
  bool Ready() const { return ready_; }
  QString Address() const { return "unix:" + socket_; }

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  QString socket_;
  QProcess server_;
  bool ready_ = false;
};

// Records the null sink's monitor from its creation on.
class TRecorder {
 public:
  explicit TRecorder(const QString& server) {
    parec_.start("parec", {"--server=" + server, "-d", "null.monitor", "--raw",
                           "--format=s16le", "--channels=1",
                           "--rate=" + QString::number(kRecordRate), "--latency-msec=20"});
    parec_.waitForStarted(10000);
  }
  ~TRecorder() {
    parec_.kill();
    parec_.waitForFinished(5000);
  }

  // Waits until `windowMs` of sound (`want`) or of silence have been
  // recorded after this call; false when none came within `boundMs`.
  bool WaitFor(bool want, int windowMs, int boundMs) {
    drain();
    std::size_t from = samples_.size();
    const std::size_t window = std::size_t(kRecordRate) * std::size_t(windowMs) / 1000;
    const std::size_t step = kRecordRate / 20;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < boundMs) {
      pumpEvents(20);
      drain();
      while (samples_.size() - from >= window) {
        const double rms = Rms(from, window);
        if (want ? rms > kSoundRms : rms < kSilenceRms) return true;
        from += step;
      }
    }
    return false;
  }
  bool WaitForSound(int boundMs = kSoundBoundMs) { return WaitFor(true, kWindowMs, boundMs); }
  // Silence that lasts long enough not to be a pause between notes.
  bool WaitForSilence(int boundMs = kSoundBoundMs) { return WaitFor(false, 700, boundMs); }
  double Rms(std::size_t from, std::size_t count) const {
    double sum = 0;
    for (std::size_t i = from; i < from + count; ++i) sum += double(samples_[i]) * samples_[i];
    return std::sqrt(sum / double(count));
  }

 private:
  void drain() {
    const QByteArray bytes = parec_.readAllStandardOutput();
    pending_.append(bytes);
    const qsizetype whole = pending_.size() / 2 * 2;
    if (whole == 0) return;
    const std::size_t at = samples_.size();
    samples_.resize(at + std::size_t(whole / 2));
    std::memcpy(samples_.data() + at, pending_.constData(), std::size_t(whole));
    pending_.remove(0, whole);
  }

  QProcess parec_;
  QByteArray pending_;
  std::vector<std::int16_t> samples_;
};

inline TBytes soundFile(const char* name) {
  return ReadFileBytes(std::string(DUDURI_TEST_DATA) + "/sound/" + name);
}

}  // namespace duduri::test
