// The board's pixel loops against the raster surface's own drawing: a sprite
// drawn from its runs must equal the decoded sprite drawn in dmBlend.

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "board/SpriteBlit.h"
#include "pieces/RLE.h"
#include "raster/Bitmap32.h"

namespace duduri {
namespace {

// A sprite with transparent margins, opaque inside, and soft edge pixels
// (including alpha 0 with colour, which is a literal, not a skip).
TBitmap32 SoftSprite(int w, int h, std::uint32_t seed) {
  std::mt19937 random(seed);
  TBitmap32 s;
  s.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool inside = x > 2 && y > 2 && x < w - 3 && y < h - 3;
      const bool edge = !inside && x > 0 && y > 0 && x < w - 1 && y < h - 1;
      const TColor32 rgb = random() & 0xFFFFFF;
      s.ScanLine(y)[x] = inside ? (0xFF000000u | rgb) : edge ? ((random() % 256) << 24 | rgb) : 0;
    }
  }
  return s;
}

TBitmap32 Backdrop(int w, int h) {
  TBitmap32 b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.ScanLine(y)[x] = Color32(x * 9, y * 7, (x + y) * 3, 200 + x % 50);
  }
  return b;
}

bool SameBits(const TBitmap32& a, const TBitmap32& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() &&
         std::equal(a.Bits(), a.Bits() + a.PixelCount(), b.Bits());
}

TEST(SpriteBlit, RunsDrawLikeTheDecodedSpriteInBlendModeWhereverItIsClipped) {
  const TBitmap32 sprite = SoftSprite(23, 17, 3);
  const std::vector<std::byte> rle = RleEncode(sprite.Bits(), sprite.PixelCount() * 4);
  const std::pair<int, int> places[] = {{5, 4},     {-7, 3}, {20, -9}, {29, 21},
                                        {-22, -16}, {33, 5}, {-23, 0}};
  for (std::uint32_t master : {255u, 127u, 1u}) {
    for (auto [x, y] : places) {
      TBitmap32 expected = Backdrop(40, 30);
      TBitmap32 actual = Backdrop(40, 30);
      TBitmap32 decoded;
      decoded.Assign(sprite);
      decoded.SetDrawMode(dmBlend);
      decoded.SetMasterAlpha(master);
      expected.Draw(x, y, decoded);
      DrawRleSprite(PixelTarget(actual), x, y, rle.data(), rle.size(), 23, 17, master);
      EXPECT_TRUE(SameBits(expected, actual)) << "at " << x << "," << y << " master " << master;
    }
  }
}

TEST(SpriteBlit, ShadowBlocksBlendLikeASurfaceWithTheirMasterAlpha) {
  const TBitmap32 shadow = SoftSprite(12, 9, 5);
  for (auto [x, y] : {std::pair{3, 3}, std::pair{-4, 25}, std::pair{35, -2}}) {
    TBitmap32 expected = Backdrop(40, 30);
    TBitmap32 actual = Backdrop(40, 30);
    TBitmap32 surface;
    surface.Assign(shadow);
    surface.SetDrawMode(dmBlend);
    surface.SetMasterAlpha(220);
    expected.Draw(x, y, surface);
    DrawPixelBlock(PixelTarget(actual), x, y, shadow.Bits(), 12, 9, 220);
    EXPECT_TRUE(SameBits(expected, actual)) << x << "," << y;
  }
}

TEST(SpriteBlit, DamagedRunsDrawOnlyWhatFitsTheSpriteAndTheBytes) {
  const TBitmap32 sprite = SoftSprite(10, 10, 9);
  std::vector<std::byte> rle = RleEncode(sprite.Bits(), sprite.PixelCount() * 4);
  TBitmap32 target = Backdrop(16, 16);
  // Cut inside a literal run, and claim far more pixels than the sprite has:
  // neither may read or write outside the blocks (the sanitizer build checks).
  DrawRleSprite(PixelTarget(target), 2, 2, rle.data(), rle.size() - 6, 10, 10, 255);
  std::vector<std::byte> huge(8);
  const std::int32_t count = 1 << 30;
  const std::uint32_t word = 0xFF123456;
  std::memcpy(huge.data(), &count, 4);
  std::memcpy(huge.data() + 4, &word, 4);
  DrawRleSprite(PixelTarget(target), 0, 0, huge.data(), huge.size(), 10, 10, 255);
  EXPECT_EQ(target.ScanLine(0)[0], 0xFF123456u);
  const std::int32_t negative = -5;
  std::memcpy(huge.data(), &negative, 4);
  DrawRleSprite(PixelTarget(target), 0, 0, huge.data(), huge.size(), 10, 10, 255);
}

TEST(SpriteBlit, PixelLookupFollowsZeroAndLiteralRuns) {
  const TColor32 words[] = {0, 0, 0xFF0000AA, 0x000000BB, 0, 0xFF0000CC};
  const std::vector<std::byte> rle = RleEncode(words, sizeof words);
  for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(RlePixelAt(rle.data(), rle.size(), i), words[i]);
  EXPECT_EQ(RlePixelAt(rle.data(), rle.size(), 6), 0u);
  EXPECT_EQ(RlePixelAt(rle.data(), rle.size() - 4, 5), 0u);  // truncated literal run
}

TEST(SpriteBlit, CopyTopLeftKeepsTargetPixelsOutsideASmallerSource) {
  TBitmap32 target = Backdrop(8, 6);
  const TColor32 kept = target.ScanLine(5)[7];
  TBitmap32 source;
  source.SetSize(5, 3);
  source.Clear(0xFF112233);
  CopyTopLeft(PixelTarget(target), source.Bits(), 5, 3);
  EXPECT_EQ(target.ScanLine(2)[4], 0xFF112233u);
  EXPECT_EQ(target.ScanLine(5)[7], kept);
  EXPECT_NE(target.ScanLine(3)[4], 0xFF112233u);
}

}  // namespace
}  // namespace duduri
