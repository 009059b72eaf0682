// duduri-pack exe OUT --project FILE [--picture FILE]...: a copy of the player
// with a project appended (and, on request, pictures of the user's own that
// the player plays instead of the project's), so that the result plays on its
// own.

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "ProjectFiles.h"
#include "Subcommand.h"
#include "ToolPictures.h"
#include "common/Args.h"
#include "project/Overlay.h"
#include "project/Package.h"
#include "raster/Picture.h"
#include "shell/ExeWriter.h"
#include "shell/UserPictures.h"

namespace duduri::pack {

namespace {

int runExe(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack exe OUT --project FILE [--player PLAYER] [--picture FILE]...\n\n"
        "Writes OUT: the player executable followed by the project package of FILE\n"
        "(a package file, or an executable whose package is taken) and its trailer.\n"
        "The player is the program \"duduri\" beside duduri-pack unless --player names\n"
        "another; a project it already carries is replaced. Each --picture names a\n"
        "picture carried as an extra image, which the player plays in place of the\n"
        "project's own pictures: a BMP as a bitmap, anything else (JPEG, PNG, GIF, WebP)\n"
        "as JPEG, turned upright by its EXIF orientation.\n");
    return 0;
  }
  // --picture may be given many times; the common parser keeps only the last
  // value of an option, so the pictures are collected here first.
  std::vector<std::string> rest;
  std::vector<std::filesystem::path> pictures;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--picture") {
      if (i + 1 >= args.size()) throw tools::UsageError("--picture needs a FILE");
      pictures.emplace_back(args[++i]);
    } else if (args[i].rfind("--picture=", 0) == 0) {
      pictures.emplace_back(args[i].substr(10));
    } else {
      rest.push_back(args[i]);
    }
  }
  const tools::ParsedArgs a = tools::parseArgs(rest, {"--project", "--player"});
  if (a.positional().size() != 1) throw tools::UsageError("exe takes one OUT");
  const std::filesystem::path player =
      a.value("--player").value_or((TJigsawProject2::ProgramFolder() / "duduri").string());
  const TBytes package = readPackageOf(a.required("--project"));
  // Make sure what is appended is a project the player can read.
  TJigsawProject2 check;
  check.LoadFromStream(package);
  if (!pictures.empty()) {
    // Every picture is read before anything is written: a file that is no
    // picture stops the command rather than being left out silently.
    const std::vector<TCarriedPicture> carried = CarryPictures(pictures, toolPictureDecoder());
    WriteExecutableCarrying(package, ExeProjectInfoOf(check), carried, a.positional()[0], player);
    return 0;
  }
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
