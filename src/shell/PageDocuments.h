#pragma once
// The documents and texts the page window puts into pages: the
// "Error Loading" page and the high-score places a score page shows.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/PagePaths.h"

namespace duduri {

class THighScore;

inline constexpr const char* kErrorLoadingTitle = "Error Loading";
inline constexpr const char* kCannotBeFound = " cannot be found.";
inline constexpr const char* kTooLargeToShow = " is larger than 4 MB and is not shown.";

// `text` with &, <, >, " and ' written as character references, so that
// whatever an address or a name holds shows as text and never as markup.
std::string HtmlEscaped(std::string_view text);

// "<html><head><title>Error Loading</title></head><body>URL:<b>" + address +
// "</b> cannot be found.</body></html>", with the address escaped (and cut
// after 1024 characters); a page too large to load says so instead of
// "cannot be found.".
std::string ErrorLoadingDocument(std::string_view address,
                                 TPageVerdict why = TPageVerdict::pvNotFound);

// What the placeholders of a score page become for one table: for each place
// n = 0..9, "HIGHSCORE_NAME_n" gives the place's name and "HIGHSCORE_TIME_n"
// its time as "%.2d:%.2d:%.2d"; an empty place gives " " (one space) for both,
// and so does an empty name. The texts are plain text, not markup, and the
// page window replaces all placeholders in one pass, so a name that reads
// like a placeholder shows as it is.
using TPageSubstitution = std::pair<std::string, std::string>;
std::vector<TPageSubstitution> HighScoreSubstitutions(const THighScore& scores, int level);

}  // namespace duduri
