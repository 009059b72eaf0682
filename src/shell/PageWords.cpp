#include "shell/PageWords.h"

#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "shell/Commands.h"

namespace duduri {

namespace {

constexpr std::string_view kPlayPrefix = "ACT_PLAY_";

// Words that name a command without a parameter.
constexpr std::array<std::pair<std::string_view, std::int32_t>, 7> kPlainWords = {{
    {"ACT_CLOSE", kPageCloseCode},
    {"ACT_NONE", 0},
    {"ACT_EXIT_APP", ccExit},
    {"ACT_EXIT_APP_NO_CONFIRM", ccExitNoConfirm},
    {"ACT_ABOUT_DLG", ccAbout},
    {"ACT_NEW_GAME", ccNewGame},
    {"ACT_LOAD_GAME", ccOpenGame},
}};

// A whole decimal number with an optional sign, within 32 bits.
std::optional<std::int32_t> decimal(std::string_view text) {
  if (text.starts_with('+')) text.remove_prefix(1);
  if (text.empty()) return std::nullopt;
  std::int32_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

void addInteger(TScriptParameter& parameter, std::int32_t value) {
  const auto u = std::uint32_t(value);
  const std::array<std::byte, 4> bytes = {std::byte(u & 0xFF), std::byte((u >> 8) & 0xFF),
                                          std::byte((u >> 16) & 0xFF), std::byte(u >> 24)};
  parameter.Add(kParamInteger, bytes);
}

void addText(TScriptParameter& parameter, std::string_view text) {
  parameter.Add(kParamText,
                TByteSpan(reinterpret_cast<const std::byte*>(text.data()), text.size()));
}

}  // namespace

std::string PageCommandWord(std::string_view address) {
  const std::size_t slash = address.rfind('/');
  return std::string(slash == std::string_view::npos ? address : address.substr(slash + 1));
}

void PageWordCommand(std::string_view word, std::string_view address, std::string_view target,
                     TScriptItem& item) {
  item.Parameter.Clear();
  for (const auto& [name, code] : kPlainWords) {
    if (word == name) {
      item.Code = code;
      return;
    }
  }
  if (word == "ACT_EXECUTE_APP") {
    item.Code = ccOpenDocument;
    addText(item.Parameter, target);
    return;
  }
  if (const std::size_t at = word.find(kPlayPrefix); at != std::string_view::npos) {
    const std::optional<std::int32_t> position = decimal(word.substr(at + kPlayPrefix.size()));
    if (!position) {
      item.Code = 0;
      return;
    }
    item.Code = ccPlayPicture;
    addInteger(item.Parameter, *position);
    return;
  }
  item.Code = ccRunHidden;
  addText(item.Parameter, address);
}

bool HasEntryForm(const std::vector<std::string>& formActions) {
  for (const std::string& action : formActions) {
    if (PageCommandWord(action) == kEntryFormAction) return true;
  }
  return false;
}

bool PageClickCommand(const TPageClick& click, TScriptItem& item) {
  switch (click.Kind) {
    case TPageClickKind::ckLink:
      PageWordCommand(PageCommandWord(click.Address), click.Address, click.Target, item);
      return true;
    case TPageClickKind::ckButton:
      // A button has no target to open; its value names the document
      // instead, and its name stands for the address.
      PageWordCommand(click.Name, click.Name, click.Value, item);
      return true;
    case TPageClickKind::ckInputButton:
      item.Parameter.Clear();
      item.Code = HasEntryForm(click.FormActions) ? ccOpenDocument : 0;
      return item.Code != 0;
    case TPageClickKind::ckOther:
      break;
  }
  item.Parameter.Clear();
  item.Code = 0;
  return false;
}

}  // namespace duduri
