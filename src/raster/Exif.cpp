// EXIF orientation: finding the EXIF block in the three containers that carry
// one, reading tag 0x0112 from its first image directory, and the eight
// turns and mirrors.

#include "raster/Exif.h"

#include <cstdint>
#include <cstring>
#include <optional>

namespace duduri {

namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kTypeShort = 3;
constexpr std::size_t kIfdEntrySize = 12;
// Where a camera puts the EXIF block, it is one of the first segments; a file
// that has thousands before its image data is not one worth searching.
constexpr int kMaxSegments = 4096;

std::span<const std::byte> none() {
  return {};
}

std::uint8_t byteAt(std::span<const std::byte> data, std::size_t at) {
  return std::to_integer<std::uint8_t>(data[at]);
}

std::uint32_t bigEndian(std::span<const std::byte> data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value = (value << 8) | byteAt(data, at + std::size_t(i));
  return value;
}

std::uint32_t littleEndian(std::span<const std::byte> data, std::size_t at, int bytes) {
  std::uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | byteAt(data, at + std::size_t(i));
  return value;
}

bool hasPrefix(std::span<const std::byte> data, std::size_t at, const char* text, std::size_t n) {
  return at <= data.size() && n <= data.size() - at && std::memcmp(data.data() + at, text, n) == 0;
}

// "Exif\0\0" before the TIFF header is how JPEG stores it; some WebP and PNG
// writers copy the prefix along.
std::span<const std::byte> skipExifPrefix(std::span<const std::byte> block) {
  if (hasPrefix(block, 0, "Exif\0\0", 6)) return block.subspan(6);
  return block;
}

// JPEG: markers up to the first scan; APP1 segments whose payload starts with
// "Exif\0\0".
std::span<const std::byte> jpegExif(std::span<const std::byte> file) {
  std::size_t pos = 2;  // after SOI
  for (int segment = 0; segment < kMaxSegments; ++segment) {
    // Fill bytes (0xFF runs) may stand before a marker.
    while (pos < file.size() && byteAt(file, pos) == 0xFF) ++pos;
    if (pos >= file.size() || byteAt(file, pos - 1) != 0xFF) return none();
    const std::uint8_t marker = byteAt(file, pos++);
    if (marker == 0xD9 || marker == 0xDA) return none();  // end of image, start of scan
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;  // no length
    if (file.size() - pos < 2) return none();
    const std::size_t length = bigEndian(file, pos, 2);
    if (length < 2 || length > file.size() - pos) return none();
    const std::span<const std::byte> payload = file.subspan(pos + 2, length - 2);
    if (marker == 0xE1 && hasPrefix(payload, 0, "Exif\0\0", 6)) return payload.subspan(6);
    pos += length;
  }
  return none();
}

// PNG: length, type, data, CRC per chunk, up to IEND.
std::span<const std::byte> pngExif(std::span<const std::byte> file) {
  std::size_t pos = 8;
  for (int chunk = 0; chunk < kMaxSegments; ++chunk) {
    if (file.size() - pos < 12) return none();
    const std::size_t length = bigEndian(file, pos, 4);
    if (length > file.size() - pos - 12) return none();
    if (hasPrefix(file, pos + 4, "eXIf", 4)) return skipExifPrefix(file.subspan(pos + 8, length));
    if (hasPrefix(file, pos + 4, "IEND", 4)) return none();
    pos += 12 + length;
  }
  return none();
}

// WebP: a RIFF file of chunks (four-letter code, u32 little-endian size,
// data padded to an even length).
std::span<const std::byte> webpExif(std::span<const std::byte> file) {
  std::size_t pos = 12;
  for (int chunk = 0; chunk < kMaxSegments; ++chunk) {
    if (file.size() - pos < 8) return none();
    const std::size_t length = littleEndian(file, pos + 4, 4);
    if (length > file.size() - pos - 8) return none();
    if (hasPrefix(file, pos, "EXIF", 4)) return skipExifPrefix(file.subspan(pos + 8, length));
    pos += 8 + length + (length & 1);
    if (pos > file.size()) return none();
  }
  return none();
}

std::span<const std::byte> exifBlockOf(std::span<const std::byte> file) {
  if (file.size() >= 4 && byteAt(file, 0) == 0xFF && byteAt(file, 1) == 0xD8) {
    return jpegExif(file);
  }
  if (hasPrefix(file, 0, "\x89PNG\r\n\x1a\n", 8)) return pngExif(file);
  if (hasPrefix(file, 0, "RIFF", 4) && hasPrefix(file, 8, "WEBP", 4)) return webpExif(file);
  return none();
}

}  // namespace

TExifOrientation ReadTiffOrientation(std::span<const std::byte> tiff) {
  if (tiff.size() < 8) return eoUpright;
  bool little;
  if (hasPrefix(tiff, 0, "II*\0", 4)) {
    little = true;
  } else if (hasPrefix(tiff, 0, "MM\0*", 4)) {
    little = false;
  } else {
    return eoUpright;
  }
  auto read = [&](std::size_t at, int bytes) {
    return little ? littleEndian(tiff, at, bytes) : bigEndian(tiff, at, bytes);
  };
  const std::size_t ifd = read(4, 4);
  if (ifd > tiff.size() || tiff.size() - ifd < 2) return eoUpright;
  const std::size_t count = read(ifd, 2);
  if (count > (tiff.size() - ifd - 2) / kIfdEntrySize) return eoUpright;
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t entry = ifd + 2 + i * kIfdEntrySize;
    if (read(entry, 2) != kOrientationTag) continue;
    // One SHORT, stored in the first two bytes of the value field.
    if (read(entry + 2, 2) != kTypeShort || read(entry + 4, 4) != 1) return eoUpright;
    const std::uint32_t value = read(entry + 8, 2);
    return value >= 1 && value <= 8 ? TExifOrientation(value) : eoUpright;
  }
  return eoUpright;
}

TExifOrientation ReadExifOrientation(std::span<const std::byte> file) {
  return ReadTiffOrientation(exifBlockOf(file));
}

TPicture OrientPicture(const TPicture& picture, TExifOrientation orientation) {
  if (orientation <= eoUpright || orientation > eoTurnedRight) return picture;
  const std::int64_t w = picture.Width, h = picture.Height;
  const bool swap = orientation >= eoTransposed;
  TPicture out = picture;
  out.Width = std::int32_t(swap ? h : w);
  out.Height = std::int32_t(swap ? w : h);
  const std::int64_t outWidth = out.Width;
  // Where source pixel (x, y) lands, as (column, row) of the result.
  auto target = [&](std::int64_t x, std::int64_t y) -> std::pair<std::int64_t, std::int64_t> {
    switch (orientation) {
      case eoMirrored:
        return {w - 1 - x, y};
      case eoUpsideDown:
        return {w - 1 - x, h - 1 - y};
      case eoMirroredFlipped:
        return {x, h - 1 - y};
      case eoTransposed:
        return {y, x};
      case eoTurnedLeft:
        return {h - 1 - y, x};
      case eoTransverse:
        return {h - 1 - y, w - 1 - x};
      case eoTurnedRight:
        return {y, w - 1 - x};
      default:
        return {x, y};
    }
  };
  for (std::int64_t y = 0; y < h; ++y) {
    const TColor32* row = picture.Pixels.data() + y * w;
    for (std::int64_t x = 0; x < w; ++x) {
      const auto [tx, ty] = target(x, y);
      out.Pixels[std::size_t(ty * outWidth + tx)] = row[x];
    }
  }
  return out;
}

}  // namespace duduri
