// Loading a project package of 20 pictures of 1600 x 1200 (the per-picture
// piece values not stored, so the after-loading step rebuilds them), as a
// ratio to inflating the same package body in the same run. The load reads
// each picture's size from its JPEG header and decodes no picture.

#include "project/Project.h"

#include <benchmark/benchmark.h>

#include <chrono>

#include "project/Package.h"
#include "project/Zlib.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace {

using namespace duduri;

constexpr int kPictures = 20;

TBytes makePicture(int seed) {
  TBitmap32 bmp;
  bmp.SetSize(1600, 1200);
  for (int y = 0; y < 1200; ++y) {
    TColor32* row = bmp.ScanLine(y);
    for (int x = 0; x < 1600; ++x)
      row[x] = Color32(std::uint8_t(x / 7 + seed * 11), std::uint8_t(y / 5 + ((x * y) & 15)),
                       std::uint8_t((x + y + seed) / 9));
  }
  return EncodeJpeg(bmp);
}

const TBytes& package() {
  static const TBytes bytes = [] {
    TJigsawProject2 p;
    for (int i = 0; i < kPictures; ++i) {
      TBMPData& e = p.AddPictureEntry(TPictureKind::pkPicture, i + 1);
      e.Name = "picture" + std::to_string(i) + ".jpg";
      e.Data = makePicture(i);
    }
    p.PieceValues.clear();
    TByteWriter out;
    out.U16(kPackageMark);
    out.U16(0);
    out.I32(22 + 6);
    out.U16(ctPreview);
    out.I32(16);
    out.Zeros(16);
    out.U16(ctHeaderEnd);
    out.I32(0);
    out.Bytes(DeflateDefault(WriteProjectBody(p)));
    return out.Take();
  }();
  return bytes;
}

void BM_InflateBody(benchmark::State& state) {
  const TPackageHeader header = ReadPackageHeader(package());
  for (auto _ : state) benchmark::DoNotOptimize(InflateBody(header.Body));
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(package().size()));
}
BENCHMARK(BM_InflateBody)->Unit(benchmark::kMillisecond);

void BM_LoadPackage(benchmark::State& state) {
  for (auto _ : state) {
    TJigsawProject2 p;
    p.LoadFromStream(package());
    benchmark::DoNotOptimize(p.PieceValues.data());
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(package().size()));
}
BENCHMARK(BM_LoadPackage)->Unit(benchmark::kMillisecond);

// Both in one loop, so the ratio is taken under the same conditions.
void BM_LoadToInflateRatio(benchmark::State& state) {
  using Clock = std::chrono::steady_clock;
  const TPackageHeader header = ReadPackageHeader(package());
  double inflate = 0, load = 0;
  for (auto _ : state) {
    const auto t0 = Clock::now();
    benchmark::DoNotOptimize(InflateBody(header.Body));
    const auto t1 = Clock::now();
    TJigsawProject2 p;
    p.LoadFromStream(package());
    benchmark::DoNotOptimize(p.Pictures.data());
    const auto t2 = Clock::now();
    inflate += std::chrono::duration<double>(t1 - t0).count();
    load += std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["load/inflate"] = load / inflate;
  state.counters["package_MB"] = double(package().size()) / 1e6;
}
BENCHMARK(BM_LoadToInflateRatio)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
