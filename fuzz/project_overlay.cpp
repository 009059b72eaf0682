// The executable-overlay finder over any file.
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "project/Overlay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const duduri::TByteSpan file{reinterpret_cast<const std::byte*>(data), size};
  const duduri::TOverlayLayout layout = duduri::FindOverlay(file);
  if (layout.HasPackage) {
    assert(layout.PackageOffset + layout.PackageSize <= size);
    (void)duduri::OverlayPackage(file);
  }
  assert(layout.PlayerImageSize <= size);
  return 0;
}
