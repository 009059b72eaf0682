#pragma once
// TColor32: one 32-bit ARGB pixel (alpha in bits 24..31, then red, green,
// blue). In memory the bytes run blue, green, red, alpha. The value 0 is
// transparent black, which the sprite codec stores as skip runs.

#include <cstdint>

namespace duduri {

using TColor32 = std::uint32_t;

constexpr TColor32 Color32(std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                           std::uint8_t alpha = 255) {
  return (TColor32(alpha) << 24) | (TColor32(red) << 16) | (TColor32(green) << 8) | blue;
}

constexpr std::uint8_t AlphaComponent(TColor32 c) { return std::uint8_t(c >> 24); }
constexpr std::uint8_t RedComponent(TColor32 c) { return std::uint8_t(c >> 16); }
constexpr std::uint8_t GreenComponent(TColor32 c) { return std::uint8_t(c >> 8); }
constexpr std::uint8_t BlueComponent(TColor32 c) { return std::uint8_t(c); }

// A platform colour is 0x00BBGGRR; negative values name system colours, which
// are looked up through SetSystemColorLookup (the shell installs one). Without
// a lookup a system colour reads as black.
using SystemColorLookup = std::int32_t (*)(std::int32_t systemColor);
void SetSystemColorLookup(SystemColorLookup lookup);
TColor32 Color32FromPlatform(std::int32_t color);

// Blend F over B with F's alpha; each product rounded separately. Used by
// dmBlend drawing, the cmBlend line operations and directly by the cutter.
TColor32 BlendReg(TColor32 f, TColor32 b);

// Blend F over B with the weight ((masterAlpha + 1) * Fa) >> 8 in place of Fa.
TColor32 BlendRegEx(TColor32 f, TColor32 b, std::uint32_t masterAlpha);

// Merge F onto B respecting B's own alpha (used by the cmMerge line operations).
TColor32 MergeReg(TColor32 f, TColor32 b);

}  // namespace duduri
