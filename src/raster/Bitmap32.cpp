// TBitmap32: pixel block ownership, drawing state, fills, lines, single
// pixels, the text seam and change notification. Drawing one surface onto
// another is in Bitmap32Draw.cpp, resampling in Resample.cpp, turns in
// Rotate.cpp.

#include "raster/Bitmap32.h"

#include <sys/mman.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "raster/Picture.h"
#include "raster/PixelCombine.h"

namespace duduri {

namespace {

// Blocks from this size on are mapped on their own, in huge pages.
constexpr std::size_t kHugeBlockBytes = std::size_t(2) << 20;
constexpr std::size_t kHugePage = std::size_t(2) << 20;

}  // namespace

void TPixelBlockFree::operator()(TColor32* p) const {
  std::free(p);
}

TPixelBlock AllocatePixelBlock(std::size_t count) {
  if (count == 0) return TPixelBlock();
  const std::size_t bytes = count * sizeof(TColor32);
  void* block = nullptr;
  if (bytes >= kHugeBlockBytes) {
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (posix_memalign(&block, kHugePage, rounded) != 0) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
  } else {
    block = std::malloc(bytes);
    if (!block) throw std::bad_alloc();
  }
  std::memset(block, 0, bytes);
  return TPixelBlock(static_cast<TColor32*>(block));
}


namespace {

constexpr const char* kAllocateError = "Can't allocate the DIB handle";

std::atomic<ITextRenderer*> textRenderer{nullptr};

// Clips the span [x1, x2) to [lo, hi); false when nothing is left.
bool ClipSpan(std::int64_t& x1, std::int64_t& x2, std::int32_t lo, std::int32_t hi) {
  x1 = std::max<std::int64_t>(x1, lo);
  x2 = std::min<std::int64_t>(x2, hi);
  return x1 < x2;
}

// Orders inclusive line ends and turns them into a half-open span.
void OrderLineEnds(std::int32_t a, std::int32_t b, std::int64_t& first, std::int64_t& end) {
  if (b < a) std::swap(a, b);
  first = a;
  end = std::int64_t(b) + 1;
}

template <TColor32 (*Combine)(TColor32, TColor32)>
void CombineSpan(TColor32* p, std::size_t count, std::ptrdiff_t step, TColor32 color) {
  for (std::size_t i = 0; i < count; ++i, p += step) *p = Combine(color, *p);
}

// Runs a colour over `count` pixels `step` apart with the combine mode picked
// once for the whole line. Opaque and fully transparent colours give the same
// result in both modes, so they skip the arithmetic.
void CombineLine(TColor32* p, std::size_t count, std::ptrdiff_t step, TColor32 color,
                 TCombineMode mode) {
  const std::uint32_t alpha = color >> 24;
  if (alpha == 0) return;
  if (alpha == 255) {
    for (std::size_t i = 0; i < count; ++i, p += step) *p = color;
  } else if (mode == cmMerge) {
    CombineSpan<raster_detail::MergeRegInline>(p, count, step, color);
  } else {
    CombineSpan<raster_detail::BlendRegInline>(p, count, step, color);
  }
}

}  // namespace

void SetTextRenderer(ITextRenderer* renderer) {
  textRenderer.store(renderer);
}

TBitmap32::TBitmap32() = default;
TBitmap32::~TBitmap32() = default;

TBitmap32::TBitmap32(TBitmap32&& other) noexcept
    : OnPixelCombine(std::move(other.OnPixelCombine)),
      OnChange(std::move(other.OnChange)),
      width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      bits_(std::move(other.bits_)),
      capacity_(std::exchange(other.capacity_, 0)),
      drawMode_(other.drawMode_),
      combineMode_(other.combineMode_),
      masterAlpha_(other.masterAlpha_),
      outerColor_(other.outerColor_),
      stretchFilter_(other.stretchFilter_),
      clipRect_(std::exchange(other.clipRect_, TRect{})),
      font_(other.font_) {}

TBitmap32& TBitmap32::operator=(TBitmap32&& other) noexcept {
  if (this == &other) return *this;
  OnPixelCombine = std::move(other.OnPixelCombine);
  OnChange = std::move(other.OnChange);
  width_ = std::exchange(other.width_, 0);
  height_ = std::exchange(other.height_, 0);
  bits_ = std::move(other.bits_);
  capacity_ = std::exchange(other.capacity_, 0);
  drawMode_ = other.drawMode_;
  combineMode_ = other.combineMode_;
  masterAlpha_ = other.masterAlpha_;
  outerColor_ = other.outerColor_;
  stretchFilter_ = other.stretchFilter_;
  clipRect_ = std::exchange(other.clipRect_, TRect{});
  font_ = other.font_;
  return *this;
}

void TBitmap32::Changed() {
  if (OnChange) OnChange(*this);
}

bool TBitmap32::ResizeSilently(std::int32_t width, std::int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return false;
  bits_.reset();
  capacity_ = 0;
  width_ = 0;
  height_ = 0;
  clipRect_ = TRect{};
  const std::int64_t count = std::int64_t(width) * height;
  if (width > kMaxPictureSide || height > kMaxPictureSide || count > kMaxPicturePixels) {
    throw EBitmapError(kAllocateError);
  }
  if (count > 0) {
    try {
      bits_ = AllocatePixelBlock(std::size_t(count));
    } catch (const std::bad_alloc&) {
      throw EBitmapError(kAllocateError);
    }
    capacity_ = std::size_t(count);
  }
  width_ = width;
  height_ = height;
  clipRect_ = BoundsRect();
  return true;
}

bool TBitmap32::SetSize(std::int32_t width, std::int32_t height) {
  const bool wasEmpty = !bits_ && width_ == 0 && height_ == 0;
  bool changed = false;
  try {
    changed = ResizeSilently(width, height);
  } catch (const EBitmapError&) {
    // The old pixels are gone either way; the display must learn about it.
    if (!wasEmpty) Changed();
    throw;
  }
  if (changed) Changed();
  return changed;
}

bool TBitmap32::Reshape(std::int32_t width, std::int32_t height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return false;
  const std::int64_t count = std::int64_t(width) * height;
  if (count > 0 && std::uint64_t(count) <= capacity_ && width <= kMaxPictureSide &&
      height <= kMaxPictureSide) {
    width_ = width;
    height_ = height;
    clipRect_ = BoundsRect();
    Changed();
    return false;
  }
  return SetSize(width, height);
}

void TBitmap32::Assign(const TBitmap32* source) {
  if (source == this) return;
  if (!source) {
    SetSize(0, 0);
    return;
  }
  try {
    ResizeSilently(source->width_, source->height_);
  } catch (const EBitmapError&) {
    Changed();
    throw;
  }
  if (PixelCount() > 0) std::memcpy(bits_.get(), source->bits_.get(), PixelCount() * 4);
  drawMode_ = source->drawMode_;
  masterAlpha_ = source->masterAlpha_;
  outerColor_ = source->outerColor_;
  stretchFilter_ = source->stretchFilter_;
  // A copy in dmCustom would draw nothing without the callback it was made for.
  OnPixelCombine = source->OnPixelCombine;
  Changed();
}

void TBitmap32::Assign(const TPicture& picture) {
  const std::int64_t count = std::int64_t(std::max(picture.Width, 0)) * std::max(picture.Height, 0);
  if (picture.Width < 0 || picture.Height < 0 || std::uint64_t(count) != picture.Pixels.size()) {
    throw EPictureError("The picture's pixel data does not match its size.");
  }
  try {
    ResizeSilently(picture.Width, picture.Height);
  } catch (const EBitmapError&) {
    Changed();
    throw;
  }
  const TColor32 alphaMask = picture.BitsPerPixel == 32 ? 0 : 0xFF000000u;
  const TColor32 transparentRgb = picture.TransparentColor & 0x00FFFFFFu;
  TColor32* dst = bits_.get();
  for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
    TColor32 c = picture.Pixels[i] | alphaMask;
    if (picture.Transparent && (c & 0x00FFFFFFu) == transparentRgb) c &= 0x00FFFFFFu;
    dst[i] = c;
  }
  Changed();
}

