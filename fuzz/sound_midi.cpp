// The MIDI reader: the only check between a project's MIDI data and the
// synthesiser.
#include <cstddef>
#include <cstdint>

#include "shell/SoundBackend.h"
#include "shell/SoundMidi.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  try {
    const duduri::TMidiInfo info = duduri::ReadMidi({reinterpret_cast<const std::byte*>(data), size});
    if (info.Smf.size() > size) __builtin_trap();
  } catch (const duduri::ESoundError&) {
  }
  return 0;
}
