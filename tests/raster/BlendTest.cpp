// The pixel arithmetic: blend, blend with master alpha, merge, and the colour
// conversions. The references below are written straight from the formulas,
// channel by channel, so the packed and vector forms are checked against them.

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Color32.h"

namespace duduri {
namespace {

std::uint32_t Channel(TColor32 c, int shift) {
  return (c >> shift) & 0xFF;
}

TColor32 ReferenceBlend(TColor32 f, TColor32 b, std::uint32_t fa) {
  if (fa == 255) return f;
  if (fa == 0) return b;
  TColor32 r = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    // Never above 255, so the channels cannot run into each other.
    r |= (((Channel(f, shift) * fa + 128) >> 8) + ((Channel(b, shift) * (255 - fa) + 128) >> 8))
         << shift;
  }
  return r;
}

TColor32 ReferenceMerge(TColor32 f, TColor32 b) {
  const int fa = int(f >> 24), ba = int(b >> 24);
  if (fa == 255) return f;
  if (fa == 0) return b;
  if (ba == 0) return f;
  const int ra = fa + ba - (fa * ba) / 255;
  const int w = 65536 / ra;
  TColor32 r = TColor32(ra) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int p = (int(Channel(b, shift)) * ba) >> 8;
    const int fc = int(Channel(f, shift));
    r |= TColor32(((w * (p + (((fc - p) * fa) >> 8))) >> 8) & 0xFF) << shift;
  }
  return r;
}

TEST(BlendTest, BlendRegMatchesTheFormulaForEveryAlphaAndColour) {
  for (std::uint32_t fa = 0; fa < 256; ++fa) {
    for (std::uint32_t fc = 0; fc < 256; ++fc) {
      for (std::uint32_t bc = 0; bc < 256; bc += 3) {  // 0 and 255 included
        // Different values per channel so that a carry between channels shows.
        const TColor32 f = Color32(std::uint8_t(fc), std::uint8_t(255 - fc),
                                   std::uint8_t(fc ^ 0x5A), std::uint8_t(fa));
        const TColor32 b = Color32(std::uint8_t(bc), std::uint8_t(bc ^ 0xA5),
                                   std::uint8_t(255 - bc), std::uint8_t(bc ^ 0x3C));
        const TColor32 got = BlendReg(f, b);
        if (got != ReferenceBlend(f, b, fa)) {
          FAIL() << std::hex << f << " over " << b << " gave " << got;
        }
      }
    }
  }
}

TEST(BlendTest, BlendRegExUsesTheMasterWeightAndKeepsTheDestinationAtWeightZero) {
  const TColor32 b = 0xFF204060;
  for (std::uint32_t master = 0; master < 256; ++master) {
    for (std::uint32_t fa = 0; fa < 256; ++fa) {
      const TColor32 f = Color32(200, 100, 7, std::uint8_t(fa));
      const std::uint32_t w = ((master + 1) * fa) >> 8;
      ASSERT_EQ(BlendRegEx(f, b, master), ReferenceBlend(f, b, w)) << master << " " << fa;
    }
  }
  EXPECT_EQ(BlendRegEx(0x80FFFFFF, b, 0), b);
  EXPECT_EQ(BlendRegEx(0x01FFFFFF, b, 254), b);  // weight (255 * 1) >> 8 = 0
  EXPECT_EQ(BlendRegEx(0xFF123456, b, 255), 0xFF123456u);
}

TEST(BlendTest, BlendEndsAndAlphaZero) {
  EXPECT_EQ(BlendReg(0x00FFFFFF, 0x12345678), 0x12345678u);
  EXPECT_EQ(BlendReg(0xFF000001, 0x12345678), 0xFF000001u);
  // The formula alone would give 254 for an opaque white channel.
  EXPECT_EQ(BlendReg(0xFFFFFFFF, 0), 0xFFFFFFFFu);
}

