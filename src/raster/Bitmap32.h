#pragma once
// TBitmap32: the in-memory 32-bit ARGB raster that every picture, piece,
// sprite, shadow and the board image live in. Pixels are one contiguous
// row-major block (pixel (x, y) is Bits()[y * Width() + x]) so that the
// cutter, the codec and the shadow routine index them directly.
//
// Every operation that changes pixels or state raises OnChange once at its
// end. Rectangles are (Left, Top, Right, Bottom) with Right and Bottom
// exclusive; line end coordinates are inclusive.
//
// Text output and copies to or from a screen window are platform services:
// the shell installs an ITextRenderer; the core draws no text on its own.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "raster/Color32.h"
#include "raster/Error.h"

namespace duduri {

struct TPicture;

enum TDrawMode { dmOpaque, dmBlend, dmCustom };
enum TCombineMode { cmBlend, cmMerge };
enum TStretchFilter { sfNearest, sfDraft, sfLinear, sfCosine, sfSpline, sfLanczos, sfMitchell };

struct TRect {
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr std::int32_t Width() const { return Right - Left; }
  constexpr std::int32_t Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  friend constexpr bool operator==(const TRect&, const TRect&) = default;
};

constexpr TRect MakeRect(std::int32_t left, std::int32_t top, std::int32_t right,
                         std::int32_t bottom) {
  return TRect{left, top, right, bottom};
}

// The platform font used by the text operations; the core only carries it.
struct TFont {
  std::string Name = "Sans";
  int Size = 10;
  TColor32 Color = 0xFF000000;
  bool Bold = false;
  bool Italic = false;
};

class TBitmap32;

// Text rendering, filled by the shell. Without one, Textout draws nothing and
// the measures are 0.
class ITextRenderer {
 public:
  virtual ~ITextRenderer() = default;
  virtual void Textout(TBitmap32& target, std::int32_t x, std::int32_t y, const std::string& text,
                       const TFont& font) = 0;
  virtual std::int32_t TextWidth(const std::string& text, const TFont& font) = 0;
  virtual std::int32_t TextHeight(const std::string& text, const TFont& font) = 0;
};
void SetTextRenderer(ITextRenderer* renderer);  // not owned; nullptr removes it

// A surface's pixel block. Large blocks come in huge pages where the system
// offers them: a fresh layer of a full-screen board would otherwise fault in
// thousands of small pages the first time it is drawn.
struct TPixelBlockFree {
  void operator()(TColor32* p) const;
};
using TPixelBlock = std::unique_ptr<TColor32[], TPixelBlockFree>;
// count pixels, all 0; a null block for count 0; throws std::bad_alloc.
TPixelBlock AllocatePixelBlock(std::size_t count);

class TBitmap32 {
 public:
  TBitmap32();
  ~TBitmap32();
  // Surfaces are moved, never copied implicitly: copying pixels is an explicit
  // Assign so that the cost is visible at the call site.
  TBitmap32(const TBitmap32&) = delete;
  TBitmap32& operator=(const TBitmap32&) = delete;
  TBitmap32(TBitmap32&& other) noexcept;
  TBitmap32& operator=(TBitmap32&& other) noexcept;

  // Size. Negative values count as 0. The same size keeps the pixels; a new
  // size gives a fresh all-zero block and ClipRect the whole surface. Throws
  // EBitmapError("Can't allocate the DIB handle") and leaves the surface 0x0
  // when the block cannot be had. Returns whether the size changed.
  bool SetSize(std::int32_t width, std::int32_t height);
  // SetSize for a surface about to be drawn over whole: when the block in
  // hand holds the new size, it is kept and the pixels are left as they were
  // (no fresh pages to touch, no zeroing); otherwise a fresh all-zero block
  // as SetSize gives. Returns true only when a fresh all-zero block was taken.
  bool Reshape(std::int32_t width, std::int32_t height);
  void SetWidth(std::int32_t width) { SetSize(width, height_); }
  void SetHeight(std::int32_t height) { SetSize(width_, height); }
  std::int32_t Width() const { return width_; }
  std::int32_t Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TRect BoundsRect() const { return TRect{0, 0, width_, height_}; }

  TColor32* Bits() { return bits_.get(); }
  const TColor32* Bits() const { return bits_.get(); }
  TColor32* ScanLine(std::int32_t y) { return bits_.get() + std::int64_t(y) * width_; }
  const TColor32* ScanLine(std::int32_t y) const { return bits_.get() + std::int64_t(y) * width_; }
  std::size_t PixelCount() const { return std::size_t(width_) * std::size_t(height_); }

  // Copies: nullptr gives 0x0; another surface copies size, pixels, DrawMode,
  // MasterAlpha, OuterColor and StretchFilter (not CombineMode), and its
  // OnPixelCombine so that a dmCustom copy draws like the original. A decoded
  // picture copies its colours with alpha 255 (32-bit pictures keep their
  // alpha; a transparent picture's transparent colour gets alpha 0); one whose
  // Pixels do not hold Width * Height values throws EPictureError and leaves
  // the surface as it was.
  void Assign(const TBitmap32* source);
  void Assign(const TBitmap32& source) { Assign(&source); }
  void Assign(const TPicture& picture);
  // Decodes a picture file (format by content) and assigns it.
  void LoadFromFile(const std::filesystem::path& path);

