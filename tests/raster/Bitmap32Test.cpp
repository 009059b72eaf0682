// The surface: size and ownership, drawing state and its notifications, fills
// and lines, Assign, drawing one surface onto another, and the turns.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

// Fills a surface with distinct opaque values: pixel i becomes 0xFF000000 | i.
void Number(TBitmap32& b) {
  for (std::size_t i = 0; i < b.PixelCount(); ++i) b.Bits()[i] = 0xFF000000u | TColor32(i);
}

struct ChangeCounter {
  int count = 0;
  void Attach(TBitmap32& b) {
    b.OnChange = [this](TBitmap32&) { ++count; };
  }
};

TEST(Bitmap32Size, SetSizeKeepsPixelsOnlyForTheSameSize) {
  TBitmap32 b;
  EXPECT_TRUE(b.Empty());
  EXPECT_TRUE(b.SetSize(4, 3));
  for (std::size_t i = 0; i < b.PixelCount(); ++i) EXPECT_EQ(b.Bits()[i], 0u);
  b.Clear(0xFF112233);
  EXPECT_FALSE(b.SetSize(4, 3));
  EXPECT_EQ(b.GetPixelS(3, 2), 0xFF112233u);
  EXPECT_TRUE(b.SetSize(3, 4));
  for (std::size_t i = 0; i < b.PixelCount(); ++i) EXPECT_EQ(b.Bits()[i], 0u);
  EXPECT_EQ(b.ClipRect(), MakeRect(0, 0, 3, 4));

  b.SetSize(-5, 10);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 10);
  EXPECT_TRUE(b.Empty());
}

TEST(Bitmap32Size, OversizedSurfacesAreRefusedAndLeaveTheSurfaceEmpty) {
  for (auto [w, h] : {std::pair{kMaxPictureSide + 1, 1}, std::pair{1, kMaxPictureSide + 1}}) {
    TBitmap32 b;
    b.SetSize(8, 8);
    ChangeCounter changes;
    changes.Attach(b);
    try {
      b.SetSize(w, h);
      FAIL() << "no error";
    } catch (const EBitmapError& e) {
      EXPECT_EQ(std::string(e.what()), "Can't allocate the DIB handle");
    }
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Bits(), nullptr);
    EXPECT_EQ(changes.count, 1);
  }
}

TEST(Bitmap32State, NotificationsFollowTheSettersRules) {
  TBitmap32 b;
  b.SetSize(4, 4);
  ChangeCounter changes;
  changes.Attach(b);
  b.SetDrawMode(dmOpaque);
  b.SetMasterAlpha(255);
  b.SetStretchFilter(sfNearest);
  EXPECT_EQ(changes.count, 0);
  b.SetCombineMode(cmBlend);
  EXPECT_EQ(changes.count, 1);
  b.SetDrawMode(dmBlend);
  b.SetMasterAlpha(100);
  b.SetStretchFilter(sfLinear);
  EXPECT_EQ(changes.count, 4);
  b.SetMasterAlpha(1000);
  EXPECT_EQ(b.MasterAlpha(), 255u);
  // One notification per pixel operation, however many pixels it touches.
  changes.count = 0;
  b.FillRectS(0, 0, 4, 4, 0xFF000000);
  b.HorzLineTS(0, 1, 3, 0x80FFFFFF);
  b.FrameRectS(MakeRect(0, 0, 4, 4), 0xFFFFFFFF);
  b.Clear(0);
  EXPECT_EQ(changes.count, 4);
  b.HorzLineS(0, 9, 3, 0xFFFFFFFF);  // outside: nothing drawn
  EXPECT_EQ(changes.count, 4);
}

