// Sounds must not delay a game's first frame.
//
// BM_FirstFrameWithSounds runs, as whole processes in the same run, the bare
// player on two copies of the sample project until the first game's first
// frame is painted (DUDURI_EXIT_AFTER_FIRST_FRAME=1): one without sounds and
// one with ten (WAV, MIDI, MP3 and WMA, the background music a 3-minute MP3
// made by repeating a short one's frames). The two alternate, and the ratio
// of their wall times is reported. The sound server is whatever the
// environment gives (PULSE_SERVER), none on a machine without one.
//
// BM_FirstFrameInProcess times what the issue is about: from the creation of
// the player's main window (whose start-up builds the first game) to the
// first paint of its play area, alternating the two projects in one process
// on the offscreen platform. Exit is not in it; the whole-process figure
// above also counts the end of the program, when the audio thread is
// stopped.
//
// BM_LoadTenSounds times, in process and without any audio output, what the
// game build itself does with the ten sounds: one player each, the MP3 and
// WMA data written to their temporary files.

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

#include "support/BenchProcess.h"
#include "project/Overlay.h"
#include "project/Project.h"
#include "project/SoundFormats.h"
#include "raster/Picture.h"
#include "shell/SoundEvents.h"

#ifdef DUDURI_BENCH_UI
#include <QApplication>
#include <QEvent>

#include "shell/GameFlow.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"
#endif

extern char** environ;

namespace duduri {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

fs::path binFolder() {
  return bench::BinFolder();
}

TBytes soundData(const std::string& name) {
  return ReadFileBytes(fs::path(DUDURI_SOURCE_DIR) / name);
}

// The sample's pictures and settings; `withSounds` gives it ten sounds.
void makeProject(TJigsawProject2& p, bool withSounds) {
  p.LoadFromFile(binFolder().parent_path() / "app" / "sample.pzp");
  p.Sounds.clear();
  p.SoundFormats.Clear();
  for (TSoundSlot& slot : p.SoundSlots) slot.SoundIDs.clear();
  if (!withSounds) return;
  const TBytes tone = soundData("tests/data/sound/tone.mp3");
  TBytes music;
  // 653 ms a copy: 276 copies make three minutes.
  for (int i = 0; i < 276; ++i) music.insert(music.end(), tone.begin(), tone.end());
  const struct {
    TBytes Data;
    std::uint8_t Code;
    int Event;
  } sounds[] = {
      {music, kSoundCodeMp3, 0},
      {soundData("tests/data/sound/tone.wma"), kSoundCodeWma, 4},
      {soundData("data/sounds/lose.wma"), kSoundCodeWma, 5},
      {soundData("data/sounds/win.mp3"), kSoundCodeMp3, 6},
      {soundData("data/sounds/join.wav"), kSoundCodeWave, 7},
      {soundData("data/sounds/rotate.wav"), kSoundCodeWave, 8},
      {soundData("data/sounds/pick.wav"), kSoundCodeWave, 9},
      {soundData("data/sounds/music.mid"), kSoundCodeMidi, -1},
      {soundData("tests/data/sound/tone.mid"), kSoundCodeMidi, -1},
      {soundData("tests/data/sound/tone.wav"), kSoundCodeWave, -1},
  };
  std::int32_t id = 1;
  for (const auto& s : sounds) {
    p.Sounds.push_back({id, "sound", s.Data});
    p.SoundFormats.Add(id, s.Code);
    if (s.Event >= 0) p.SoundSlots[std::size_t(s.Event)].SoundIDs = {id};
    ++id;
  }
}

fs::path writeProject(bool withSounds) {
  TJigsawProject2 p;
  makeProject(p, withSounds);
  const fs::path file = fs::temp_directory_path() /
                        ("duduri-bench-" + std::string(withSounds ? "sounds-" : "quiet-") +
                         std::to_string(getpid()) + ".pzp");
  p.SaveToFile(file);
  return file;
}

// Wall time of one run of the player on `project`, or a negative value when
// it failed.
double runSeconds(const fs::path& player, const fs::path& project) {
  return bench::RunSeconds({player.string(), project.string()},
                           {.ExtraEnv = {"DUDURI_EXIT_AFTER_FIRST_FRAME=1"},
                            .OffscreenWithoutDisplay = true});
}

void BM_FirstFrameWithSounds(benchmark::State& state) {
  const fs::path player = binFolder() / "duduri";
  if (!fs::exists(player) || !fs::exists(binFolder().parent_path() / "app" / "sample.pzp")) {
    state.SkipWithError("duduri and the sample project must be built");
    return;
  }
  const fs::path quiet = writeProject(false);
  const fs::path loud = writeProject(true);
  double quietTotal = 0;
  double loudTotal = 0;
  for (auto _ : state) {
    const double q = runSeconds(player, quiet);
    const double l = runSeconds(player, loud);
    if (q < 0 || l < 0) {
      state.SkipWithError("a player run failed");
      break;
    }
    quietTotal += q;
    loudTotal += l;
    state.SetIterationTime(l);
  }
  fs::remove(quiet);
  fs::remove(loud);
  const double n = double(state.iterations());
  state.counters["no_sounds_ms"] = 1000 * quietTotal / n;
  state.counters["ten_sounds_ms"] = 1000 * loudTotal / n;
  state.counters["ratio"] = loudTotal / quietTotal;
}
BENCHMARK(BM_FirstFrameWithSounds)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

#ifdef DUDURI_BENCH_UI
// Notes the first paint of the play area once a board exists.
class TFirstPaint : public QObject {
 public:
  explicit TFirstPaint(TfrmMain& window) : window_(window) {}
  bool painted = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && window_.Flow().Board()) painted = true;
    return QObject::eventFilter(watched, event);
  }

 private:
  TfrmMain& window_;
};

