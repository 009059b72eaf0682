// The monkey on the headless game flow: many seeds, the seeds that once
// broke a rule, and a replay of any one seed from the command line:
//
//   MONKEY_SEED=17 MONKEY_EVENTS=5000 test_monkey --gtest_filter=Monkey.Replay
//
// MONKEY_SEEDS and MONKEY_EVENTS also scale the many-seeds run (how many
// seeds, events per seed), for a longer shake by hand.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "MonkeyRun.h"

namespace duduri::monkey {
namespace {

void expectClean(const TMonkeyOptions& options) {
  const TMonkeyReport report = RunHeadless(options);
  EXPECT_FALSE(report.Failed) << Describe(options, report);
}

// About a hundred thousand events over forty seeds: every project, every
// command, games won, lost, saved, opened and abandoned.
TEST(Monkey, ManySeedsKeepEveryRule) {
  const long seeds = FromEnvironment("MONKEY_SEEDS", 40);
  const long events = FromEnvironment("MONKEY_EVENTS", 2500);
  std::map<std::string, int> others;
  long sent = 0, inputs = 0, games = 0, wins = 0, losses = 0, joins = 0, runs = 0, failed = 0;
  for (long seed = 1; seed <= seeds; ++seed) {
    const TMonkeyOptions options{.Seed = std::uint64_t(seed), .Events = events};
    const TMonkeyReport report = RunHeadless(options);
    sent += report.Events;
    inputs += report.Inputs;
    games += report.Games;
    wins += report.Wins;
    losses += report.Losses;
    joins += report.Joins;
    runs += report.Runs;
    for (const auto& [text, n] : report.OtherMessages) others[text.substr(0, 100)] += n;
    if (report.Failed) {
      ++failed;
      ADD_FAILURE() << Describe(options, report);
    }
  }
  std::printf("monkey: %ld seeds, %ld events (%ld inputs), %ld program runs, %ld games built, "
              "%ld joins, %ld wins, %ld losses, %ld seeds failed\n",
              seeds, sent, inputs, runs, games, joins, wins, losses, failed);
  // What else the program said, for a person to look over.
  for (const auto& [text, n] : others) std::printf("  %6d x %s\n", n, text.c_str());
}

// Seeds that once broke a rule, with the events they needed to.
TEST(Monkey, SeedsThatOnceFailed) {
  struct TKept {
    std::uint64_t seed;
    long events;
  };
  static constexpr TKept kKept[] = {
      {26, 1527},  // a joined group turned at the table's edge swung wholly off it
  };
  for (const TKept& k : kKept) {
    SCOPED_TRACE("seed " + std::to_string(k.seed));
    expectClean({.Seed = k.seed, .Events = k.events});
  }
}

TEST(Monkey, Replay) {
  const long seed = FromEnvironment("MONKEY_SEED", 0);
  if (seed == 0) GTEST_SKIP() << "set MONKEY_SEED (and MONKEY_EVENTS) to play a run again";
  const TMonkeyOptions options{.Seed = std::uint64_t(seed),
                               .Events = FromEnvironment("MONKEY_EVENTS", 2500)};
  const TMonkeyReport report = RunHeadless(options);
  std::printf("monkey seed %ld: %ld events, %ld inputs, %d runs, %d games, %d joins, %d wins, "
              "%d losses\n",
              seed, report.Events, report.Inputs, report.Runs, report.Games, report.Joins,
              report.Wins, report.Losses);
  EXPECT_FALSE(report.Failed) << Describe(options, report);
}

}  // namespace
}  // namespace duduri::monkey
