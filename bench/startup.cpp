// Start-up of the player.
//
// BM_PlayerStartup runs, as whole processes in the same run, the player with
// its embedded sample project until the first game's first frame is painted
// (DUDURI_EXIT_AFTER_FIRST_FRAME=1) and the smallest Qt Widgets program that
// shows one frame (qt-minimal-window), alternating the two, and reports the
// ratio of their wall times. Both are looked for beside this benchmark; the
// offscreen platform is used unless a display is set.
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

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FakeBoardHost.h"
#include "project/Overlay.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/GameFlow.h"

extern char** environ;

namespace duduri {
namespace {

using Clock = std::chrono::steady_clock;

std::filesystem::path binFolder() {
  return OwnExecutablePath().parent_path();
}

// Wall time of one run of `program`, or a negative value when it failed.
double runSeconds(const std::filesystem::path& program, const std::vector<std::string>& extraEnv) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  if (!std::getenv("DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
  }
  for (const auto& e : extraEnv) env.push_back(e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string path = program.string();
  char* argv[] = {path.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  const auto start = Clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

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
    const double b = runSeconds(baseline, {});
    const double p = runSeconds(player, {"DUDURI_EXIT_AFTER_FIRST_FRAME=1"});
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
