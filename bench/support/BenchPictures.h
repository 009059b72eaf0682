// Pictures for the benchmarks: soft colour gradients with a little texture,
// like a photograph. Nothing in the cut or the codecs depends on the
// colours, only on no pixel being 0.

#pragma once

#include <cstdint>

#include "raster/Bitmap32.h"

namespace duduri::bench {

inline TBitmap32 PhotoLike(int w, int h) {
  TBitmap32 b;
  b.SetSize(w, h);
  std::uint32_t noise = 12345;
  for (int y = 0; y < h; ++y) {
    TColor32* row = b.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      noise = noise * 1103515245u + 12345u;
      const std::uint32_t n = (noise >> 16) & 15;
      row[x] = Color32(std::uint8_t((x * 255 / w + n) & 0xFF), std::uint8_t((y * 255 / h) ^ n),
                       std::uint8_t(((x + y) >> 2) + n));
    }
  }
  return b;
}

}  // namespace duduri::bench
