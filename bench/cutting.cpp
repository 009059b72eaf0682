// The grid search and the cutting of a whole picture.
//
//   BM_ChooseGrid/D           SetDifficulty + ChooseGrid for a 4000x3000 picture
//                             at difficulty D with the master set (the search;
//                             the scaled picture is made when first used)
//   BM_ChooseGridAndScale/D   the same and the scaled picture made
//   BM_LayoutPieces           cutting every piece of a 1024x768 picture at
//                             difficulty 5 (on every core, wall time)
//   BM_MemcpyPicture          one memcpy of that picture's pixels
//
// The run ends with the ratio of LayoutPieces to memcpy in wall time
// (target: at most 6x); run it on an idle machine, or repeat it
// (--benchmark_repetitions=N takes medians).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "pieces/PieceCollection.h"
#include "pieces/Random.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace {

using namespace duduri;

const TTemplateSet& Master() {
  static const TTemplateSet set = ReadTemplateSetFile(DUDURI_SOURCE_DIR "/data/all.pzjc");
  return set;
}

void FillPicture(TBitmap32& b, int w, int h) {
  const std::filesystem::path harbour = DUDURI_SOURCE_DIR "/data/harbour.jpg";
  if (w == 1024 && h == 768 && std::filesystem::exists(harbour)) {
    b.Assign(LoadPictureFile(harbour));
    if (b.Width() == w && b.Height() == h) return;
  }
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.ScanLine(y)[x] =
          0xFF000000u | TColor32((x * 7) & 0xFF) << 16 | TColor32((y * 5) & 0xFF) << 8;
}

void BM_ChooseGrid(benchmark::State& state) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(Master());
  FillPicture(c.Picture(), 4000, 3000);
  const int difficulty = int(state.range(0));
  for (auto _ : state) {
    c.SetDifficulty(difficulty);
    c.ChooseGrid();
    benchmark::DoNotOptimize(c.GridIndex());
  }
  state.counters["pieces"] = double(c.Columns() * c.Rows());
}
BENCHMARK(BM_ChooseGrid)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

void BM_ChooseGridAndScale(benchmark::State& state) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(Master());
  FillPicture(c.Picture(), 4000, 3000);
  const int difficulty = int(state.range(0));
  for (auto _ : state) {
    c.SetDifficulty(difficulty);
    c.ChooseGrid();
    benchmark::DoNotOptimize(c.ScaledPicture().Bits());
  }
}
BENCHMARK(BM_ChooseGridAndScale)->DenseRange(0, 5, 5)->Unit(benchmark::kMillisecond);

void BM_LayoutPieces(benchmark::State& state) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(Master());
  FillPicture(c.Picture(), 1024, 768);
  c.SetDifficulty(5);
  c.ChooseGrid();
  c.ScaledPicture();
  RandSeed(1);
  std::size_t bytes = 0;
  for (auto _ : state) {
    c.LayoutPieces();
    benchmark::DoNotOptimize(c.Piece(0).Bitmap.Bits());
  }
  for (int i = 0; i < c.PieceCount(); ++i) bytes += c.Piece(i).Bitmap.PixelCount() * 4;
  state.counters["pieces"] = double(c.PieceCount());
  state.counters["piece MB"] = double(bytes) / 1e6;
  state.counters["piece/picture bytes"] =
      double(bytes) / double(std::size_t(c.ScaledWidth()) * c.ScaledHeight() * 4);
}
// Wall time: the pieces are cut on every core, so the calling thread's CPU
// time would tell only part of it.
BENCHMARK(BM_LayoutPieces)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MemcpyPicture(benchmark::State& state) {
  TBitmap32 picture;
  FillPicture(picture, 1024, 768);
  std::vector<TColor32> target(picture.PixelCount());
  for (auto _ : state) {
    std::memcpy(target.data(), picture.Bits(), picture.PixelCount() * sizeof(TColor32));
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) *
                          std::int64_t(picture.PixelCount() * sizeof(TColor32)));
}
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// Keeps the CPU time per iteration of each run (the median when repeated), so
// the ratio comes from this very run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.benchmark_name();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        times_[run.run_name.function_name] = run.GetAdjustedRealTime();
        medians_[run.run_name.function_name] = true;
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                 !medians_[run.run_name.function_name]) {
        times_[run.run_name.function_name] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatio() const {
    const auto copy = times_.find("BM_MemcpyPicture");
    const auto cut = times_.find("BM_LayoutPieces");
    if (copy == times_.end() || cut == times_.end() || copy->second <= 0) return;
    std::printf(
        "LayoutPieces of 1024x768 at difficulty 5 / memcpy of its pixels: %.2fx (target: at most "
        "6x)\n",
        cut->second / copy->second);
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
  reporter.PrintRatio();
  benchmark::Shutdown();
  return 0;
}
