#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <vector>

#include "pieces/Shadow.h"

namespace duduri {
namespace {

using Pixels = std::vector<TColor32>;

constexpr TColor32 kGrey = Color32(30, 30, 30, 0);

const TDivisionTable& table() {
  static const TDivisionTable filled = [] {
    TDivisionTable t{};
    FillDivisionTable(t);
    return t;
  }();
  return filled;
}

std::uint8_t alphaAt(const Pixels& p, int w, int x, int y) {
  return AlphaComponent(p[y * w + x]);
}

int sumAround(const Pixels& p, int w, int h, int x, int y) {
  int sum = 0;
  for (int dy = -2; dy <= 2; ++dy) {
    for (int dx = -2; dx <= 2; ++dx) {
      const int sx = x + dx, sy = y + dy;
      if (sx >= 0 && sx < w && sy >= 0 && sy < h) sum += alphaAt(p, w, sx, sy);
    }
  }
  return sum;
}

// The plain 25-read definitions the routine must match.
Pixels naiveSeparate(const Pixels& source, int w, int h) {
  Pixels target(source.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      target[y * w + x] = (TColor32{table()[sumAround(source, w, h, x, y)]} << 24) | kGrey;
    }
  }
  return target;
}

Pixels naiveInPlace(Pixels pixels, int w, int h) {
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      pixels[y * w + x] = (TColor32{table()[sumAround(pixels, w, h, x, y)]} << 24) | kGrey;
    }
  }
  return pixels;
}

Pixels shadowOf(Pixels source, int w, int h) {
  Pixels target(source.size(), 0xDEADBEEF);
  MakeShadow(source.data(), target.data(), w, table(), 30, 30, 30, h);
  return target;
}

Pixels shadowInPlace(Pixels pixels, int w, int h) {
  MakeShadow(pixels.data(), pixels.data(), w, table(), 30, 30, 30, h);
  return pixels;
}

// A piece-like shape: an opaque rectangle with round knobs, soft-edged
// pixels along the outline and some coloured but transparent pixels around.
Pixels randomShape(std::mt19937& random, int w, int h) {
  Pixels p(w * h, 0);
  const int cx = w / 2, cy = h / 2;
  const int rx = 1 + static_cast<int>(random() % (w / 2 + 1));
  const int ry = 1 + static_cast<int>(random() % (h / 2 + 1));
  const int knob = 1 + static_cast<int>(random() % 4);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const bool body = std::abs(x - cx) < rx && std::abs(y - cy) < ry;
      const int kx = x - cx, ky = y - (cy - ry);
      const bool knobbed = kx * kx + ky * ky <= knob * knob;
      const auto colour = static_cast<TColor32>(random() & 0x00FFFFFF);
      if (body || knobbed) {
        p[y * w + x] = 0xFF000000 | colour;
      } else if (random() % 5 == 0) {
        p[y * w + x] = (static_cast<TColor32>(random() % 256) << 24) | colour;
      }
    }
  }
  return p;
}

TEST(Shadow, DivisionTableDividesBy25) {
  EXPECT_EQ(table()[0], 0);
  EXPECT_EQ(table()[24], 0);
  EXPECT_EQ(table()[25], 1);
  EXPECT_EQ(table()[3825], 153);
  EXPECT_EQ(table()[6374], 254);
  EXPECT_EQ(table()[6375], 255);
  EXPECT_EQ(table()[6399], 255);
}

TEST(Shadow, UsesTheTableItIsGiven) {
  TDivisionTable brighter{};
  for (std::size_t i = 0; i < brighter.size(); ++i) brighter[i] = static_cast<std::uint8_t>(i / 10);
  Pixels source{0xFF000000, 0x80000000};
  Pixels target(2);
  MakeShadow(source.data(), target.data(), 2, brighter, 30, 30, 30, 1);
  EXPECT_EQ(target, (Pixels{0x261E1E1E, 0x261E1E1E}));  // 383 div 10 = 38
}

