// The splash stream.
#include <cstddef>
#include <cstdint>

#include "project/Splash.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TSplash splash;
  try {
    splash.ReadStream({reinterpret_cast<const std::byte*>(data), size});
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
