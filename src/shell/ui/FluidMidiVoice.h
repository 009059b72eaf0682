#pragma once
// TFluidMidiVoice: a MIDI sound rendered by FluidSynth into the mixer. No
// FluidSynth audio driver is used (none starts without a sound card): the
// synthesiser's player runs on sample time and is rendered with
// fluid_synth_write_s16 as the mixer asks for frames.
//
// The synthesiser and its soundfont are made on first play, on the audio
// thread; no soundfont found, or one that does not load, leaves the voice
// silent. The data given has passed ReadMidi.

#include <filesystem>
#include <memory>
#include <vector>

#include "project/ByteStream.h"
#include "shell/SoundMixer.h"

typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace duduri {

class TFluidMidiVoice : public IPcmVoice {
 public:
  // `smf` lies inside `file`, which the voice keeps; `soundfonts` are tried
  // in order, the first existing one is used.
  TFluidMidiVoice(std::shared_ptr<const TBytes> file, TByteSpan smf,
                  std::vector<std::filesystem::path> soundfonts);
  ~TFluidMidiVoice() override;

  bool Prepare() override;
  std::size_t MixInto(std::int32_t* mix, std::size_t frames) override;
  void Rewind() override;

 private:
  bool startPlayer();
  void freePlayer();

  std::shared_ptr<const TBytes> file_;
  TByteSpan smf_;
  std::vector<std::filesystem::path> soundfonts_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  std::size_t tail_ = 0;  // frames rendered since the player finished
  std::vector<std::int16_t> buffer_;
};

}  // namespace duduri
