// The memory the game holds does not grow with play: after the first game
// has been played for a while (long enough to have saved, opened, written
// and shown each dialog once, which take memory for a moment),
// new games in a row and the monkey's events keep the peak resident memory
// within a tenth of what that first game reached, and the heap in use after
// them within a tenth of what it held then. The figures are printed.
//
// The test builds fewer games and sends fewer events than the full check;
// that one runs by hand:
//   MONKEY_MEMORY_GAMES=200 MONKEY_MEMORY_EVENTS=100000 test_monkey --gtest_filter=MonkeyMemory.*

#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "HeadlessHands.h"
#include "MonkeyRun.h"
#include "core/Monkey.h"
#include "core/MonkeyProjects.h"
#include "shell/Commands.h"
#include "shell/GameFlow.h"

namespace duduri::monkey {
namespace {

namespace fs = std::filesystem;

// The peak resident memory of the process (VmHWM), in KiB.
[[maybe_unused]] long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// The heap in use, in KiB, with what is free handed back first.
[[maybe_unused]] long heapKiB() {
  malloc_trim(0);
  return long(mallinfo2().uordblks / 1024);
}

TEST(MonkeyMemory, NewGamesAndEventsKeepThePeakOfTheFirstGame) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory hides the game's";
#else
  const long games = FromEnvironment("MONKEY_MEMORY_GAMES", 50);
  const long events = FromEnvironment("MONKEY_MEMORY_EVENTS", 20000);
  std::string pattern = (fs::temp_directory_path() / "duduri-memory-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern;
  (void)MonkeyProjects();  // the packages are made once, before anything is measured
  {
    TMonkeyRandom random(5);
    TMonkeyAnswers answers(random, folder, true);
    THeadlessHands hands(answers);
    // Every game alike: the first project (three pictures in sequence), the
    // difficulty never changed. No executable is written: that holds the
    // program's image for a moment, however many games were played.
    TMonkey monkey({.Seed = 5, .ChangeGames = false, .Tame = true,
                   .WriteExecutables = false, .Project = 0}, hands, answers,
                   random);
    monkey.Start();
    for (int i = 0; i < 5000; ++i) monkey.Step();
    const long first = peakKiB();
    const long firstHeap = heapKiB();
    for (long g = 0; g < games; ++g) {
      if (!hands.Flow() || hands.Ended()) monkey.Step();  // starts the program again
      hands.Flow()->ActionDispatch(nullptr, ccNewGame, {});
    }
    const long afterGames = peakKiB();
    for (long i = 0; i < events; ++i) monkey.Step();
    const long afterEvents = peakKiB();
    const long afterHeap = heapKiB();
    std::printf("monkey memory: peak %ld KiB after the first game, %ld KiB after %ld new games "
                "(%+.1f%%), %ld KiB after %ld more events (%+.1f%%); heap in use %ld KiB, then "
                "%ld KiB (%+.1f%%)\n",
                first, afterGames, games, 100.0 * (afterGames - first) / first, afterEvents,
                events, 100.0 * (afterEvents - first) / first, firstHeap, afterHeap,
                100.0 * (afterHeap - firstHeap) / firstHeap);
    EXPECT_LE(afterEvents, first + first / 10);
    EXPECT_LE(afterHeap, firstHeap + firstHeap / 10);
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
#endif
}

}  // namespace
}  // namespace duduri::monkey
