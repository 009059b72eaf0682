#pragma once
// TQtMediaPlayer: the media player of MP3 and WMA sounds, a QMediaPlayer with
// a QAudioOutput (GStreamer) living on the audio thread. This object, on the
// user-interface thread, forwards commands there and brings the player's
// changes back as media modes, queued to the UI thread:
//   playing / paused     when the playback state becomes that,
//   stopped              when playback stops by itself (the end of the media;
//                        a Stop asked for here is not reported),
//   open / not ready     when the file has loaded / turned out not to decode.
// Position and length (milliseconds) are the latest the player reported.

#include <memory>

#include "shell/SoundBackend.h"

namespace duduri {

class TAudioThread;
class TMediaCore;
struct TMediaShared;

class TQtMediaPlayer : public IMediaPlayer {
 public:
  explicit TQtMediaPlayer(TAudioThread& audio);
  ~TQtMediaPlayer() override;

  void SetNotify(std::function<void(TMediaMode)> notify) override;
  bool Open(const std::filesystem::path& file) override;
  void Close() override;
  void Play() override;
  void Stop() override;
  void Seek(std::int64_t ms) override;
  std::int64_t Position() const override;
  std::int64_t Length() const override;

 private:
  TAudioThread& audio_;
  std::shared_ptr<TMediaShared> shared_;
  TMediaCore* core_;  // lives on the audio thread; deleted there
};

}  // namespace duduri
