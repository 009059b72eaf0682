// What HTML page support costs at start-up, measured on whole processes that
// run alternately in the same run, each until the first game's first frame
// is painted (DUDURI_EXIT_AFTER_FIRST_FRAME=1), all with the page-less
// sample project:
//
//   without   duduri-without-pages: the player without the page browser's
//             preparation (the baseline);
//   shipped   duduri: the player as shipped, whose page browser (Qt
//             WebEngine) is a module loaded on the first page;
//   linked    duduri-webengine-linked: the player linked against Qt
//             WebEngine outright, which is what the module avoids.
//
// BM_PagelessStartup's "ratio" (shipped / without, the median over the
// rounds) is the cost a project without pages pays; it must stay below
// 1.05. BM_LinkedStartup's is what linking WebEngine would cost instead. BM_FirstPage reports, for
// comparison, how long the sample project with pages takes until its first page is set up
// (DUDURI_EXIT_AFTER_FIRST_PAGE=1): the browser's start, paid only then.
// The programs are looked for beside this benchmark; the offscreen platform
// is used unless a display is set.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/BenchProcess.h"
#include "project/Overlay.h"

extern char** environ;

namespace duduri {
namespace {

std::filesystem::path binFolder() {
  return bench::BinFolder();
}

// Wall time of one run of `program` until it ends, or a negative value when
// it failed.
double runSeconds(const std::filesystem::path& program, std::vector<std::string> extraEnv) {
  if (!std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) {
    extraEnv.emplace_back("QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu");
  }
  return bench::RunSeconds({program.string()},
                           {.ExtraEnv = std::move(extraEnv), .OffscreenWithoutDisplay = true});
}

bool allExist(benchmark::State& state, const std::vector<std::filesystem::path>& programs) {
  for (const auto& p : programs) {
    if (!std::filesystem::exists(p)) {
      state.SkipWithError((p.filename().string() + " must be built beside the benchmark").c_str());
      return false;
    }
  }
  return true;
}

// Runs `programs` in rounds, each once a round with the first one turning
// from round to round, and reports each one's median time and the median of
// its per-round ratio to the first: a busy machine disturbs medians of
// paired runs less than it does sums.
void measureAgainstFirst(benchmark::State& state,
                         const std::vector<std::filesystem::path>& programs,
                         const std::vector<std::string>& names) {
  if (!allExist(state, programs)) return;
  const std::size_t n = programs.size();
  std::vector<std::vector<double>> times(n);
  std::size_t round = 0;
  for (auto _ : state) {
    std::vector<double> t(n);
    for (std::size_t j = 0; j < n; ++j) {
      const std::size_t i = (j + round) % n;
      t[i] = runSeconds(programs[i], {"DUDURI_EXIT_AFTER_FIRST_FRAME=1"});
      if (t[i] < 0) {
        state.SkipWithError("a program failed");
        return;
      }
    }
    for (std::size_t i = 0; i < n; ++i) times[i].push_back(t[i]);
    ++round;
    state.SetIterationTime(t[n - 1]);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  for (std::size_t i = 0; i < n; ++i) {
    state.counters[names[i] + "_ms"] = 1000 * median(times[i]);
    if (i == 0) continue;
    std::vector<double> r;
    for (std::size_t k = 0; k < times[0].size(); ++k) r.push_back(times[i][k] / times[0][k]);
    state.counters[i == 1 ? "ratio" : names[i] + "_ratio"] = median(r);
  }
}

// The baseline runs twice a round: "control_ratio", the baseline against
// itself, shows how far the machine's noise alone moves a ratio.
void BM_PagelessStartup(benchmark::State& state) {
  measureAgainstFirst(state,
                      {binFolder() / "duduri-without-pages", binFolder() / "duduri",
                       binFolder() / "duduri-without-pages"},
                      {"without", "shipped", "control"});
}
BENCHMARK(BM_PagelessStartup)->UseManualTime()->Iterations(30)->Unit(benchmark::kMillisecond);

void BM_LinkedStartup(benchmark::State& state) {
  measureAgainstFirst(
      state, {binFolder() / "duduri-without-pages", binFolder() / "duduri-webengine-linked"},
      {"without", "linked"});
}
BENCHMARK(BM_LinkedStartup)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_FirstPage(benchmark::State& state) {
  const std::filesystem::path pages = binFolder() / "pages-sample" / "duduri-pages";
  const std::filesystem::path pageless = binFolder() / "duduri";
  if (!allExist(state, {pages, pageless})) return;
  double pageTotal = 0;
  double frameTotal = 0;
  for (auto _ : state) {
    const double frame = runSeconds(pageless, {"DUDURI_EXIT_AFTER_FIRST_FRAME=1"});
    const double page = runSeconds(pages, {"DUDURI_EXIT_AFTER_FIRST_PAGE=1"});
    if (frame < 0 || page < 0) {
      state.SkipWithError("a program failed");
      return;
    }
    frameTotal += frame;
    pageTotal += page;
    state.SetIterationTime(page);
  }
  const double n = double(state.iterations());
  state.counters["first_page_ms"] = 1000 * pageTotal / n;
  state.counters["first_frame_ms"] = 1000 * frameTotal / n;
}
BENCHMARK(BM_FirstPage)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace duduri

BENCHMARK_MAIN();
