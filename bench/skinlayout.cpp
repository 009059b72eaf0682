// Laying out a skinned window for a 1024 x 768 skin: the shape from the
// skin's non-black pixels (row runs merged into bands), the QRegion a window
// mask is made of, and the whole plan (the skin decoded from its bitmap file,
// five buttons, a clock panel), each as a ratio to a memcpy of the skin's
// pixels in the same loop.

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/SkinLayout.h"
#include "shell/SkinShape.h"

#ifdef DUDURI_BENCH_QT
#include <QRect>
#include <QRegion>
#endif

namespace {

using namespace duduri;
using Clock = std::chrono::steady_clock;

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// A skin like the sample ones: a textured frame with round corners, a tab on
// top whose sides are black, a round hole, black around it all.
const TBitmap32& skin() {
  static const TBitmap32 picture = [] {
    TBitmap32 b;
    b.SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      TColor32* row = b.ScanLine(y);
      for (int x = 0; x < kWidth; ++x) {
        const int r = 60;
        const int top = (x >= 300 && x < 724) ? 0 : 40;
        const int dx = std::max({r - x, x - (kWidth - 1 - r), 0});
        const int dy = std::max({top + r - y, y - (kHeight - 1 - r), 0});
        const bool inside = y >= top && dx * dx + dy * dy <= r * r;
        const int hx = x - 512, hy = y - 90;
        const bool hole = hx * hx + hy * hy < 24 * 24;
        row[x] = inside && !hole ? Color32(std::uint8_t(120 + (x * 7 + y) % 100),
                                           std::uint8_t(80 + (x ^ y) % 60), 40)
                                 : 0xFF000000;
      }
    }
    return b;
  }();
  return picture;
}

void copyBaseline(std::vector<TColor32>& target) {
  std::memcpy(target.data(), skin().Bits(), skin().PixelCount() * 4);
  benchmark::DoNotOptimize(target.data());
  benchmark::ClobberMemory();
}

void BM_MemcpySkin(benchmark::State& state) {
  std::vector<TColor32> target(skin().PixelCount());
  for (auto _ : state) copyBaseline(target);
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(target.size() * 4));
}
BENCHMARK(BM_MemcpySkin)->Unit(benchmark::kMicrosecond);

void BM_SkinShape(benchmark::State& state) {
  std::vector<TColor32> target(skin().PixelCount());
  double copy = 0, shape = 0;
  std::size_t rects = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    copyBaseline(target);
    const auto t1 = Clock::now();
    const std::vector<TRect> s = NonBlackShape(skin());
    benchmark::DoNotOptimize(s.data());
    const auto t2 = Clock::now();
    rects = s.size();
    copy += std::chrono::duration<double>(t1 - t0).count();
    shape += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["shape/memcpy"] = shape / copy;
  state.counters["rects"] = double(rects);
}
BENCHMARK(BM_SkinShape)->Unit(benchmark::kMicrosecond);

#ifdef DUDURI_BENCH_QT
void BM_SkinRegion(benchmark::State& state) {
  std::vector<TColor32> target(skin().PixelCount());
  double copy = 0, region = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    copyBaseline(target);
    const auto t1 = Clock::now();
    const std::vector<TRect> s = NonBlackShape(skin());
    std::vector<QRect> rects;
    rects.reserve(s.size());
    for (const TRect& r : s) rects.emplace_back(r.Left, r.Top, r.Width(), r.Height());
    QRegion mask;
    mask.setRects(rects.data(), int(rects.size()));
    benchmark::DoNotOptimize(mask.rectCount());
    const auto t2 = Clock::now();
    copy += std::chrono::duration<double>(t1 - t0).count();
    region += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["region/memcpy"] = region / copy;
}
BENCHMARK(BM_SkinRegion)->Unit(benchmark::kMicrosecond);
#endif

// The whole plan of a layout, the skin decoded from its 24-bit bitmap file.
void BM_SkinPlan(benchmark::State& state) {
  TJigsawProject2 project;
  TSkinEntry& entry = project.NewSkinEntry();
  entry.Kind = kStyleSkinned;
  entry.Image = EncodeBmp(skin(), 24);
  entry.BoardArea = {40, 140, 944, 560};
  for (int i = 0; i < 5; ++i) {
    TSkinRegion& r = project.NewRegion();
    r.Left = 60 + 50 * i, r.Top = 60, r.Width = r.Height = 40, r.CommandCode = 15;
    r.Normal = r.Hover = r.Pressed = TBytes(40 * 40 * 4, std::byte{0x80});
    entry.RegionIDs.push_back(r.ID);
  }
  TTextStyle clock;
  clock.SkinID = entry.ID;
  clock.Left = 800, clock.Top = 60, clock.Width = 160, clock.Height = 40, clock.SeeThrough = 1;
  project.TextStyles.push_back(clock);

  std::vector<TColor32> target(skin().PixelCount());
  double copy = 0, plan = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    copyBaseline(target);
    const auto t1 = Clock::now();
    std::optional<TSkinLayoutPlan> p = PlanSkinLayout(project, 0);
    benchmark::DoNotOptimize(p->Shape.data());
    const auto t2 = Clock::now();
    copy += std::chrono::duration<double>(t1 - t0).count();
    plan += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["plan/memcpy"] = plan / copy;
}
BENCHMARK(BM_SkinPlan)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
