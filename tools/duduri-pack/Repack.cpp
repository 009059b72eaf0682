// duduri-pack repack IN OUT: reads a project (a package file or the package
// inside an executable) and writes it again as a package file, upgraded and
// normalised by the current writer.

#include <cstdio>

#include "ProjectFiles.h"
#include "Subcommand.h"
#include "common/Args.h"

namespace duduri::pack {

namespace {

int runRepack(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack repack IN OUT [--templates FILE]\n\n"
        "Reads the project of IN (a package file, or an executable with a package) and\n"
        "writes it to OUT as a package file. The template set is taken afresh from the\n"
        "master set (all.pzjc beside the tool unless --templates names another).\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {"--templates"});
  if (a.positional().size() != 2) throw tools::UsageError("repack takes IN and OUT");
  TJigsawProject2 project;
  if (const auto templates = a.value("--templates")) project.MasterTemplateSet = *templates;
  loadProject(project, a.positional()[0]);
  project.SaveToFile(a.positional()[1]);
  return 0;
}

}  // namespace

DUDURI_SUBCOMMAND(repack, "repack", "read a project and write it again as a package file",
                  runRepack);

}  // namespace duduri::pack
