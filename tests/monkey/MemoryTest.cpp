// The memory the game holds does not grow with play: after the first game,
// new games in a row and the monkey's events keep the peak resident memory
// within a tenth of what the first game reached. The figure is printed.
//
// The test builds fewer games and sends fewer events than the full check;
// that one runs by hand:
//   MONKEY_MEMORY_GAMES=200 MONKEY_MEMORY_EVENTS=100000 test_monkey --gtest_filter=MonkeyMemory.*

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "HeadlessHands.h"
#include "core/Monkey.h"
#include "core/MonkeyProjects.h"
#include "shell/Commands.h"
#include "shell/GameFlow.h"

namespace duduri::monkey {
namespace {

namespace fs = std::filesystem;

long fromEnvironment(const char* name, long fallback) {
  const char* value = std::getenv(name);
  return value && *value ? std::strtol(value, nullptr, 10) : fallback;
}

// The peak resident memory of the process (VmHWM), in KiB.
long peakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

TEST(MonkeyMemory, NewGamesAndEventsKeepThePeakOfTheFirstGame) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizers' own memory hides the game's";
#else
  const long games = fromEnvironment("MONKEY_MEMORY_GAMES", 50);
  const long events = fromEnvironment("MONKEY_MEMORY_EVENTS", 20000);
  std::string pattern = (fs::temp_directory_path() / "duduri-memory-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path folder = pattern;
  (void)MonkeyProjects();  // the packages are made once, before anything is measured
  {
    TMonkeyRandom random(5);
    TMonkeyAnswers answers(random, folder, true);
    THeadlessHands hands(answers);
    // Every game alike: the first project (three pictures in sequence), the
    // difficulty never changed.
    TMonkey monkey({.Seed = 5, .ChangeGames = false, .Tame = true, .Project = 0}, hands, answers,
                   random);
    monkey.Start();
    for (int i = 0; i < 1000; ++i) monkey.Step();
    const long first = peakKiB();
    for (long g = 0; g < games; ++g) {
      if (!hands.Flow() || hands.Ended()) monkey.Step();  // starts the program again
      hands.Flow()->ActionDispatch(nullptr, ccNewGame, {});
    }
    const long afterGames = peakKiB();
    for (long i = 0; i < events; ++i) monkey.Step();
    const long afterEvents = peakKiB();
    std::printf("monkey memory: peak %ld KiB after the first game, %ld KiB after %ld new games "
                "(%+.1f%%), %ld KiB after %ld more events (%+.1f%%)\n",
                first, afterGames, games, 100.0 * (afterGames - first) / first, afterEvents,
                events, 100.0 * (afterEvents - first) / first);
    EXPECT_LE(afterEvents, first + first / 10);
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
#endif
}

}  // namespace
}  // namespace duduri::monkey
