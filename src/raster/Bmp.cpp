// Windows bitmap files: the reader takes every layout that bitmap writers
// commonly produce (core and info headers, OS/2 2.x headers, 1 to 32 bits,
// bit fields, RLE4, RLE8 and OS/2's RLE24); the writer produces the plain 24-
// and 32-bit bottom-up form.

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
// OS/2 2.x headers: the full 64-byte form and the 16-byte form that stops
// after the depth (every later field then reads as 0).
constexpr std::uint32_t kOs2ShortHeaderSize = 16;
constexpr std::uint32_t kOs2HeaderSize = 64;

enum TBmpCompression : std::uint32_t {
  bcRGB = 0,
  bcRLE8 = 1,
  bcRLE4 = 2,
  bcBitFields = 3,
  bcJPEG = 4,
  bcPNG = 5,
  bcAlphaBitFields = 6,
  // OS/2 2.x gives 3 and 4 other meanings; they are mapped to these so the
  // Windows values keep theirs.
  bcOs2Huffman = 0x1003,
  bcOs2Rle24 = 0x1004,
};

[[noreturn]] void fail(const std::string& what) {
  throw EPictureError("Invalid BMP picture: " + what);
}

// Bounds-checked little-endian reads over the whole file.
class Reader {
 public:
  explicit Reader(std::span<const std::byte> data) : data_(data) {}
  std::size_t size() const { return data_.size(); }
  bool has(std::size_t offset, std::size_t count) const {
    return offset <= data_.size() && count <= data_.size() - offset;
  }
  std::uint8_t u8(std::size_t offset) const {
    if (!has(offset, 1)) fail("file ends inside the header");
    return std::to_integer<std::uint8_t>(data_[offset]);
  }
  std::uint16_t u16(std::size_t offset) const {
    return std::uint16_t(u8(offset) | (u8(offset + 1) << 8));
  }
  std::uint32_t u32(std::size_t offset) const {
    return std::uint32_t(u16(offset)) | (std::uint32_t(u16(offset + 2)) << 16);
  }
  std::int32_t i32(std::size_t offset) const { return std::int32_t(u32(offset)); }
  const std::uint8_t* bytes(std::size_t offset) const {
    return reinterpret_cast<const std::uint8_t*>(data_.data()) + offset;
  }

 private:
  std::span<const std::byte> data_;
};

// What the headers say, before any pixel is read.
struct BmpHeader {
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // always positive here
  bool topDown = false;
  int bitsPerPixel = 0;
  std::uint32_t compression = bcRGB;
  std::uint32_t colorsUsed = 0;
  std::uint32_t pixelOffset = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool hasMasks = false;
  std::size_t paletteOffset = 0;
  std::size_t paletteEntrySize = 4;
};

BmpHeader readHeader(const Reader& in) {
  if (in.size() < kFileHeaderSize + 4) fail("file too short");
  if (in.u8(0) != 'B' || in.u8(1) != 'M') fail("missing 'BM' signature");
  BmpHeader h;
  h.pixelOffset = in.u32(10);
  h.headerSize = in.u32(14);
  const std::size_t info = kFileHeaderSize;
  if (h.headerSize == kCoreHeaderSize) {
    h.width = in.u16(info + 4);
    h.height = in.u16(info + 6);
    h.bitsPerPixel = in.u16(info + 10);
    h.paletteEntrySize = 3;
  } else if (h.headerSize == kOs2ShortHeaderSize || h.headerSize == kOs2HeaderSize) {
    if (!in.has(info, h.headerSize)) fail("file ends inside the header");
    h.width = in.i32(info + 4);
    h.height = in.i32(info + 8);
    h.bitsPerPixel = in.u16(info + 14);
    if (h.headerSize == kOs2HeaderSize) {
      const std::uint32_t compression = in.u32(info + 16);
      h.compression = compression == 3 ? bcOs2Huffman : compression == 4 ? bcOs2Rle24 : compression;
      h.colorsUsed = in.u32(info + 32);
    }
    // A negative height has no meaning in OS/2 files; it is refused below
    // as a size rather than read as top-down.
  } else if (h.headerSize >= kInfoHeaderSize && h.headerSize <= 1024) {
    if (!in.has(info, h.headerSize)) fail("file ends inside the header");
    h.width = in.i32(info + 4);
    std::int64_t height = in.i32(info + 8);
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    h.bitsPerPixel = in.u16(info + 14);
    h.compression = in.u32(info + 16);
    h.colorsUsed = in.u32(info + 32);
  } else {
    fail("unsupported header size " + std::to_string(h.headerSize));
  }
  h.paletteOffset = info + h.headerSize;

  if (h.compression == bcBitFields || h.compression == bcAlphaBitFields) {
    // Version 2+ headers carry the masks inside; the plain info header is
    // followed by three (or, for alpha bit fields, four) of them.
    std::size_t maskCount = h.compression == bcAlphaBitFields ? 4 : 3;
    std::size_t maskOffset = info + kInfoHeaderSize;
    if (h.headerSize == kInfoHeaderSize) {
      h.paletteOffset += 4 * maskCount;
    } else {
      maskCount = h.headerSize >= 56 ? 4 : 3;
    }
    if (!in.has(maskOffset, 4 * maskCount)) fail("file ends inside the bit field masks");
    for (std::size_t i = 0; i < maskCount; ++i) h.masks[i] = in.u32(maskOffset + 4 * i);
    h.hasMasks = true;
  }
  return h;
}

