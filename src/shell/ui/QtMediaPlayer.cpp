#include "shell/ui/QtMediaPlayer.h"

#include <QAudioOutput>
#include <QCoreApplication>
#include <QMediaPlayer>
#include <QUrl>
#include <atomic>
#include <system_error>

#include "shell/ui/AudioThread.h"

namespace duduri {

// What the two halves share. `position` and `length` are written on the
// audio thread and read on the UI thread; `alive` and `notify` belong to
// the UI thread, where the queued modes are delivered.
struct TMediaShared {
  std::atomic<std::int64_t> position{0};
  std::atomic<std::int64_t> length{0};
  // Set when the UI half goes: what was posted before then is moot.
  std::atomic<bool> dying{false};
  bool alive = true;
  std::function<void(TMediaMode)> notify;
};

// The half on the audio thread. The QMediaPlayer is made on first open, so a
// sound that is never played costs nothing.
class TMediaCore : public QObject {
 public:
  explicit TMediaCore(std::shared_ptr<TMediaShared> shared) : shared_(std::move(shared)) {}

  void Open(const QString& file) {
    if (!player_) makePlayer();
    player_->setSource(QUrl::fromLocalFile(file));
  }
  void Close() {
    if (!player_ || shared_->dying) return;
    quietStop();
    player_->setSource(QUrl());
  }
  void Play() {
    if (!player_) return;
    // A pipeline that ran to the end of its media and is sought back may
    // play silence; loading the media again starts it afresh.
    if (player_->mediaStatus() == QMediaPlayer::EndOfMedia && pendingSeek_ <= 0) {
      const QUrl source = player_->source();
      player_->setSource(QUrl());
      player_->setSource(source);
      pendingSeek_ = -1;
    }
    if (pendingSeek_ >= 0) player_->setPosition(pendingSeek_);
    pendingSeek_ = -1;
    player_->play();
  }
  void Stop() {
    if (player_ && !shared_->dying) quietStop();
  }
  // At the end of the media the loop timer and the end notification may
  // both rewind; two seeks on the stopped pipeline can leave it playing
  // silence, so a stopped player seeks once, when it plays again.
  void Seek(qint64 ms) {
    if (!player_) return;
    if (player_->playbackState() == QMediaPlayer::StoppedState) {
      pendingSeek_ = ms;
    } else {
      player_->setPosition(ms);
    }
  }

 private:
  void makePlayer() {
    player_ = new QMediaPlayer(this);
    auto* output = new QAudioOutput(player_);
    player_->setAudioOutput(output);
    // The length may be found only while playing (an MP3 without a header
    // frame), so it is read again with every position.
    connect(player_, &QMediaPlayer::positionChanged, this, [this](qint64 ms) {
      shared_->position = ms;
      shared_->length = player_->duration();
    });
    connect(player_, &QMediaPlayer::durationChanged, this,
            [this](qint64 ms) { shared_->length = ms; });
    connect(player_, &QMediaPlayer::playbackStateChanged, this,
            [this](QMediaPlayer::PlaybackState state) {
              switch (state) {
                case QMediaPlayer::PlayingState:
                  report(TMediaMode::mmPlaying);
                  break;
                case QMediaPlayer::PausedState:
                  report(TMediaMode::mmPaused);
                  break;
                case QMediaPlayer::StoppedState:
                  if (stopAsked_) {
                    stopAsked_ = false;
                  } else {
                    report(TMediaMode::mmStopped);
                  }
                  break;
              }
            });
    connect(player_, &QMediaPlayer::mediaStatusChanged, this,
            [this](QMediaPlayer::MediaStatus status) {
              shared_->length = player_->duration();
              if (status == QMediaPlayer::LoadedMedia) report(TMediaMode::mmOpen);
              if (status == QMediaPlayer::InvalidMedia) report(TMediaMode::mmNotReady);
            });
    connect(player_, &QMediaPlayer::errorOccurred, this,
            [this](QMediaPlayer::Error, const QString&) { report(TMediaMode::mmNotReady); });
  }

  // A stop asked for is not the end of the media: the players tell the two
  // apart by whether "stopped" is reported.
  void quietStop() {
    if (player_->playbackState() == QMediaPlayer::StoppedState) return;
    stopAsked_ = true;
    player_->stop();
  }

  void report(TMediaMode mode) {
    std::shared_ptr<TMediaShared> shared = shared_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [shared, mode] {
          if (!shared->alive || !shared->notify) return;
          const auto notify = shared->notify;
          notify(mode);
        },
        Qt::QueuedConnection);
  }

  std::shared_ptr<TMediaShared> shared_;
  QMediaPlayer* player_ = nullptr;
  bool stopAsked_ = false;
  qint64 pendingSeek_ = -1;
};

TQtMediaPlayer::TQtMediaPlayer(TAudioThread& audio)
    : audio_(audio), shared_(std::make_shared<TMediaShared>()), core_(new TMediaCore(shared_)) {
  core_->moveToThread(audio_.Context()->thread());
}

TQtMediaPlayer::~TQtMediaPlayer() {
  // Stopping a pipeline that is still prerolling blocks the audio thread
  // for a second (and with it every other sound and the program's exit);
  // deleting it does not.
  shared_->dying = true;
  shared_->alive = false;
  shared_->notify = nullptr;
  TMediaCore* core = core_;
  audio_.Post([core] { delete core; });
}

void TQtMediaPlayer::SetNotify(std::function<void(TMediaMode)> notify) {
  shared_->notify = std::move(notify);
}

bool TQtMediaPlayer::Open(const std::filesystem::path& file) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return false;
  TMediaCore* core = core_;
  const QString name = QString::fromStdString(file.string());
  audio_.Post([core, name] { core->Open(name); });
  return true;
}

void TQtMediaPlayer::Close() {
  TMediaCore* core = core_;
  audio_.Post([core] { core->Close(); });
}

void TQtMediaPlayer::Play() {
  TMediaCore* core = core_;
  audio_.Post([core] { core->Play(); });
}

void TQtMediaPlayer::Stop() {
  TMediaCore* core = core_;
  audio_.Post([core] { core->Stop(); });
}

void TQtMediaPlayer::Seek(std::int64_t ms) {
  TMediaCore* core = core_;
  audio_.Post([core, ms] { core->Seek(ms); });
  // The loop check must not find the end again before the player moves.
  shared_->position = ms;
}

std::int64_t TQtMediaPlayer::Position() const {
  return shared_->position;
}

std::int64_t TQtMediaPlayer::Length() const {
  return shared_->length;
}

}  // namespace duduri
