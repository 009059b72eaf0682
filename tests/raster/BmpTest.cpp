// Bitmap files: each depth and compression decoded from bytes built here,
// round trips through the writer, and damaged files that must fail cleanly.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstring>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

// Builds a bitmap file field by field, so each test states only what it varies.
struct BmpBuilder {
  std::uint32_t headerSize = 40;
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::vector<std::uint32_t> masks;    // written right after a 40-byte header
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::vector<std::uint8_t> pixels;    // exactly as stored
  std::int64_t pixelOffset = -1;       // -1: right after the palette

  std::vector<std::byte> build() const {
    std::vector<std::byte> out;
    auto put = [&](std::uint32_t v, int n) {
      for (int i = 0; i < n; ++i) out.push_back(std::byte((v >> (8 * i)) & 0xFF));
    };
    const bool core = headerSize == 12;
    const std::size_t entry = core ? 3 : 4;
    const std::uint32_t offset = std::uint32_t(
        pixelOffset >= 0 ? pixelOffset
                         : 14 + headerSize + 4 * masks.size() + entry * palette.size());
    put('B', 1);
    put('M', 1);
    put(0, 4);  // file size: readers must not rely on it
    put(0, 4);
    put(offset, 4);
    put(headerSize, 4);
    if (core) {
      put(std::uint32_t(width), 2);
      put(std::uint32_t(height), 2);
      put(1, 2);
      put(bitsPerPixel, 2);
    } else if (headerSize == 16) {  // OS/2 2.x, cut short after the depth
      put(std::uint32_t(width), 4);
      put(std::uint32_t(height), 4);
      put(1, 2);
      put(bitsPerPixel, 2);
    } else {
      put(std::uint32_t(width), 4);
      put(std::uint32_t(height), 4);
      put(1, 2);
      put(bitsPerPixel, 2);
      put(compression, 4);
      put(std::uint32_t(pixels.size()), 4);
      put(2835, 4);
      put(2835, 4);
      put(colorsUsed, 4);
      put(0, 4);
      for (std::uint32_t i = 40; i < headerSize; i += 4) {
        const std::size_t m = (i - 40) / 4;
        put(m < masks.size() && headerSize > 40 ? masks[m] : 0, 4);
      }
      if (headerSize == 40) {
        for (std::uint32_t m : masks) put(m, 4);
      }
    }
    for (std::uint32_t c : palette) put(c, int(entry));
    while (out.size() < offset) out.push_back(std::byte(0));
    for (std::uint8_t b : pixels) out.push_back(std::byte(b));
    return out;
  }
};

constexpr TColor32 kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;
constexpr TColor32 kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;

std::vector<TColor32> decode(const BmpBuilder& b) {
  TPicture p = DecodeBmp(b.build());
  EXPECT_EQ(p.Format, TPictureFormat::pfBMP);
  EXPECT_EQ(std::size_t(p.Width) * std::size_t(p.Height), p.Pixels.size());
  return p.Pixels;
}

void expectInvalid(const std::vector<std::byte>& bytes, const std::string& fragment) {
  try {
    DecodeBmp(bytes);
    FAIL() << "decoded a file that should fail with '" << fragment << "'";
  } catch (const EPictureError& e) {
    EXPECT_NE(std::string(e.what()).find("BMP"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

TEST(BmpDecode, PalettedDepthsBottomUpWithRowPadding) {
  // 1 bit: 3 x 2, rows padded to 4 bytes; the file's first row is the bottom.
  BmpBuilder b;
  b.width = 3, b.height = 2, b.bitsPerPixel = 1;
  b.palette = {0x000000, 0xFFFFFF};
  b.pixels = {0b10100000, 0, 0, 0, 0b01000000, 0, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlack, kWhite, kBlack, kWhite, kBlack, kWhite}));

  // 4 bits: high nibble first.
  b.bitsPerPixel = 4;
  b.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = {0x12, 0x30, 0, 0, 0x03, 0x20, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlack, kBlue, kGreen, kRed, kGreen, kBlue}));

  // 8 bits with a colour table shorter than 256 entries (colorsUsed).
  b.bitsPerPixel = 8;
  b.colorsUsed = 3;
  b.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = {2, 1, 0, 0, 0, 0, 1, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kRed, kRed, kGreen, kBlue, kGreen, kRed}));
}

TEST(BmpDecode, IndexPastTheStoredPaletteReadsBlack) {
  BmpBuilder b;
  b.width = 2, b.bitsPerPixel = 8, b.colorsUsed = 1;
  b.palette = {0xFFFFFF};
  b.pixels = {0, 200, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kWhite, kBlack}));
}

