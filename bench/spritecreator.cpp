// A whole new game from the sprite creator (the picture copy, the solution
// picture, grid choice, cutting, four encoded rotations and one shadow per
// piece), against one memcpy of all the sprite bytes it produces (four
// rotations' raw pixels plus the shadow, per piece) in the same run.
// Target: at most 10 x memcpy.
//
//   BM_NewGame/<case>/<threads>   threads 1 = calling thread only, 0 = one per core
//   BM_NewGameWarmHeap/...        the same after the process is told to keep
//                                 freed memory (mallopt), so that the game
//                                 reuses pages instead of faulting in fresh
//                                 ones; registered last because it stays set
//   BM_MemcpySpriteBytes/<case>   the baseline on its own
//
// Counters: pieces; spriteBytes (the memcpy baseline's size); heldPerPiece
// (bytes the table keeps per piece: records, encoded sprites, shadows);
// ratio (median game / median memcpy of spriteBytes between pre-touched
// buffers, wall clock, both measured inside the benchmark); cpuRatio (the
// same in CPU time of the calling thread, steadier on a loaded machine and
// meaningful for threads = 1).
//
// Cases, both at difficulty 5:
// 0 = 1024 x 768 on a 1024 x 768 board, with the templates of the grid entry
//     the master table gives it (59 x 59, 221 pieces);
// 1 = 1920 x 1440 on a 1280 x 960 board at the scale FitCellScale gives for
//     at most 1000 cells, with a template set whose grid table holds only the
//     smallest master entry (29 x 29), as a project carries only the entries
//     its pictures use: 910 pieces. (The scale sizes the cell grid and the
//     solution picture only; the piece count comes from the grid search,
//     which keeps the last entry in range and so lands near 200 pieces with
//     the whole master table, and works on at most 1024 x 768.)

#include "support/BenchPictures.h"
#include "pieces/SpriteCreator.h"

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "pieces/CountGrid.h"
#include "pieces/PieceTemplates.h"
#include "pieces/TemplateGenerator.h"