TEST(Bitmap32Lines, LinesAreInclusiveOrderedAndClipped) {
  TBitmap32 b;
  b.SetSize(5, 3);
  b.HorzLineTS(2, 1, 5, 0xFF00FF00);  // one beyond the right edge
  for (int x = 0; x < 5; ++x) EXPECT_EQ(b.GetPixelS(x, 1), x >= 2 ? 0xFF00FF00u : 0u) << x;
  EXPECT_EQ(b.Bits()[2 * 5 + 0], 0u);  // no spill into the next row

  b.Clear(0);
  b.HorzLineS(3, 0, 1, 0xFFFFFFFF);  // ends swapped
  EXPECT_EQ(b.GetPixelS(0, 0), 0u);
  EXPECT_EQ(b.GetPixelS(1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.GetPixelS(3, 0), 0xFFFFFFFFu);
  EXPECT_EQ(b.GetPixelS(4, 0), 0u);

  b.Clear(0);
  b.SetClipRect(MakeRect(1, 0, 4, 2));
  b.VertLineTS(2, 5, -3, 0xFF0000FF);
  b.HorzLineTS(-100, 1, 100, 0xFFFF0000);
  b.SetClipRect(b.BoundsRect());
  EXPECT_EQ(b.GetPixelS(2, 0), 0xFF0000FFu);
  EXPECT_EQ(b.GetPixelS(2, 2), 0u);
  EXPECT_EQ(b.GetPixelS(0, 1), 0u);
  EXPECT_EQ(b.GetPixelS(3, 1), 0xFFFF0000u);
  EXPECT_EQ(b.GetPixelS(4, 1), 0u);
}

TEST(Bitmap32Lines, CombiningLinesFollowTheCombineMode) {
  TBitmap32 b;
  b.SetSize(3, 2);
  b.FillRect(0, 0, 3, 1, 0x00000000);
  b.FillRect(0, 1, 3, 2, 0xFF808080);
  b.SetCombineMode(cmMerge);
  b.HorzLineTS(0, 0, 2, 0xE0000000);
  b.VertLineTS(1, 0, 1, 0x00FFFFFF);  // alpha 0: nothing changes
  EXPECT_EQ(b.GetPixelS(1, 0), 0xE0000000u);
  EXPECT_EQ(b.GetPixelS(1, 1), 0xFF808080u);
  b.SetCombineMode(cmBlend);
  b.HorzLineTS(0, 0, 2, 0x80FFFFFF);
  EXPECT_EQ(b.GetPixelS(2, 0), BlendReg(0x80FFFFFF, 0xE0000000));
  b.SetCombineMode(cmMerge);
  b.HorzLineTS(0, 1, 2, 0x80FFFFFF);
  EXPECT_EQ(b.GetPixelS(0, 1), MergeReg(0x80FFFFFF, 0xFF808080));
}

TEST(Bitmap32Fills, RectanglesFramesAndOuterColour) {
  TBitmap32 b;
  b.SetSize(5, 4);
  b.SetOuterColor(0x12345678);
  EXPECT_EQ(b.GetPixelS(-1, 0), 0x12345678u);
  EXPECT_EQ(b.GetPixelS(5, 0), 0x12345678u);
  b.FillRectS(3, 2, 9, 9, 0xFF0000FF);
  EXPECT_EQ(b.GetPixelS(4, 3), 0xFF0000FFu);
  EXPECT_EQ(b.GetPixelS(2, 3), 0u);
  b.FillRectS(3, 1, 1, 3, 0xFFFFFFFF);  // X1 >= X2: nothing
  EXPECT_EQ(b.GetPixelS(2, 1), 0u);
  // An unclipped fill that strays outside is cut to the surface, not written past it.
  b.FillRect(-2, -2, 1, 1, 0xFF00FF00);
  EXPECT_EQ(b.GetPixelS(0, 0), 0xFF00FF00u);

  b.Clear(0);
  b.FrameRectS(MakeRect(1, 0, 4, 4), 0xFFFFFFFF);
  const char* expected[] = {".###.", ".#.#.", ".#.#.", ".###."};
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(b.GetPixelS(x, y) != 0, expected[y][x] == '#') << x << "," << y;
    }
  }
  b.ResetAlpha();
  EXPECT_EQ(b.GetPixelS(0, 0), 0xFF000000u);
}

