// Feeds arbitrary bytes to the JPEG reader: it must return a picture or throw
// an EDuduriError, never crash, hang or allocate without bound.

#include <cstddef>
#include <cstdint>
#include <span>

#include "raster/Error.h"
#include "raster/Picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  try {
    // Pictures over four megapixels are legal (the size limit itself is
    // tested directly) but would only make each run slow.
    const duduri::TPictureSize claimed = duduri::ReadPictureSize(bytes);
    if (std::int64_t(claimed.Width) * claimed.Height > (std::int64_t(1) << 22)) return 0;
  } catch (const duduri::EDuduriError&) {
  }
  // In full and at the scales big puzzles decode at (the last byte picks one).
  const int eighths = size > 0 ? 1 << (data[size - 1] % 4) : 8;
  for (int scale : {8, eighths}) {
    try {
      const duduri::TPicture picture = duduri::DecodeJpegScaled(bytes, scale);
      if (picture.Pixels.size() != std::size_t(picture.Width) * std::size_t(picture.Height)) {
        __builtin_trap();
      }
    } catch (const duduri::EDuduriError&) {
    }
  }
  return 0;
}
