#pragma once
// Waveform sounds: the reader of RIFF WAVE files (PCM of 8, 16, 24 or 32
// bits, IEEE float of 32 or 64 bits, plain or in the extensible layout) and
// the voice that plays one into the mixer, converted on the fly to 44.1 kHz
// stereo, so a long sound costs no decoding before it plays and no buffer
// beyond its file.

#include <cstdint>
#include <memory>

#include "project/ByteStream.h"
#include "shell/SoundMixer.h"

namespace duduri {

enum class TWaveEncoding { weInt, weFloat };

struct TWaveFormat {
  TWaveEncoding Encoding = TWaveEncoding::weInt;
  std::uint16_t Channels = 0;
  std::uint32_t SampleRate = 0;
  std::uint16_t BitsPerSample = 0;
  std::uint16_t BlockAlign = 0;  // bytes per frame
};

struct TWaveData {
  TWaveFormat Format;
  TByteSpan Samples;  // whole frames only, inside the file read
  std::size_t Frames = 0;
};

// Reads the format and finds the samples. A data chunk cut short by the end
// of the file counts with the frames that are there. Throws ESoundError
// ("Invalid WAV sound: ...") for anything else it cannot play, including a
// sound without a single frame.
TWaveData ReadWave(TByteSpan file);

class TWaveVoice : public IPcmVoice {
 public:
  // Plays the data read from `file`, which the voice keeps.
  TWaveVoice(std::shared_ptr<const TBytes> file, const TWaveData& wave);
  std::size_t MixInto(std::int32_t* mix, std::size_t frames) override;
  void Rewind() override { position_ = 0; }
  // Frames at the mixer's rate.
  std::uint64_t Length() const;

 private:
  std::int32_t sample(std::size_t frame, int channel) const;

  std::shared_ptr<const TBytes> file_;
  TWaveData wave_;
  int right_;                  // the channel played on the right: 1, or 0 for mono
  std::uint64_t step_;         // source frames per output frame, 32.32 fixed point
  std::uint64_t position_ = 0;  // source frame, 32.32 fixed point
};

}  // namespace duduri