TEST(BmpDecode, CoreHeaderWithThreeBytePalette) {
  BmpBuilder b;
  b.headerSize = 12;
  b.width = 2, b.height = 1, b.bitsPerPixel = 8;
  b.palette.assign(256, 0);
  b.palette[7] = 0x123456;
  b.pixels = {7, 0, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{0xFF123456, kBlack}));
}

TEST(BmpDecode, TrueColourDepths) {
  BmpBuilder b;
  b.width = 2, b.height = 2, b.bitsPerPixel = 24;
  // Rows of 6 bytes padded to 8; bottom row first.
  b.pixels = {0, 0, 255, 0, 255, 0, 0, 0, /* top: */ 255, 0, 0, 0x56, 0x34, 0x12, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlue, 0xFF123456, kRed, kGreen}));

  // 16 bits without masks is 5-5-5.
  b.bitsPerPixel = 16, b.width = 2, b.height = 1;
  b.pixels = {0x00, 0x7C, 0x1F, 0x00};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kRed, kBlue}));
}

TEST(BmpDecode, ThirtyTwoBitsKeepsTheFourthByteAsAlpha) {
  BmpBuilder b;
  b.width = 2, b.bitsPerPixel = 32;
  b.pixels = {0x30, 0x20, 0x10, 0x80, 0xFF, 0xFF, 0xFF, 0x00};
  TPicture p = DecodeBmp(b.build());
  EXPECT_EQ(p.BitsPerPixel, 32);
  EXPECT_EQ(p.Pixels, (std::vector<TColor32>{0x80102030, 0x00FFFFFF}));
}

TEST(BmpDecode, ThirtyTwoBitsWithNoAlphaAnywhereIsOpaque) {
  // The fourth byte left at 0 everywhere means "unused", not "invisible".
  BmpBuilder b;
  b.width = 2, b.bitsPerPixel = 32;
  b.pixels = {0x30, 0x20, 0x10, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{0xFF102030, kWhite}));
}

TEST(BmpDecode, BitFieldsWithArbitraryMasks) {
  // 16 bits 5-6-5.
  BmpBuilder b;
  b.width = 3, b.bitsPerPixel = 16, b.compression = 3;
  b.masks = {0xF800, 0x07E0, 0x001F};
  b.pixels = {0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kRed, kGreen, Color32(0, 0, 132)}));

  // 32 bits 10-10-10-2 in a V5 header, alpha in the top two bits.
  b = BmpBuilder{};
  b.headerSize = 124;
  b.width = 2, b.bitsPerPixel = 32, b.compression = 3;
  b.masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000};
  const std::uint32_t first = (3u << 30) | (1023u << 20) | (0u << 10) | 512u;
  const std::uint32_t second = (1u << 30) | (0u << 20) | (1023u << 10) | 0u;
  for (std::uint32_t v : {first, second}) {
    for (int i = 0; i < 4; ++i) b.pixels.push_back(std::uint8_t(v >> (8 * i)));
  }
  TPicture p = DecodeBmp(b.build());
  EXPECT_EQ(p.BitsPerPixel, 32);
  EXPECT_EQ(p.Pixels, (std::vector<TColor32>{Color32(255, 0, 128, 255), Color32(0, 255, 0, 85)}));

  // Without an alpha mask a 32-bit bit-field picture is opaque.
  b = BmpBuilder{};
  b.width = 1, b.bitsPerPixel = 32, b.compression = 3;
  b.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
  b.pixels = {0x01, 0x02, 0x03, 0x00};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{0xFF030201}));
}

TEST(BmpDecode, TopDownAndBottomUpGiveTheSameRows) {
  BmpBuilder bottomUp;
  bottomUp.width = 1, bottomUp.height = 3, bottomUp.bitsPerPixel = 24;
  bottomUp.pixels = {0, 0, 255, 0, /**/ 0, 255, 0, 0, /**/ 255, 0, 0, 0};
  BmpBuilder topDown = bottomUp;
  topDown.height = -3;
  topDown.pixels = {255, 0, 0, 0, /**/ 0, 255, 0, 0, /**/ 0, 0, 255, 0};
  const std::vector<TColor32> expected{kBlue, kGreen, kRed};
  EXPECT_EQ(decode(bottomUp), expected);
  EXPECT_EQ(decode(topDown), expected);
  EXPECT_EQ(ReadPictureSize(topDown.build()).Height, 3);
}

TEST(BmpDecode, Rle8RunsLiteralsJumpsAndEndOfBitmap) {
  BmpBuilder b;
  b.width = 4, b.height = 3, b.bitsPerPixel = 8, b.compression = 1;
  b.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = {
      3, 1, 0, 0,        // bottom row: three reds, end of line
      0, 3, 2, 3, 1, 0,  // literal green blue red (padded), then
      0, 0,              // end of line
      0, 2, 2, 0,        // jump two right on the top row
      9, 3,              // a run longer than the row is cut at the edge
      0, 1,              // end of bitmap
  };
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlack, kBlack, kBlue, kBlue,  //
                                              kGreen, kBlue, kRed, kBlack,   //
                                              kRed, kRed, kRed, kBlack}));
}

