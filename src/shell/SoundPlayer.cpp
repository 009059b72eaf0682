#include "shell/SoundPlayer.h"

#include <system_error>

#include "project/Project.h"
#include "project/SoundFormats.h"
#include "raster/Picture.h"

namespace duduri {

TSoundFormat SoundFormatOfCode(std::uint8_t code) {
  switch (code) {
    case kSoundCodeWave:
      return sfWAV;
    case kSoundCodeMidi:
      return sfMIDI;
    case kSoundCodeWma:
      return sfWMA;
    case kSoundCodeMp3:
      return sfMP3;
    default:
      return sfUnknown;
  }
}

TPzMediaPlayer::TPzMediaPlayer(ISoundPlatform& platform, ISoundDevice* device)
    : platform_(platform), device_(device), loopTimer_(platform.TimerHandOver(), platform.TimerClock()) {
  loopTimer_.SetInterval(kLoopTimerInterval);
  loopTimer_.SetOnTimer([this](TSender) { loopTick(); });
}

TPzMediaPlayer::~TPzMediaPlayer() {
  loopTimer_.SetEnabled(false);
  wave_.reset();
  midi_.reset();
  // The media player lets go of the file before the file goes.
  releaseMedia();
  tempFile_.Remove();
}

void TPzMediaPlayer::SetSoundFormat(TSoundFormat format) {
  format_ = format;
  updateLoopTimer();
}

void TPzMediaPlayer::SetContinue(bool value) {
  continue_ = value;
  updateLoopTimer();
}

void TPzMediaPlayer::updateLoopTimer() {
  // The loop check only ever acts on a media player; a waveform or MIDI
  // sound loops on the device and needs no thread ticking for it.
  loopTimer_.SetEnabled(continue_ && isMedia());
}

void TPzMediaPlayer::SetFilename(const std::filesystem::path& file) {
  filename_ = file;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return;
  TBytes data;
  try {
    data = ReadFileBytes(file);
  } catch (const std::exception&) {
    return;
  }
  LoadFromStream(data);
}

std::int64_t TPzMediaPlayer::Position() const {
  if (format_ == sfMIDI && midi_) return midi_->Position();
  if (isMedia() && media_) return media_->Position();
  return 0;
}

std::int64_t TPzMediaPlayer::Length() const {
  if (format_ == sfMIDI && midi_) return midi_->Length();
  if (isMedia() && media_) return media_->Length();
  return 0;
}

void TPzMediaPlayer::releaseMedia() {
  if (media_) {
    if (open_) media_->Close();
    media_.reset();
  }
  open_ = false;
}

void TPzMediaPlayer::LoadFromStream(TByteSpan data) {
  Stop();
  wave_.reset();
  releaseMedia();
  tempFile_.Remove();
  if (data.empty()) return;
  switch (format_) {
    case sfWAV:
      if (device_) wave_ = device_->AddWave(data);
      break;
    case sfMIDI:
      if (device_) midi_ = device_->AddMidi(data);
      break;
    case sfMP3:
    case sfWMA:
      if (!tempFile_.Create(platform_.TemporaryFolders(), format_ == sfMP3 ? ".mp3" : ".wma",
                            data)) {
        // Nowhere to write it: this sound stays silent, the game goes on.
        return;
      }
      media_ = platform_.CreateMediaPlayer();
      if (media_) media_->SetNotify([this](TMediaMode mode) { mediaNotify(mode); });
      break;
    case sfUnknown:
      break;
  }
}

void TPzMediaPlayer::Open() {
  if (!isMedia() || !media_ || open_ || !tempFile_.Exists()) return;
  open_ = media_->Open(tempFile_.Path());
}

void TPzMediaPlayer::Play() {
  switch (format_) {
    case sfWAV:
      if (wave_) {
        wave_->SetLooping(continue_);
        wave_->Play();
      }
      break;
    case sfMIDI:
      if (midi_) {
        midi_->SetRepeatCount(continue_ ? kMidiRepeatForever : 0);
        midi_->Play();
      }
      break;
    case sfMP3:
    case sfWMA:
      if (media_) {
        media_->Stop();
        if (open_) media_->Play();
      }
      break;
    case sfUnknown:
      break;
  }
  playRequested_ = true;
}

void TPzMediaPlayer::Stop() {
  playRequested_ = false;
  switch (format_) {
    case sfWAV:
      if (wave_) wave_->Stop();
      break;
    case sfMIDI:
      if (midi_) midi_->Stop();
      break;
    case sfMP3:
    case sfWMA:
      if (media_ && open_) media_->Stop();
      break;
    case sfUnknown:
      break;
  }
  playing_ = false;
}

void TPzMediaPlayer::Unload() {
  Stop();
  if (format_ == sfWAV) wave_.reset();
  if (isMedia() && media_) {
    if (open_) media_->Close();
    open_ = false;
  }
}

void TPzMediaPlayer::playAgain() {
  media_->Seek(0);
  media_->Play();
  playing_ = true;
  playRequested_ = true;
}

void TPzMediaPlayer::finished() {
  // The request has been served: a second report of the same end must not
  // raise OnFinished again.
  playRequested_ = false;
  if (OnFinished) {
    const auto handler = OnFinished;
    handler(this);
  }
}

void TPzMediaPlayer::mediaNotify(TMediaMode mode) {
  if (!media_) return;
  switch (mode) {
    case TMediaMode::mmNotReady:
      open_ = false;
      break;
    case TMediaMode::mmStopped:
      playing_ = false;
      if (playRequested_) {
        if (continue_) {
          playAgain();
        } else {
          finished();
        }
      }
      break;
    case TMediaMode::mmPlaying:
      if (!playing_) {
        playing_ = true;
        break;
      }
      playing_ = media_->Position() < media_->Length();
      if (!playing_) {
        if (continue_) {
          playAgain();
        } else {
          finished();
        }
      }
      break;
    case TMediaMode::mmPaused:
      playing_ = false;
      break;
    case TMediaMode::mmOpen:
      open_ = true;
      break;
  }
}

void TPzMediaPlayer::loopTick() {
  if (!continue_ || !open_ || format_ == sfWAV || !media_) return;
  // A length of 0 is a media player that has not found it out yet.
  const std::int64_t length = media_->Length();
  if (length > 0 && media_->Position() == length) media_->Seek(0);
}

// ---- The list -------------------------------------------------------------------

TPzMediaPlayerCollection::TPzMediaPlayerCollection(ISoundPlatform& platform)
    : platform_(platform) {}

TPzMediaPlayerCollection::~TPzMediaPlayerCollection() {
  Clear();
  device_.reset();
}

void TPzMediaPlayerCollection::Clear() {
  players_.clear();
}

void TPzMediaPlayerCollection::createDevice() {
  if (device_ || deviceFailed_) return;
  try {
    device_ = platform_.CreateDevice();
  } catch (const std::exception&) {
    // Waveform and MIDI sounds stay silent for good; MP3 and WMA still play.
    device_.reset();
    deviceFailed_ = true;
  }
}

TPzMediaPlayer& TPzMediaPlayerCollection::Add() {
  createDevice();
  players_.push_back(std::make_unique<TPzMediaPlayer>(platform_, device_.get()));
  return *players_.back();
}

TPzMediaPlayer* TPzMediaPlayerCollection::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return players_[std::size_t(index)].get();
}

void TPzMediaPlayerCollection::LoadProjectSounds(const TJigsawProject2& project) {
  Clear();
  for (const TBMPData& sound : project.Sounds) {
    TPzMediaPlayer& player = Add();
    player.SetSoundFormat(SoundFormatOfCode(project.SoundFormats.Lookup(sound.ID)));
    player.LoadFromStream(sound.Data);
  }
}

void TPzMediaPlayerCollection::StopMidi() {
  for (const auto& player : players_) {
    if (player->SoundFormat() == sfMIDI) player->Stop();
  }
}

}  // namespace duduri
