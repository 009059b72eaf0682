// duduri-pack: the authoring tool, and the one that reads back what it and the player wrote. Subcommands register
// themselves (see Subcommand.h); this file only dispatches.

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "Subcommand.h"

namespace duduri::pack {

static std::vector<Subcommand>& registry() {
  static std::vector<Subcommand> commands;
  return commands;
}

bool registerSubcommand(const Subcommand& command) {
  registry().push_back(command);
  return true;
}

const std::vector<Subcommand>& subcommands() {
  return registry();
}

bool wantsHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(),
                     [](const std::string& a) { return a == "--help" || a == "-h"; });
}

static void printUsage(FILE* out) {
  std::fprintf(out, "usage: duduri-pack COMMAND [ARGS...]\n\ncommands:\n");
  auto commands = registry();
  std::sort(commands.begin(), commands.end(),
            [](const Subcommand& a, const Subcommand& b) { return std::string(a.name) < b.name; });
  for (const Subcommand& c : commands) std::fprintf(out, "  %-10s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'duduri-pack COMMAND --help' describes one command.\n");
}

}  // namespace duduri::pack

int main(int argc, char** argv) {
  using namespace duduri::pack;
  if (argc < 2) {
    printUsage(stderr);
    return 2;
  }
  const std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    printUsage(stdout);
    return 0;
  }
  for (const Subcommand& c : subcommands()) {
    if (name == c.name) {
      std::vector<std::string> args(argv + 2, argv + argc);
      try {
        return c.run(args);
      } catch (const std::exception& e) {
        std::fprintf(stderr, "duduri-pack %s: %s\n", c.name, e.what());
        return 1;
      }
    }
  }
  std::fprintf(stderr, "duduri-pack: unknown command '%s'\n\n", name.c_str());
  printUsage(stderr);
  return 2;
}
