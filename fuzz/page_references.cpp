// The scan for the files a page refers to reads any text without failing,
// and what it calls local never starts at the root or holds a scheme.
#include <cstdlib>
#include <string>

#include "shell/PageReferences.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto check = [](const std::vector<std::string>& references) {
    for (const std::string& r : references) {
      const std::string local = duduri::LocalReferencePath(r);
      if (!local.empty() && (local.front() == '/' || local.back() == '/')) std::abort();
    }
  };
  check(duduri::PageReferences(text));
  check(duduri::StyleReferences(text));
  return 0;
}
