// Drawing one surface onto another: clipping and the one-to-one block
// transfer. The row combinations are in BlendRows.cpp, resampling for
// rectangles of different sizes in Resample.cpp.

#include <cstring>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/PixelCombine.h"

namespace duduri {

using raster_detail::TRowCombiner;
using raster_detail::TSpan64;

namespace {

// Whether drawing with this combiner can change anything at all.
bool DrawsSomething(const TRowCombiner& c) {
  if (c.mode == dmBlend) return c.masterAlpha > 0;
  if (c.mode == dmCustom) return c.custom && *c.custom;
  return true;
}

}  // namespace

void TBitmap32::Draw(std::int32_t x, std::int32_t y, const TBitmap32& source) {
  // In 64 bits because x + Width may not fit 32.
  DrawArea(x, y, std::int64_t(x) + source.width_, std::int64_t(y) + source.height_,
           source.BoundsRect(), source);
}

void TBitmap32::Draw(const TRect& dstRect, const TRect& srcRect, const TBitmap32& source) {
  DrawArea(dstRect.Left, dstRect.Top, dstRect.Right, dstRect.Bottom, srcRect, source);
}

void TBitmap32::DrawArea(std::int64_t left, std::int64_t top, std::int64_t right,
                         std::int64_t bottom, const TRect& srcRect, const TBitmap32& source) {
  if (Empty() || source.Empty()) return;
  const TSpan64 dst{left, top, right, bottom};
  TRect srcArea = srcRect;
  if (srcArea.IsEmpty() || dst.IsEmpty()) return;
  if (srcArea.Left < 0 || srcArea.Top < 0 || srcArea.Right > source.width_ ||
      srcArea.Bottom > source.height_) {
    throw EBitmapError("Invalid SrcRect");
  }
  const TRowCombiner combiner{source.drawMode_, source.masterAlpha_, &source.OnPixelCombine};
  if (!DrawsSomething(combiner)) return;
  const TSpan64 clipped = raster_detail::Intersect(dst, clipRect_);
  if (clipped.IsEmpty()) return;

  // Drawing a surface onto itself reads pixels that the same call writes, so
  // it reads from a copy of the source rectangle instead.
  const TBitmap32* from = &source;
  TBitmap32 copy;
  if (&source == this) {
    copy.ResizeSilently(srcArea.Width(), srcArea.Height());
    for (std::int32_t y = 0; y < srcArea.Height(); ++y) {
      std::memcpy(copy.ScanLine(y), ScanLine(srcArea.Top + y) + srcArea.Left,
                  std::size_t(srcArea.Width()) * sizeof(TColor32));
    }
    srcArea = copy.BoundsRect();
    from = &copy;
  }

  if (dst.right - dst.left == srcArea.Width() && dst.bottom - dst.top == srcArea.Height()) {
    const std::int64_t sx = srcArea.Left + (clipped.left - dst.left);
    const std::size_t n = std::size_t(clipped.right - clipped.left);
    for (std::int64_t y = clipped.top; y < clipped.bottom; ++y) {
      const std::int64_t sy = srcArea.Top + (y - dst.top);
      raster_detail::CombineRow(combiner, from->ScanLine(std::int32_t(sy)) + sx,
                                ScanLine(std::int32_t(y)) + clipped.left, n);
    }
  } else {
    raster_detail::StretchTransfer(*this, dst, clipped, *from, srcArea, source.stretchFilter_,
                                   combiner);
  }
  Changed();
}

}  // namespace duduri
