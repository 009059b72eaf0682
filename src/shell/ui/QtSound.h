#pragma once
// The player's sound: TSoundEvents over TQtSoundPlatform. Waveform and MIDI
// sounds go through one mixer pulled by a QAudioSink (the shared device),
// MIDI rendered by FluidSynth with a General MIDI soundfont named by its full
// path; MP3 and WMA sounds play in QMediaPlayers. All of it runs on the
// audio thread (AudioThread.h), which starts with the first sound of the
// first project that has any.
//
// No sound server, no device, no soundfont, data that does not decode: that
// sound or every sound is silent; nothing is reported and nothing waits.

#include <QObject>
#include <filesystem>
#include <memory>
#include <vector>

#include "shell/SoundBackend.h"
#include "shell/SoundSeam.h"

namespace duduri {

class TAudioThread;

// The General MIDI soundfonts looked for, the small one first.
std::vector<std::filesystem::path> DefaultSoundfonts();

// Hands threaded-timer ticks to the UI thread as queued calls.
class TQtTimerHandOver : public ITimerHandOver {
 public:
  void Post(std::function<void()> call) override;

 private:
  QObject receiver_;  // lives on the UI thread
};

class TQtSoundPlatform : public ISoundPlatform {
 public:
  explicit TQtSoundPlatform(std::vector<std::filesystem::path> soundfonts = DefaultSoundfonts());
  // Every device, item and media player it made must be gone by then.
  ~TQtSoundPlatform() override;

  std::unique_ptr<ISoundDevice> CreateDevice() override;
  std::unique_ptr<IMediaPlayer> CreateMediaPlayer() override;
  ITimerHandOver& TimerHandOver() override { return handOver_; }

  // The audio thread, once a device or media player has needed it.
  TAudioThread* Audio() const { return audio_.get(); }

 private:
  TAudioThread& audio();

  std::vector<std::filesystem::path> soundfonts_;
  TQtTimerHandOver handOver_;
  std::shared_ptr<TAudioThread> audio_;
};

// The sound seam of the running player.
std::unique_ptr<TSoundSeam> CreateQtSound();

}  // namespace duduri
