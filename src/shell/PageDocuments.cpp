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
  return std::string("<html><head><title>") + kErrorLoadingTitle + "</title></head><body>URL:<b>" +
         HtmlEscaped(address) + "</b>" +
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
