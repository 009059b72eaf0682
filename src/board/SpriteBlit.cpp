#include "board/SpriteBlit.h"

#include <algorithm>
#include <cstring>

#include "raster/Bitmap32.h"

namespace duduri {

namespace {

std::uint32_t LoadWord(const std::byte* p) {
  std::uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// One span of a sprite row onto the target row; the span is already clipped.
// The inside of a piece is opaque, so four pixels that are all opaque are
// copied as one block and only the soft outline is blended pixel by pixel.
void BlendSpan(TColor32* dst, const std::byte* src, std::int32_t n) {
  std::int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const std::byte* s = src + std::size_t(i) * 4;
    const TColor32 a = LoadWord(s), b = LoadWord(s + 4), c = LoadWord(s + 8), d = LoadWord(s + 12);
    if (((a & b & c & d) >> 24) == 255) {
      dst[i] = a;
      dst[i + 1] = b;
      dst[i + 2] = c;
      dst[i + 3] = d;
      continue;
    }
    const TColor32 quad[4] = {a, b, c, d};
    for (int k = 0; k < 4; ++k) {
      const std::uint32_t fa = quad[k] >> 24;
      if (fa == 255) {
        dst[i + k] = quad[k];
      } else if (fa != 0) {
        dst[i + k] = BlendWeight(quad[k], dst[i + k], fa);
      }
    }
  }
  for (; i < n; ++i) {
    const TColor32 f = LoadWord(src + std::size_t(i) * 4);
    const std::uint32_t fa = f >> 24;
    if (fa == 255) {
      dst[i] = f;
    } else if (fa != 0) {
      dst[i] = BlendWeight(f, dst[i], fa);
    }
  }
}

void BlendSpanMaster(TColor32* dst, const std::byte* src, std::int32_t n,
                     std::uint32_t masterAlpha) {
  for (std::int32_t i = 0; i < n; ++i) {
    const TColor32 f = LoadWord(src + std::size_t(i) * 4);
    const std::uint32_t w = ((masterAlpha + 1) * (f >> 24)) >> 8;
    if (w != 0) dst[i] = BlendWeight(f, dst[i], w);
  }
}

// The part of a width x height block at (x, y) that lies on the target, in
// block coordinates.
struct TClip {
  std::int32_t col0, col1, row0, row1;
  bool Empty() const { return col0 >= col1 || row0 >= row1; }
};

TClip ClipBlock(const TPixelTarget& target, std::int32_t x, std::int32_t y, std::int32_t width,
                std::int32_t height) {
  const std::int64_t c0 = std::max<std::int64_t>(0, -std::int64_t(x));
  const std::int64_t c1 = std::min<std::int64_t>(width, std::int64_t(target.Width) - x);
  const std::int64_t r0 = std::max<std::int64_t>(0, -std::int64_t(y));
  const std::int64_t r1 = std::min<std::int64_t>(height, std::int64_t(target.Height) - y);
  if (c0 >= c1 || r0 >= r1) return TClip{0, 0, 0, 0};
  return TClip{std::int32_t(c0), std::int32_t(c1), std::int32_t(r0), std::int32_t(r1)};
}

}  // namespace

TPixelTarget PixelTarget(TBitmap32& bitmap) {
  return TPixelTarget{bitmap.Bits(), bitmap.Width(), bitmap.Height()};
}

void DrawRleSprite(const TPixelTarget& target, std::int32_t x, std::int32_t y,
                   const std::byte* encoded, std::size_t encodedBytes, std::int32_t width,
                   std::int32_t height, std::uint32_t masterAlpha) {
  if (encoded == nullptr || target.Bits == nullptr || width <= 0 || height <= 0) return;
  const TClip clip = ClipBlock(target, x, y, width, height);
  if (clip.Empty()) return;

  const std::size_t total = std::size_t(width) * std::size_t(height);
  // Pixel index past which nothing more can land on the target.
  const std::size_t stop = std::size_t(clip.row1) * std::size_t(width);
  const std::byte* p = encoded;
  // Trailing bytes of a block that is not whole words follow the runs; pixel
  // blocks have none.
  const std::byte* const end = encoded + (encodedBytes - encodedBytes % 4);
  std::size_t pos = 0;

  while (end - p >= 8 && pos < stop) {
    const std::int32_t count = std::int32_t(LoadWord(p));
    if (count <= 0) return;
    if (LoadWord(p + 4) == 0) {
      pos += std::size_t(count);
      p += 8;
      continue;
    }
    // A literal run: `count` words from p + 4, bounded by the bytes left and
    // the pixels left.
    const std::size_t available = std::size_t(end - p - 4) / 4;
    std::size_t n = std::min<std::size_t>({std::size_t(count), available, total - pos});
    const std::byte* src = p + 4;
    const std::size_t runBytes = 4 + std::size_t(count) * 4;
    p = runBytes <= std::size_t(end - p) ? p + runBytes : end;
    std::int32_t row = std::int32_t(pos / std::size_t(width));
    std::int32_t col = std::int32_t(pos % std::size_t(width));
    while (n > 0) {
      if (row >= clip.row1) return;
      const std::int32_t seg = std::int32_t(std::min<std::size_t>(n, std::size_t(width - col)));
      if (row >= clip.row0) {
        const std::int32_t a = std::max(col, clip.col0);
        const std::int32_t b = std::min(col + seg, clip.col1);
        if (a < b) {
          TColor32* dst = target.Bits + std::size_t(y + row) * std::size_t(target.Width) + (x + a);
          const std::byte* s = src + std::size_t(a - col) * 4;
          if (masterAlpha >= 255) {
            BlendSpan(dst, s, b - a);
          } else {
            BlendSpanMaster(dst, s, b - a, masterAlpha);
          }
        }
      }
      src += std::size_t(seg) * 4;
      pos += std::size_t(seg);
      n -= std::size_t(seg);
      col = 0;
      ++row;
    }
  }
}

void DrawPixelBlock(const TPixelTarget& target, std::int32_t x, std::int32_t y,
                    const TColor32* pixels, std::int32_t width, std::int32_t height,
                    std::uint32_t masterAlpha) {
  if (pixels == nullptr || target.Bits == nullptr || width <= 0 || height <= 0) return;
  if (masterAlpha == 0) return;
  const TClip clip = ClipBlock(target, x, y, width, height);
  if (clip.Empty()) return;
  const std::int32_t n = clip.col1 - clip.col0;
  for (std::int32_t row = clip.row0; row < clip.row1; ++row) {
    const TColor32* src = pixels + std::size_t(row) * std::size_t(width) + clip.col0;
    TColor32* dst =
        target.Bits + std::size_t(y + row) * std::size_t(target.Width) + (x + clip.col0);
    if (masterAlpha >= 255) {
      for (std::int32_t i = 0; i < n; ++i) {
        const TColor32 f = src[i];
        const std::uint32_t fa = f >> 24;
        if (fa == 255) {
          dst[i] = f;
        } else if (fa != 0) {
          dst[i] = BlendWeight(f, dst[i], fa);
        }
      }
    } else {
      for (std::int32_t i = 0; i < n; ++i) {
        const TColor32 f = src[i];
        const std::uint32_t w = ((masterAlpha + 1) * (f >> 24)) >> 8;
        if (w != 0) dst[i] = BlendWeight(f, dst[i], w);
      }
    }
  }
}

void CopyTopLeft(const TPixelTarget& target, const TColor32* source, std::int32_t sourceWidth,
                 std::int32_t sourceHeight) {
  if (source == nullptr || target.Bits == nullptr) return;
  const std::int32_t w = std::min(target.Width, sourceWidth);
  const std::int32_t h = std::min(target.Height, sourceHeight);
  if (w <= 0 || h <= 0) return;
  if (w == target.Width && w == sourceWidth) {
    std::memcpy(target.Bits, source, std::size_t(w) * std::size_t(h) * sizeof(TColor32));
    return;
  }
  for (std::int32_t row = 0; row < h; ++row) {
    std::memcpy(target.Bits + std::size_t(row) * std::size_t(target.Width),
                source + std::size_t(row) * std::size_t(sourceWidth),
                std::size_t(w) * sizeof(TColor32));
  }
}

TColor32 RlePixelAt(const std::byte* encoded, std::size_t encodedBytes, std::size_t index) {
  if (encoded == nullptr) return 0;
  const std::byte* p = encoded;
  const std::byte* const end = encoded + (encodedBytes - encodedBytes % 4);
  std::size_t pos = 0;
  while (end - p >= 8) {
    const std::int32_t count = std::int32_t(LoadWord(p));
    if (count <= 0) return 0;
    const bool zeroRun = LoadWord(p + 4) == 0;
    if (index < pos + std::size_t(count)) {
      if (zeroRun) return 0;
      const std::size_t offset = 4 + (index - pos) * 4;
      if (offset + 4 > std::size_t(end - p)) return 0;
      return LoadWord(p + offset);
    }
    pos += std::size_t(count);
    const std::size_t runBytes = zeroRun ? 8 : 4 + std::size_t(count) * 4;
    if (runBytes > std::size_t(end - p)) return 0;
    p += runBytes;
  }
  return 0;
}

}  // namespace duduri
