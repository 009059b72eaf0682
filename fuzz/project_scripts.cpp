// Script streams: the first byte picks the level (parameters, item, action
// item, action group).
#include <cstddef>
#include <cstdint>

#include "project/Scripts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  duduri::TByteReader in({reinterpret_cast<const std::byte*>(data + 1), size - 1});
  try {
    switch (data[0] % 4) {
      case 0:
        duduri::TScriptParameter().ReadStream(in);
        break;
      case 1:
        duduri::TScriptItem().ReadStream(in);
        break;
      case 2:
        duduri::TActionItem().ReadStream(in);
        break;
      default: {
        duduri::TActionGroup group;
        group.ReadStream(in);
        (void)group.StreamBytes();
      }
    }
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
