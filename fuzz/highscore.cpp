// High-score reader: damage is reported as EHighScoreError only, and the
// tables read so far always write a file that reads back the same.
#include "project/HighScore.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  duduri::THighScore table;
  try {
    table.LoadFromBytes({reinterpret_cast<const std::byte*>(data), size});
  } catch (const duduri::EHighScoreError&) {
  }
  const std::vector<std::byte> saved = table.SaveToBytes();
  duduri::THighScore again;
  again.LoadFromBytes(saved);
  if (again.SaveToBytes() != saved) std::abort();
  for (int level = 0; level < duduri::kScoreLevelCount; ++level) table.Qualifies(level, 100);
  return 0;
}