TEST(Bitmap32Assign, SurfacesCopyEverythingButTheCombineMode) {
  TBitmap32 a, b;
  a.SetSize(3, 2);
  Number(a);
  a.Bits()[0] = 0x11223344;
  a.SetDrawMode(dmBlend);
  a.SetMasterAlpha(77);
  a.SetOuterColor(0xDEADBEEF);
  a.SetStretchFilter(sfLanczos);
  a.SetCombineMode(cmMerge);
  b.Assign(a);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Bits()[0], 0x11223344u);
  EXPECT_EQ(b.Bits()[5], 0xFF000005u);
  EXPECT_EQ(b.DrawMode(), dmBlend);
  EXPECT_EQ(b.MasterAlpha(), 77u);
  EXPECT_EQ(b.OuterColor(), 0xDEADBEEFu);
  EXPECT_EQ(b.StretchFilter(), sfLanczos);
  EXPECT_EQ(b.CombineMode(), cmBlend);
  b.Assign(nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
}

TEST(Bitmap32Assign, PicturesGetAlphaByDepthAndTransparency) {
  TPicture p;
  p.Width = 2;
  p.Height = 2;
  p.Pixels = {0x00FF0000, 0x80102030, 0x7F00FF00, 0x00FF0000};
  TBitmap32 b;
  p.BitsPerPixel = 24;
  b.Assign(p);
  EXPECT_EQ(b.Bits()[0], 0xFFFF0000u);
  EXPECT_EQ(b.Bits()[1], 0xFF102030u);
  EXPECT_EQ(b.Bits()[2], 0xFF00FF00u);

  p.BitsPerPixel = 32;
  b.Assign(p);
  EXPECT_EQ(b.Bits()[1], 0x80102030u);
  EXPECT_EQ(b.Bits()[2], 0x7F00FF00u);

  p.BitsPerPixel = 24;
  p.Transparent = true;
  p.TransparentColor = 0xAAFF0000;  // only the RGB counts
  b.Assign(p);
  EXPECT_EQ(b.Bits()[0], 0x00FF0000u);
  EXPECT_EQ(b.Bits()[3], 0x00FF0000u);
  EXPECT_EQ(b.Bits()[2], 0xFF00FF00u);

  p.Pixels.pop_back();
  EXPECT_THROW(b.Assign(p), EPictureError);
}

TEST(Bitmap32Draw, OpaqueDrawCopiesAlphaAndClips) {
  TBitmap32 src, dst;
  src.SetSize(3, 3);
  Number(src);
  src.Bits()[4] = 0x00ABCDEF;
  dst.SetSize(4, 4);
  dst.Draw(-1, 2, src);
  EXPECT_EQ(dst.GetPixelS(0, 2), 0xFF000001u);
  EXPECT_EQ(dst.GetPixelS(1, 2), 0xFF000002u);
  EXPECT_EQ(dst.GetPixelS(0, 3), 0x00ABCDEFu);
  EXPECT_EQ(dst.GetPixelS(2, 2), 0u);
  EXPECT_EQ(dst.GetPixelS(0, 1), 0u);

  // Positions near the int32 limits must clip, not wrap around.
  dst.Clear(0);
  dst.Draw(2147483647, 0, src);
  dst.Draw(-2147483647 - 1, 0, src);
  for (std::size_t i = 0; i < dst.PixelCount(); ++i) EXPECT_EQ(dst.Bits()[i], 0u);
}

TEST(Bitmap32Draw, MasterAlphaZeroDrawsNothingAndCustomCallsTheCallback) {
  TBitmap32 src, dst;
  src.SetSize(2, 2);
  src.Clear(0xFFFFFFFF);
  dst.SetSize(2, 2);
  dst.Clear(0xFF000000);
  ChangeCounter changes;
  changes.Attach(dst);
  src.SetDrawMode(dmBlend);
  src.SetMasterAlpha(0);
  dst.Draw(0, 0, src);
  EXPECT_EQ(dst.GetPixelS(1, 1), 0xFF000000u);
  src.SetMasterAlpha(128);
  dst.Draw(0, 0, src);
  EXPECT_EQ(dst.GetPixelS(1, 1), BlendRegEx(0xFFFFFFFF, 0xFF000000, 128));
  EXPECT_EQ(changes.count, 1);

  src.SetDrawMode(dmCustom);
  dst.Draw(0, 0, src);  // no callback: nothing happens
  int calls = 0;
  src.OnPixelCombine = [&](TColor32 f, TColor32& b, std::uint32_t m) {
    ++calls;
    b = f ^ m;
  };
  dst.Draw(MakeRect(1, 0, 2, 2), MakeRect(0, 0, 1, 2), src);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(dst.GetPixelS(1, 0), 0xFFFFFFFFu ^ 128u);
}

