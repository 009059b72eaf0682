// A project package from a stranger, with or without the 0xDEAD prefix.
#include <cstddef>
#include <cstdint>

#include "project/Project.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TJigsawProject2 project;
  try {
    project.LoadFromStream({reinterpret_cast<const std::byte*>(data), size});
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
