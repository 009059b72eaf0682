#include "MonkeyRun.h"

#include <stdlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "HeadlessHands.h"

namespace duduri::monkey {

namespace fs = std::filesystem;

TMonkeyReport RunHeadless(const TMonkeyOptions& options, int width, int height) {
  std::string pattern = (fs::temp_directory_path() / "duduri-monkey-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  const fs::path folder = pattern;
  TMonkeyReport report;
  {
    TMonkeyRandom random(options.Seed);
    TMonkeyAnswers answers(random, folder, options.Tame);
    THeadlessHands hands(answers, width, height);
    TMonkey monkey(options, hands, answers, random);
    report = monkey.Run();
  }
  // MONKEY_KEEP=1 keeps the run's files (saved games, pictures) to look at.
  if (const char* keep = std::getenv("MONKEY_KEEP"); keep && *keep == '1') {
    std::fprintf(stderr, "monkey: the run's files are in %s\n", folder.c_str());
    return report;
  }
  std::error_code ec;
  fs::remove_all(folder, ec);
  return report;
}

std::string Describe(const TMonkeyOptions& options, const TMonkeyReport& report) {
  std::error_code ec;
  const std::string program = fs::read_symlink("/proc/self/exe", ec).string();
  std::string s = "monkey seed " + std::to_string(options.Seed) + " broke a rule at event " +
                  std::to_string(report.EventAtFailure) + ": " + report.Failure + "\n" +
                  "events before it:\n" + report.Recent + "play it again with:\n  " +
                  ReplayCommand(program.c_str(), options.Seed, report.EventAtFailure + 1) + "\n";
  return s;
}

}  // namespace duduri::monkey
