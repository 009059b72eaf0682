// Blending a sprite onto a surface against copying the same bytes. A 100x100
// sprite, about 70% opaque with a soft edge, as a piece sprite of the board
// is; the target is at most six times the cost of memcpy of its 40000 bytes.
// The run ends with the measured ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "raster/Bitmap32.h"

namespace {

using duduri::TBitmap32;
using duduri::TColor32;

constexpr int kSide = 100;
constexpr std::size_t kSpriteBytes = kSide * kSide * sizeof(TColor32);

// A disc whose area is 70% of the square, opaque inside, fading to nothing
// over four pixels at its rim.
TBitmap32 MakeSprite() {
  TBitmap32 sprite;
  sprite.SetSize(kSide, kSide);
  const double radius = std::sqrt(0.7 * kSide * kSide / 3.14159265358979);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const double d = std::hypot(x + 0.5 - kSide / 2.0, y + 0.5 - kSide / 2.0);
      const double coverage = std::clamp((radius + 2.0 - d) / 4.0, 0.0, 1.0);
      const auto alpha = TColor32(std::lround(coverage * 255));
      sprite.ScanLine(y)[x] =
          (alpha << 24) | TColor32((x * 2) << 16) | TColor32((y * 2) << 8) | 0x40;
    }
  }
  sprite.SetDrawMode(duduri::dmBlend);
  return sprite;
}

TBitmap32 MakeBoard() {
  TBitmap32 board;
  board.SetSize(640, 480);
  board.Clear(0xFF304050);
  return board;
}

void BM_BlendSprite(benchmark::State& state) {
  const TBitmap32 sprite = MakeSprite();
  TBitmap32 board = MakeBoard();
  std::size_t opaque = 0;
  for (std::size_t i = 0; i < sprite.PixelCount(); ++i) opaque += sprite.Bits()[i] >> 24 == 255;
  for (auto _ : state) {
    board.Draw(123, 77, sprite);
    benchmark::DoNotOptimize(board.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSpriteBytes));
  state.counters["opaque%"] = 100.0 * double(opaque) / double(sprite.PixelCount());
}
BENCHMARK(BM_BlendSprite);

void BM_BlendSpriteMasterAlpha(benchmark::State& state) {
  TBitmap32 sprite = MakeSprite();
  sprite.SetMasterAlpha(160);
  TBitmap32 board = MakeBoard();
  for (auto _ : state) {
    board.Draw(123, 77, sprite);
    benchmark::DoNotOptimize(board.Bits());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSpriteBytes));
}
BENCHMARK(BM_BlendSpriteMasterAlpha);

void BM_MemcpySprite(benchmark::State& state) {
  const TBitmap32 sprite = MakeSprite();
  std::vector<TColor32> target(sprite.PixelCount());
  for (auto _ : state) {
    std::memcpy(target.data(), sprite.Bits(), kSpriteBytes);
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSpriteBytes));
}
BENCHMARK(BM_MemcpySprite);

void BM_Rotate90Sprite(benchmark::State& state) {
  TBitmap32 sprite = MakeSprite();
  TBitmap32 turned;
  for (auto _ : state) {
    sprite.Rotate90(&turned);
    benchmark::DoNotOptimize(turned.Bits());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kSpriteBytes));
}
BENCHMARK(BM_Rotate90Sprite);

// Prints the runs as usual and keeps the CPU time per iteration of each (the
// median when the run is repeated), so that the ratio to memcpy comes from
// this very run. CPU time, because the machine may be busy with other work.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[name] = run.GetAdjustedCPUTime();
        medians_[name] = true;
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !medians_[name]) {
        times_[name] = run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const auto copy = times_.find("BM_MemcpySprite");
    if (copy == times_.end() || copy->second <= 0) return;
    for (const char* name : {"BM_BlendSprite", "BM_BlendSpriteMasterAlpha", "BM_Rotate90Sprite"}) {
      const auto it = times_.find(name);
      if (it != times_.end()) {
        std::printf("%s / memcpy of the same bytes: %.2fx%s\n", name, it->second / copy->second,
                    std::string_view(name) == "BM_BlendSprite" ? " (target: at most 6x)" : "");
      }
    }
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, bool> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
