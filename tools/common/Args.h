#pragma once
// A very small command-line parser for the tools.
//
//   const ParsedArgs a = parseArgs(args, {"--out", "--seed"}, {"--shadow"});
//   a.positional()          -> words that are not options, in order
//   a.required("--out")     -> the value, or UsageError "missing --out"
//   a.value("--seed")       -> std::optional<std::string>
//   a.integer("--seed", 1)  -> the value as a whole number, or the fallback
//   a.has("--shadow")       -> whether a flag or option was given
//
// Options take their value as "--out FILE" or "--out=FILE"; the last one
// given wins. "--" ends the options. An option or flag that was not declared
// is a UsageError, so typos never pass silently. "--help"/"-h" are left to
// the caller (see pack::wantsHelp).

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace duduri::tools {

// Wrong use of a tool; the message says what was wrong.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ParsedArgs {
 public:
  const std::vector<std::string>& positional() const { return positional_; }
  bool has(std::string_view name) const;
  std::optional<std::string> value(std::string_view name) const;
  std::string required(std::string_view name) const;
  // Throws UsageError when the value is not a whole number in [min, max].
  std::int64_t integer(std::string_view name, std::int64_t fallback, std::int64_t min = INT64_MIN,
                       std::int64_t max = INT64_MAX) const;

 private:
  friend ParsedArgs parseArgs(const std::vector<std::string>&,
                              std::initializer_list<std::string_view>,
                              std::initializer_list<std::string_view>);
  std::vector<std::string> positional_;
  std::map<std::string, std::string, std::less<>> values_;
  std::set<std::string, std::less<>> flags_;
};

ParsedArgs parseArgs(const std::vector<std::string>& args,
                     std::initializer_list<std::string_view> valueOptions,
                     std::initializer_list<std::string_view> flags = {});

// "WxH" with both parts whole numbers from 1 to maxSide.
struct Size {
  std::int32_t width = 0;
  std::int32_t height = 0;
};
Size parseSize(std::string_view text, std::int32_t maxSide = 16384);

// A whole number in [min, max]; UsageError naming `what` otherwise.
std::int64_t parseInteger(std::string_view text, std::string_view what, std::int64_t min,
                          std::int64_t max);

}  // namespace duduri::tools