void validateHeader(const BmpHeader& h) {
  switch (h.compression) {
    case bcRGB:
      if (h.bitsPerPixel != 1 && h.bitsPerPixel != 2 && h.bitsPerPixel != 4 &&
          h.bitsPerPixel != 8 && h.bitsPerPixel != 16 && h.bitsPerPixel != 24 &&
          h.bitsPerPixel != 32) {
        fail("unsupported depth of " + std::to_string(h.bitsPerPixel) + " bits per pixel");
      }
      break;
    case bcRLE8:
      if (h.bitsPerPixel != 8) fail("RLE8 compression needs 8 bits per pixel");
      break;
    case bcRLE4:
      if (h.bitsPerPixel != 4) fail("RLE4 compression needs 4 bits per pixel");
      break;
    case bcBitFields:
    case bcAlphaBitFields:
      if (h.bitsPerPixel != 16 && h.bitsPerPixel != 32) {
        fail("bit fields need 16 or 32 bits per pixel");
      }
      break;
    case bcOs2Rle24:
      if (h.bitsPerPixel != 24) fail("RLE24 compression needs 24 bits per pixel");
      break;
    case bcOs2Huffman:
      fail("OS/2 Huffman compression is not supported");
    case bcJPEG:
    case bcPNG:
      fail("embedded JPEG or PNG data is not supported");
    default:
      fail("unknown compression " + std::to_string(h.compression));
  }
  if (h.headerSize == kCoreHeaderSize && h.compression != bcRGB) fail("invalid core header");
}

using Palette = std::vector<TColor32>;

constexpr TColor32 kBlack = 0xFF000000;

// Reads the colour table and settles where the pixels start.
Palette readPalette(const Reader& in, BmpHeader& h) {
  if (h.pixelOffset != 0 && h.pixelOffset < h.paletteOffset) fail("pixel data overlaps the header");
  if (h.bitsPerPixel > 8) {
    if (h.pixelOffset == 0) h.pixelOffset = std::uint32_t(h.paletteOffset);
    return {};
  }
  const std::size_t nominal = std::size_t(1) << h.bitsPerPixel;
  std::size_t count = nominal;
  if (h.colorsUsed != 0 && h.colorsUsed < nominal) count = h.colorsUsed;
  // Old writers leave colorsUsed at 0 yet store fewer entries; the pixel
  // offset then tells where the table really ends.
  if (h.pixelOffset > h.paletteOffset) {
    count = std::min(count, (h.pixelOffset - h.paletteOffset) / h.paletteEntrySize);
  }
  if (!in.has(h.paletteOffset, count * h.paletteEntrySize)) fail("palette truncated");
  // A zero offset, written by some tools, means "right after the palette".
  if (h.pixelOffset == 0) {
    h.pixelOffset = std::uint32_t(h.paletteOffset + count * h.paletteEntrySize);
  }
  // Indices past the stored table read as black rather than as stray memory.
  Palette palette(nominal, 0xFF000000);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* entry = in.bytes(h.paletteOffset + i * h.paletteEntrySize);
    palette[i] = Color32(entry[2], entry[1], entry[0]);
  }
  return palette;
}

// One channel of a bit-field pixel scaled to 0..255, for any mask.
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;
    shift_ = std::countr_zero(mask);
    max_ = std::uint64_t(mask >> shift_);
    max_ = (std::uint64_t(1) << std::bit_width(std::uint32_t(max_))) - 1;
  }
  bool present() const { return mask_ != 0; }
  std::uint8_t operator()(std::uint32_t pixel) const {
    if (mask_ == 0) return 0;
    std::uint64_t value = (pixel & mask_) >> shift_;
    return std::uint8_t((value * 255 + max_ / 2) / max_);
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0;
  std::uint64_t max_ = 1;
};

std::size_t rowStride(std::int64_t width, int bitsPerPixel) {
  return std::size_t((width * bitsPerPixel + 31) / 32 * 4);
}

