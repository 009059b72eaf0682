#include "project/ProgramData.h"

#include <system_error>

#include "project/Project.h"

namespace duduri {

std::filesystem::path FindProgramData(const std::filesystem::path& exeDir,
                                      const std::string& name) {
  std::error_code ec;
  for (const std::filesystem::path& candidate :
       {exeDir / name, exeDir / ".." / "share" / "duduri" / name}) {
    if (std::filesystem::is_regular_file(candidate, ec)) return candidate.lexically_normal();
  }
  return {};
}

std::filesystem::path DefaultMasterTemplateSet() {
  const std::filesystem::path folder = TJigsawProject2::ProgramFolder();
  const std::filesystem::path found = FindProgramData(folder, "all.pzjc");
  return found.empty() ? folder / "all.pzjc" : found;
}

}  // namespace duduri
