// duduri-pack exe OUT --project FILE: a copy of the player with a project
// appended, so that the result plays that project on its own.

#include <cstdio>

#include "ProjectFiles.h"
#include "Subcommand.h"
#include "common/Args.h"
#include "project/Overlay.h"
#include "project/Package.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

int runExe(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack exe OUT --project FILE [--player PLAYER]\n\n"
        "Writes OUT: the player executable followed by the project package of FILE\n"
        "(a package file, or an executable whose package is taken) and its trailer.\n"
        "The player is the program \"duduri\" beside duduri-pack unless --player names\n"
        "another; a project it already carries is replaced.\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {"--project", "--player"});
  if (a.positional().size() != 1) throw tools::UsageError("exe takes one OUT");
  const std::filesystem::path player =
      a.value("--player").value_or((TJigsawProject2::ProgramFolder() / "duduri").string());
  const TBytes package = readPackageOf(a.required("--project"));
  // Make sure what is appended is a project the player can read.
  TJigsawProject2 check;
  check.LoadFromStream(package);
  const TBytes image = ReadPlayerImage(player);
  WriteFileAtomically(a.positional()[0], BuildOverlayExecutable(image, package));
  std::filesystem::permissions(a.positional()[0],
                               std::filesystem::perms::owner_exec |
                                   std::filesystem::perms::group_exec |
                                   std::filesystem::perms::others_exec,
                               std::filesystem::perm_options::add);
  return 0;
}

}  // namespace

DUDURI_SUBCOMMAND(exe, "exe", "append a project to a copy of the player", runExe);

}  // namespace duduri::pack
