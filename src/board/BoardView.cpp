#include "board/BoardView.h"

#include <algorithm>
#include <cmath>

namespace duduri {

namespace {

constexpr double kSmallestZoom = 1.0 / 64;
// Zooms this close to a step count as the step (fit-all and repeated steps
// must land on 1 and on powers of two exactly).
constexpr double kSnap = 1e-9;

}  // namespace

void TBoardView::Reset(std::int32_t tableWidth, std::int32_t tableHeight, std::int32_t viewWidth,
                       std::int32_t viewHeight) {
  tableWidth_ = std::max(tableWidth, 0);
  tableHeight_ = std::max(tableHeight, 0);
  viewWidth_ = std::max(viewWidth, 0);
  viewHeight_ = std::max(viewHeight, 0);
  zoom_ = 1.0;
  inverse_ = 1.0;
  scrollX_ = 0;
  scrollY_ = 0;
  clampScroll();
  originX_ = scrollX_;
  originY_ = scrollY_;
}

void TBoardView::SetViewSize(std::int32_t viewWidth, std::int32_t viewHeight) {
  if (viewWidth == viewWidth_ && viewHeight == viewHeight_) return;
  const double cx = TableXAt(viewWidth_ / 2.0);
  const double cy = TableYAt(viewHeight_ / 2.0);
  viewWidth_ = std::max(viewWidth, 0);
  viewHeight_ = std::max(viewHeight, 0);
  zoom_ = std::clamp(zoom_, MinZoom(), kMaxZoom);
  inverse_ = 1.0 / zoom_;
  CentreOn(cx, cy);
}

std::int32_t TBoardView::ZoomedWidth() const {
  return std::int32_t(std::ceil(tableWidth_ * zoom_ - kSnap));
}

std::int32_t TBoardView::ZoomedHeight() const {
  return std::int32_t(std::ceil(tableHeight_ * zoom_ - kSnap));
}

std::int32_t TBoardView::MaxScrollX() const {
  const std::int32_t zw = ZoomedWidth();
  return zw > viewWidth_ ? zw - viewWidth_ + overscrollX_ : 0;
}

std::int32_t TBoardView::MaxScrollY() const {
  const std::int32_t zh = ZoomedHeight();
  return zh > viewHeight_ ? zh - viewHeight_ + overscrollY_ : 0;
}

void TBoardView::SetOverscroll(std::int32_t x, std::int32_t y) {
  overscrollX_ = std::max(0, x);
  overscrollY_ = std::max(0, y);
  ScrollTo(scrollX_, scrollY_);
}

bool TBoardView::Identity() const {
  return zoom_ == 1.0 && scrollX_ == 0 && scrollY_ == 0 && tableWidth_ == viewWidth_ &&
         tableHeight_ == viewHeight_;
}

double TBoardView::FitZoom() const {
  if (tableWidth_ <= 0 || tableHeight_ <= 0 || viewWidth_ <= 0 || viewHeight_ <= 0) return 1.0;
  const double z = std::min(double(viewWidth_) / tableWidth_, double(viewHeight_) / tableHeight_);
  return std::clamp(z, kSmallestZoom, 1.0);
}

double TBoardView::MinZoom() const {
  return FitZoom();
}

void TBoardView::clampScroll() {
  // A zoomed table narrower than the view sits in its middle.
  const std::int32_t zw = ZoomedWidth();
  const std::int32_t zh = ZoomedHeight();
  scrollX_ = zw <= viewWidth_ ? -((viewWidth_ - zw) / 2) : std::clamp(scrollX_, 0, MaxScrollX());
  scrollY_ = zh <= viewHeight_ ? -((viewHeight_ - zh) / 2) : std::clamp(scrollY_, 0, MaxScrollY());
}

bool TBoardView::ScrollTo(std::int32_t x, std::int32_t y) {
  const std::int32_t oldX = scrollX_;
  const std::int32_t oldY = scrollY_;
  scrollX_ = x;
  scrollY_ = y;
  clampScroll();
  originX_ = scrollX_ / zoom_;
  originY_ = scrollY_ / zoom_;
  return scrollX_ != oldX || scrollY_ != oldY;
}

bool TBoardView::CentreOn(double x, double y) {
  // The view pixel in the middle, (w / 2, h / 2), shows the point.
  const auto sx = std::int32_t(std::lround(x * zoom_ - viewWidth_ / 2 - 0.5));
  const auto sy = std::int32_t(std::lround(y * zoom_ - viewHeight_ / 2 - 0.5));
  return ScrollTo(sx, sy);
}

bool TBoardView::ZoomAt(double zoom, std::int32_t vx, std::int32_t vy) {
  zoom = std::clamp(zoom, MinZoom(), kMaxZoom);
  if (std::abs(zoom - 1.0) < kSnap) zoom = 1.0;
  const double tx = originX_ + (vx + 0.5) / zoom_;
  const double ty = originY_ + (vy + 0.5) / zoom_;
  const double oldZoom = zoom_;
  const std::int32_t oldX = scrollX_;
  const std::int32_t oldY = scrollY_;
  zoom_ = zoom;
  inverse_ = 1.0 / zoom_;
  originX_ = tx - (vx + 0.5) / zoom_;
  originY_ = ty - (vy + 0.5) / zoom_;
  // Whole scroll pixels, so that at 1:1 every table pixel is a view pixel.
  scrollX_ = std::int32_t(std::lround(originX_ * zoom_));
  scrollY_ = std::int32_t(std::lround(originY_ * zoom_));
  const std::int32_t wantX = scrollX_;
  const std::int32_t wantY = scrollY_;
  clampScroll();
  if (scrollX_ != wantX) originX_ = scrollX_ / zoom_;
  if (scrollY_ != wantY) originY_ = scrollY_ / zoom_;
  return zoom_ != oldZoom || scrollX_ != oldX || scrollY_ != oldY;
}

double TBoardView::StepZoom(int direction) const {
  // The steps are kZoomStep^n; the next one past the current zoom.
  const double n = std::log(zoom_) / std::log(kZoomStep);
  const double next = direction > 0 ? std::floor(n + kSnap) + 1 : std::ceil(n - kSnap) - 1;
  const double z = std::pow(kZoomStep, next);
  // Every even step is an exact power of two.
  const double exact = std::fmod(next, 2.0) == 0 ? std::ldexp(1.0, int(next / 2)) : z;
  return std::clamp(exact, MinZoom(), kMaxZoom);
}

bool TBoardView::FitAll() {
  const double oldZoom = zoom_;
  const std::int32_t oldX = scrollX_;
  const std::int32_t oldY = scrollY_;
  zoom_ = FitZoom();
  inverse_ = 1.0 / zoom_;
  CentreOn(tableWidth_ / 2.0, tableHeight_ / 2.0);
  return zoom_ != oldZoom || scrollX_ != oldX || scrollY_ != oldY;
}

std::int32_t TBoardView::TablePixelX(std::int32_t vx) const {
  return std::int32_t(std::floor(TableXAt(vx)));
}

std::int32_t TBoardView::TablePixelY(std::int32_t vy) const {
  return std::int32_t(std::floor(TableYAt(vy)));
}

std::int32_t TBoardView::ViewXOf(double x) const {
  return std::int32_t(std::ceil(x * zoom_ - 0.5 - kSnap)) - scrollX_;
}

std::int32_t TBoardView::ViewYOf(double y) const {
  return std::int32_t(std::ceil(y * zoom_ - 0.5 - kSnap)) - scrollY_;
}

TRect TBoardView::VisibleTable() const {
  return TRect{TablePixelX(0), TablePixelY(0), TablePixelX(std::max(viewWidth_, 1) - 1) + 1,
               TablePixelY(std::max(viewHeight_, 1) - 1) + 1};
}

}  // namespace duduri