// Milliseconds from the window's creation to its first frame.
double firstFrameMs(const fs::path& project) {
  TShellEnvironment env;
  env.Args = {project.string()};
  env.ExePath = binFolder() / "duduri";
  env.ExeDir = binFolder();
  env.HighScorePath = fs::temp_directory_path() / ("duduri-bench-" + std::to_string(getpid()));
  const auto start = Clock::now();
  TfrmMain window(env);
  TFirstPaint watch(window);
  window.PlayAreaWidget().installEventFilter(&watch);
  window.show();
  while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  window.PlayAreaWidget().removeEventFilter(&watch);
  return ms;
}

void BM_FirstFrameInProcess(benchmark::State& state) {
  if (!fs::exists(binFolder().parent_path() / "app" / "sample.pzp")) {
    state.SkipWithError("the sample project must be built");
    return;
  }
  if (!std::getenv("DISPLAY")) setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "bench_sound";
  static char* argv[] = {name, nullptr};
  static QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  const fs::path quiet = writeProject(false);
  const fs::path loud = writeProject(true);
  double quietTotal = 0;
  double loudTotal = 0;
  for (auto _ : state) {
    // With sounds first: the first one also starts Qt Multimedia.
    const double l = firstFrameMs(loud);
    const double q = firstFrameMs(quiet);
    loudTotal += l;
    quietTotal += q;
    state.SetIterationTime(l / 1000);
  }
  fs::remove(quiet);
  fs::remove(loud);
  const double n = double(state.iterations());
  state.counters["no_sounds_ms"] = quietTotal / n;
  state.counters["ten_sounds_ms"] = loudTotal / n;
  state.counters["ratio"] = loudTotal / quietTotal;
}
BENCHMARK(BM_FirstFrameInProcess)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);
#endif

// No device at all: what loading costs the UI thread by itself.
class TNoOutput : public ISoundPlatform {
 public:
  class TNoHandOver : public ITimerHandOver {
    void Post(std::function<void()>) override {}
  };
  std::unique_ptr<ISoundDevice> CreateDevice() override { return nullptr; }
  std::unique_ptr<IMediaPlayer> CreateMediaPlayer() override { return nullptr; }
  ITimerHandOver& TimerHandOver() override { return handOver_; }

 private:
  TNoHandOver handOver_;
};

void BM_LoadTenSounds(benchmark::State& state) {
  if (!fs::exists(binFolder().parent_path() / "app" / "sample.pzp")) {
    state.SkipWithError("the sample project must be built");
    return;
  }
  TJigsawProject2 p;
  makeProject(p, true);
  TNoOutput platform;
  TSoundEvents sound(platform);
  for (auto _ : state) sound.LoadSounds(p);
}
BENCHMARK(BM_LoadTenSounds)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace duduri

BENCHMARK_MAIN();
