#include "common/Args.h"

#include <algorithm>
#include <charconv>

namespace duduri::tools {

namespace {

bool contains(std::initializer_list<std::string_view> names, std::string_view name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

bool ParsedArgs::has(std::string_view name) const {
  return flags_.find(name) != flags_.end() || values_.find(name) != values_.end();
}

std::optional<std::string> ParsedArgs::value(std::string_view name) const {
  auto it = values_.find(name);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::string ParsedArgs::required(std::string_view name) const {
  auto it = values_.find(name);
  if (it == values_.end()) throw UsageError("missing " + std::string(name));
  return it->second;
}

std::int64_t ParsedArgs::integer(std::string_view name, std::int64_t fallback, std::int64_t min,
                                 std::int64_t max) const {
  auto it = values_.find(name);
  if (it == values_.end()) return fallback;
  return parseInteger(it->second, name, min, max);
}

ParsedArgs parseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> flags) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const std::size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    if (contains(valueOptions, name)) {
      if (equals != std::string::npos) {
        parsed.values_[name] = arg.substr(equals + 1);
      } else if (i + 1 < args.size()) {
        parsed.values_[name] = args[++i];
      } else {
        throw UsageError(name + " needs a value");
      }
    } else if (contains(flags, name) && equals == std::string::npos) {
      parsed.flags_.insert(name);
    } else {
      throw UsageError("unknown option " + arg);
    }
  }
  return parsed;
}

std::int64_t parseInteger(std::string_view text, std::string_view what, std::int64_t min,
                          std::int64_t max) {
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || text.empty()) {
    throw UsageError(std::string(what) + ": '" + std::string(text) + "' is not a whole number");
  }
  if (value < min || value > max) {
    throw UsageError(std::string(what) + ": " + std::string(text) + " is out of range (" +
                     std::to_string(min) + " to " + std::to_string(max) + ")");
  }
  return value;
}

Size parseSize(std::string_view text, std::int32_t maxSide) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string_view::npos) {
    throw UsageError("size '" + std::string(text) + "' is not WIDTHxHEIGHT");
  }
  return Size{std::int32_t(parseInteger(text.substr(0, x), "width", 1, maxSide)),
              std::int32_t(parseInteger(text.substr(x + 1), "height", 1, maxSide))};
}

}  // namespace duduri::tools
