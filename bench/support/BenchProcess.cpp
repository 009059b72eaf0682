#include "support/BenchProcess.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "project/Overlay.h"

extern char** environ;

namespace duduri::bench {

std::filesystem::path BinFolder() {
  return OwnExecutablePath().parent_path();
}

TRun RunProcess(const std::vector<std::string>& args, const TRunOptions& options) {
  TRun result;
  if (args.empty()) return result;
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  if (options.OffscreenWithoutDisplay && !std::getenv("DISPLAY") &&
      !std::getenv("QT_QPA_PLATFORM")) {
    env.emplace_back("QT_QPA_PLATFORM=offscreen");
  }
  for (const auto& e : options.ExtraEnv) env.push_back(e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::vector<std::string> argsCopy = args;
  std::vector<char*> argv;
  for (auto& a : argsCopy) argv.push_back(a.data());
  argv.push_back(nullptr);

  const std::filesystem::path errFile =
      options.KeepStderr ? std::filesystem::temp_directory_path() /
                               ("duduri-bench-err-" + std::to_string(getpid()) + ".txt")
                         : std::filesystem::path("/dev/null");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) return result;
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  result.PeakKb = usage.ru_maxrss;
  result.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (options.KeepStderr) {
    std::ifstream err(errFile);
    std::stringstream text;
    text << err.rdbuf();
    result.Stderr = text.str();
    std::filesystem::remove(errFile);
  }
  return result;
}

}  // namespace duduri::bench
