#pragma once
// Where the programs find their data files (the master template set
// all.pzjc, the sample project): beside the executable first (a build tree,
// an unpacked folder), then in share/duduri relative to it (an installed
// prefix: /usr/bin/duduri finds /usr/share/duduri/all.pzjc).

#include <filesystem>
#include <string>

namespace duduri {

// The first of exeDir/name and exeDir/../share/duduri/name that is a file;
// empty when neither is.
std::filesystem::path FindProgramData(const std::filesystem::path& exeDir, const std::string& name);

// The master template set of the running program: found as above, or the
// path beside the program when there is none (so that the error names it).
std::filesystem::path DefaultMasterTemplateSet();

}  // namespace duduri