TEST(BmpDecode, Rle4AlternatesNibbles) {
  BmpBuilder b;
  b.width = 5, b.height = 1, b.bitsPerPixel = 4, b.compression = 2;
  b.palette = {0x000000, 0xFF0000, 0x00FF00};
  b.pixels = {3, 0x12, 0, 3, 0x21, 0x00, 0, 1};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kRed, kGreen, kRed, kGreen, kRed}));
}

TEST(BmpDecode, RejectsDamagedFiles) {
  BmpBuilder b;
  b.width = 4, b.height = 4, b.bitsPerPixel = 24;
  b.pixels.assign(4 * 12, 0);
  std::vector<std::byte> whole = b.build();
  ASSERT_NO_THROW(DecodeBmp(whole));
  for (std::size_t cut :
       {std::size_t(0), std::size_t(1), std::size_t(10), std::size_t(30), whole.size() - 4}) {
    expectInvalid({whole.begin(), whole.begin() + std::ptrdiff_t(cut)}, "");
  }
  expectInvalid({whole.begin(), whole.end() - 4}, "truncated");

  BmpBuilder huge = b;
  huge.width = 100000, huge.height = 100000;
  expectInvalid(huge.build(), "too large");
  EXPECT_EQ(ReadPictureSize(huge.build()).Width, 100000);

  BmpBuilder zero = b;
  zero.width = 0;
  expectInvalid(zero.build(), "size");
  BmpBuilder minHeight = b;
  minHeight.height = INT32_MIN;
  expectInvalid(minHeight.build(), "too large");

  BmpBuilder depth = b;
  depth.bitsPerPixel = 7;
  expectInvalid(depth.build(), "bits per pixel");
  BmpBuilder rle = b;
  rle.compression = 1;  // RLE8 with 24 bits
  expectInvalid(rle.build(), "RLE8");
  BmpBuilder embedded = b;
  embedded.compression = 4;
  expectInvalid(embedded.build(), "JPEG");

  BmpBuilder palette;
  palette.bitsPerPixel = 8, palette.colorsUsed = 200, palette.pixelOffset = 0;
  palette.palette.assign(10, 0);  // 200 entries claimed, the file ends after 10
  expectInvalid(palette.build(), "palette truncated");

  BmpBuilder inside = b;
  inside.pixelOffset = 20;  // pixel data inside the header
  expectInvalid(inside.build(), "overlaps");

  BmpBuilder header = b;
  header.headerSize = 30;
  expectInvalid(header.build(), "header size");
}

TEST(BmpDecode, RleThatEndsEarlyIsAnError) {
  BmpBuilder b;
  b.width = 4, b.height = 2, b.bitsPerPixel = 8, b.compression = 1;
  b.palette = {0x000000, 0xFF0000};
  b.pixels = {4, 1, 0, 0};  // one row, then nothing
  expectInvalid(b.build(), "RLE data truncated");
  b.pixels = {4, 1, 0, 0, 0, 5, 1, 1};  // literal of 5 with 2 bytes left
  expectInvalid(b.build(), "RLE data truncated");
  b.pixels = {4, 1, 0, 2, 1};  // jump cut short
  expectInvalid(b.build(), "RLE data truncated");
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

TEST(BmpDecode, PictureLargerThanMemoryIsAnError) {
  // The address sanitizer reserves terabytes of address space up front.
  if (kAddressSanitizer) GTEST_SKIP() << "needs a limit on the address space";
  // Twenty bytes of RLE ask for the largest picture allowed: 1 GiB of pixels.
  BmpBuilder b;
  b.width = 16384, b.height = 16384, b.bitsPerPixel = 8, b.compression = 1;
  b.palette = {0x102030};
  b.pixels = {0, 1};
  const std::vector<std::byte> bomb = b.build();

  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_AS, &old), 0);
  struct rlimit small = old;
  small.rlim_cur = rlim_t(768) << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_AS, &small), 0);
  std::string message;
  try {
    DecodeBmp(bomb);
  } catch (const EPictureError& e) {
    message = e.what();
  }
  ::setrlimit(RLIMIT_AS, &old);
  EXPECT_EQ(message, "Not enough memory for a 16384x16384 BMP picture");
}

TEST(BmpDecode, MissingPaddingOfTheLastRowIsAccepted) {
  BmpBuilder b;
  b.width = 1, b.height = 2, b.bitsPerPixel = 24;
  b.pixels = {1, 2, 3, 0, 4, 5, 6};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{0xFF060504, 0xFF030201}));
}

