// The WAV reader, and the voice playing what it accepted to its end.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "shell/SoundBackend.h"
#include "shell/SoundWave.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto* bytes = reinterpret_cast<const std::byte*>(data);
  auto file = std::make_shared<const duduri::TBytes>(bytes, bytes + size);
  try {
    const duduri::TWaveData wave = duduri::ReadWave(*file);
    duduri::TWaveVoice voice(file, wave);
    for (int i = 0; i < 64; ++i) {
      std::int32_t mix[2 * 512] = {};
      if (voice.MixInto(mix, 512) < 512) break;
    }
  } catch (const duduri::ESoundError&) {
  }
  return 0;
}
