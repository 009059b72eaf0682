// The sound id / format association stream.
#include <cstddef>
#include <cstdint>

#include "project/SoundFormats.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TSoundIDFormatAssoc assoc;
  try {
    assoc.ReadStream({reinterpret_cast<const std::byte*>(data), size});
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
