#include "shell/ui/QtSound.h"

#include <climits>

#include "shell/SoundEvents.h"
#include "shell/SoundMidi.h"
#include "shell/SoundWave.h"
#include "shell/ui/AudioThread.h"
#include "shell/ui/FluidMidiVoice.h"
#include "shell/ui/QtMediaPlayer.h"

namespace duduri {

namespace {

std::shared_ptr<const TBytes> copyOf(TByteSpan data) {
  return std::make_shared<const TBytes>(data.begin(), data.end());
}

// A voice of the mixer seen as an item of the shared device.
class TMixerItem {
 public:
  TMixerItem(TAudioThread& audio, std::shared_ptr<IPcmVoice> voice)
      : audio_(audio), voice_(std::move(voice)) {}
  ~TMixerItem() { audio_.Mixer().Stop(voice_.get()); }
  void Play(int repeats) {
    audio_.Mixer().Play(voice_, repeats);
    audio_.Wake();
  }
  void Stop() { audio_.Mixer().Stop(voice_.get()); }
  std::int64_t PositionMs() const {
    return std::int64_t(audio_.Mixer().FramesPlayed(voice_.get()) * 1000 / kMixRate);
  }

 private:
  TAudioThread& audio_;
  std::shared_ptr<IPcmVoice> voice_;
};

class TQtWaveItem : public IWaveItem {
 public:
  TQtWaveItem(TAudioThread& audio, std::shared_ptr<IPcmVoice> voice) : item_(audio, std::move(voice)) {}
  void SetLooping(bool looping) override { looping_ = looping; }
  void Play() override { item_.Play(looping_ ? INT_MAX : 0); }
  void Stop() override { item_.Stop(); }

 private:
  TMixerItem item_;
  bool looping_ = false;
};

class TQtMidiItem : public IMidiItem {
 public:
  TQtMidiItem(TAudioThread& audio, std::shared_ptr<IPcmVoice> voice, std::int64_t lengthMs)
      : item_(audio, std::move(voice)), length_(lengthMs) {}
  void SetRepeatCount(int count) override { repeats_ = count; }
  void Play() override { item_.Play(repeats_); }
  void Stop() override { item_.Stop(); }
  std::int64_t Position() const override { return item_.PositionMs(); }
  std::int64_t Length() const override { return length_; }

 private:
  TMixerItem item_;
  std::int64_t length_;
  int repeats_ = 0;
};

class TQtSoundDevice : public ISoundDevice {
 public:
  TQtSoundDevice(TAudioThread& audio, const std::vector<std::filesystem::path>& soundfonts)
      : audio_(audio), soundfonts_(soundfonts) {}

  // Only the header is read here; the samples are converted as they play.
  std::unique_ptr<IWaveItem> AddWave(TByteSpan data) override {
    auto file = copyOf(data);
    TWaveData wave;
    try {
      wave = ReadWave(*file);
    } catch (const ESoundError&) {
      return nullptr;
    }
    return std::make_unique<TQtWaveItem>(audio_, std::make_shared<TWaveVoice>(file, wave));
  }

  // The file is checked whole here; the synthesiser is made on first play.
  std::unique_ptr<IMidiItem> AddMidi(TByteSpan data) override {
    auto file = copyOf(data);
    TMidiInfo info;
    try {
      info = ReadMidi(*file);
    } catch (const ESoundError&) {
      return nullptr;
    }
    return std::make_unique<TQtMidiItem>(
        audio_, std::make_shared<TFluidMidiVoice>(file, info.Smf, soundfonts_), info.LengthMs);
  }

 private:
  TAudioThread& audio_;
  std::vector<std::filesystem::path> soundfonts_;
};

}  // namespace

std::vector<std::filesystem::path> DefaultSoundfonts() {
  // By full path: default-GM.sf2 may be an alternative naming a 140 MB
  // soundfont, so it comes last.
  return {"/usr/share/sounds/sf2/TimGM6mb.sf2", "/usr/share/sounds/sf2/FluidR3_GM.sf2",
          "/usr/share/soundfonts/FluidR3_GM.sf2", "/usr/share/sounds/sf2/default-GM.sf2",
          "/usr/share/sounds/sf3/default-GM.sf3"};
}

void TQtTimerHandOver::Post(std::function<void()> call) {
  QMetaObject::invokeMethod(&receiver_, std::move(call), Qt::QueuedConnection);
}

TQtSoundPlatform::TQtSoundPlatform(std::vector<std::filesystem::path> soundfonts)
    : soundfonts_(std::move(soundfonts)) {}

TQtSoundPlatform::~TQtSoundPlatform() = default;

TAudioThread& TQtSoundPlatform::audio() {
  if (!audio_) audio_ = SharedAudioThread();
  return *audio_;
}

std::unique_ptr<ISoundDevice> TQtSoundPlatform::CreateDevice() {
  // Whether a sound server answers is found out on the audio thread at the
  // first sound; until then, and without one, the device takes sounds and
  // plays them to nobody.
  return std::make_unique<TQtSoundDevice>(audio(), soundfonts_);
}

std::unique_ptr<IMediaPlayer> TQtSoundPlatform::CreateMediaPlayer() {
  return std::make_unique<TQtMediaPlayer>(audio());
}

std::unique_ptr<TSoundSeam> CreateQtSound() {
  return std::make_unique<TSoundEvents>(std::make_unique<TQtSoundPlatform>());
}

}  // namespace duduri
