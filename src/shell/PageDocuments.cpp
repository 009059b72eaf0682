#include "shell/PageDocuments.h"

#include "project/HighScore.h"
#include "shell/ShellTexts.h"

namespace duduri {

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default:
        out += c;
        break;
    }
  }
  return out;
}

std::string ErrorLoadingDocument(std::string_view address, TPageVerdict why) {
  // A name of megabytes is no address anyone reads, and the document has to
  // pass through the browser's address of its own.
  constexpr std::size_t kShown = 1024;
  const std::string shown = address.size() > kShown ? std::string(address.substr(0, kShown)) + "..."
                                                    : std::string(address);
  return std::string("<html><head><title>") + kErrorLoadingTitle + "</title></head><body>URL:<b>" +
         HtmlEscaped(shown) + "</b>" +
         (why == TPageVerdict::pvTooLarge ? kTooLargeToShow : kCannotBeFound) + "</body></html>";
}

std::vector<TPageSubstitution> HighScoreSubstitutions(const THighScore& scores, int level) {
  std::vector<TPageSubstitution> out;
  out.reserve(2 * kHighScorePlaces);
  for (int n = 0; n < kHighScorePlaces; ++n) {
    const THighScoreData entry = scores.EntryAt(level, n);
    const bool empty = entry.Score == -1;
    const std::string place = std::to_string(n);
    out.emplace_back("HIGHSCORE_NAME_" + place, empty || entry.Name.empty() ? " " : entry.Name);
    out.emplace_back("HIGHSCORE_TIME_" + place, empty ? " " : FormatClock(entry.Score));
  }
  return out;
}

}  // namespace duduri
