#pragma once
// What the sound players ask of the audio output. The player program
// implements these over Qt Multimedia and FluidSynth (src/shell/ui); tests
// implement them with fakes. Every call is made on the user-interface thread
// and returns at once: nothing here waits for a sound to start or end.
//
// A platform without a sound device, a sound server or a soundfont, or data
// that does not decode, must stay silent and never report anything to the
// user; the players never look at why.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "board/ThreadedTimer.h"
#include "project/ByteStream.h"
#include "raster/Error.h"

namespace duduri {

// Raised by the sound readers; the message names the format.
class ESoundError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// What a media player reports, later than the command or the change that
// caused it, on the user-interface thread. mmStopped means that playback
// stopped by itself (the end of the media), not that Stop was called.
enum class TMediaMode { mmNotReady, mmStopped, mmPlaying, mmPaused, mmOpen };

// A waveform sound held by the shared device.
class IWaveItem {
 public:
  virtual ~IWaveItem() = default;
  virtual void SetLooping(bool looping) = 0;
  // From the start, also when it is playing.
  virtual void Play() = 0;
  virtual void Stop() = 0;
};

// A MIDI sound held by the shared device.
class IMidiItem {
 public:
  virtual ~IMidiItem() = default;
  // How often the sound plays again after its end.
  virtual void SetRepeatCount(int count) = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  // Milliseconds.
  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Length() const = 0;
};

// The low-latency device shared by a whole player list.
class ISoundDevice {
 public:
  virtual ~ISoundDevice() = default;
  // Items over a copy of `data`; nullptr when the data cannot be played.
  // Items must be freed before the device.
  virtual std::unique_ptr<IWaveItem> AddWave(TByteSpan data) = 0;
  virtual std::unique_ptr<IMidiItem> AddMidi(TByteSpan data) = 0;
};

// A player of compressed-audio files (MP3, WMA).
class IMediaPlayer {
 public:
  virtual ~IMediaPlayer() = default;
  // Never called once the media player has been destroyed.
  virtual void SetNotify(std::function<void(TMediaMode)> notify) = 0;
  // Prepares `file`; false when it cannot be opened at all. Playing may be
  // asked for at once; a file that turns out not to decode reports
  // mmNotReady.
  virtual bool Open(const std::filesystem::path& file) = 0;
  virtual void Close() = 0;
  virtual void Play() = 0;
  virtual void Stop() = 0;
  virtual void Seek(std::int64_t ms) = 0;
  // Milliseconds; 0 while unknown.
  virtual std::int64_t Position() const = 0;
  virtual std::int64_t Length() const = 0;
};

class ISoundPlatform {
 public:
  virtual ~ISoundPlatform() = default;
  // The shared device: nullptr when it does not initialise (asked again at
  // the next player); an exception when it fails (never asked again).
  virtual std::unique_ptr<ISoundDevice> CreateDevice() = 0;
  virtual std::unique_ptr<IMediaPlayer> CreateMediaPlayer() = 0;
  // Where the players' loop timers hand their ticks to the UI thread.
  virtual ITimerHandOver& TimerHandOver() = 0;
  virtual ITimerClock& TimerClock() { return SystemTimerClock(); }
  // Folders for the temporary files of MP3 and WMA sounds, in the order
  // they are tried: the user's temporary folder first.
  virtual std::vector<std::filesystem::path> TemporaryFolders() const;
  // Stops what the system sound call plays (nothing, on this platform).
  virtual void StopSystemSound() {}
};

}  // namespace duduri
