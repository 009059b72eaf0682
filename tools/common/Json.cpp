#include "common/Json.h"

#include <cassert>
#include <cstdio>

namespace duduri::tools {

namespace {

// Length of a well-formed UTF-8 sequence at s[i], or 0.
std::size_t utf8Length(std::string_view s, std::size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

}  // namespace

std::string jsonEscape(std::string_view s) {
  std::string out = "\"";
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    switch (c) {
      case '"':
        out += "\\\"";
        continue;
      case '\\':
        out += "\\\\";
        continue;
      case '\n':
        out += "\\n";
        continue;
      case '\r':
        out += "\\r";
        continue;
      case '\t':
        out += "\\t";
        continue;
      default:
        break;
    }
    if (c >= 0x20 && c < 0x7F) {
      out += char(c);
    } else if (c >= 0x80) {
      if (const std::size_t n = utf8Length(s, i)) {
        out.append(s.substr(i, n));
        i += n - 1;
        continue;
      }
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    }
  }
  out += '"';
  return out;
}

void JsonWriter::newline() {
  out_ += '\n';
  out_.append(stack_.size() * 2, ' ');
}

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (stack_.empty()) return;
  assert(!stack_.back().isObject && "values in an object need a key");
  if (!stack_.back().empty) out_ += ',';
  stack_.back().empty = false;
  newline();
}

JsonWriter& JsonWriter::key(std::string_view name) {
  assert(!stack_.empty() && stack_.back().isObject);
  if (!stack_.back().empty) out_ += ',';
  stack_.back().empty = false;
  newline();
  out_ += jsonEscape(name);
  out_ += ": ";
  afterKey_ = true;
  return *this;
}

void JsonWriter::beginObject() {
  beforeValue();
  out_ += '{';
  stack_.push_back({true, true});
}

void JsonWriter::endObject() {
  const bool empty = stack_.back().empty;
  stack_.pop_back();
  if (!empty) newline();
  out_ += '}';
  if (stack_.empty()) out_ += '\n';
}

void JsonWriter::beginArray() {
  beforeValue();
  out_ += '[';
  stack_.push_back({false, true});
}

void JsonWriter::endArray() {
  const bool empty = stack_.back().empty;
  stack_.pop_back();
  if (!empty) newline();
  out_ += ']';
}

void JsonWriter::value(std::string_view text) {
  beforeValue();
  out_ += jsonEscape(text);
}

void JsonWriter::value(std::int64_t number) {
  beforeValue();
  out_ += std::to_string(number);
}

void JsonWriter::value(std::uint64_t number) {
  beforeValue();
  out_ += std::to_string(number);
}

void JsonWriter::value(bool flag) {
  beforeValue();
  out_ += flag ? "true" : "false";
}

void JsonWriter::valueDouble(double number) {
  beforeValue();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.9g", number);
  out_ += buf;
}

void JsonWriter::null() {
  beforeValue();
  out_ += "null";
}

}  // namespace duduri::tools