TBitmap32 pattern(std::int32_t w, std::int32_t h, bool alpha) {
  TBitmap32 bitmap;
  bitmap.SetSize(w, h);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      bitmap.Bits()[y * w + x] =
          Color32(std::uint8_t(x * 37 + y), std::uint8_t(y * 53), std::uint8_t(x ^ y),
                  alpha ? std::uint8_t(x * 9 + 1) : 255);
    }
  }
  return bitmap;
}

TEST(BmpEncode, RoundTripsOddSizesAtBothDepths) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {17, 13}, {2, 9}, {31, 1}}) {
    for (int bits : {24, 32}) {
      SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " @" + std::to_string(bits));
      const TBitmap32 source = pattern(w, h, bits == 32);
      const std::vector<std::byte> file = EncodeBmp(source, bits);
      const std::size_t stride = (std::size_t(w) * bits / 8 + 3) / 4 * 4;
      EXPECT_EQ(file.size(), 54 + stride * std::size_t(h));
      EXPECT_EQ(DetectPictureFormat(file), TPictureFormat::pfBMP);
      TPicture p = DecodeBmp(file);
      ASSERT_EQ(p.Width, w);
      ASSERT_EQ(p.Height, h);
      EXPECT_EQ(p.BitsPerPixel, bits);
      const std::vector<TColor32> expected(source.Bits(), source.Bits() + source.PixelCount());
      EXPECT_EQ(p.Pixels, expected);
    }
  }
}

TEST(BmpEncode, RefusesWhatItCannotWrite) {
  TBitmap32 empty;
  EXPECT_THROW(EncodeBmp(empty), EPictureError);
  const TBitmap32 one = pattern(1, 1, false);
  EXPECT_THROW(EncodeBmp(one, 16), EPictureError);
}

TEST(BmpDecode, TwoBitPaletteFourPixelsPerByte) {
  BmpBuilder b;
  b.width = 5, b.height = 1, b.bitsPerPixel = 2;
  b.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = {0b00011011, 0b10000000, 0, 0};
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlack, kRed, kGreen, kBlue, kGreen}));
  b.headerSize = 12;  // the core header knows the depth as well
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kBlack, kRed, kGreen, kBlue, kGreen}));
}

TEST(BmpDecode, Os2HeadersOfSixteenAndSixtyFourBytes) {
  // The short form: 32-bit width and height, and a palette of 4-byte entries.
  BmpBuilder b;
  b.headerSize = 16;
  b.width = 2, b.height = 2, b.bitsPerPixel = 8;
  b.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  b.pixels = {2, 1, 0, 0, 0, 2, 0, 0};  // bottom row first
  EXPECT_EQ(decode(b), (std::vector<TColor32>{kRed, kBlue, kBlue, kGreen}));

  BmpBuilder full = b;
  full.headerSize = 64;
  EXPECT_EQ(decode(full), (std::vector<TColor32>{kRed, kBlue, kBlue, kGreen}));
  full.bitsPerPixel = 24;
  full.palette.clear();
  full.pixels = {0, 0, 255, 255, 255, 255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(decode(full), (std::vector<TColor32>{kBlue, kBlack, kRed, kWhite}));
}

TEST(BmpDecode, Os2Rle24RunsLiteralsAndJumps) {
  BmpBuilder b;
  b.headerSize = 64;
  b.width = 4, b.height = 2, b.bitsPerPixel = 24, b.compression = 4;
  // Bottom row: a literal of red, green and blue (padded to an even length),
  // a run of one white. Top row: a jump of 2 (left black), a run of 2 blue,
  // then the end of the bitmap.
  b.pixels = {0,   3,   0, 0, 255, 0, 255, 0, 255, 0,   0, 0, 1, 255,
              255, 255, 0, 0, 0,   2, 2,   0, 2,   255, 0, 0, 0, 1};
  EXPECT_EQ(decode(b),
            (std::vector<TColor32>{kBlack, kBlack, kBlue, kBlue, kRed, kGreen, kBlue, kWhite}));

  BmpBuilder cut = b;
  cut.pixels = {3, 0, 0};  // a run without its colour
  expectInvalid(cut.build(), "RLE data truncated");
  cut.pixels = {0, 2, 0, 0, 255, 0};  // a literal of 2 with one colour
  expectInvalid(cut.build(), "RLE data truncated");

  BmpBuilder depth = b;
  depth.bitsPerPixel = 8;
  depth.palette = {0};
  expectInvalid(depth.build(), "RLE24");
  BmpBuilder huffman = b;
  huffman.compression = 3;
  expectInvalid(huffman.build(), "Huffman");
  // In a Windows header the same number means embedded JPEG.
  BmpBuilder windows = b;
  windows.headerSize = 40;
  expectInvalid(windows.build(), "JPEG");
}

}  // namespace
}  // namespace duduri