  // Drawing state.
  TDrawMode DrawMode() const { return drawMode_; }
  void SetDrawMode(TDrawMode mode);
  TCombineMode CombineMode() const { return combineMode_; }
  void SetCombineMode(TCombineMode mode);  // always notifies
  std::uint32_t MasterAlpha() const { return masterAlpha_; }
  void SetMasterAlpha(std::uint32_t alpha);  // 0..255; larger values count as 255
  TColor32 OuterColor() const { return outerColor_; }
  void SetOuterColor(TColor32 color);
  TStretchFilter StretchFilter() const { return stretchFilter_; }
  void SetStretchFilter(TStretchFilter filter);
  TRect ClipRect() const { return clipRect_; }
  void SetClipRect(const TRect& rect);  // intersected with the surface
  TFont& Font() { return font_; }
  const TFont& Font() const { return font_; }

  // dmCustom per-pixel combination: (source pixel, destination pixel, master alpha).
  std::function<void(TColor32 f, TColor32& b, std::uint32_t masterAlpha)> OnPixelCombine;
  // Raised once at the end of every operation that changes pixels or state.
  std::function<void(TBitmap32& sender)> OnChange;
  void Changed();

  // Pixel operations.
  void Clear(TColor32 color = 0xFF000000);
  void ResetAlpha();
  // Not clipped to ClipRect: callers stay inside. A rectangle that strays
  // outside the surface anyway is cut to it rather than written past it.
  void FillRect(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                TColor32 color);
  void FillRectS(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                 TColor32 color);
  void FillRectS(const TRect& r, TColor32 color) { FillRectS(r.Left, r.Top, r.Right, r.Bottom, color); }
  void FrameRectS(const TRect& r, TColor32 color);
  void HorzLineS(std::int32_t x1, std::int32_t y, std::int32_t x2, TColor32 color);
  void HorzLineTS(std::int32_t x1, std::int32_t y, std::int32_t x2, TColor32 color);
  void VertLineS(std::int32_t x, std::int32_t y1, std::int32_t y2, TColor32 color);
  void VertLineTS(std::int32_t x, std::int32_t y1, std::int32_t y2, TColor32 color);
  TColor32 GetPixelS(std::int32_t x, std::int32_t y) const;
  void SetPixelS(std::int32_t x, std::int32_t y, TColor32 color);

  // Draws source with its top-left at (x, y), clipped, combined by the
  // source's DrawMode and MasterAlpha.
  void Draw(std::int32_t x, std::int32_t y, const TBitmap32& source);
  // Draws srcRect of source into dstRect, resampled by the source's
  // StretchFilter when the sizes differ. A srcRect reaching outside the
  // source throws EBitmapError("Invalid SrcRect").
  void Draw(const TRect& dstRect, const TRect& srcRect, const TBitmap32& source);
  void DrawTo(TBitmap32& destination, const TRect& dstRect, const TRect& srcRect) const {
    destination.Draw(dstRect, srcRect, *this);
  }
  void DrawTo(TBitmap32& destination, std::int32_t x, std::int32_t y) const {
    destination.Draw(x, y, *this);
  }

  // Quarter, half and three-quarter turns clockwise. Without a target the
  // surface itself turns (keeping its drawing state); with one, the target
  // receives the turned image and keeps its own drawing state.
  void Rotate90(TBitmap32* target = nullptr);
  void Rotate180(TBitmap32* target = nullptr);
  void Rotate270(TBitmap32* target = nullptr);

  // Platform text (see ITextRenderer).
  void Textout(std::int32_t x, std::int32_t y, const std::string& text);
  std::int32_t TextWidth(const std::string& text) const;
  std::int32_t TextHeight(const std::string& text) const;

 private:
  // SetSize without the notification, for operations that notify once at
  // their own end. On failure the surface is 0x0 and EBitmapError is thrown.
  bool ResizeSilently(std::int32_t width, std::int32_t height);
  // Fills [x1, x2) x [y1, y2), already cut to the surface.
  void FillSpan(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                TColor32 color);
  // Draw with the destination in 64 bits (Right and Bottom exclusive).
  void DrawArea(std::int64_t left, std::int64_t top, std::int64_t right, std::int64_t bottom,
                const TRect& srcRect, const TBitmap32& source);
  // Turns into `target` (which may be this surface) through a fresh block.
  enum class TQuarterTurn { qtClockwise, qtHalf, qtAnticlockwise };
  void RotateInto(TBitmap32& target, TQuarterTurn turn);

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  TPixelBlock bits_;
  std::size_t capacity_ = 0;  // pixels the block holds, at least Width * Height
  TDrawMode drawMode_ = dmOpaque;
  TCombineMode combineMode_ = cmBlend;
  std::uint32_t masterAlpha_ = 255;
  TColor32 outerColor_ = 0;
  TStretchFilter stretchFilter_ = sfNearest;
  TRect clipRect_;
  TFont font_;
};

}  // namespace duduri