namespace duduri {
namespace {

struct Case {
  int Width;
  int Height;
  int BoardWidth;
  int BoardHeight;
  bool SmallestEntryOnly;  // and the scale for about 1000 cells
};
constexpr Case kCases[] = {{1024, 768, 1024, 768, false}, {1920, 1440, 1280, 960, true}};


const TTemplateSet& masterSet() {
  static const TTemplateSet set = [] {
    const std::filesystem::path file = std::filesystem::path(DUDURI_SOURCE_DIR) / "data/all.pzjc";
    if (std::filesystem::exists(file)) return ReadTemplateSetFile(file);
    return GenerateTemplateSet(MasterGridTable(), kMasterSeed, kMasterTemplatesPerOrientation);
  }();
  return set;
}

// A project carries only the templates of the grid entries its pictures use
// (and a piece record names at most 255), so the set a game is made with is
// the master grid table with the templates of the entry the picture gets, or
// the smallest entry alone.
TTemplateSet projectSet(const TBitmap32& picture, const Case& c) {
  if (c.SmallestEntryOnly) {
    TTemplateSet set;
    set.GridTable = {masterSet().GridTable.front()};
    for (const TPzPieceTemplate& t : masterSet().Templates)
      if (t.GridIndex == 0) set.Templates.push_back(t);
    return set;
  }
  TPzJigsawPieceCollection probe;
  probe.AddTemplateSet(masterSet());
  probe.Picture().Assign(picture);
  probe.SetDifficulty(5);
  probe.ChooseGrid();
  TTemplateSet set;
  set.GridTable = masterSet().GridTable;
  for (const TPzPieceTemplate& t : masterSet().Templates)
    if (t.GridIndex == probe.GridIndex()) set.Templates.push_back(t);
  return set;
}

struct Prepared {
  TBitmap32 Picture;
  TTemplateSet Templates;
  float Scale = 1.0f;
};

const Prepared& prepared(int index) {
  static std::map<int, std::unique_ptr<Prepared>> cache;
  auto& slot = cache[index];
  if (!slot) {
    const Case& c = kCases[index];
    slot = std::make_unique<Prepared>();
    slot->Picture = bench::PhotoLike(c.Width, c.Height);
    slot->Templates = projectSet(slot->Picture, c);
    if (c.SmallestEntryOnly) {
      slot->Scale = TJigsawSpriteCreator::FitCellScale(200, 1000, c.Width, c.Height, c.BoardWidth,
                                                       c.BoardHeight)
                        .Scale;
    }
  }
  return *slot;
}

// What the owner does between creating the creator and running it.
void configure(TJigsawSpriteCreator& creator, int index, int threads) {
  const Case& c = kCases[index];
  const Prepared& p = prepared(index);
  creator.Collection().AddTemplateSet(p.Templates);
  creator.SetBoardSize(c.BoardWidth, c.BoardHeight);
  creator.SetScale(p.Scale);
  creator.SetDifficulty(5);
  creator.SetThreads(threads);
}

// Raw bytes of the four rotations and the shadow of every piece.
std::size_t spriteBytes(const TPieces& pieces) {
  std::size_t bytes = 0;
  for (const auto& row : pieces)
    for (const TPieceSprite& s : row) bytes += 5 * std::size_t(s.Width) * std::size_t(s.Height) * 4;
  return bytes;
}

std::size_t heldBytes(const TPieces& pieces) {
  std::size_t bytes = 0;
  for (const auto& row : pieces) {
    for (const TPieceSprite& s : row) {
      bytes += sizeof(TPieceSprite);
      for (int r = 0; r < 4; ++r) {
        if (s.RleData[r]) bytes += s.RleData[r]->capacity() + sizeof(std::vector<std::byte>);
        if (s.ShadowData[r])
          bytes += s.ShadowData[r]->capacity() * sizeof(TColor32) + sizeof(std::vector<TColor32>);
      }
    }
  }
  return bytes;
}

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double wallSeconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

struct Times {
  double Wall = 0;
  double Cpu = 0;
};

// Median times of one memcpy of `bytes` bytes between pre-touched buffers.
Times memcpyTimes(std::size_t bytes) {
  std::vector<std::byte> from(bytes, std::byte{1});
  std::vector<std::byte> to(bytes, std::byte{0});
  std::vector<double> wall, cpu;
  for (int i = 0; i < 21; ++i) {
    const double w0 = wallSeconds(), c0 = threadCpuSeconds();
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    cpu.push_back(threadCpuSeconds() - c0);
    wall.push_back(wallSeconds() - w0);
  }
  return {median(wall), median(cpu)};
}

void runGames(benchmark::State& state) {
  const int index = int(state.range(0));
  const int threads = int(state.range(1));
  const Prepared& p = prepared(index);
  std::size_t bytes = 0;
  std::size_t held = 0;
  int pieces = 0;
  std::vector<double> wall, cpu;
  for (auto _ : state) {
    // Timed: the creator's copy of the picture and Execute.
    double w0 = wallSeconds(), c0 = threadCpuSeconds();
    auto creator = std::make_unique<TJigsawSpriteCreator>(p.Picture);
    double w = wallSeconds() - w0, c = threadCpuSeconds() - c0;
    configure(*creator, index, threads);
    w0 = wallSeconds();
    c0 = threadCpuSeconds();
    creator->Execute();
    w += wallSeconds() - w0;
    c += threadCpuSeconds() - c0;
    state.SetIterationTime(w);
    wall.push_back(w);
    cpu.push_back(c);
    bytes = spriteBytes(creator->Pieces());
    held = heldBytes(creator->Pieces());
    pieces = creator->Total();
  }
  const Times base = memcpyTimes(bytes);
  state.counters["pieces"] = pieces;
  state.counters["spriteBytes"] = double(bytes);
  state.counters["heldPerPiece"] = pieces ? double(held) / pieces : 0;
  state.counters["ratio"] = median(wall) / base.Wall;
  state.counters["cpuRatio"] = median(cpu) / base.Cpu;
}

void BM_NewGame(benchmark::State& state) {
  runGames(state);
}
BENCHMARK(BM_NewGame)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

void BM_MemcpySpriteBytes(benchmark::State& state) {
  const int index = int(state.range(0));
  auto creator = std::make_unique<TJigsawSpriteCreator>(prepared(index).Picture);
  configure(*creator, index, 0);
  creator->Execute();
  const std::size_t bytes = spriteBytes(creator->Pieces());
  creator.reset();
  std::vector<std::byte> from(bytes, std::byte{1});
  std::vector<std::byte> to(bytes, std::byte{0});
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(bytes));
}
BENCHMARK(BM_MemcpySpriteBytes)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

// Every fresh page costs a page fault on first touch, which on some virtual
// machines is worth far more than copying the page. A player that keeps its
// freed memory (as a long-running process does once its heap has grown)
// makes the next game from pages it already has; this measures that.
void BM_NewGameWarmHeap(benchmark::State& state) {
  static const bool kept = [] {
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
  }();
  benchmark::DoNotOptimize(kept);
  runGames(state);
}
BENCHMARK(BM_NewGameWarmHeap)
    ->ArgsProduct({{0, 1}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

// Big puzzles: a 4000 x 3000 picture asked for about N pieces with the
// master set on a 1920 x 1080 board. Sprites of the rotation each piece lies
// in only, shadows left to the board (the first frame needs neither).
// Counters: pieces; heldMB (what the table keeps); x_memcpyPicture (median
// game / median memcpy of the picture's 48 MB, wall clock, same run).
void BM_BigGame(benchmark::State& state) {
  static const TBitmap32 picture = bench::PhotoLike(4000, 3000);
  const int count = int(state.range(0));
  std::vector<double> wall;
  std::size_t held = 0;
  int pieces = 0;
  for (auto _ : state) {
    const double w0 = wallSeconds();
    auto creator = std::make_unique<TJigsawSpriteCreator>(picture);
    creator->Collection().AddTemplateSet(masterSet());
    creator->SetBoardSize(1920, 1010);
    creator->SetDifficulty(5);
    creator->SetPieceCount(PieceCountAround(count));
    creator->SetThreads(int(state.range(1)));
    creator->Execute();
    const double w = wallSeconds() - w0;
    state.SetIterationTime(w);
    wall.push_back(w);
    held = heldBytes(creator->Pieces());
    pieces = creator->Total();
  }
  const Times base = memcpyTimes(picture.PixelCount() * sizeof(TColor32));
  state.counters["pieces"] = pieces;
  state.counters["heldMB"] = double(held) / 1e6;
  state.counters["x_memcpyPicture"] = median(wall) / base.Wall;
}
BENCHMARK(BM_BigGame)
    ->ArgsProduct({{1000, 5000}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace
}  // namespace duduri

BENCHMARK_MAIN();
