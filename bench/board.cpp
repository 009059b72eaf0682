// Frames of the play board on a 1920 x 1080 play area with 500 and 1000
// pieces, against one memcpy of the frame measured in the same run:
//  - a frame while one free piece is dragged (target: at most 1.5x memcpy),
//  - a frame while a joined group of 100 pieces is dragged (at most 3x),
//  - rebuilding the static layer on pick-up and release (under 16.7 ms),
//  - a frame with every piece selected (half transparent, blended each frame).
// The host is assumed to show the back buffer without copying it, so a frame
// is ComposeFrame plus a Present that hands the host a pointer.
//
// Big tables (BM_Big*): puzzles of 1000 and 5000 pieces cut by the sprite
// creator from a 4000 x 3000 picture with the master template set, on their
// tables seen through a 1920 x 1080 view, at zoom 1, 1/2 and fit-all:
//  - a drag frame (target: at most 1.5x memcpy), a 100-piece group drag
//    frame (at most 3x),
//  - a pan step and a zoom step (each under 16 ms): the static layer of the
//    new view, the frame and its presentation; the zoom step alternates
//    between two zooms of different reduced copies, so that every step makes
//    the copies of the pieces in view afresh (the worst case),
//  - after Select-All on 5000 pieces, one arrow-key step (under 16 ms).
//
// The machine is shared, so every iteration also copies a frame with memcpy
// (outside the timed part) and the ratio is taken from the thread CPU time of
// the two, side by side ("x_memcpy"); the summary also gives the ratio to the
// separate BM_MemcpyFrame run.

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/BenchPictures.h"
#include "board/CreatorSource.h"
#include "pieces/CountGrid.h"
#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"
#include "support/GridPieces.h"
#include "support/HeadlessGame.h"

namespace {

using namespace duduri;

constexpr int kBoardW = 1920;
constexpr int kBoardH = 1080;
constexpr std::size_t kFrameBytes = std::size_t(kBoardW) * kBoardH * sizeof(TColor32);

struct TLayout {
  int columns, rows, cellW, cellH, knob;
};

// About 500 and 1000 pieces whose sprites together cover roughly the area.
TLayout LayoutFor(int pieces) {
  return pieces >= 1000 ? TLayout{40, 25, 44, 38, 14} : TLayout{25, 20, 64, 48, 20};
}

enum class TScene { sFree, sGroup };

struct TBench {
  TGridPieces grid;
  std::unique_ptr<THeadlessGame> game;
};

// A scattered puzzle; with sGroup the top-left 10 x 10 pieces lie joined in
// one block. Built once per kind and size.
TBench& Scene(int pieces, TScene scene) {
  static std::map<std::pair<int, int>, std::unique_ptr<TBench>> cache;
  auto& slot = cache[{pieces, int(scene)}];
  if (slot) return *slot;
  slot = std::make_unique<TBench>();
  const TLayout l = LayoutFor(pieces);
  TGridPiecesOptions o;
  o.Columns = l.columns;
  o.Rows = l.rows;
  o.Knob = l.knob;
  o.BoardWidth = kBoardW;
  o.BoardHeight = kBoardH;
  o.Seed = 2024;
  slot->grid = MakeGridPieces(MakeTestPicture(l.columns * l.cellW, l.rows * l.cellH), o);
  if (scene == TScene::sGroup) {
    for (int row = 0; row < 10; ++row) {
      for (int col = 0; col < 10; ++col) {
        TPieceSprite& p = slot->grid.Pieces[row][col];
        p.X = p.HomeX + 200;
        p.Y = p.HomeY + 150;
        p.Rotation = 0;
        p.Placed = 1;
      }
    }
  }
  slot->game = std::make_unique<THeadlessGame>(slot->grid.Source(), kBoardW, kBoardH);
  slot->game->Start();
  // The host shows the frame it is handed without copying it.
  slot->game->board().SetOnPiecesDraw(
      [](TSender, const TColor32* pixels) { benchmark::DoNotOptimize(pixels); });
  slot->game->Idle(1);
  return *slot;
}

double ThreadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// Runs `work` once per iteration and a memcpy of one frame beside it.
template <class Work>
void RunAgainstMemcpy(benchmark::State& state, Work&& work) {
  static std::vector<TColor32> from(kFrameBytes / 4, 0xFF203040), to(kFrameBytes / 4);
  double workSeconds = 0, copySeconds = 0;
  for (auto _ : state) {
    const double t0 = ThreadCpuSeconds();
    work();
    benchmark::ClobberMemory();
    const double t1 = ThreadCpuSeconds();
    state.PauseTiming();
    const double t2 = ThreadCpuSeconds();
    std::memcpy(to.data(), from.data(), kFrameBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    copySeconds += ThreadCpuSeconds() - t2;
    workSeconds += t1 - t0;
    state.ResumeTiming();
  }
  if (copySeconds > 0) state.counters["x_memcpy"] = workSeconds / copySeconds;
}

// Picks up a piece (or group) and moves it once, so that the board is in the
// middle of a drag; returns the grab point.
TBoardPoint PickUp(THeadlessGame& game, int row, int col) {
  TBoardPoint at;
  if (!game.GrabPoint(row, col, at)) return at;
  game.Press(at.X, at.Y);
  game.Move(at.X + 7, at.Y + 5);
  return at;
}

void Drop(THeadlessGame& game, TBoardPoint at) {
  game.Move(at.X, at.Y);
  game.Release(at.X, at.Y);
}

void BM_MemcpyFrame(benchmark::State& state) {
  std::vector<TColor32> a(kFrameBytes / 4, 0xFF203040), b(kFrameBytes / 4);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kFrameBytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kFrameBytes));
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMillisecond);

