#pragma once
// Helpers shared by the cutting tests: hand-built template sets and pictures.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "pieces/PieceCollection.h"
#include "raster/Bitmap32.h"

namespace duduri::testing_support {

inline constexpr TColor32 kGrey = 0xFF808080;

inline void FillPicture(TBitmap32& b, int w, int h, TColor32 color = kGrey) {
  b.SetSize(w, h);
  b.Clear(color);
}

// A picture whose every pixel is different, so misplaced copies show.
inline void FillGradient(TBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.Bits()[y * w + x] = 0xFF000000u | (std::uint32_t(x & 0xFF) << 16) |
                            (std::uint32_t(y & 0xFF) << 8) | std::uint32_t((x ^ y) & 0xFF);
}

// Mask rows: each row is the given bytes repeated; rows.size() rows.
inline std::vector<std::uint8_t> Rows(std::initializer_list<std::vector<std::uint8_t>> rows) {
  std::vector<std::uint8_t> out;
  for (const auto& r : rows) out.insert(out.end(), r.begin(), r.end());
  return out;
}

// A mask of `height` rows that leaves `width` pixels each (width <= 64).
inline std::vector<std::uint8_t> LeaveMask(int width, int height) {
  std::vector<std::uint8_t> out;
  for (int r = 0; r < height; ++r) {
    out.push_back(std::uint8_t(width));
    out.push_back(0);
  }
  return out;
}

inline TPzPieceTemplate MakeTemplate(int width, int height, bool vertical, int gridIndex,
                                     std::vector<std::uint8_t> maskA,
                                     std::vector<std::uint8_t> maskB) {
  TPzPieceTemplate t;
  t.Width = std::uint16_t(width);
  t.Height = std::uint16_t(height);
  t.Vertical = vertical;
  t.GridIndex = std::uint16_t(gridIndex);
  t.MaskA = std::move(maskA);
  t.MaskB = std::move(maskB);
  return t;
}

// Collects what the collection would show in message boxes.
struct ReportLog {
  std::vector<std::string> messages;
  TErrorReporter reporter() {
    return [this](const std::string& m) { messages.push_back(m); };
  }
};

}  // namespace duduri::testing_support