TEST(Shadow, OpaqueBlocksFadeOverTwoPixels) {
  EXPECT_EQ(shadowOf({0xFFFF0000}, 1, 1), Pixels{0x0A1E1E1E});

  const Pixels shadow = shadowOf(Pixels(25, 0xFF123456), 5, 5);
  EXPECT_EQ(shadow[2 * 5 + 2], 0xFF1E1E1E);                              // 25 inside neighbours
  for (int i : {2, 10, 14, 22}) EXPECT_EQ(shadow[i], 0x991E1E1Eu) << i;  // 153
  for (int i : {0, 4, 20, 24}) EXPECT_EQ(shadow[i], 0x5B1E1E1Eu) << i;   // 91

  // The source is left as a grey silhouette with its alpha.
  Pixels source{0x80FF00FF, 0x00FFFFFF};
  Pixels target(2);
  MakeShadow(source.data(), target.data(), 2, table(), 30, 30, 30, 1);
  EXPECT_EQ(source, (Pixels{0x801E1E1E, 0x001E1E1E}));
}

TEST(Shadow, TransparentSourceGivesGreyPixelsOfAlphaZero) {
  Pixels source(6 * 4, 0x00FF8040);  // transparent but coloured
  source[3] = 0;
  EXPECT_EQ(shadowOf(source, 6, 4), Pixels(24, kGrey));
  EXPECT_EQ(shadowInPlace(source, 6, 4), Pixels(24, kGrey));
}

TEST(Shadow, EmptyOrMissingBlocksLeaveTargetUntouched) {
  Pixels source(4, 0xFFFFFFFF);
  Pixels target(4, 0x12345678);
  MakeShadow(source.data(), target.data(), 0, table(), 30, 30, 30, 4);
  MakeShadow(source.data(), target.data(), 4, table(), 30, 30, 30, 0);
  MakeShadow(source.data(), target.data(), -2, table(), 30, 30, 30, -2);
  MakeShadow(nullptr, target.data(), 2, table(), 30, 30, 30, 2);
  EXPECT_EQ(target, Pixels(4, 0x12345678));
  EXPECT_EQ(source, Pixels(4, 0xFFFFFFFF));
  MakeShadow(source.data(), nullptr, 2, table(), 30, 30, 30, 2);  // must not crash
}

TEST(Shadow, InPlaceSumsSeeAlreadyAveragedPixels) {
  // Two opaque pixels: the second sums the first's new alpha 20 (510 div 25)
  // with its own 255, giving 11 instead of 20.
  EXPECT_EQ(shadowOf({0xFF000000, 0xFF000000}, 2, 1), (Pixels{0x141E1E1E, 0x141E1E1E}));
  EXPECT_EQ(shadowInPlace({0xFF000000, 0xFF000000}, 2, 1), (Pixels{0x141E1E1E, 0x0B1E1E1E}));
  // The same holds for the row above.
  EXPECT_EQ(shadowInPlace({0xFF000000, 0xFF000000}, 1, 2), (Pixels{0x141E1E1E, 0x0B1E1E1E}));

  std::mt19937 random(77);
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 37);
    const int h = 1 + static_cast<int>(random() % 37);
    const Pixels source = randomShape(random, w, h);
    Pixels silhouette = source;
    for (auto& p : silhouette) p = (p & 0xFF000000) | kGrey;
    ASSERT_EQ(shadowInPlace(source, w, h), naiveInPlace(silhouette, w, h))
        << w << " x " << h << ", round " << round;
  }
}

TEST(Shadow, SeparateBlocksEqualThe25NeighbourSum) {
  std::mt19937 random(4242);
  for (int round = 0; round < 60; ++round) {
    const int w = 1 + static_cast<int>(random() % 41);
    const int h = 1 + static_cast<int>(random() % 41);
    const Pixels source = randomShape(random, w, h);
    Pixels silhouette = source;
    for (auto& p : silhouette) p = (p & 0xFF000000) | kGrey;
    ASSERT_EQ(shadowOf(source, w, h), naiveSeparate(silhouette, w, h))
        << w << " x " << h << ", round " << round;
  }
}

}  // namespace
}  // namespace duduri
