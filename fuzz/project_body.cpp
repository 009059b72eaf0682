// An inflated package body: every chunk reader and the normalisation.
#include <cstddef>
#include <cstdint>

#include "project/Package.h"
#include "project/Project.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TJigsawProject2 project;
  project.Clear();
  try {
    duduri::ReadProjectBody(project, {reinterpret_cast<const std::byte*>(data), size});
    project.Normalise();
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
