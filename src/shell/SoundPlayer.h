#pragma once
// The sound players of the main window: TPzMediaPlayerCollection keeps one
// TPzMediaPlayer per project sound, in project order, so the position of a
// sound in the project's sound list is the position of its player here.
//
// A player plays its data by its format: waveform and MIDI data through the
// shared low-latency device of its list (silent when there is none), MP3 and
// WMA data through a media player reading a private temporary file. With
// Continue on, a sound plays again from the start whenever it ends; for MP3
// and WMA a 10 ms threaded timer also rewinds a player found at its end.
//
// Everything runs on the user-interface thread; nothing waits for a sound.
// Players hold references to their platform, which must outlive the list.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "board/ThreadedTimer.h"
#include "project/ByteStream.h"
#include "shell/SoundBackend.h"
#include "shell/SoundTempFile.h"

namespace duduri {

class TJigsawProject2;

enum TSoundFormat { sfUnknown = 0, sfWAV = 1, sfMIDI = 2, sfMP3 = 3, sfWMA = 4 };

// The format of a stored association code: 1 waveform, 2 MIDI, 3 WMA,
// 4 MP3; anything else sfUnknown.
TSoundFormat SoundFormatOfCode(std::uint8_t code);

inline constexpr std::uint32_t kLoopTimerInterval = 10;  // milliseconds
inline constexpr int kMidiRepeatForever = 65535;

class TPzMediaPlayer {
 public:
  // `device` is the list's shared device, or nullptr.
  TPzMediaPlayer(ISoundPlatform& platform, ISoundDevice* device);
  ~TPzMediaPlayer();
  TPzMediaPlayer(const TPzMediaPlayer&) = delete;
  TPzMediaPlayer& operator=(const TPzMediaPlayer&) = delete;

  TSoundFormat SoundFormat() const { return format_; }
  void SetSoundFormat(TSoundFormat format);
  bool Continue() const { return continue_; }
  void SetContinue(bool value);
  const std::filesystem::path& Filename() const { return filename_; }
  // Loads the file when it exists (as LoadFromStream with its bytes).
  void SetFilename(const std::filesystem::path& file);
  bool isPlaying() const { return playing_; }
  // Milliseconds; 0 for waveform sounds.
  std::int64_t Position() const;
  std::int64_t Length() const;
  ISoundDevice* DXSound() const { return device_; }
  // Raised when an MP3 or WMA sound ends without looping.
  std::function<void(TSender sender)> OnFinished;

  // Prepares the sound from `data` by the current format. Data that cannot
  // be played leaves the player silent.
  void LoadFromStream(TByteSpan data);
  // MP3 and WMA: opens the media player when it exists and is not open yet.
  void Open();
  void Play();
  void Stop();
  // Stops and releases the loaded sound (the MIDI item stays).
  void Unload();

  bool IsOpen() const { return open_; }
  bool PlayRequested() const { return playRequested_; }
  // The file an MP3 or WMA sound was written to; empty for other formats.
  const std::filesystem::path& TemporaryFile() const { return tempFile_.Path(); }

 private:
  bool isMedia() const { return format_ == sfMP3 || format_ == sfWMA; }
  void releaseMedia();
  void mediaNotify(TMediaMode mode);
  void playAgain();
  void finished();
  void loopTick();
  void updateLoopTimer();

  ISoundPlatform& platform_;
  ISoundDevice* device_;
  TSoundFormat format_ = sfUnknown;
  bool continue_ = false;
  bool playing_ = false;
  bool open_ = false;
  bool playRequested_ = false;
  std::filesystem::path filename_;
  std::unique_ptr<IWaveItem> wave_;
  std::unique_ptr<IMidiItem> midi_;
  std::unique_ptr<IMediaPlayer> media_;
  TSoundTempFile tempFile_;
  TThreadedTimer loopTimer_;
};

class TPzMediaPlayerCollection {
 public:
  explicit TPzMediaPlayerCollection(ISoundPlatform& platform);
  // Frees the players, then the shared device.
  ~TPzMediaPlayerCollection();
  TPzMediaPlayerCollection(const TPzMediaPlayerCollection&) = delete;
  TPzMediaPlayerCollection& operator=(const TPzMediaPlayerCollection&) = delete;

  int Count() const { return int(players_.size()); }
  // Frees every player (and its temporary file).
  void Clear();
  // A new player on the shared device, which the first add creates.
  TPzMediaPlayer& Add();
  // nullptr for an index outside the list.
  TPzMediaPlayer* Item(int index) const;
  ISoundDevice* DXSound() const { return device_.get(); }

  // Clears the list and adds one player per project sound, in project
  // order, with the format of the sound's association code.
  void LoadProjectSounds(const TJigsawProject2& project);
  void StopMidi();

 private:
  void createDevice();

  ISoundPlatform& platform_;
  std::unique_ptr<ISoundDevice> device_;
  bool deviceFailed_ = false;
  std::vector<std::unique_ptr<TPzMediaPlayer>> players_;
};

}  // namespace duduri
