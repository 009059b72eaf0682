#pragma once
// What the bare player (a player without a project of its own) plays: the
// sample project when it is started with no argument, a project file or a
// puzzle executable named on the command line or dropped on its window, or
// a picture file, played with the sample project's settings and menus.
//
// The data files are looked up beside the executable (a build tree, an
// unpacked folder), then in share/duduri relative to it (an installed
// prefix: /usr/bin/duduri finds /usr/share/duduri/sample.pzp).

#include <filesystem>
#include <memory>
#include <string>

#include "project/ProgramData.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/UserPictures.h"

namespace duduri {

inline constexpr const char* kSampleProjectFile = "sample.pzp";
inline constexpr const char* kMasterTemplateFile = "all.pzjc";

// The question before a dropped or chosen file replaces a game in progress.
std::string LeaveGameQuestion(const std::filesystem::path& file);

// A project built from a file: a project package (with or without its
// header), an executable carrying a project (with its extra images), or a
// picture (see PictureProject). Throws EDuduriError whose message names the
// file and the reason: a folder, a missing or unreadable file, a broken
// picture or project.
std::unique_ptr<TJigsawProject2> OpenPlayFile(const std::filesystem::path& file,
                                              const std::filesystem::path& exeDir,
                                              const TPictureDecoder& decoder);

// The sample project's settings, menus and sounds with `picture` as its only
// playable picture, named `name`. The picture takes the id, piece-count
// range and values of the sample's first picture; stored layouts, which
// belong to the old picture, are dropped. The template set is chosen afresh
// for the picture from the master set when one is found (the sample carries
// only the entries its own pictures need). Without a sample a plain project
// is made; without a master set as well there is nothing to cut with, which
// throws EDuduriError.
std::unique_ptr<TJigsawProject2> PictureProject(const TPicture& picture, const std::string& name,
                                                const std::filesystem::path& exeDir);

}  // namespace duduri
