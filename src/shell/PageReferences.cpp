#include "shell/PageReferences.h"

#include <algorithm>
#include <cctype>

namespace duduri {

namespace {

char lower(char c) {
  return char(std::tolower(static_cast<unsigned char>(c)));
}

bool space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool startsWithNoCase(std::string_view text, std::size_t at, std::string_view word) {
  if (text.size() - at < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (lower(text[at + i]) != word[i]) return false;
  }
  return true;
}

std::size_t findNoCase(std::string_view text, std::size_t from, std::string_view word) {
  for (std::size_t i = from; i < text.size(); ++i) {
    if (startsWithNoCase(text, i, word)) return i;
  }
  return std::string_view::npos;
}

std::string trimmed(std::string_view s) {
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// The few character references addresses carry.
std::string decodeEntities(std::string_view s) {
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'},   {"&quot;", '"'}, {"&#39;", '\''},
      {"&apos;", '\''}, {"&lt;", '<'},   {"&gt;", '>'}};
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    bool matched = false;
    if (s[i] == '&') {
      for (const auto& [name, c] : kEntities) {
        if (s.substr(i, name.size()) == name) {
          out += c;
          i += name.size();
          matched = true;
          break;
        }
      }
    }
    if (!matched) out += s[i++];
  }
  return out;
}

void addSrcset(std::string_view value, std::vector<std::string>& out) {
  std::size_t start = 0;
  while (start <= value.size()) {
    std::size_t comma = value.find(',', start);
    if (comma == std::string_view::npos) comma = value.size();
    std::string candidate = trimmed(value.substr(start, comma - start));
    const std::size_t cut =
        std::find_if(candidate.begin(), candidate.end(), space) - candidate.begin();
    candidate.resize(cut);
    if (!candidate.empty()) out.push_back(candidate);
    start = comma + 1;
  }
}

bool isAddressAttribute(const std::string& name) {
  return name == "src" || name == "href" || name == "background" || name == "data" ||
         name == "poster";
}

// Reads the attributes of the tag whose name ends at `at`; returns the
// position after the tag's ">".
std::size_t readAttributes(std::string_view html, std::size_t at, std::vector<std::string>& out) {
  const std::size_t n = html.size();
  while (at < n) {
    while (at < n && (space(html[at]) || html[at] == '/')) ++at;
    if (at >= n) return n;
    if (html[at] == '>') return at + 1;
    std::string name;
    while (at < n && !space(html[at]) && html[at] != '=' && html[at] != '>' && html[at] != '/') {
      name += lower(html[at++]);
    }
    while (at < n && space(html[at])) ++at;
    if (at >= n || html[at] != '=') continue;
    ++at;
    while (at < n && space(html[at])) ++at;
    std::string_view value;
    if (at < n && (html[at] == '"' || html[at] == '\'')) {
      const char quote = html[at++];
      std::size_t end = html.find(quote, at);
      if (end == std::string_view::npos) end = n;
      value = html.substr(at, end - at);
      at = std::min(n, end + 1);
    } else {
      const std::size_t begin = at;
      while (at < n && !space(html[at]) && html[at] != '>') ++at;
      value = html.substr(begin, at - begin);
    }
    const std::string decoded = decodeEntities(value);
    if (isAddressAttribute(name)) {
      const std::string address = trimmed(decoded);
      if (!address.empty()) out.push_back(address);
    } else if (name == "srcset") {
      addSrcset(decoded, out);
    } else if (name == "style") {
      for (std::string& r : StyleReferences(decoded)) out.push_back(std::move(r));
    }
  }
  return n;
}

}  // namespace

std::vector<std::string> StyleReferences(std::string_view css) {
  std::vector<std::string> out;
  const std::size_t n = css.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (css[i] == '/' && i + 1 < n && css[i + 1] == '*') {
      const std::size_t end = css.find("*/", i + 2);
      if (end == std::string_view::npos) break;
      i = end + 1;
    } else if (startsWithNoCase(css, i, "url(")) {
      std::size_t at = i + 4;
      const std::size_t end = css.find(')', at);
      if (end == std::string_view::npos) break;
      std::string value = trimmed(css.substr(at, end - at));
      if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
          value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
      }
      if (!value.empty()) out.push_back(value);
      i = end;
    } else if (startsWithNoCase(css, i, "@import")) {
      std::size_t at = i + 7;
      while (at < n && space(css[at])) ++at;
      if (at < n && (css[at] == '"' || css[at] == '\'')) {
        const char quote = css[at];
        const std::size_t end = css.find(quote, at + 1);
        if (end == std::string_view::npos) break;
        if (end > at + 1) out.emplace_back(css.substr(at + 1, end - at - 1));
        i = end;
      }
    }
  }
  return out;
}

std::vector<std::string> PageReferences(std::string_view html) {
  std::vector<std::string> out;
  const std::size_t n = html.size();
  std::size_t i = 0;
  while (i < n) {
    const std::size_t open = html.find('<', i);
    if (open == std::string_view::npos) break;
    if (html.substr(open, 4) == "<!--") {
      const std::size_t end = html.find("-->", open + 4);
      i = end == std::string_view::npos ? n : end + 3;
      continue;
    }
    std::size_t at = open + 1;
    std::string tag;
    while (at < n && !space(html[at]) && html[at] != '>' && html[at] != '/')
      tag += lower(html[at++]);
    if (tag.empty() || !std::isalpha(static_cast<unsigned char>(tag[0]))) {
      i = open + 1;
      continue;
    }
    at = readAttributes(html, at, out);
    if (tag == "style") {
      const std::size_t end = findNoCase(html, at, "</style");
      const std::size_t stop = end == std::string_view::npos ? n : end;
      for (std::string& r : StyleReferences(html.substr(at, stop - at)))
        out.push_back(std::move(r));
      at = stop;
    } else if (tag == "script") {
      // Script text is no markup, and pages' scripts never run anyway.
      const std::size_t end = findNoCase(html, at, "</script");
      at = end == std::string_view::npos ? n : end;
    }
    i = std::max(at, open + 1);
  }
  return out;
}

std::string LocalReferencePath(std::string_view reference) {
  std::string_view r = reference;
  const std::size_t cut = r.find_first_of("?#");
  if (cut != std::string_view::npos) r = r.substr(0, cut);
  if (r.empty() || r.front() == '/' || r.front() == '\\') return {};
  // A scheme: letters, digits, "+", "-" or "." before the first ":".
  const std::size_t colon = r.find(':');
  if (colon != std::string_view::npos && r.find('/') > colon) return {};
  std::string decoded;
  for (std::size_t i = 0; i < r.size(); ++i) {
    if (r[i] == '%' && i + 2 < r.size() && std::isxdigit(static_cast<unsigned char>(r[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(r[i + 2]))) {
      decoded += char(std::stoi(std::string(r.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else {
      decoded += r[i] == '\\' ? '/' : r[i];
    }
  }
  if (decoded.empty() || decoded.back() == '/' || decoded.find('\0') != std::string::npos)
    return {};
  // Fold "." and "x/.."; what climbs above the folder stays as "..", for the
  // caller to judge against the folder it started in.
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= decoded.size()) {
    std::size_t slash = decoded.find('/', start);
    if (slash == std::string::npos) slash = decoded.size();
    std::string part = decoded.substr(start, slash - start);
    if (part == "..") {
      if (parts.empty() || parts.back() == "..") {
        parts.push_back(std::move(part));
      } else {
        parts.pop_back();
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = slash + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : "/") + part;
  return out == ".." ? std::string() : out;
}

}  // namespace duduri
