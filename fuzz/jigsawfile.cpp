// Saved-game reader: any input either loads or fails with EJigsawFileError,
// and what loads writes back and reads again to the same bytes.
#include "board/JigsawFile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::TJigsawFile file;
  try {
    file.LoadFromBytes({reinterpret_cast<const std::byte*>(data), size}, "fuzz.jsw");
  } catch (const duduri::EJigsawFileError&) {
    return 0;
  }
  const std::vector<std::byte> saved = file.SaveToBytes();
  duduri::TJigsawFile again;
  again.LoadFromBytes(saved, "again.jsw");
  if (again.SaveToBytes() != saved) std::abort();
  return 0;
}
