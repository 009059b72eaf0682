// Whole-process runs for the start-up benchmarks: the program is started
// with this process's environment and some more, its output thrown away
// (or stderr kept), and its wall time and peak memory taken when it ends.

#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace duduri::bench {

// The folder the benchmark executable lies in, where the programs it runs
// are built.
std::filesystem::path BinFolder();

struct TRun {
  bool Ok = false;  // ended by itself with exit status 0
  double Seconds = 0;
  long PeakKb = 0;
  std::string Stderr;  // only when asked for
};

struct TRunOptions {
  std::vector<std::string> ExtraEnv;
  // Without a display, the runs use Qt's offscreen platform.
  bool OffscreenWithoutDisplay = false;
  bool KeepStderr = false;
};

// Runs args[0] with args[1..] and waits for it to end.
TRun RunProcess(const std::vector<std::string>& args, const TRunOptions& options = {});

// Wall time of a run, or a negative value when it failed.
inline double RunSeconds(const std::vector<std::string>& args, const TRunOptions& options = {}) {
  const TRun run = RunProcess(args, options);
  return run.Ok ? run.Seconds : -1;
}

}  // namespace duduri::bench
