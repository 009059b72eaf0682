#pragma once
// Where pages come from, and which addresses a page may load.
//
// A project's pages come from whoever made the project, so a page window
// loads nothing from the network and no file outside the project's base
// directory: TPageGuard decides, for the document a window navigates to and
// for every image, style sheet, font or frame a document asks for.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace duduri {

// The largest document a page window loads: a page menu is a few kilobytes,
// and the browser takes most of a minute over tens of megabytes of markup.
inline constexpr std::uintmax_t kMaxPageBytes = 4u << 20;

// The folder relative page names are resolved against: the running
// executable's folder when the project came from the executable itself;
// otherwise the folder of the third command-line parameter when there are
// exactly three; otherwise the folder of the first (the project file).
// "The folder of" a parameter is its text up to its last "/", made absolute.
std::filesystem::path HtmlBaseDirectory(bool projectFromOwnExecutable,
                                        const std::filesystem::path& exeDir,
                                        const std::vector<std::string>& args);

// A page name as a project gives it. A name holding ":\" (a Windows drive
// path) is used unchanged; any other is appended to the base directory as
// text, so "/etc/x" and "../x" stay names under the base (and the guard
// refuses what they lead to). Backslashes in an appended name are folder
// separators, as on the system where such projects are made.
std::filesystem::path ResolvePageName(const std::filesystem::path& base, const std::string& name);

// An address a page asks for, as the browser reports it.
struct TPageAddress {
  std::string Scheme;               // lower case: "file", "about", "http", "data", ...
  std::filesystem::path LocalFile;  // for "file": the local path it names
  std::string Text;                 // the whole address, as it is shown
};

enum class TPageVerdict {
  pvAllowed,
  pvNotFound,  // no such file, not a file, or not one a page may load
  pvTooLarge,  // a document over kMaxPageBytes
};

class TPageGuard {
 public:
  // A guard for pages of `base` (made canonical here; an empty base allows
  // no file at all).
  explicit TPageGuard(const std::filesystem::path& base);

  // A document to navigate to: "about:blank", or an existing regular file
  // inside the base (symbolic links followed, so a link inside pointing
  // outside is refused) no larger than kMaxPageBytes.
  TPageVerdict CheckDocument(const TPageAddress& address) const;

  // A resource a document asks for: a regular file inside the base, or data
  // embedded in the document itself ("data:"). Everything else is refused:
  // http, https, ws, ftp, blob, file outside the base.
  bool MayRequest(const TPageAddress& address) const;

  // Whether `file` exists inside the base (after following links).
  bool InsideBase(const std::filesystem::path& file) const;

  const std::filesystem::path& Base() const { return base_; }

 private:
  std::filesystem::path base_;
};

}  // namespace duduri
