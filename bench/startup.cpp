// Start-up of the player.
//
// BM_PlayerStartup runs, as whole processes in the same run, the player with
// its embedded sample project until the first game's first frame is painted
// (DUDURI_EXIT_AFTER_FIRST_FRAME=1) and the smallest Qt Widgets program that
// shows one frame (qt-minimal-window), alternating the two, and reports the
// ratio of their wall times. Both are looked for beside this benchmark; both
// run on the benchmark's 1920 x 1080 X server (below) or the display set.
//
// BM_BigPuzzleStartup/N makes a puzzle executable of a 4000 x 3000 JPEG
// asked for N pieces (duduri-pack paint, create --range 90..110 % of N,
// exe) and runs it the same way, with a 1920 x 1080 screen: an Xvfb of its
// own when no DISPLAY is set. It reports the player's own "pieces N, M ms
// from process start to the first painted frame" line (median of the runs),
// its peak resident memory (the largest of the runs) and, in the same run,
// the minimal Qt window's wall time. Targets for 1000 pieces: at most 290 ms
// and 206 MB.
//
// BM_BuildSampleGame builds the sample's first game in process, on a window
// of fakes the size of a 1280 x 1024 desktop's play area, and reports the
// share of the steps: reading the package, making the sprites, making the
// board and drawing its first frame.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/BenchProcess.h"
#include "support/FakeBoardHost.h"
#include "project/Overlay.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/GameFlow.h"

extern char** environ;

namespace duduri {
namespace {

using Clock = std::chrono::steady_clock;

using bench::TRun;

std::filesystem::path binFolder() {
  return bench::BinFolder();
}

TRun runProcess(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
  return bench::RunProcess(args, {.ExtraEnv = extraEnv, .KeepStderr = true});
}

// An X server with a 1920 x 1080 screen for the runs, unless one is set.
class TDisplay {
 public:
  TDisplay() {
    if (std::getenv("DISPLAY")) return;
    for (int n = 50 + getpid() % 200; n < 400; ++n) {
      char name[16];
      std::snprintf(name, sizeof name, ":%d", n);
      char socket[64];
      std::snprintf(socket, sizeof socket, "/tmp/.X11-unix/X%d", n);
      if (std::filesystem::exists(socket)) continue;
      std::string path = "/usr/bin/Xvfb";
      if (!std::filesystem::exists(path)) return;
      std::vector<std::string> args = {path, name, "-screen", "0", "1920x1080x24", "-nolisten",
                                       "tcp"};
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      const int rc = posix_spawn(&pid_, path.c_str(), &actions, nullptr, argv.data(), environ);
      posix_spawn_file_actions_destroy(&actions);
      if (rc != 0) return;
      for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      env_ = std::string("DISPLAY=") + name;
      return;
    }
  }
  ~TDisplay() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  // What the runs add to their environment.
  std::vector<std::string> Env() const {
    if (!env_.empty()) return {env_};
    if (std::getenv("DISPLAY")) return {};
    return {"QT_QPA_PLATFORM=offscreen"};
  }

