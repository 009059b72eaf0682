#pragma once
// What the duduri-pack subcommands share about project files: reading a
// project from a package file or from the package inside an executable, and
// describing one as JSON.

#include <filesystem>
#include <string>

#include "common/Json.h"
#include "project/ByteStream.h"
#include "project/Project.h"

namespace duduri::pack {

// The package bytes of a file: the package an executable carries, or the
// whole file. Throws when the file cannot be read.
TBytes readPackageOf(const std::filesystem::path& file);

// Loads a project from a package file or an executable with a package.
void loadProject(TJigsawProject2& project, const std::filesystem::path& file);

// {"length": n, "sha256": "..."}
void writeBlob(tools::JsonWriter& json, std::string_view key, TByteSpan bytes);

// Every field and list of a project.
void writeProjectJson(tools::JsonWriter& json, const TJigsawProject2& project);

// The file extension a sound gets when it is written out, by its format.
std::string soundExtension(const TJigsawProject2& project, const TBMPData& sound);

}  // namespace duduri::pack