TEST(BlendTest, MergeRegMatchesTheFormulaAndItsSpecialCases) {
  std::mt19937 rng(7);
  for (int i = 0; i < 200000; ++i) {
    const TColor32 f = rng(), b = rng();
    ASSERT_EQ(MergeReg(f, b), ReferenceMerge(f, b)) << std::hex << f << " " << b;
  }
  // An opaque colour always wins; a colour lands unchanged on a transparent pixel.
  for (TColor32 b : {0x00000000u, 0x80FFFFFFu, 0xFFFFFFFFu, 0x01020304u}) {
    EXPECT_EQ(MergeReg(0xFF010101, b), 0xFF010101u);
    EXPECT_EQ(MergeReg(0x00FFFFFF, b), b);
  }
  EXPECT_EQ(MergeReg(0xE0000000, 0x00000000), 0xE0000000u);
  EXPECT_EQ(MergeReg(0x40ABCDEF, 0x00FFFFFF), 0x40ABCDEFu);
  // Two half-transparent layers give a more opaque one.
  EXPECT_EQ(AlphaComponent(MergeReg(0x80FF0000, 0x800000FF)), 0x80 + 0x80 - (0x80 * 0x80) / 255);
}

TEST(BlendTest, MergeOverAnOpaquePixelIsTheBlendWithinRounding) {
  for (std::uint32_t fa = 1; fa < 255; fa += 3) {
    for (std::uint32_t c = 0; c < 256; c += 5) {
      const TColor32 f = Color32(std::uint8_t(c), std::uint8_t(255 - c), 9, std::uint8_t(fa));
      const TColor32 b = Color32(std::uint8_t(255 - c), std::uint8_t(c), 250);
      const TColor32 merged = MergeReg(f, b), blended = BlendReg(f, b);
      EXPECT_EQ(AlphaComponent(merged), 255);
      for (int shift = 0; shift < 24; shift += 8) {
        EXPECT_LE(std::abs(int(Channel(merged, shift)) - int(Channel(blended, shift))), 2);
      }
    }
  }
}

TEST(BlendTest, DrawBlendRowsMatchThePixelFunctionsForEveryMasterAlpha) {
  // Rows of every length around the groups of four, eight and sixteen
  // pixels, with runs that are all opaque, all clear and mixed.
  std::mt19937 rng(11);
  const std::uint32_t alphas[] = {0, 255, 1, 128, 254};
  for (int width : {1, 3, 4, 5, 8, 13, 37, 64, 100}) {
    TBitmap32 src, dst, expected;
    src.SetSize(width, 8);
    dst.SetSize(width, 8);
    for (std::size_t i = 0; i < src.PixelCount(); ++i) {
      std::uint32_t a = rng() >> 24;
      const std::size_t row = i / std::size_t(width), run = row % 2 ? 4 : 16;
      switch ((i % std::size_t(width) / run + row) % 4) {
        case 0:
          a = 255;
          break;
        case 1:
          a = 0;
          break;
        case 2:
          a = alphas[rng() % 5];
          break;
        default:
          break;
      }
      src.Bits()[i] = (rng() & 0x00FFFFFF) | (a << 24);
      dst.Bits()[i] = rng();
    }
    src.SetDrawMode(dmBlend);
    for (std::uint32_t master : {255u, 254u, 128u, 1u, 0u}) {
      src.SetMasterAlpha(master);
      expected.Assign(dst);
      for (std::size_t i = 0; i < dst.PixelCount(); ++i) {
        expected.Bits()[i] = BlendRegEx(src.Bits()[i], dst.Bits()[i], master);
      }
      TBitmap32 out;
      out.Assign(dst);
      out.Draw(0, 0, src);
      for (std::size_t i = 0; i < dst.PixelCount(); ++i) {
        ASSERT_EQ(out.Bits()[i], expected.Bits()[i])
            << "width " << width << " master " << master << " pixel " << i;
      }
    }
  }
}

TEST(BlendTest, PlatformColoursSwapRedAndBlueAndLookUpSystemColours) {
  EXPECT_EQ(Color32(1, 2, 3, 4), 0x04010203u);
  EXPECT_EQ(Color32FromPlatform(0x00332211), 0xFF112233u);
  EXPECT_EQ(Color32FromPlatform(std::int32_t(0x8000000F)), 0xFF000000u);  // no lookup: black
  SetSystemColorLookup([](std::int32_t c) -> std::int32_t {
    return c == std::int32_t(0x8000000F) ? 0x00C0D0E0 : c;
  });
  EXPECT_EQ(Color32FromPlatform(std::int32_t(0x8000000F)), 0xFFE0D0C0u);
  // A lookup answering with another system colour must not be taken as a colour.
  EXPECT_EQ(Color32FromPlatform(std::int32_t(0x80000005)), 0xFF000000u);
  SetSystemColorLookup(nullptr);
}

}  // namespace
}  // namespace duduri
