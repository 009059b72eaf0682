// The text that opens a page and the command words of its links: any text
// either parses or fails with EPageTextError, sizes always come out sane,
// and every word gives a command with at most one parameter.
#include <cstdlib>
#include <string>

#include "shell/PageText.h"
#include "shell/PageWords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    const duduri::TPageText page = duduri::ParsePageText(text);
    const duduri::TPageSize s =
        duduri::SanePageSize(page.Width.value_or(0), page.Height.value_or(0), {1280, 1024});
    if (s.Width < 1 || s.Width > 1280 || s.Height < 1 || s.Height > 1024) std::abort();
  } catch (const duduri::EPageTextError&) {
  }
  duduri::TScriptItem item;
  duduri::PageWordCommand(duduri::PageCommandWord(text), text, text, item);
  if (item.Parameter.Count() > 1) std::abort();
  return 0;
}