TEST(Bitmap32Draw, InvalidSourceRectanglesAndEmptySurfaces) {
  TBitmap32 src, dst, empty;
  src.SetSize(4, 4);
  src.Clear(0xFFFFFFFF);
  dst.SetSize(4, 4);
  try {
    dst.Draw(MakeRect(0, 0, 2, 2), MakeRect(3, 3, 5, 5), src);
    FAIL() << "no error";
  } catch (const EBitmapError& e) {
    EXPECT_EQ(std::string(e.what()), "Invalid SrcRect");
  }
  EXPECT_THROW(dst.Draw(MakeRect(0, 0, 2, 2), MakeRect(-1, 0, 1, 2), src), EBitmapError);
  dst.Draw(0, 0, empty);
  empty.Draw(0, 0, src);
  empty.SetSize(0, 5);
  empty.Draw(MakeRect(0, 0, 2, 2), MakeRect(0, 0, 9, 9), src);
  EXPECT_EQ(dst.GetPixelS(0, 0), 0u);
}

TEST(Bitmap32Draw, DrawingASurfaceOntoItselfReadsTheOriginalPixels) {
  TBitmap32 b;
  b.SetSize(4, 1);
  Number(b);
  b.Draw(MakeRect(1, 0, 4, 1), MakeRect(0, 0, 3, 1), b);
  EXPECT_EQ(b.Bits()[1], 0xFF000000u);
  EXPECT_EQ(b.Bits()[2], 0xFF000001u);
  EXPECT_EQ(b.Bits()[3], 0xFF000002u);
}

TEST(Bitmap32Rotate, QuarterTurnsOfAThreeByTwo) {
  TBitmap32 b;
  b.SetSize(3, 2);
  Number(b);  // 0 1 2 / 3 4 5
  b.SetDrawMode(dmBlend);
  b.SetMasterAlpha(9);
  b.Rotate90();
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 3);
  const TColor32 turned[] = {3, 0, 4, 1, 5, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b.Bits()[i] & 0xFF, turned[i]) << i;
  EXPECT_EQ(b.DrawMode(), dmBlend);
  EXPECT_EQ(b.MasterAlpha(), 9u);
  EXPECT_EQ(b.ClipRect(), MakeRect(0, 0, 2, 3));

  TBitmap32 anti;
  b.Rotate270(&anti);  // back to the start, into another surface
  ASSERT_EQ(anti.Width(), 3);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(anti.Bits()[i] & 0xFF, TColor32(i));

  anti.Rotate180();
  for (int i = 0; i < 6; ++i) EXPECT_EQ(anti.Bits()[i] & 0xFF, TColor32(5 - i));
}

TEST(Bitmap32Rotate, RoundTripsOnSizesThatCrossTheTiles) {
  TBitmap32 start, b;
  start.SetSize(70, 33);
  Number(start);
  b.Assign(start);
  b.Rotate90();
  b.Rotate270();
  EXPECT_EQ(std::memcmp(b.Bits(), start.Bits(), start.PixelCount() * 4), 0);
  for (int i = 0; i < 4; ++i) b.Rotate90();
  EXPECT_EQ(std::memcmp(b.Bits(), start.Bits(), start.PixelCount() * 4), 0);
  b.Rotate270();
  TBitmap32 viaHalf;
  start.Rotate180(&viaHalf);
  viaHalf.Rotate90();
  ASSERT_EQ(b.Width(), viaHalf.Width());
  EXPECT_EQ(std::memcmp(b.Bits(), viaHalf.Bits(), start.PixelCount() * 4), 0);
  // The pixel that was top-left ends at the top-right after a quarter turn.
  b.Assign(start);
  b.Rotate90();
  EXPECT_EQ(b.GetPixelS(b.Width() - 1, 0), start.Bits()[0]);
}

}  // namespace
}  // namespace duduri
