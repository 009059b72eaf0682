#include "shell/ui/FluidMidiVoice.h"

#include <fluidsynth.h>

#include <algorithm>
#include <mutex>
#include <system_error>

namespace duduri {

namespace {

constexpr std::size_t kChunkFrames = 1024;
// Notes still sounding when the file ends die away over this many frames.
constexpr std::size_t kTailFrames = kMixRate / 2;
// FluidSynth's default gain (0.2) is much quieter than the other sounds.
constexpr double kGain = 1.0;

void silenceFluidSynth() {
  static std::once_flag once;
  std::call_once(once, [] {
    // The player says nothing to the user; FluidSynth's complaints about a
    // soundfont or a file go nowhere.
    for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
  });
}

}  // namespace

TFluidMidiVoice::TFluidMidiVoice(std::shared_ptr<const TBytes> file, TByteSpan smf,
                                 std::vector<std::filesystem::path> soundfonts)
    : file_(std::move(file)), smf_(smf), soundfonts_(std::move(soundfonts)) {}

TFluidMidiVoice::~TFluidMidiVoice() {
  freePlayer();
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
}

bool TFluidMidiVoice::Prepare() {
  silenceFluidSynth();
  std::filesystem::path soundfont;
  for (const auto& candidate : soundfonts_) {
    std::error_code ec;
    if (std::filesystem::is_regular_file(candidate, ec)) {
      soundfont = candidate;
      break;
    }
  }
  if (soundfont.empty()) return false;
  settings_ = new_fluid_settings();
  if (!settings_) return false;
  fluid_settings_setnum(settings_, "synth.sample-rate", kMixRate);
  fluid_settings_setnum(settings_, "synth.gain", kGain);
  fluid_settings_setstr(settings_, "player.timing-source", "sample");
  // One thread renders it; FluidSynth's own locking is not needed.
  fluid_settings_setint(settings_, "synth.threadsafe-api", 0);
  synth_ = new_fluid_synth(settings_);
  if (!synth_) return false;
  if (fluid_synth_sfload(synth_, soundfont.c_str(), 1) == FLUID_FAILED) return false;
  buffer_.resize(2 * kChunkFrames);
  return startPlayer();
}

bool TFluidMidiVoice::startPlayer() {
  player_ = new_fluid_player(synth_);
  if (!player_) return false;
  if (fluid_player_add_mem(player_, smf_.data(), smf_.size()) != FLUID_OK ||
      fluid_player_play(player_) != FLUID_OK) {
    freePlayer();
    return false;
  }
  tail_ = 0;
  return true;
}

void TFluidMidiVoice::freePlayer() {
  if (!player_) return;
  fluid_player_stop(player_);
  delete_fluid_player(player_);
  player_ = nullptr;
}

void TFluidMidiVoice::Rewind() {
  if (!synth_) return;
  freePlayer();
  // Notes and controllers of the play before must not leak into this one.
  fluid_synth_system_reset(synth_);
  startPlayer();
}

std::size_t TFluidMidiVoice::MixInto(std::int32_t* mix, std::size_t frames) {
  if (!player_) return 0;
  std::size_t done = 0;
  while (done < frames) {
    if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE) {
      if (tail_ >= kTailFrames) break;
    }
    const std::size_t n = std::min(frames - done, kChunkFrames);
    if (fluid_synth_write_s16(synth_, int(n), buffer_.data(), 0, 2, buffer_.data(), 1, 2) !=
        FLUID_OK) {
      break;
    }
    if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE) tail_ += n;
    std::int32_t* out = mix + 2 * done;
    for (std::size_t i = 0; i < 2 * n; ++i) out[i] += buffer_[i];
    done += n;
  }
  return done;
}

}  // namespace duduri
