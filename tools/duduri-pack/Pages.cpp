#include "Pages.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>

#include "common/Args.h"
#include "shell/PagePaths.h"
#include "shell/PageReferences.h"

namespace duduri::pack {

namespace {

namespace fs = std::filesystem;

// More files than any set of pages needs: a page set that refers to more
// is taken to be something else.
constexpr std::size_t kMaxFiles = 5000;

std::string lowerExtension(const fs::path& p) {
  std::string e = p.extension().string();
  std::transform(e.begin(), e.end(), e.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return e;
}

bool isPage(const fs::path& p) {
  const std::string e = lowerExtension(p);
  return e == ".html" || e == ".htm";
}

std::string readText(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::vector<TPageFile> PageFiles(const fs::path& page) {
  std::error_code ec;
  if (!fs::is_regular_file(page, ec)) throw tools::UsageError(page.string() + ": no such page");
  const fs::path root = fs::absolute(page).parent_path();
  std::vector<TPageFile> files;
  std::set<std::string> seen;
  std::deque<fs::path> pending{page.filename()};
  seen.insert(page.filename().string());
  while (!pending.empty()) {
    const fs::path relative = pending.front();
    pending.pop_front();
    const fs::path source = root / relative;
    files.push_back({source, relative});
    const bool markup = isPage(relative);
    if (!markup && lowerExtension(relative) != ".css") continue;
    const std::uintmax_t bytes = fs::file_size(source, ec);
    if (ec || bytes > kMaxPageBytes) {
      if (markup) {
        throw tools::UsageError(source.string() +
                                ": larger than the player shows (4 MB); pages are text, with "
                                "their pictures in files of their own");
      }
      continue;
    }
    const std::string text = readText(source);
    for (const std::string& reference : markup ? PageReferences(text) : StyleReferences(text)) {
      const std::string local = LocalReferencePath(reference);
      if (local.empty()) continue;
      const fs::path next = (relative.parent_path() / local).lexically_normal();
      if (next.empty() || *next.begin() == "..") continue;
      if (!fs::is_regular_file(root / next, ec)) continue;
      if (!seen.insert(next.string()).second) continue;
      if (files.size() + pending.size() >= kMaxFiles) {
        throw tools::UsageError(page.string() + ": refers to more than " +
                                std::to_string(kMaxFiles) + " files");
      }
      pending.push_back(next);
    }
  }
  return files;
}

int ShipPages(const std::vector<fs::path>& pages, const fs::path& folder) {
  int copied = 0;
  for (const fs::path& page : pages) {
    for (const TPageFile& file : PageFiles(page)) {
      const fs::path target = folder / file.Relative;
      std::error_code ec;
      if (fs::exists(target, ec) && fs::equivalent(target, file.Source, ec)) continue;
      fs::create_directories(target.parent_path());
      // Through a temporary name, so a reader never sees half a file.
      const fs::path temporary = target.string() + ".part";
      fs::copy_file(file.Source, temporary, fs::copy_options::overwrite_existing);
      fs::rename(temporary, target);
      ++copied;
    }
  }
  return copied;
}

}  // namespace duduri::pack
