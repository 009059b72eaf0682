// Drawing into rectangles of another size: the nearest-neighbour mapping the
// cutter and sprite creator depend on, and the kernel filters.

#include <gtest/gtest.h>

#include <cmath>

#include "raster/Bitmap32.h"

namespace duduri {
namespace {

// A one-row source whose pixel x holds x in its blue byte.
TBitmap32 Ramp(int width, int height = 1) {
  TBitmap32 b;
  b.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) b.ScanLine(y)[x] = 0xFF000000u | TColor32(y << 8) | TColor32(x);
  }
  return b;
}

int SourceColumn(TColor32 c) {
  return int(c & 0xFF);
}

TEST(ResampleNearest, ColumnsFollowTheSinglePrecisionRatio) {
  for (auto [srcW, dstW] : {std::pair{3, 7}, std::pair{10, 4}, std::pair{14, 20}, std::pair{5, 5},
                            std::pair{200, 3}, std::pair{7, 64}}) {
    const TBitmap32 src = Ramp(srcW);
    TBitmap32 dst;
    dst.SetSize(dstW, 1);
    dst.Draw(dst.BoundsRect(), src.BoundsRect(), src);
    const float ratio = float(srcW) / float(dstW);
    for (int i = 0; i < dstW; ++i) {
      EXPECT_EQ(SourceColumn(dst.Bits()[i]), int(std::trunc(double(i) * double(ratio))))
          << srcW << " -> " << dstW << " column " << i;
    }
  }
  // 14 / 20 rounds below 0.7 in single precision, so column 10 reads source
  // column 6, not 7: exact arithmetic would move pieces' pixels by one.
  const TBitmap32 src = Ramp(14);
  TBitmap32 dst;
  dst.SetSize(20, 1);
  dst.Draw(dst.BoundsRect(), src.BoundsRect(), src);
  EXPECT_EQ(SourceColumn(dst.Bits()[10]), 6);
}

TEST(ResampleNearest, ClippingKeepsTheMappingOfTheWholeRectangle) {
  const TBitmap32 src = Ramp(4, 4);
  TBitmap32 whole, clipped;
  whole.SetSize(12, 12);
  clipped.SetSize(12, 12);
  whole.Draw(MakeRect(2, 2, 12, 12), MakeRect(0, 0, 4, 4), src);
  clipped.SetClipRect(MakeRect(5, 6, 9, 12));
  clipped.Draw(MakeRect(2, 2, 12, 12), MakeRect(0, 0, 4, 4), src);
  for (int y = 0; y < 12; ++y) {
    for (int x = 0; x < 12; ++x) {
      const bool inside = x >= 5 && x < 9 && y >= 6;
      EXPECT_EQ(clipped.ScanLine(y)[x], inside ? whole.ScanLine(y)[x] : 0u) << x << "," << y;
    }
  }
  // A source rectangle away from the origin maps from its own left edge.
  TBitmap32 part;
  part.SetSize(2, 2);
  part.Draw(part.BoundsRect(), MakeRect(2, 1, 3, 2), src);
  EXPECT_EQ(part.Bits()[3], src.ScanLine(1)[2]);
}

TEST(ResampleNearest, BlendModeAppliesWhileStretching) {
  TBitmap32 src, dst;
  src.SetSize(1, 1);
  src.Clear(0x80FFFFFF);
  src.SetDrawMode(dmBlend);
  dst.SetSize(3, 3);
  dst.Clear(0xFF000000);
  dst.Draw(MakeRect(0, 0, 2, 3), src.BoundsRect(), src);
  EXPECT_EQ(dst.GetPixelS(1, 2), BlendReg(0x80FFFFFF, 0xFF000000));
  EXPECT_EQ(dst.GetPixelS(2, 2), 0xFF000000u);
}

TEST(ResampleKernels, EveryFilterKeepsAFlatColourAndItsRange) {
  for (TStretchFilter f : {sfDraft, sfLinear, sfCosine, sfSpline, sfLanczos, sfMitchell}) {
    TBitmap32 flat, dst;
    flat.SetSize(7, 5);
    flat.Clear(0xC0406080);
    flat.SetStretchFilter(f);
    for (auto [w, h] : {std::pair{20, 13}, std::pair{3, 2}, std::pair{1, 1}, std::pair{30, 1}}) {
      dst.SetSize(w, h);
      dst.Draw(dst.BoundsRect(), flat.BoundsRect(), flat);
      for (std::size_t i = 0; i < dst.PixelCount(); ++i) {
        ASSERT_EQ(dst.Bits()[i], 0xC0406080u) << "filter " << f << " size " << w << "x" << h;
      }
    }
    // A hard black and white edge: filters with negative lobes overshoot and
    // must clamp, never wrap round to the other end of the range.
    TBitmap32 edge;
    edge.SetSize(4, 1);
    edge.Bits()[0] = edge.Bits()[1] = 0xFF000000;
    edge.Bits()[2] = edge.Bits()[3] = 0xFFFFFFFF;
    edge.SetStretchFilter(f);
    dst.SetSize(16, 1);
    dst.Draw(dst.BoundsRect(), edge.BoundsRect(), edge);
    for (int i = 0; i < 16; ++i) {
      const int blue = int(dst.Bits()[i] & 0xFF);
      EXPECT_EQ(dst.Bits()[i] >> 24, 0xFFu);
      if (i < 4) {
        EXPECT_LT(blue, 32) << "filter " << f << " pixel " << i;
      } else if (i >= 12) {
        EXPECT_GT(blue, 223) << "filter " << f << " pixel " << i;
      }
    }
  }
}

TEST(ResampleKernels, ShrinkingAveragesTheSource) {
  TBitmap32 checker, dst;
  checker.SetSize(16, 16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) checker.ScanLine(y)[x] = (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000;
  }
  for (TStretchFilter f : {sfDraft, sfLinear, sfSpline, sfMitchell}) {
    checker.SetStretchFilter(f);
    dst.SetSize(4, 4);
    dst.Draw(dst.BoundsRect(), checker.BoundsRect(), checker);
    for (std::size_t i = 0; i < dst.PixelCount(); ++i) {
      EXPECT_NEAR(int(dst.Bits()[i] & 0xFF), 128, 12) << f;
    }
  }
}

}  // namespace
}  // namespace duduri
