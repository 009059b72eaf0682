// Resource tree reader and icon replacement: the input's first two bytes
// say how many of its last bytes are the icon file, the rest is the
// executable image. Failures are EResourceError only, reads stay inside.
#include "shell/PeResources.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const auto* bytes = reinterpret_cast<const std::byte*>(data) + 2;
  size -= 2;
  const std::size_t iconSize = std::min<std::size_t>(size, data[0] | data[1] << 8);
  std::vector<std::byte> image(bytes, bytes + size - iconSize);
  const std::span<const std::byte> icon(bytes + size - iconSize, iconSize);
  try {
    duduri::ReplaceIcon(image, icon, 1, "fuzz.exe");
  } catch (const duduri::EResourceError&) {
  }
  return 0;
}
