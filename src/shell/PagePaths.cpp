#include "shell/PagePaths.h"

#include <algorithm>
#include <system_error>

namespace duduri {

namespace {

namespace fs = std::filesystem;

// The text of a parameter up to and including its last "/".
fs::path folderOf(const std::string& parameter) {
  const std::size_t slash = parameter.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : parameter.substr(0, slash + 1);
  std::error_code ec;
  fs::path absolute = fs::absolute(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  return ec ? fs::path(folder) : absolute.lexically_normal();
}

}  // namespace

fs::path HtmlBaseDirectory(bool projectFromOwnExecutable, const fs::path& exeDir,
                           const std::vector<std::string>& args) {
  if (projectFromOwnExecutable || args.empty()) return exeDir;
  return folderOf(args.size() == 3 ? args[2] : args[0]);
}

fs::path ResolvePageName(const fs::path& base, const std::string& name) {
  if (name.find(":\\") != std::string::npos) return fs::path(name);
  std::string relative = name;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  std::string text = base.string();
  if (!text.empty() && text.back() != '/') text += '/';
  return fs::path(text + relative);
}

TPageGuard::TPageGuard(const fs::path& base) {
  if (base.empty()) return;
  std::error_code ec;
  base_ = fs::weakly_canonical(base, ec);
  if (ec) base_.clear();
}

bool TPageGuard::InsideBase(const fs::path& file) const {
  if (base_.empty() || file.empty()) return false;
  std::error_code ec;
  const fs::path real = fs::canonical(file, ec);
  if (ec) return false;
  // Every element of the base must open the file's path, and something
  // must follow: the base folder itself is no page.
  auto b = base_.begin();
  auto f = real.begin();
  for (; b != base_.end(); ++b, ++f) {
    if (b->empty()) continue;  // the empty element after a trailing "/"
    if (f == real.end() || *f != *b) return false;
  }
  return f != real.end();
}

TPageVerdict TPageGuard::CheckDocument(const TPageAddress& address) const {
  if (address.Text == "about:blank") return TPageVerdict::pvAllowed;
  if (address.Scheme != "file" || !InsideBase(address.LocalFile)) return TPageVerdict::pvNotFound;
  std::error_code ec;
  if (!fs::is_regular_file(address.LocalFile, ec) || ec) return TPageVerdict::pvNotFound;
  const std::uintmax_t bytes = fs::file_size(address.LocalFile, ec);
  if (ec) return TPageVerdict::pvNotFound;
  return bytes > kMaxPageBytes ? TPageVerdict::pvTooLarge : TPageVerdict::pvAllowed;
}

bool TPageGuard::MayRequest(const TPageAddress& address) const {
  if (address.Scheme == "data") return true;
  if (address.Scheme != "file" || !InsideBase(address.LocalFile)) return false;
  // A folder would be answered with a listing of its files.
  std::error_code ec;
  return fs::is_regular_file(address.LocalFile, ec);
}

}  // namespace duduri