void decodeUncompressed(const Reader& in, const BmpHeader& h, const Palette& palette,
                        TPicture& picture) {
  const std::size_t stride = rowStride(h.width, h.bitsPerPixel);

  std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
  if (!h.hasMasks && h.bitsPerPixel == 16) {
    masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F, masks[3] = 0;
  }
  const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
  const bool bitFields = h.bitsPerPixel == 16 || (h.bitsPerPixel == 32 && h.hasMasks);
  const int width = int(h.width);
  bool anyAlpha = false;

  for (std::int64_t fileRow = 0; fileRow < h.height; ++fileRow) {
    const std::uint8_t* src = in.bytes(h.pixelOffset + std::size_t(fileRow) * stride);
    const std::int64_t y = h.topDown ? fileRow : h.height - 1 - fileRow;
    TColor32* dst = picture.Pixels.data() + y * h.width;
    if (h.bitsPerPixel <= 8) {
      const int bits = h.bitsPerPixel;
      const int perByte = 8 / bits;
      const unsigned indexMask = (1u << bits) - 1;
      for (int x = 0; x < width; ++x) {
        const int shift = 8 - bits * (x % perByte + 1);
        dst[x] = palette[(src[x / perByte] >> shift) & indexMask];
      }
    } else if (bitFields) {
      const int bytes = h.bitsPerPixel / 8;
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = src + x * bytes;
        std::uint32_t v = p[0] | (p[1] << 8);
        if (bytes == 4) v |= (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
        const std::uint8_t a = alpha.present() ? alpha(v) : 255;
        dst[x] = Color32(red(v), green(v), blue(v), a);
        anyAlpha = anyAlpha || a != 0;
      }
    } else if (h.bitsPerPixel == 24) {
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = src + x * 3;
        dst[x] = Color32(p[2], p[1], p[0]);
      }
    } else {  // 32 bits, BI_RGB: the fourth byte is alpha
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = src + x * 4;
        dst[x] = Color32(p[2], p[1], p[0], p[3]);
        anyAlpha = anyAlpha || p[3] != 0;
      }
    }
  }
  // Many 32-bit bitmaps leave the fourth byte at 0 and mean an opaque
  // picture; taken as alpha it would make the whole picture invisible.
  if (h.bitsPerPixel == 32 && !anyAlpha) {
    for (TColor32& p : picture.Pixels) p |= 0xFF000000;
  }
}

// RLE4, RLE8 and RLE24: runs and literal blocks, with escapes for end of
// line, end of bitmap and a jump. RLE24 (OS/2) stores colours, three bytes
// blue-green-red per run or literal pixel, instead of palette indices.
// Pixels the stream skips keep palette entry 0 (black for RLE24).
void decodeRle(const Reader& in, const BmpHeader& h, const Palette& palette, TPicture& picture) {
  const bool four = h.compression == bcRLE4;
  const bool rgb = h.compression == bcOs2Rle24;
  std::fill(picture.Pixels.begin(), picture.Pixels.end(), rgb ? kBlack : palette[0]);
  const std::size_t end = in.size();
  std::size_t pos = h.pixelOffset;
  if (pos > end) fail("pixel data truncated");
  std::int64_t x = 0, fileRow = 0;

  auto put = [&](TColor32 colour) {
    if (x < h.width && fileRow < h.height) {
      const std::int64_t y = h.topDown ? fileRow : h.height - 1 - fileRow;
      picture.Pixels[std::size_t(y * h.width + x)] = colour;
    }
    ++x;
  };
  auto colourAt = [&](std::size_t at) {
    const std::uint8_t* p = in.bytes(at);
    return Color32(p[2], p[1], p[0]);
  };

  while (fileRow < h.height) {
    if (end - pos < 2) fail("RLE data truncated");
    const unsigned count = in.u8(pos), value = in.u8(pos + 1);
    if (count > 0) {
      if (rgb) {
        if (end - pos < 4) fail("RLE data truncated");
        const TColor32 colour = colourAt(pos + 1);
        pos += 4;
        for (unsigned i = 0; i < count && x < h.width; ++i) put(colour);
      } else {
        pos += 2;
        for (unsigned i = 0; i < count && x < h.width; ++i) {
          put(palette[four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value]);
        }
      }
      continue;
    }
    pos += 2;
    switch (value) {
      case 0:  // end of line
        x = 0;
        ++fileRow;
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // jump right and down
        if (end - pos < 2) fail("RLE data truncated");
        x += in.u8(pos);
        fileRow += in.u8(pos + 1);
        pos += 2;
        break;
      }
      default: {  // literal block, padded to a 16-bit boundary
        const std::size_t bytes = rgb ? 3 * std::size_t(value) : four ? (value + 1) / 2 : value;
        const std::size_t padded = (bytes + 1) & ~std::size_t(1);
        if (end - pos < bytes) fail("RLE data truncated");
        for (unsigned i = 0; i < value && x < h.width; ++i) {
          if (rgb) {
            put(colourAt(pos + 3 * std::size_t(i)));
            continue;
          }
          const std::uint8_t b = in.u8(pos + (four ? i / 2 : i));
          put(palette[four ? (i % 2 == 0 ? b >> 4 : b & 0x0F) : b]);
        }
        pos += std::min(padded, end - pos);
        break;
      }
    }
  }
}

