#pragma once
// TBoardView: which part of the table the play area shows, and at what zoom.
//
// The table is where the pieces lie (board coordinates, TableWidth x
// TableHeight pixels at 1:1); the view is the host control (ViewWidth x
// ViewHeight pixels). At zoom z the table is drawn z times its size, and the
// view shows it from the scroll position (ScrollX, ScrollY), counted in
// pixels of the zoomed table: view pixel (vx, vy) shows the table point
// ((ScrollX + vx + 0.5) / z, (ScrollY + vy + 0.5) / z). A zoomed table
// smaller than the view is centred in it (the scroll position is then
// negative and fixed).
//
// With a table the size of the view, zoom 1 and scroll 0 the mapping is the
// identity (Identity()), and the board draws exactly as it did before it
// had a view.
//
// A value type with no drawing in it, so the arithmetic is tested alone.

#include <cstdint>

#include "raster/Bitmap32.h"

namespace duduri {

class TBoardView {
 public:
  static constexpr double kMaxZoom = 2.0;
  // Zoom steps of "+" and "-" (and the wheel): powers of the square root of
  // two, so that every other step is a power of two.
  static constexpr double kZoomStep = 1.4142135623730951;

  // Zoom 1 at the top-left corner of the table (centred where the table is
  // smaller than the view).
  void Reset(std::int32_t tableWidth, std::int32_t tableHeight, std::int32_t viewWidth,
             std::int32_t viewHeight);
  // A new view size; the table point at the middle of the view stays there.
  void SetViewSize(std::int32_t viewWidth, std::int32_t viewHeight);

  std::int32_t TableWidth() const { return tableWidth_; }
  std::int32_t TableHeight() const { return tableHeight_; }
  std::int32_t ViewWidth() const { return viewWidth_; }
  std::int32_t ViewHeight() const { return viewHeight_; }
  double Zoom() const { return zoom_; }
  std::int32_t ScrollX() const { return scrollX_; }
  std::int32_t ScrollY() const { return scrollY_; }
  // The zoomed table's size in view pixels.
  std::int32_t ZoomedWidth() const;
  std::int32_t ZoomedHeight() const;
  // The scroll range on each axis: 0 .. Max (0 when the zoomed table fits).
  std::int32_t MaxScrollX() const;
  std::int32_t MaxScrollY() const;
  bool CanPan() const { return ZoomedWidth() > viewWidth_ || ZoomedHeight() > viewHeight_; }
  // Extra scroll range past the right and bottom edges of the table on an
  // axis that pans: room to bring the corner out from under something drawn
  // over the view's corner (the overview map).
  void SetOverscroll(std::int32_t x, std::int32_t y);
  bool Identity() const;

  // The zoom that shows the whole table, at most 1; the smallest zoom the
  // view goes to (never below 1/64).
  double FitZoom() const;
  double MinZoom() const;

  // Scrolling, clamped to the range. Return whether the view moved.
  bool ScrollTo(std::int32_t x, std::int32_t y);
  bool ScrollBy(std::int32_t dx, std::int32_t dy) { return ScrollTo(scrollX_ + dx, scrollY_ + dy); }
  // The table point (x, y) under the view's middle pixel (w / 2, h / 2), as
  // near as the range allows; the pixel (x, y) of the table is the point
  // (x + 0.5, y + 0.5).
  bool CentreOn(double x, double y);
  // A new zoom (clamped to MinZoom .. kMaxZoom) that keeps the table point
  // under view pixel (vx, vy) where it is. At zoom 1 the scroll position is
  // whole pixels of the table, so 1:1 is always pixel exact.
  bool ZoomAt(double zoom, std::int32_t vx, std::int32_t vy);
  // The next zoom step up (direction > 0) or down from the current zoom.
  double StepZoom(int direction) const;
  // Fit-all: the whole table, centred.
  bool FitAll();

  // ---- Mapping ----
  // The table point a view pixel shows (its centre), and the table pixel it
  // falls in.
  double TableXAt(double vx) const { return (scrollX_ + vx + 0.5) * inverse_; }
  double TableYAt(double vy) const { return (scrollY_ + vy + 0.5) * inverse_; }
  // Table pixels per view pixel (1 / Zoom), as every mapping uses it.
  double Inverse() const { return inverse_; }
  std::int32_t TablePixelX(std::int32_t vx) const;
  std::int32_t TablePixelY(std::int32_t vy) const;
  // The first view pixel whose centre lies at or beyond table coordinate x
  // (so a sprite covering table columns [x, x + w) covers view columns
  // [ViewXOf(x), ViewXOf(x + w))).
  std::int32_t ViewXOf(double x) const;
  std::int32_t ViewYOf(double y) const;
  // The table area the view shows, whole pixels, may reach outside the table.
  TRect VisibleTable() const;

 private:
  void clampScroll();

  std::int32_t tableWidth_ = 0;
  std::int32_t tableHeight_ = 0;
  std::int32_t viewWidth_ = 0;
  std::int32_t viewHeight_ = 0;
  double zoom_ = 1.0;
  double inverse_ = 1.0;
  std::int32_t scrollX_ = 0;
  std::int32_t scrollY_ = 0;
  // The table point at the view's left and top edge, unrounded: zooming in
  // and out again about the same point comes back to the same view, instead
  // of drifting by the rounding of each step.
  double originX_ = 0;
  double originY_ = 0;
  std::int32_t overscrollX_ = 0;
  std::int32_t overscrollY_ = 0;
};

}  // namespace duduri