void TBitmap32::SetDrawMode(TDrawMode mode) {
  if (drawMode_ == mode) return;
  drawMode_ = mode;
  Changed();
}

void TBitmap32::SetCombineMode(TCombineMode mode) {
  combineMode_ = mode;
  Changed();
}

void TBitmap32::SetMasterAlpha(std::uint32_t alpha) {
  alpha = std::min<std::uint32_t>(alpha, 255);
  if (masterAlpha_ == alpha) return;
  masterAlpha_ = alpha;
  Changed();
}

void TBitmap32::SetOuterColor(TColor32 color) {
  if (outerColor_ == color) return;
  outerColor_ = color;
  Changed();
}

void TBitmap32::SetStretchFilter(TStretchFilter filter) {
  if (stretchFilter_ == filter) return;
  stretchFilter_ = filter;
  Changed();
}

void TBitmap32::SetClipRect(const TRect& rect) {
  TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), std::min(rect.Right, width_),
          std::min(rect.Bottom, height_)};
  if (r.IsEmpty()) r = TRect{};
  if (r == clipRect_) return;
  clipRect_ = r;
  Changed();
}

void TBitmap32::Clear(TColor32 color) {
  if (PixelCount() > 0) std::fill_n(bits_.get(), PixelCount(), color);
  Changed();
}

void TBitmap32::ResetAlpha() {
  TColor32* p = bits_.get();
  for (std::size_t i = 0, n = PixelCount(); i < n; ++i) p[i] |= 0xFF000000u;
  Changed();
}

void TBitmap32::FillSpan(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                         TColor32 color) {
  for (std::int64_t y = y1; y < y2; ++y) {
    std::fill(ScanLine(std::int32_t(y)) + x1, ScanLine(std::int32_t(y)) + x2, color);
  }
}