void appendLE(std::vector<std::byte>& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(std::byte((value >> (8 * i)) & 0xFF));
}

}  // namespace

TPictureSize ReadBmpSize(std::span<const std::byte> data) {
  Reader in(data);
  BmpHeader h = readHeader(in);
  if (h.width <= 0 || h.height <= 0 || h.width > INT32_MAX || h.height > INT32_MAX) {
    fail("size " + std::to_string(h.width) + "x" + std::to_string(h.height));
  }
  return TPictureSize{std::int32_t(h.width), std::int32_t(h.height)};
}

TPicture DecodeBmp(std::span<const std::byte> data) {
  Reader in(data);
  BmpHeader h = readHeader(in);
  validateHeader(h);
  CheckPictureSize(h.width, h.height, "BMP");
  const Palette palette = readPalette(in, h);
  // Uncompressed pixel data is checked against the file before the pixel
  // block is taken; RLE is checked run by run. The final row's padding is
  // sometimes left off by writers; its pixels are not.
  const std::size_t lastRow = std::size_t((h.width * h.bitsPerPixel + 7) / 8);
  const bool rle =
      h.compression == bcRLE4 || h.compression == bcRLE8 || h.compression == bcOs2Rle24;
  if (!rle && !in.has(h.pixelOffset,
                      rowStride(h.width, h.bitsPerPixel) * std::size_t(h.height - 1) + lastRow)) {
    fail("pixel data truncated");
  }

  TPicture picture;
  picture.Width = std::int32_t(h.width);
  picture.Height = std::int32_t(h.height);
  picture.BitsPerPixel = h.bitsPerPixel;
  picture.Format = TPictureFormat::pfBMP;
  AllocatePicturePixels(picture.Pixels, picture.Width, picture.Height, "BMP");
  if (rle) {
    decodeRle(in, h, palette, picture);
  } else {
    decodeUncompressed(in, h, palette, picture);
  }
  return picture;
}

std::vector<std::byte> EncodeBmp(const TBitmap32& bitmap, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32) {
    throw EPictureError("BMP output supports 24 or 32 bits per pixel, not " +
                        std::to_string(bitsPerPixel));
  }
  if (bitmap.Empty()) throw EPictureError("Cannot write an empty picture as BMP");
  const std::int64_t width = bitmap.Width(), height = bitmap.Height();
  const std::size_t stride = rowStride(width, bitsPerPixel);
  const std::uint64_t imageSize = std::uint64_t(stride) * std::uint64_t(height);
  const std::uint64_t fileSize = kFileHeaderSize + kInfoHeaderSize + imageSize;
  if (fileSize > UINT32_MAX) throw EPictureError("Picture too large for a BMP file");

  std::vector<std::byte> out;
  out.reserve(std::size_t(fileSize));
  out.push_back(std::byte('B'));
  out.push_back(std::byte('M'));
  appendLE(out, std::uint32_t(fileSize), 4);
  appendLE(out, 0, 4);
  appendLE(out, kFileHeaderSize + kInfoHeaderSize, 4);
  appendLE(out, kInfoHeaderSize, 4);
  appendLE(out, std::uint32_t(width), 4);
  appendLE(out, std::uint32_t(height), 4);  // positive: bottom-up
  appendLE(out, 1, 2);
  appendLE(out, std::uint32_t(bitsPerPixel), 2);
  appendLE(out, bcRGB, 4);
  appendLE(out, std::uint32_t(imageSize), 4);
  appendLE(out, 2835, 4);  // 72 dots per inch
  appendLE(out, 2835, 4);
  appendLE(out, 0, 4);
  appendLE(out, 0, 4);

  const std::size_t rowStart = out.size();
  out.resize(rowStart + std::size_t(imageSize));
  auto* dst = reinterpret_cast<std::uint8_t*>(out.data() + rowStart);
  const int bytes = bitsPerPixel / 8;
  for (std::int64_t y = height - 1; y >= 0; --y, dst += stride) {
    const TColor32* src = bitmap.ScanLine(std::int32_t(y));
    for (std::int64_t x = 0; x < width; ++x) {
      const TColor32 c = src[x];
      std::uint8_t* p = dst + x * bytes;
      p[0] = BlueComponent(c);
      p[1] = GreenComponent(c);
      p[2] = RedComponent(c);
      if (bytes == 4) p[3] = AlphaComponent(c);
    }
  }
  return out;
}

}  // namespace duduri
