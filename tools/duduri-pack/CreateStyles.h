#pragma once
// The options of `duduri-pack create` for how a project's window looks and
// what it offers: the window style, skins with their buttons and clock
// panels, banners (in the strip or in containers on a skin), and the toolbar
// and popup menus with their separators.

#include <map>
#include <string>
#include <vector>

#include "project/Project.h"

namespace duduri::pack {

// The arguments with every "@FILE" replaced by the lines of FILE, one
// argument a line (an empty line is an empty argument, which build scripts
// cannot always pass on a command line).
std::vector<std::string> expandArgumentFiles(const std::vector<std::string>& args);

// Option name -> number of values it takes.
const std::map<std::string, int>& styleOptionArity();
// The lines of `create --help` for these options.
extern const char* const kStyleOptionsHelp;
// Options applied after every other one, whatever their place on the line
// (the window style wins over the style a --skin implies).
bool isLateStyleOption(const std::string& name);
// Applies one of these options; false when `name` is none of them. Throws
// tools::UsageError for bad values, EPictureError for pictures that do not
// read.
bool applyStyleOption(TJigsawProject2& project, const std::string& name,
                      const std::vector<std::string>& values);

}  // namespace duduri::pack
