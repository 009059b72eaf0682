#pragma once
// Shipping HTML pages with a project (`duduri-pack create --page FILE`). The
// player loads pages from files beside the project (or the executable that
// carries it), never from the package, so the tool copies each page and
// every file it refers to there, keeping their places relative to the page.

#include <filesystem>
#include <string>
#include <vector>

namespace duduri::pack {

struct TPageFile {
  std::filesystem::path Source;
  std::filesystem::path Relative;  // where it goes, relative to the folder shipped to
};

// The page and the files it reaches: what its markup refers to, and in turn
// what the pages and style sheets among those refer to, as long as they are
// files in the page's own folder or below. References to anything else (web
// addresses, command words such as "ACT_NEW_GAME", files that do not exist)
// are left out. Throws when the page is no readable file, or one too large
// for the player to show.
std::vector<TPageFile> PageFiles(const std::filesystem::path& page);

// Copies the files of every page into `folder` (skipping a file already in
// its place); returns the number copied.
int ShipPages(const std::vector<std::filesystem::path>& pages, const std::filesystem::path& folder);

}  // namespace duduri::pack
