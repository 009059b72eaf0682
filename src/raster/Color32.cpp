// Colour conversions and the single-pixel combinations. The arithmetic itself
// lives in PixelCombine.h so that the span loops inline the same code.

#include "raster/Color32.h"

#include <atomic>

#include "raster/PixelCombine.h"

namespace duduri {

namespace {
std::atomic<SystemColorLookup> systemColorLookup{nullptr};
}  // namespace

void SetSystemColorLookup(SystemColorLookup lookup) {
  systemColorLookup.store(lookup);
}

TColor32 Color32FromPlatform(std::int32_t color) {
  if (color < 0) {
    const SystemColorLookup lookup = systemColorLookup.load();
    color = lookup ? lookup(color) : 0;
    // A lookup that answers with another system colour would loop; such an
    // answer reads as black.
    if (color < 0) color = 0;
  }
  const auto c = std::uint32_t(color);
  return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

TColor32 BlendReg(TColor32 f, TColor32 b) {
  return raster_detail::BlendRegInline(f, b);
}

TColor32 BlendRegEx(TColor32 f, TColor32 b, std::uint32_t masterAlpha) {
  return raster_detail::BlendRegExInline(f, b, masterAlpha > 255 ? 255 : masterAlpha);
}

TColor32 MergeReg(TColor32 f, TColor32 b) {
  return raster_detail::MergeRegInline(f, b);
}

}  // namespace duduri