void BM_DragFrame(benchmark::State& state) {
  TBench& s = Scene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  const TZPos top = board.StackingOrder()[0];
  const TBoardPoint at = PickUp(*s.game, top.Row, top.Col);
  RunAgainstMemcpy(state, [&] {
    board.ComposeFrame();
    board.Present();
  });
  state.counters["dragging"] = board.Dragging() ? 1 : 0;
  Drop(*s.game, at);
}
BENCHMARK(BM_DragFrame)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_GroupDragFrame(benchmark::State& state) {
  TBench& s = Scene(int(state.range(0)), TScene::sGroup);
  TSpriteDraw& board = s.game->board();
  const TBoardPoint at = PickUp(*s.game, 4, 4);
  RunAgainstMemcpy(state, [&] {
    board.ComposeFrame();
    board.Present();
  });
  state.counters["group"] = double(board.Group().size());
  std::size_t shadows = 0;
  for (const auto& e : board.Group()) shadows += e.CastsShadow;
  state.counters["shadows"] = double(shadows);
  Drop(*s.game, at);
}
BENCHMARK(BM_GroupDragFrame)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_RebuildStaticLayer(benchmark::State& state) {
  TBench& s = Scene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  RunAgainstMemcpy(state, [&] { board.RebuildStaticLayer(); });
}
BENCHMARK(BM_RebuildStaticLayer)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_AllSelectedFrame(benchmark::State& state) {
  TBench& s = Scene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  board.SelectAll();
  board.Redraw(true);
  RunAgainstMemcpy(state, [&] {
    board.ComposeFrame();
    board.Present();
  });
  board.DeselectAll();
  board.Redraw(true);
}
BENCHMARK(BM_AllSelectedFrame)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

// ---- Big tables -----------------------------------------------------------------


struct TBigBench {
  std::unique_ptr<TJigsawSpriteCreator> creator;
  TPieces pieces;  // the creator's table, for a group laid out before the board takes it
  std::unique_ptr<THeadlessGame> game;
};

const TTemplateSet& MasterSet() {
  static const TTemplateSet set = ReadTemplateSetFile(DUDURI_SOURCE_DIR "/data/all.pzjc");
  return set;
}

// A big puzzle on its table; with sGroup the top-left 10 x 10 pieces lie
// joined in one block in view.
TBigBench& BigScene(int pieces, TScene scene) {
  static std::map<std::pair<int, int>, std::unique_ptr<TBigBench>> cache;
  auto& slot = cache[{pieces, int(scene)}];
  if (slot) return *slot;
  slot = std::make_unique<TBigBench>();
  static const TBitmap32 photo = bench::PhotoLike(4000, 3000);
  slot->creator = std::make_unique<TJigsawSpriteCreator>(photo);
  TJigsawSpriteCreator& c = *slot->creator;
  c.Collection().AddTemplateSet(MasterSet());
  c.SetBoardSize(kBoardW, kBoardH);
  c.SetDifficulty(5);
  c.SetPieceCount(PieceCountAround(pieces));
  RandSeed(2024);
  c.Execute();
  TSpriteSource source = SpriteSourceOf(c);
  slot->pieces = c.Pieces();
  if (scene == TScene::sGroup) {
    for (int row = 0; row < 10; ++row) {
      for (int col = 0; col < 10; ++col) {
        TPieceSprite& p = slot->pieces[row][col];
        p.X = p.HomeX + 200;
        p.Y = p.HomeY + 150;
        p.Rotation = 0;
        p.Placed = 1;
      }
    }
  }
  source.Pieces = &slot->pieces;
  slot->game = std::make_unique<THeadlessGame>(source, kBoardW, kBoardH);
  slot->game->Start();
  slot->game->board().SetOnPiecesDraw(
      [](TSender, const TColor32* pixels) { benchmark::DoNotOptimize(pixels); });
  slot->game->Idle(1);
  return *slot;
}

