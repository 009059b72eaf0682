#pragma once
// A tiny streaming JSON writer for the tools' dumps. Output is canonical:
// keys in the order written, two-space indentation, strings escaped byte for
// byte (bytes above 0x7F that are not UTF-8 are written as \u00XX), so the
// same input always gives the same text.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace duduri::tools {

class JsonWriter {
 public:
  void beginObject();
  void endObject();
  void beginArray();
  void endArray();
  // The key of the next value inside an object.
  JsonWriter& key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(std::int64_t number);
  void value(int number) { value(std::int64_t(number)); }
  void value(unsigned number) { value(std::int64_t(number)); }
  void value(std::uint64_t number);
  void value(bool flag);
  void valueDouble(double number);
  void null();

  // key + value in one call.
  template <typename T>
  void field(std::string_view name, const T& v) {
    key(name);
    value(v);
  }

  const std::string& str() const { return out_; }

 private:
  void beforeValue();
  void newline();

  std::string out_;
  struct Level {
    bool isObject;
    bool empty;
  };
  std::vector<Level> stack_;
  bool afterKey_ = false;
};

std::string jsonEscape(std::string_view text);

}  // namespace duduri::tools
