#include "shell/SoundMixer.h"

#include <algorithm>

namespace duduri {

void TPcmMixer::Play(std::shared_ptr<IPcmVoice> voice, int repeats) {
  if (!voice) return;
  std::lock_guard lock(mutex_);
  for (TEntry& e : entries_) {
    if (e.voice == voice) {
      e.repeats = std::max(0, repeats);
      e.restart = true;
      return;
    }
  }
  entries_.push_back({std::move(voice), std::max(0, repeats), true, 0});
}

void TPcmMixer::Stop(const IPcmVoice* voice) {
  std::lock_guard lock(mutex_);
  std::erase_if(entries_, [voice](const TEntry& e) { return e.voice.get() == voice; });
}

bool TPcmMixer::Playing(const IPcmVoice* voice) const {
  std::lock_guard lock(mutex_);
  return std::any_of(entries_.begin(), entries_.end(),
                     [voice](const TEntry& e) { return e.voice.get() == voice; });
}

std::uint64_t TPcmMixer::FramesPlayed(const IPcmVoice* voice) const {
  std::lock_guard lock(mutex_);
  for (const TEntry& e : entries_) {
    if (e.voice.get() == voice) return e.restart ? 0 : e.played;
  }
  return 0;
}

bool TPcmMixer::Busy() const {
  std::lock_guard lock(mutex_);
  return !entries_.empty();
}

bool TPcmMixer::mixEntry(TEntry& e, std::size_t frames) {
  IPcmVoice& voice = *e.voice;
  if (e.restart) {
    voice.Rewind();
    e.restart = false;
    e.played = 0;
  }
  std::size_t done = voice.MixInto(mix_.data(), frames);
  e.played += done;
  while (done < frames && e.repeats > 0) {
    --e.repeats;
    voice.Rewind();
    const std::size_t more = voice.MixInto(mix_.data() + 2 * done, frames - done);
    // A voice with nothing in it would otherwise spin through its repeats.
    if (more == 0) return false;
    done += more;
    e.played = more;
  }
  return done == frames;
}

void TPcmMixer::Render(std::int16_t* out, std::size_t frames) {
  // First uses, outside the lock: the UI thread may Play and Stop meanwhile,
  // and a voice freed meanwhile lives on in `fresh` until it is prepared.
  std::vector<std::shared_ptr<IPcmVoice>> fresh;
  {
    std::lock_guard lock(mutex_);
    for (const TEntry& e : entries_) {
      if (e.voice->prepared_ == IPcmVoice::TPrepared::kNotYet) fresh.push_back(e.voice);
    }
  }
  for (const auto& voice : fresh) {
    if (voice->prepared_ != IPcmVoice::TPrepared::kNotYet) continue;
    voice->prepared_ =
        voice->Prepare() ? IPcmVoice::TPrepared::kReady : IPcmVoice::TPrepared::kFailed;
  }
  fresh.clear();

  std::lock_guard lock(mutex_);
  mix_.assign(2 * frames, 0);
  std::erase_if(entries_, [&](TEntry& e) {
    switch (e.voice->prepared_) {
      case IPcmVoice::TPrepared::kNotYet:
        return false;  // played after the preparations above: next time
      case IPcmVoice::TPrepared::kFailed:
        return true;
      case IPcmVoice::TPrepared::kReady:
        break;
    }
    return !mixEntry(e, frames);
  });
  for (std::size_t i = 0; i < 2 * frames; ++i) {
    out[i] = std::int16_t(std::clamp(mix_[i], -32768, 32767));
  }
}

}  // namespace duduri
