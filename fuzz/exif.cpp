// Feeds arbitrary bytes to the EXIF orientation reader: it must answer an
// orientation 1 to 8 for anything, never crash or read outside the input,
// and the turn it asks for must keep every pixel.

#include "raster/Exif.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  const duduri::TExifOrientation orientation = duduri::ReadExifOrientation(bytes);
  if (orientation < duduri::eoUpright || orientation > duduri::eoTurnedRight) __builtin_trap();
  if (duduri::ReadTiffOrientation(bytes) < duduri::eoUpright) __builtin_trap();
  duduri::TPicture picture;
  picture.Width = 3;
  picture.Height = 2;
  picture.Pixels = {1, 2, 3, 4, 5, 6};
  const duduri::TPicture turned = duduri::OrientPicture(picture, orientation);
  if (turned.Pixels.size() != 6 || std::int64_t(turned.Width) * turned.Height != 6)
    __builtin_trap();
  return 0;
}
