// Quarter, half and three-quarter turns clockwise. The cutter turns every
// piece into four sprites this way, so the quarter turns walk the source in
// small tiles: reading rows while writing columns stays within the cache.

#include <algorithm>
#include <memory>
#include <new>

#include "raster/Bitmap32.h"

namespace duduri {

namespace {

constexpr std::int32_t kTile = 32;

// Source pixel (x, y) of a w x h block goes to (h - 1 - y, x) of an h x w block.
void TurnClockwise(const TColor32* src, std::int32_t w, std::int32_t h, TColor32* dst) {
  for (std::int32_t ty = 0; ty < h; ty += kTile) {
    const std::int32_t yEnd = std::min(ty + kTile, h);
    for (std::int32_t tx = 0; tx < w; tx += kTile) {
      const std::int32_t xEnd = std::min(tx + kTile, w);
      for (std::int32_t y = ty; y < yEnd; ++y) {
        const TColor32* s = src + std::size_t(y) * std::size_t(w);
        TColor32* d = dst + (h - 1 - y);
        for (std::int32_t x = tx; x < xEnd; ++x) d[std::size_t(x) * std::size_t(h)] = s[x];
      }
    }
  }
}

// Source pixel (x, y) goes to (y, w - 1 - x).
void TurnAnticlockwise(const TColor32* src, std::int32_t w, std::int32_t h, TColor32* dst) {
  for (std::int32_t ty = 0; ty < h; ty += kTile) {
    const std::int32_t yEnd = std::min(ty + kTile, h);
    for (std::int32_t tx = 0; tx < w; tx += kTile) {
      const std::int32_t xEnd = std::min(tx + kTile, w);
      for (std::int32_t y = ty; y < yEnd; ++y) {
        const TColor32* s = src + std::size_t(y) * std::size_t(w);
        TColor32* d = dst + y;
        for (std::int32_t x = tx; x < xEnd; ++x) {
          d[std::size_t(w - 1 - x) * std::size_t(h)] = s[x];
        }
      }
    }
  }
}

void Turn(const TColor32* src, std::int32_t w, std::int32_t h, TColor32* dst, bool clockwise,
          bool half) {
  if (half) {
    std::reverse_copy(src, src + std::size_t(w) * std::size_t(h), dst);
  } else if (clockwise) {
    TurnClockwise(src, w, h, dst);
  } else {
    TurnAnticlockwise(src, w, h, dst);
  }
}

}  // namespace

void TBitmap32::RotateInto(TBitmap32& target, TQuarterTurn turn) {
  const bool half = turn == TQuarterTurn::qtHalf;
  const bool clockwise = turn == TQuarterTurn::qtClockwise;
  const std::int32_t newWidth = half ? width_ : height_;
  const std::int32_t newHeight = half ? height_ : width_;
  if (&target != this) {
    try {
      target.ResizeSilently(newWidth, newHeight);
    } catch (const EBitmapError&) {
      target.Changed();
      throw;
    }
    if (PixelCount() > 0) Turn(bits_.get(), width_, height_, target.bits_.get(), clockwise, half);
    target.Changed();
    return;
  }
  if (PixelCount() > 0) {
    if (half) {
      std::reverse(bits_.get(), bits_.get() + PixelCount());
    } else {
      TPixelBlock turned;
      try {
        turned = AllocatePixelBlock(PixelCount());
      } catch (const std::bad_alloc&) {
        throw EBitmapError("Can't allocate the DIB handle");
      }
      Turn(bits_.get(), width_, height_, turned.get(), clockwise, half);
      bits_ = std::move(turned);
      capacity_ = PixelCount();
    }
  }
  if (newWidth != width_ || newHeight != height_) {
    width_ = newWidth;
    height_ = newHeight;
    clipRect_ = BoundsRect();
  }
  Changed();
}

void TBitmap32::Rotate90(TBitmap32* target) {
  RotateInto(target ? *target : *this, TQuarterTurn::qtClockwise);
}

void TBitmap32::Rotate180(TBitmap32* target) {
  RotateInto(target ? *target : *this, TQuarterTurn::qtHalf);
}

void TBitmap32::Rotate270(TBitmap32* target) {
  RotateInto(target ? *target : *this, TQuarterTurn::qtAnticlockwise);
}

}  // namespace duduri
