// Sprite decoding and shadow making, each against memcpy of the same pixel
// bytes in the same run. The board decodes a piece's sprite on every draw,
// and a shadow is made for every piece at the start and on every turn:
//   RLE decode    <= 1.5 x memcpy
//   MakeShadow    <= 12 x memcpy  (separate blocks)
// Compare BM_RleDecodeSprite and BM_MakeShadowSeparate with BM_MemcpySprite,
// e.g. the medians of --benchmark_repetitions=9
// --benchmark_enable_random_interleaving=true.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "pieces/RLE.h"
#include "pieces/Shadow.h"

namespace duduri {
namespace {

// An 80 x 80 border piece with 10-pixel knob margins: knobs out at the top,
// right and bottom (a neck and a round head), a straight left edge, a soft
// one-pixel outline; about two thirds of the pixels are opaque.
constexpr int kSide = 100;
constexpr int kMargin = 10;
constexpr int kHeadRadius = 7;
constexpr int kHeadOffset = 3;  // head centre beyond the edge
constexpr int kNeckHalf = 4;

bool inCircle(int x, int y, int cx, int cy, int r) {
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

bool inPiece(int x, int y) {
  const int lo = kMargin, hi = kSide - kMargin, mid = kSide / 2;  // body is [lo, hi)
  const bool body = x >= lo && x < hi && y >= lo && y < hi;
  const bool top = inCircle(x, y, mid, lo - kHeadOffset, kHeadRadius) ||
                   (std::abs(x - mid) < kNeckHalf && y >= lo - kHeadOffset && y < lo);
  const bool right = inCircle(x, y, hi - 1 + kHeadOffset, mid, kHeadRadius) ||
                     (std::abs(y - mid) < kNeckHalf && x >= hi && x < hi + kHeadOffset);
  const bool bottom = inCircle(x, y, mid, hi - 1 + kHeadOffset, kHeadRadius) ||
                      (std::abs(x - mid) < kNeckHalf && y >= hi && y < hi + kHeadOffset);
  return body || top || right || bottom;
}

std::vector<TColor32> pieceSprite() {
  std::mt19937 random(2024);
  std::vector<TColor32> pixels(kSide * kSide, 0);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      if (!inPiece(x, y)) continue;
      const bool outline =
          !inPiece(x - 1, y) || !inPiece(x + 1, y) || !inPiece(x, y - 1) || !inPiece(x, y + 1);
      const TColor32 alpha = outline ? 0x80 : 0xFF;
      pixels[y * kSide + x] = (alpha << 24) | (static_cast<TColor32>(random()) & 0x00FFFFFF);
    }
  }
  return pixels;
}

constexpr std::size_t kBytes = std::size_t{kSide} * kSide * sizeof(TColor32);

void BM_MemcpySprite(benchmark::State& state) {
  const std::vector<TColor32> source = pieceSprite();
  std::vector<TColor32> target(source.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.data(), kBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_MemcpySprite);

// Not a target: the same bytes copied with a plain loop of 16-byte register
// moves, the best a run-by-run decoder can do per byte. Large memcpy calls
// may use the CPU's string-move path, which such loops do not reach.
void BM_RegisterCopySprite(benchmark::State& state) {
  const std::vector<TColor32> source = pieceSprite();
  std::vector<TColor32> target(source.size());
  for (auto _ : state) {
    const auto* from = reinterpret_cast<const std::byte*>(source.data());
    auto* to = reinterpret_cast<std::byte*>(target.data());
    for (std::size_t i = 0; i < kBytes; i += 16) {
      __builtin_memcpy(to + i, from + i, 16);
      asm("" : "+r"(to));  // keeps the compiler from turning the loop into memcpy
    }
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_RegisterCopySprite);

void BM_RleDecodeSprite(benchmark::State& state) {
  const std::vector<TColor32> sprite = pieceSprite();
  std::size_t opaque = 0;
  for (TColor32 p : sprite) opaque += p != 0;
  const std::vector<std::byte> encoded = RleEncode(sprite.data(), kBytes);
  const auto encodedSize = static_cast<std::int32_t>(encoded.size());
  std::vector<TColor32> target(sprite.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeBuffer(encoded.data(), target.data(), encodedSize));
    benchmark::ClobberMemory();
  }
  if (target != sprite) state.SkipWithError("decoded sprite differs");
  state.counters["opaque%"] =
      100.0 * static_cast<double>(opaque) / static_cast<double>(sprite.size());
  state.counters["encoded"] = static_cast<double>(encoded.size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_RleDecodeSprite);

void BM_MakeShadowSeparate(benchmark::State& state) {
  TDivisionTable table;
  FillDivisionTable(table);
  std::vector<TColor32> scratch = pieceSprite();
  std::vector<TColor32> shadow(scratch.size());
  for (auto _ : state) {
    // The silhouette step rewrites the scratch copy's colour only, so the
    // alpha every later iteration blurs stays the sprite's.
    MakeShadow(scratch.data(), shadow.data(), kSide, table, kShadowGrey, kShadowGrey, kShadowGrey,
               kSide);
    benchmark::DoNotOptimize(shadow.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_MakeShadowSeparate);

void BM_MakeShadowInPlace(benchmark::State& state) {
  TDivisionTable table;
  FillDivisionTable(table);
  // Later iterations blur the previous shadow again; the routine has no
  // data-dependent branches, so the cost per pixel is the same.
  std::vector<TColor32> pixels = pieceSprite();
  for (auto _ : state) {
    MakeShadow(pixels.data(), pixels.data(), kSide, table, kShadowGrey, kShadowGrey, kShadowGrey,
               kSide);
    benchmark::DoNotOptimize(pixels.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kBytes));
}
BENCHMARK(BM_MakeShadowInPlace);

}  // namespace
}  // namespace duduri

BENCHMARK_MAIN();