void TBitmap32::FillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                         TColor32 color) {
  // Callers keep the rectangle inside; cutting it to the surface anyway costs
  // nothing and turns a caller's mistake into a visible one, not a stray write.
  std::int64_t l = x1, t = y1, r = x2, b = y2;
  if (!ClipSpan(l, r, 0, width_) || !ClipSpan(t, b, 0, height_)) return;
  FillSpan(l, t, r, b, color);
  Changed();
}

void TBitmap32::FillRectS(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                          TColor32 color) {
  std::int64_t l = x1, t = y1, r = x2, b = y2;
  if (!ClipSpan(l, r, clipRect_.Left, clipRect_.Right) ||
      !ClipSpan(t, b, clipRect_.Top, clipRect_.Bottom)) {
    return;
  }
  FillSpan(l, t, r, b, color);
  Changed();
}

void TBitmap32::FrameRectS(const TRect& rect, TColor32 color) {
  if (rect.IsEmpty()) return;
  const std::int64_t right = std::int64_t(rect.Right) - 1;
  const std::int64_t bottom = std::int64_t(rect.Bottom) - 1;
  bool drawn = false;
  auto row = [&](std::int64_t y) {
    std::int64_t l = rect.Left, r = right + 1;
    if (y < clipRect_.Top || y >= clipRect_.Bottom) return;
    if (!ClipSpan(l, r, clipRect_.Left, clipRect_.Right)) return;
    FillSpan(l, y, r, y + 1, color);
    drawn = true;
  };
  auto column = [&](std::int64_t x) {
    std::int64_t t = std::int64_t(rect.Top) + 1, b = bottom;
    if (x < clipRect_.Left || x >= clipRect_.Right) return;
    if (!ClipSpan(t, b, clipRect_.Top, clipRect_.Bottom)) return;
    FillSpan(x, t, x + 1, b, color);
    drawn = true;
  };
  row(rect.Top);
  if (bottom != rect.Top) row(bottom);
  column(rect.Left);
  if (right != rect.Left) column(right);
  if (drawn) Changed();
}

void TBitmap32::HorzLineS(std::int32_t x1, std::int32_t y, std::int32_t x2, TColor32 color) {
  std::int64_t l, r;
  OrderLineEnds(x1, x2, l, r);
  if (y < clipRect_.Top || y >= clipRect_.Bottom) return;
  if (!ClipSpan(l, r, clipRect_.Left, clipRect_.Right)) return;
  FillSpan(l, y, r, std::int64_t(y) + 1, color);
  Changed();
}

void TBitmap32::HorzLineTS(std::int32_t x1, std::int32_t y, std::int32_t x2, TColor32 color) {
  std::int64_t l, r;
  OrderLineEnds(x1, x2, l, r);
  if (y < clipRect_.Top || y >= clipRect_.Bottom) return;
  if (!ClipSpan(l, r, clipRect_.Left, clipRect_.Right)) return;
  CombineLine(ScanLine(y) + l, std::size_t(r - l), 1, color, combineMode_);
  Changed();
}

void TBitmap32::VertLineS(std::int32_t x, std::int32_t y1, std::int32_t y2, TColor32 color) {
  std::int64_t t, b;
  OrderLineEnds(y1, y2, t, b);
  if (x < clipRect_.Left || x >= clipRect_.Right) return;
  if (!ClipSpan(t, b, clipRect_.Top, clipRect_.Bottom)) return;
  FillSpan(x, t, std::int64_t(x) + 1, b, color);
  Changed();
}

void TBitmap32::VertLineTS(std::int32_t x, std::int32_t y1, std::int32_t y2, TColor32 color) {
  std::int64_t t, b;
  OrderLineEnds(y1, y2, t, b);
  if (x < clipRect_.Left || x >= clipRect_.Right) return;
  if (!ClipSpan(t, b, clipRect_.Top, clipRect_.Bottom)) return;
  CombineLine(ScanLine(std::int32_t(t)) + x, std::size_t(b - t), width_, color, combineMode_);
  Changed();
}

TColor32 TBitmap32::GetPixelS(std::int32_t x, std::int32_t y) const {
  if (x < clipRect_.Left || x >= clipRect_.Right || y < clipRect_.Top || y >= clipRect_.Bottom) {
    return outerColor_;
  }
  return ScanLine(y)[x];
}

void TBitmap32::SetPixelS(std::int32_t x, std::int32_t y, TColor32 color) {
  if (x < clipRect_.Left || x >= clipRect_.Right || y < clipRect_.Top || y >= clipRect_.Bottom) {
    return;
  }
  ScanLine(y)[x] = color;
  Changed();
}

void TBitmap32::Textout(std::int32_t x, std::int32_t y, const std::string& text) {
  ITextRenderer* renderer = textRenderer.load();
  if (!renderer || Empty()) return;
  renderer->Textout(*this, x, y, text, font_);
  Changed();
}

std::int32_t TBitmap32::TextWidth(const std::string& text) const {
  ITextRenderer* renderer = textRenderer.load();
  return renderer ? renderer->TextWidth(text, font_) : 0;
}

std::int32_t TBitmap32::TextHeight(const std::string& text) const {
  ITextRenderer* renderer = textRenderer.load();
  return renderer ? renderer->TextHeight(text, font_) : 0;
}

}  // namespace duduri
