// A picture file of the player's own, opened to play: the kinds the core
// reads itself (JPEG and BMP; others are refused without the toolkit's
// decoder), turned upright by its EXIF orientation and laid on white.
#include <cstddef>
#include <cstdint>

#include "shell/UserPictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  (void)duduri::LooksLikePicture(bytes);
  try {
    // Decoding large pictures is the picture readers' fuzzers' business.
    const duduri::TPictureSize s = duduri::ReadPictureSize(bytes);
    if (std::int64_t(s.Width) * s.Height > (1 << 20)) return 0;
  } catch (const duduri::EDuduriError&) {
  }
  try {
    (void)duduri::DecodeUserPicture(bytes, "fuzz.jpg", {});
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
