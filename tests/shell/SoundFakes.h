#pragma once
// A sound platform of fakes: every item and media player it makes records
// what the players asked of it in a state that outlives the item, so tests
// can also see what was released. Loop timers tick on a hand-moved clock and
// run when the test runs the hand-over.

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "board/ThreadedTimerFakes.h"
#include "project/Project.h"
#include "shell/SoundBackend.h"
#include "shell/SoundTempFile.h"

namespace duduri::test {

struct TFakeItemState {
  TBytes Data;
  bool Alive = true;
  bool Looping = false;
  int RepeatCount = -1;
  int Plays = 0;
  int Stops = 0;
  bool Playing = false;
};

struct TFakeMediaState {
  bool Alive = true;
  bool OpenResult = true;
  std::filesystem::path Opened;
  int Closes = 0;
  std::vector<std::string> Calls;  // "open", "play", "stop", "seek 0", "close"
  std::int64_t Position = 0;
  std::int64_t Length = 0;
  std::function<void(TMediaMode)> Notify;
  int Count(const std::string& call) const {
    return int(std::count(Calls.begin(), Calls.end(), call));
  }
};

class TFakeWave : public IWaveItem {
 public:
  explicit TFakeWave(std::shared_ptr<TFakeItemState> s) : s_(std::move(s)) {}
  ~TFakeWave() override { s_->Alive = false; }
  void SetLooping(bool looping) override { s_->Looping = looping; }
  void Play() override { ++s_->Plays, s_->Playing = true; }
  void Stop() override { ++s_->Stops, s_->Playing = false; }

 private:
  std::shared_ptr<TFakeItemState> s_;
};

class TFakeMidi : public IMidiItem {
 public:
  explicit TFakeMidi(std::shared_ptr<TFakeItemState> s) : s_(std::move(s)) {}
  ~TFakeMidi() override { s_->Alive = false; }
  void SetRepeatCount(int count) override { s_->RepeatCount = count; }
  void Play() override { ++s_->Plays, s_->Playing = true; }
  void Stop() override { ++s_->Stops, s_->Playing = false; }
  std::int64_t Position() const override { return 0; }
  std::int64_t Length() const override { return 0; }

 private:
  std::shared_ptr<TFakeItemState> s_;
};

class TFakeMedia : public IMediaPlayer {
 public:
  explicit TFakeMedia(std::shared_ptr<TFakeMediaState> s) : s_(std::move(s)) {}
  ~TFakeMedia() override {
    s_->Alive = false;
    s_->Notify = nullptr;
  }
  void SetNotify(std::function<void(TMediaMode)> notify) override { s_->Notify = std::move(notify); }
  bool Open(const std::filesystem::path& file) override {
    s_->Calls.push_back("open");
    s_->Opened = file;
    return s_->OpenResult;
  }
  void Close() override { s_->Calls.push_back("close"), ++s_->Closes; }
  void Play() override { s_->Calls.push_back("play"); }
  void Stop() override { s_->Calls.push_back("stop"); }
  void Seek(std::int64_t ms) override {
    s_->Calls.push_back("seek " + std::to_string(ms));
    s_->Position = ms;
  }
  std::int64_t Position() const override { return s_->Position; }
  std::int64_t Length() const override { return s_->Length; }

 private:
  std::shared_ptr<TFakeMediaState> s_;
};

class TFakeSoundPlatform;

class TFakeDevice : public ISoundDevice {
 public:
  explicit TFakeDevice(TFakeSoundPlatform& p) : p_(p) {}
  std::unique_ptr<IWaveItem> AddWave(TByteSpan data) override;
  std::unique_ptr<IMidiItem> AddMidi(TByteSpan data) override;

 private:
  TFakeSoundPlatform& p_;
};

class TFakeSoundPlatform : public ISoundPlatform {
 public:
  enum class TDevice { kWorks, kDoesNotInitialise, kFails };

  std::unique_ptr<ISoundDevice> CreateDevice() override {
    ++deviceCreations;
    if (device == TDevice::kFails) throw std::runtime_error("no sound device");
    if (device == TDevice::kDoesNotInitialise) return nullptr;
    return std::make_unique<TFakeDevice>(*this);
  }
  std::unique_ptr<IMediaPlayer> CreateMediaPlayer() override {
    media.push_back(std::make_shared<TFakeMediaState>());
    return std::make_unique<TFakeMedia>(media.back());
  }
  ITimerHandOver& TimerHandOver() override { return handOver; }
  ITimerClock& TimerClock() override { return clock; }
  std::vector<std::filesystem::path> TemporaryFolders() const override { return folders; }
  void StopSystemSound() override { ++systemSoundStops; }

  // The media player made last, and its notification (as the UI thread gets it).
  TFakeMediaState& LastMedia() { return *media.back(); }
  void Notify(TFakeMediaState& m, TMediaMode mode) {
    if (m.Notify) m.Notify(mode);
  }

  TDevice device = TDevice::kWorks;
  int deviceCreations = 0;
  int systemSoundStops = 0;
  std::vector<std::shared_ptr<TFakeItemState>> waves;
  std::vector<std::shared_ptr<TFakeItemState>> midis;
  std::vector<std::shared_ptr<TFakeMediaState>> media;
  std::vector<std::filesystem::path> folders = DefaultTemporaryFolders();
  TQueuedHandOver handOver;
  TManualTimerClock clock;
};

inline std::unique_ptr<IWaveItem> TFakeDevice::AddWave(TByteSpan data) {
  p_.waves.push_back(std::make_shared<TFakeItemState>());
  p_.waves.back()->Data.assign(data.begin(), data.end());
  return std::make_unique<TFakeWave>(p_.waves.back());
}

inline std::unique_ptr<IMidiItem> TFakeDevice::AddMidi(TByteSpan data) {
  p_.midis.push_back(std::make_shared<TFakeItemState>());
  p_.midis.back()->Data.assign(data.begin(), data.end());
  return std::make_unique<TFakeMidi>(p_.midis.back());
}

// Gives a project one sound per entry of `codes` (ids 1, 2, ...; data "sound
// N"), each stored format code given (0: no association entry), and event
// N's slot the sound id `slots[N]` when that is not 0.
inline void AddSounds(TJigsawProject2& p, const std::vector<std::uint8_t>& codes,
                      const std::vector<std::int32_t>& slots) {
  for (std::size_t i = 0; i < codes.size(); ++i) {
    const std::int32_t id = std::int32_t(i + 1);
    const std::string text = "sound " + std::to_string(id);
    TBMPData sound;
    sound.ID = id;
    for (char c : text) sound.Data.push_back(std::byte(c));
    p.Sounds.push_back(std::move(sound));
    if (codes[i] != 0) p.SoundFormats.Add(id, codes[i]);
  }
  for (std::size_t e = 0; e < slots.size() && e < p.SoundSlots.size(); ++e) {
    if (slots[e] != 0) p.SoundSlots[e].SoundIDs.push_back(slots[e]);
  }
}

}  // namespace duduri::test
