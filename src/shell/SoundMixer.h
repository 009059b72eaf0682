#pragma once
// TPcmMixer: the shared sound device's mixing. Waveform and MIDI sounds are
// voices that produce 16-bit stereo frames at kMixRate; the output thread
// asks the mixer for frames and gets the sum of every voice that plays,
// clipped, or silence.
//
// Threads: Play, Stop and the queries are called on the user-interface
// thread; Render, and with it every voice's Prepare, MixInto and Rewind, on
// the output thread only. Prepare runs outside the mixer's lock, so a slow
// first use (a synthesiser loading its soundfont) never holds up the UI.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace duduri {

inline constexpr int kMixRate = 44100;  // frames per second, two channels

class IPcmVoice {
 public:
  virtual ~IPcmVoice() = default;
  // First-use work, called once on the output thread before the voice's
  // first frames; false leaves the voice silent for good.
  virtual bool Prepare() { return true; }
  // Adds up to `frames` stereo frames (left and right interleaved) to `mix`
  // and returns how many it had: fewer than asked means it has ended.
  virtual std::size_t MixInto(std::int32_t* mix, std::size_t frames) = 0;
  // Back to the start.
  virtual void Rewind() = 0;

 private:
  friend class TPcmMixer;
  enum class TPrepared { kNotYet, kReady, kFailed };
  TPrepared prepared_ = TPrepared::kNotYet;  // the output thread's
};

class TPcmMixer {
 public:
  // Starts `voice` from its beginning, also when it plays already; after its
  // end it plays again `repeats` more times.
  void Play(std::shared_ptr<IPcmVoice> voice, int repeats);
  void Stop(const IPcmVoice* voice);
  bool Playing(const IPcmVoice* voice) const;
  // Frames played since the voice last started from its beginning.
  std::uint64_t FramesPlayed(const IPcmVoice* voice) const;
  // Whether any voice plays.
  bool Busy() const;

  // The output thread: `frames` stereo frames into `out`.
  void Render(std::int16_t* out, std::size_t frames);

 private:
  struct TEntry {
    std::shared_ptr<IPcmVoice> voice;
    int repeats = 0;
    bool restart = true;
    std::uint64_t played = 0;
  };
  // Mixes one entry into mix_; false when it has ended.
  bool mixEntry(TEntry& entry, std::size_t frames);

  mutable std::mutex mutex_;
  std::vector<TEntry> entries_;
  std::vector<std::int32_t> mix_;
};

}  // namespace duduri