 private:
  pid_t pid_ = 0;
  std::string env_;
};

TDisplay& display() {
  static TDisplay d;
  return d;
}

// The player executable of a big puzzle of about `pieces` pieces.
std::filesystem::path bigPuzzle(int pieces) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("duduri-bench-big-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto photo = dir / "photo.jpg";
  const auto pack = (binFolder() / "duduri-pack").string();
  if (!std::filesystem::exists(photo)) {
    runProcess({pack, "paint", photo.string(), "--scene", "harbour", "--size", "4000x3000"}, {});
  }
  const auto project = dir / ("big" + std::to_string(pieces) + ".pzp");
  const auto exe = dir / ("big" + std::to_string(pieces));
  if (!std::filesystem::exists(exe)) {
    runProcess({pack, "create", project.string(), photo.string(), "--range",
                std::to_string(pieces * 9 / 10), std::to_string((pieces * 11 + 9) / 10),
                "--templates", (binFolder() / "all.pzjc").string()},
               {});
    runProcess({pack, "exe", exe.string(), "--project", project.string(), "--player",
                (binFolder() / "duduri").string()},
               {});
  }
  return exe;
}

void BM_BigPuzzleStartup(benchmark::State& state) {
  const int pieces = int(state.range(0));
  const auto baseline = binFolder() / "qt-minimal-window";
  const auto player = bigPuzzle(pieces);
  if (!std::filesystem::exists(player) || !std::filesystem::exists(baseline)) {
    state.SkipWithError("duduri-pack, duduri and qt-minimal-window must be built");
    return;
  }
  std::vector<std::string> env = display().Env();
  std::vector<double> firstFrame, qt;
  long peak = 0;
  int made = 0;
  for (auto _ : state) {
    const TRun b = runProcess({baseline.string()}, env);
    std::vector<std::string> playerEnv = env;
    playerEnv.emplace_back("DUDURI_EXIT_AFTER_FIRST_FRAME=1");
    const TRun p = runProcess({player.string()}, playerEnv);
    int n = 0;
    double ms = 0;
    const std::size_t at = p.Stderr.find("pieces ");
    if (!b.Ok || !p.Ok || at == std::string::npos ||
        std::sscanf(p.Stderr.c_str() + at, "pieces %d, %lf ms", &n, &ms) != 2) {
      state.SkipWithError("a program failed");
      return;
    }
    made = n;
    firstFrame.push_back(ms);
    qt.push_back(b.Seconds * 1000);
    peak = std::max(peak, p.PeakKb);
    state.SetIterationTime(ms / 1000);
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  state.counters["pieces"] = made;
  state.counters["first_frame_ms"] = median(firstFrame);
  state.counters["peak_MB"] = double(peak) / 1024;
  state.counters["qt_window_ms"] = median(qt);
}
BENCHMARK(BM_BigPuzzleStartup)
    ->Arg(1000)
    ->Arg(5000)
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);

void BM_PlayerStartup(benchmark::State& state) {
  const auto player = binFolder() / "duduri";
  const auto baseline = binFolder() / "qt-minimal-window";
  if (!std::filesystem::exists(player) || !std::filesystem::exists(baseline)) {
    state.SkipWithError("duduri and qt-minimal-window must be built beside the benchmark");
    return;
  }
  double playerTotal = 0;
  double baselineTotal = 0;
  for (auto _ : state) {
    std::vector<std::string> env = display().Env();
    const TRun baseRun = runProcess({baseline.string()}, env);
    env.emplace_back("DUDURI_EXIT_AFTER_FIRST_FRAME=1");
    const TRun playerRun = runProcess({player.string()}, env);
    const double b = baseRun.Ok ? baseRun.Seconds : -1;
    const double p = playerRun.Ok ? playerRun.Seconds : -1;
    if (b < 0 || p < 0) {
      state.SkipWithError("a program failed");
      return;
    }
    baselineTotal += b;
    playerTotal += p;
    state.SetIterationTime(p);
  }
  const double n = double(state.iterations());
  state.counters["player_ms"] = 1000 * playerTotal / n;
  state.counters["qt_window_ms"] = 1000 * baselineTotal / n;
  state.counters["ratio"] = playerTotal / baselineTotal;
}
BENCHMARK(BM_PlayerStartup)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

// ---- In process ----------------------------------------------------------------

class TNullArea : public IPlayArea {
 public:
  TNullArea(int w, int h) : w_(w), h_(h) {}
  int ClientWidth() const override { return w_; }
  int ClientHeight() const override { return h_; }
  void PaintFrame(const TBitmap32&) override {}
  void PublishFrame(const TBitmap32&) override { ++frames; }
  void Fill(TColor32) override {}
  void DetachFrame() override {}
  void ForgetFrame() override {}
  void CopyImage(TBitmap32&) const override {}
  int frames = 0;

