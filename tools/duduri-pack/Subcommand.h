#pragma once
// Each duduri-pack subcommand lives in its own file and registers itself with
// a static DUDURI_SUBCOMMAND object, so adding one never touches the others.

#include <string>
#include <vector>

namespace duduri::pack {

using SubcommandFn = int (*)(const std::vector<std::string>& args);

struct Subcommand {
  const char* name;
  const char* summary;  // one line for `duduri-pack --help`
  SubcommandFn run;     // args exclude the program and subcommand names
};

// Registers a subcommand; returns true so it can initialise a static.
bool registerSubcommand(const Subcommand& command);
const std::vector<Subcommand>& subcommands();

// True when args holds "--help" or "-h".
bool wantsHelp(const std::vector<std::string>& args);

}  // namespace duduri::pack

#define DUDURI_SUBCOMMAND(ident, name, summary, fn) \
  static const bool ident##_registered =            \
      ::duduri::pack::registerSubcommand({name, summary, fn})
