#include "shell/PageText.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <vector>

namespace duduri {

namespace {

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

std::string_view trimmed(std::string_view s) {
  const auto space = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

long long size(const std::string& line, const char* what, const std::string& page) {
  std::string_view s = trimmed(line);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    throw EPageTextError("Cannot show the page \"" + page + "\": its window " + what + " \"" +
                         line + "\" is not a number.");
  }
  // Saturate: a number of any length is still a number, just too large.
  constexpr long long kCap = std::numeric_limits<int>::max();
  long long value = 0;
  for (char c : s) value = std::min(kCap, value * 10 + (c - '0'));
  return negative ? -value : value;
}

int bounded(long long requested, int fallback, int minimum, int screen) {
  long long v = requested <= 0 ? fallback : requested;
  if (screen > 0) v = std::min<long long>(v, screen);
  return int(std::max<long long>(v, std::min(minimum, screen > 0 ? screen : minimum)));
}

}  // namespace

TPageText ParsePageText(const std::string& text) {
  const std::vector<std::string> lines = splitLines(text);
  TPageText page;
  page.Name = lines[0];
  if (lines.size() == 3) {
    page.Width = size(lines[1], "width", page.Name);
    page.Height = size(lines[2], "height", page.Name);
  }
  return page;
}

TPageSize SanePageSize(long long width, long long height, TPageSize screen) {
  return {bounded(width, kDefaultPageWidth, kMinPageWidth, screen.Width),
          bounded(height, kDefaultPageHeight, kMinPageHeight, screen.Height)};
}

TPageFit FitPageWindow(TPageSize window, TPageSize scroll, TPageSize client, TPageSize screen) {
  TPageFit fit;
  fit.Window = window;
  if (scroll.Width >= screen.Width) {
    fit.Window.Width = screen.Width;
  } else if (window.Width < scroll.Width) {
    fit.Window.Width = scroll.Width;
  }
  if (scroll.Height >= screen.Height) {
    fit.Window.Height = screen.Height;
  } else if (window.Height < scroll.Height) {
    fit.Window.Height = scroll.Height;
  }
  fit.HideHorizontalBar = scroll.Width < client.Width;
  fit.HideVerticalBar = scroll.Height < client.Height;
  return fit;
}

}  // namespace duduri