// Zoom of the index: 0 = 1:1, 1 = 1/2, 2 = the whole table.
void SetZoom(TSpriteDraw& board, int index) {
  const double zoom = index == 0 ? 1.0 : index == 1 ? 0.5 : board.View().FitZoom();
  board.ZoomViewAt(zoom, kBoardW / 2, kBoardH / 2);
  board.ScrollViewTo(0, 0);
}

// Picks up a piece that lies in view, near the middle of it.
TBoardPoint PickUpInView(THeadlessGame& game) {
  TSpriteDraw& board = game.board();
  for (const TZPos& z : board.StackingOrder()) {
    TBoardPoint at;
    if (!game.GrabPoint(z.Row, z.Col, at)) continue;
    const TBoardPoint v = board.TableToView(at.X, at.Y);
    if (v.X < 200 || v.Y < 200 || v.X > kBoardW - 400 || v.Y > kBoardH - 300) continue;
    game.Press(v.X, v.Y);
    game.Move(v.X + 7, v.Y + 5);
    return TBoardPoint{v.X + 7, v.Y + 5};
  }
  return TBoardPoint{};
}

void BM_BigDragFrame(benchmark::State& state) {
  TBigBench& s = BigScene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  SetZoom(board, int(state.range(1)));
  const TBoardPoint at = PickUpInView(*s.game);
  RunAgainstMemcpy(state, [&] {
    board.ComposeFrame();
    board.Present();
  });
  state.counters["dragging"] = board.Dragging() ? 1 : 0;
  state.counters["zoom"] = board.View().Zoom();
  state.counters["pieces"] = board.PiecesTotal();
  s.game->Release(at.X, at.Y);
}
BENCHMARK(BM_BigDragFrame)
    ->ArgsProduct({{1000, 5000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

void BM_BigGroupDragFrame(benchmark::State& state) {
  TBigBench& s = BigScene(int(state.range(0)), TScene::sGroup);
  TSpriteDraw& board = s.game->board();
  SetZoom(board, int(state.range(1)));
  const TPieceSprite& p = board.Piece(4, 4);
  const TBoardPoint v = board.TableToView(p.X + p.Width / 2, p.Y + p.Height / 2);
  s.game->Press(v.X, v.Y);
  s.game->Move(v.X + 7, v.Y + 5);
  RunAgainstMemcpy(state, [&] {
    board.ComposeFrame();
    board.Present();
  });
  state.counters["group"] = double(board.Group().size());
  s.game->Release(v.X + 7, v.Y + 5);
}
BENCHMARK(BM_BigGroupDragFrame)
    ->ArgsProduct({{1000, 5000}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// One step of the view: the static layer of what is now in view, the frame
// and its presentation, as a scroll-bar or keyboard pan does.
void BM_BigPanStep(benchmark::State& state) {
  TBigBench& s = BigScene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  SetZoom(board, int(state.range(1)));
  int direction = 1;
  RunAgainstMemcpy(state, [&] {
    if (!board.ScrollViewBy(direction * 64, direction * 32)) {
      direction = -direction;
      board.ScrollViewBy(direction * 64, direction * 32);
    }
  });
}
BENCHMARK(BM_BigPanStep)->ArgsProduct({{1000, 5000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);

// Between 1/2 and 1/4 (state.range(1) = 0) every step makes the reduced
// copies of what is in view afresh; between 1/2 and 0.354 (1) they are kept.
void BM_BigZoomStep(benchmark::State& state) {
  TBigBench& s = BigScene(int(state.range(0)), TScene::sFree);
  TSpriteDraw& board = s.game->board();
  const double other = state.range(1) == 0 ? 0.25 : 0.5 / 1.4142135623730951;
  bool half = false;
  RunAgainstMemcpy(state, [&] {
    half = !half;
    board.ZoomViewAt(half ? 0.5 : other, kBoardW / 2, kBoardH / 2);
  });
  state.counters["copiesMB"] = double(board.ZoomedCopies().Bytes()) / 1e6;
}
BENCHMARK(BM_BigZoomStep)->ArgsProduct({{1000, 5000}, {0, 1}})->Unit(benchmark::kMillisecond);

// After Select-All, one arrow-key step moves every piece.
void BM_BigArrowStepAllSelected(benchmark::State& state) {
  TBigBench& s = BigScene(int(state.range(0)), TScene::sGroup);
  TSpriteDraw& board = s.game->board();
  SetZoom(board, 2);
  board.SelectAll();
  board.Redraw(true);
  int key = kVkRight;
  RunAgainstMemcpy(state, [&] {
    s.game->Key(key);
    key = key == kVkRight ? kVkLeft : kVkRight;
  });
  board.DeselectAll();
  board.Redraw(true);
}
BENCHMARK(BM_BigArrowStepAllSelected)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

// Prints the runs as usual and keeps, per benchmark, the CPU time per
// iteration and the side-by-side ratio to memcpy (medians when repeated).
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const std::string name = run.run_name.str();
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && (run.run_type != Run::RT_Iteration || medians_[name])) continue;
      if (median) medians_[name] = true;
      Row& row = rows_[name];
      row.ms = run.GetAdjustedCPUTime();
      const auto it = run.counters.find("x_memcpy");
      row.ratio = it == run.counters.end() ? 0 : double(it->second);
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const auto copy = rows_.find("BM_MemcpyFrame");
    if (copy != rows_.end())
      std::printf("memcpy of one 1920x1080 frame: %.3f ms\n", copy->second.ms);
    const struct {
      const char* name;
      const char* target;
    } targets[] = {{"BM_DragFrame/500", "at most 1.5x"},
                   {"BM_DragFrame/1000", "at most 1.5x"},
                   {"BM_GroupDragFrame/500", "at most 3x"},
                   {"BM_GroupDragFrame/1000", "at most 3x"},
                   {"BM_RebuildStaticLayer/500", "under 16.7 ms"},
                   {"BM_RebuildStaticLayer/1000", "under 16.7 ms"},
                   {"BM_AllSelectedFrame/500", "reported"},
                   {"BM_AllSelectedFrame/1000", "reported"},
                   {"BM_BigDragFrame/1000/0", "at most 1.5x"},
                   {"BM_BigDragFrame/1000/1", "at most 1.5x"},
                   {"BM_BigDragFrame/1000/2", "at most 1.5x"},
                   {"BM_BigDragFrame/5000/0", "at most 1.5x"},
                   {"BM_BigDragFrame/5000/1", "at most 1.5x"},
                   {"BM_BigDragFrame/5000/2", "at most 1.5x"},
                   {"BM_BigGroupDragFrame/1000/0", "at most 3x"},
                   {"BM_BigGroupDragFrame/1000/1", "at most 3x"},
                   {"BM_BigGroupDragFrame/1000/2", "at most 3x"},
                   {"BM_BigGroupDragFrame/5000/0", "at most 3x"},
                   {"BM_BigGroupDragFrame/5000/1", "at most 3x"},
                   {"BM_BigGroupDragFrame/5000/2", "at most 3x"},
                   {"BM_BigPanStep/1000/0", "under 16 ms"},
                   {"BM_BigPanStep/1000/1", "under 16 ms"},
                   {"BM_BigPanStep/1000/2", "under 16 ms"},
                   {"BM_BigPanStep/5000/0", "under 16 ms"},
                   {"BM_BigPanStep/5000/1", "under 16 ms"},
                   {"BM_BigPanStep/5000/2", "under 16 ms"},
                   {"BM_BigZoomStep/1000/0", "under 16 ms"},
                   {"BM_BigZoomStep/1000/1", "under 16 ms"},
                   {"BM_BigZoomStep/5000/0", "under 16 ms"},
                   {"BM_BigZoomStep/5000/1", "under 16 ms"},
                   {"BM_BigArrowStepAllSelected/1000", "under 16 ms"},
                   {"BM_BigArrowStepAllSelected/5000", "under 16 ms"}};
    for (const auto& t : targets) {
      const auto it = rows_.find(t.name);
      if (it == rows_.end()) continue;
      const double alone =
          copy != rows_.end() && copy->second.ms > 0 ? it->second.ms / copy->second.ms : 0;
      std::printf("%-32s %8.3f ms  %6.2fx memcpy beside it  %6.2fx BM_MemcpyFrame  (target: %s)\n",
                  t.name, it->second.ms, it->second.ratio, alone, t.target);
    }
  }

 private:
  struct Row {
    double ms = 0;
    double ratio = 0;
  };
  std::map<std::string, Row> rows_;
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