 private:
  int w_, h_;
};

class TNullView : public IMainView {
 public:
  TNullView(int w, int h) : area(w, h) {}
  IPlayArea& PlayArea() override { return area; }
  void SetStatusText(int, const std::string&) override {}
  void SetTitle(const std::string&) override {}
  void SetIcon(TByteSpan) override {}
  void ShowWindow() override {}
  void HideWindow() override {}
  void BringToFront() override {}
  void CloseWindow() override {}
  void Terminate() override {}
  void ProcessPendingInput() override {}
  void LayoutWorkArea() override {}
  void SetBannerStripVisible(bool) override {}
  void BuildToolbar(const TMenuModel*) override {}
  void BuildPopup(const TMenuModel*) override {}
  void SetMenuItemChecked(const void*, bool) override {}
  bool ToolbarVisible() const override { return true; }
  void SetToolbarVisible(bool) override {}
  void ShowPopup(int, int) override {}
  void ShowSolution(const TBitmap32&) override {}
  void HideSolution() override {}
  bool SolutionVisible() const override { return false; }
  TColor32 WorkspaceColor() const override { return 0xFFABABAB; }
  TColor32 ButtonFaceColor() const override { return 0xFFEFEFEF; }
  TNullArea area;
};

class TTimingServices : public IShellServices {
 public:
  TModalResult MessageBox(const std::string&, TMsgKind, TMsgButtons) override {
    return TModalResult::mrNo;
  }
  void ShowResult(const TResultDialogText&) override {}
  TModalResult PlayAgain() override { return TModalResult::mrCancel; }
  TModalResult NextPicture() override { return TModalResult::mrCancel; }
  int ChoosePicture(const TJigsawProject2&) override { return 0; }
  void ShowHighScores(const THighScore&, int, float) override {}
  std::string NameEntry() override { return {}; }
  void ShowAbout(const TAboutRequest&) override {}
  TFileDialogResult OpenFile(const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(const TFileDialogRequest&) override { return {}; }
  void ShowSplash(const TBitmap32&) override {}
  void HideSplash() override {}
  void BeginProgress() override { begin = Clock::now(); }
  void Progress(int, int) override {}
  void EndProgress() override { sprites += Clock::now() - begin; }
  Clock::time_point begin;
  Clock::duration sprites{};
};

void BM_BuildSampleGame(benchmark::State& state) {
  const auto sample = binFolder().parent_path() / "app" / "sample.pzp";
  if (!std::filesystem::exists(sample)) {
    state.SkipWithError("the sample project (app/sample.pzp) is not built");
    return;
  }
  const auto package = ReadFileBytes(sample);
  const auto scores = std::filesystem::temp_directory_path() /
                      ("duduri-bench-scores-" + std::to_string(getpid()) + ".dat");
  Clock::duration total{};
  Clock::duration sprites{};
  for (auto _ : state) {
    TNullView view(1280, 930);
    TTimingServices services;
    TFakeBoardPlatform platform;
    TShellSeams seams;
    TShellEnvironment env;
    env.ReadOwnOverlay = [&package] { return TOwnOverlay{package, {}}; };
    env.HighScorePath = scores;
    const auto start = Clock::now();
    TGameFlow flow(view, services, platform, seams, env);
    flow.FormCreate();
    total += Clock::now() - start;
    sprites += services.sprites;
    if (!flow.Board()) {
      state.SkipWithError("no game was built");
      return;
    }
    state.counters["pieces"] = flow.Board()->PiecesTotal();
  }
  std::filesystem::remove(scores);
  const double n = double(state.iterations());
  state.counters["build_ms"] = std::chrono::duration<double, std::milli>(total).count() / n;
  state.counters["sprites_ms"] = std::chrono::duration<double, std::milli>(sprites).count() / n;
}
BENCHMARK(BM_BuildSampleGame)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace duduri

BENCHMARK_MAIN();
