// The view of the table: panning and zooming, the backdrop as the view sees
// it, the overview map, and scrolling while a piece is dragged at the view's
// edge. An ordinary game's table is the play area, seen 1:1 unless the
// player zooms in; a big puzzle's table is larger and its view moves.

#include <algorithm>
#include <cmath>

#include "board/SpriteBlit.h"
#include "board/SpriteDraw.h"
#include "board/ZoomedSprites.h"

namespace duduri {

namespace {

// Edge scrolling starts this close to the view's edge while dragging.
constexpr int kEdgeZone = 32;
constexpr int kEdgeInterval = 16;  // milliseconds between edge scrolling steps
constexpr int kMaxEdgeStep = 48;   // view pixels per step, far past the edge

// The overview map: at most this large, and a quarter of the view.
constexpr int kOverviewMaxWidth = 220;
constexpr int kOverviewMaxHeight = 160;
// Clear of scroll bars a host may lay along the view's edges.
constexpr int kOverviewMargin = 20;
constexpr int kOverviewMinView = 320;
constexpr TColor32 kOverviewFrame = 0xFF202020u;
constexpr TColor32 kOverviewViewRect = 0xFFFFFFFFu;

// The floor beyond the table's edges: the workspace colour darkened, so the
// edge of the table is plain to see.
TColor32 offTableColour(TColor32 workspace) {
  const auto dim = [&](int shift) { return ((workspace >> shift) & 0xFF) * 5 / 8; };
  return 0xFF000000u | (dim(16) << 16) | (dim(8) << 8) | dim(0);
}

// The picture column (or row) a table coordinate shows for a placement
// style: -1 where the picture does not reach.
std::int64_t placed(std::int64_t t, std::int64_t table, std::int64_t picture, int style) {
  if (picture <= 0) return -1;
  switch (style) {
    case kBackgroundTopLeft:
      return t < picture ? t : -1;
    case kBackgroundCentered: {
      const std::int64_t at = t - (table - picture) / 2;
      return at >= 0 && at < picture ? at : -1;
    }
    case kBackgroundTiled:
      return t % picture;
    case kBackgroundStretched:
      return std::min(picture - 1, t * picture / std::max<std::int64_t>(table, 1));
    default:
      return -1;
  }
}

}  // namespace

// ---- Mapping ----

TBoardPoint TSpriteDraw::ViewToTable(int vx, int vy) const {
  return TBoardPoint{view_.TablePixelX(vx), view_.TablePixelY(vy)};
}

TBoardPoint TSpriteDraw::TableToView(int tableX, int tableY) const {
  return TBoardPoint{view_.ViewXOf(tableX), view_.ViewYOf(tableY)};
}

// ---- The backdrop as the view sees it ----

const TBitmap32& TSpriteDraw::viewBackdrop() {
  if (!bigTable_ && view_.Identity()) return backgroundLayer_;
  TBitmap32& target = bigTable_ ? backgroundLayer_ : viewBackground_;
  if (!viewBackdropFresh_ || target.Width() != view_.ViewWidth() ||
      target.Height() != view_.ViewHeight()) {
    renderViewBackdrop(target);
    viewBackdropFresh_ = true;
  }
  return target;
}

void TSpriteDraw::setBackdropSource(TBitmap32 picture, int style) {
  backdropPicture_ = std::move(picture);
  backdropPicture_.SetDrawMode(dmOpaque);
  backdropStyle_ = style;
  backdropReduced_ = TBitmap32();
  backdropReducedLevel_ = -1;
  viewBackdropFresh_ = false;
}

void TSpriteDraw::renderViewBackdrop(TBitmap32& target) {
  const int vw = view_.ViewWidth();
  const int vh = view_.ViewHeight();
  target.SetSize(vw, vh);
  if (target.Empty()) return;
  const TColor32 workspace = platform_.WorkspaceColor() | 0xFF000000u;
  const TColor32 off = offTableColour(workspace);
  // An ordinary table is its background layer, from the top-left; a big one
  // is covered by its backdrop picture as its style places it (a picture at
  // least the table's size always from the top-left, unscaled).
  const TBitmap32* picture = nullptr;
  int style = kBackgroundTopLeft;
  if (!bigTable_) {
    picture = &backgroundLayer_;
  } else if (!backdropPicture_.Empty() && backdropStyle_ >= 0) {
    picture = &backdropPicture_;
    style = backdropStyle_;
    if (backdropPicture_.Width() >= boardWidth_ && backdropPicture_.Height() >= boardHeight_) {
      style = kBackgroundTopLeft;
    }
  }
  const std::int64_t pw = picture ? picture->Width() : 0;
  const std::int64_t ph = picture ? picture->Height() : 0;
  // Zoomed out, a reduced copy of the picture, so that a texture does not
  // shimmer.
  int level = bigTable_ ? ReduceLevelFor(view_.Zoom()) : 0;
  const TColor32* pixels = picture ? picture->Bits() : nullptr;
  std::int64_t stride = pw;
  if (picture && level > 0 && pw > 1 && ph > 1) {
    if (backdropReducedLevel_ != level) {
      const std::vector<TColor32> reduced =
          ReducePixels(picture->Bits(), picture->Width(), picture->Height(), level);
      backdropReduced_.SetSize((picture->Width() + (1 << level) - 1) >> level,
                               (picture->Height() + (1 << level) - 1) >> level);
      std::copy(reduced.begin(), reduced.end(), backdropReduced_.Bits());
      backdropReducedLevel_ = level;
    }
    pixels = backdropReduced_.Bits();
    stride = backdropReduced_.Width();
  } else {
    level = 0;
  }

  // -2: beyond the table; -1: the table without picture; else the column.
  std::vector<std::int64_t> columns(static_cast<std::size_t>(vw));
  for (int vx = 0; vx < vw; ++vx) {
    const std::int64_t tx = view_.TablePixelX(vx);
    if (tx < 0 || tx >= boardWidth_) {
      columns[std::size_t(vx)] = -2;
      continue;
    }
    const std::int64_t c = placed(tx, boardWidth_, pw, style);
    columns[std::size_t(vx)] = c < 0 ? -1 : c >> level;
  }
  for (int vy = 0; vy < vh; ++vy) {
    TColor32* row = target.ScanLine(vy);
    const std::int64_t ty = view_.TablePixelY(vy);
    if (ty < 0 || ty >= boardHeight_) {
      std::fill_n(row, vw, off);
      continue;
    }
    const std::int64_t r = placed(ty, boardHeight_, ph, style);
    const TColor32* src = r < 0 ? nullptr : pixels + std::size_t(r >> level) * std::size_t(stride);
    if (!src) {
      // A row the picture does not reach: the table and the floor around it.
      for (int vx = 0; vx < vw; ++vx) row[vx] = columns[std::size_t(vx)] == -2 ? off : workspace;
      continue;
    }
    for (int vx = 0; vx < vw; ++vx) {
      const std::int64_t c = columns[std::size_t(vx)];
      row[vx] = c == -2 ? off : (c < 0 || !src) ? workspace : (src[c] | 0xFF000000u);
    }
  }
}

// ---- Moving the view ----

void TSpriteDraw::viewChanged() {
  viewBackdropFresh_ = false;
  overviewFresh_ = false;
  // A piece being dragged stays under the pointer: it moves with the view.
  if (dragging_ || groupDragging_) {
    if (!movePointer(TSender(&host_), pointerX_, pointerY_)) return;
  }
  if (gamePaused_) {
    ShowBackgroundOnly();
    Publish();
  } else {
    RebuildStaticLayer();
    if (bandSelecting_ && moved_ && !rightPressed_) {
      drawBand();
    } else {
      ComposeFrame();
    }
    if (!present()) return;
    if (!dragging_ && !groupDragging_ && !bandSelecting_) Publish();
  }
  raise(onViewChanged_, TSender(this));
}

bool TSpriteDraw::ScrollViewTo(int x, int y) {
  if (!view_.ScrollTo(x, y)) return false;
  viewChanged();
  return true;
}

bool TSpriteDraw::ScrollViewBy(int dx, int dy) {
  return ScrollViewTo(view_.ScrollX() + dx, view_.ScrollY() + dy);
}

bool TSpriteDraw::CentreViewOn(int tableX, int tableY) {
  if (!view_.CentreOn(tableX + 0.5, tableY + 0.5)) return false;
  viewChanged();
  return true;
}

bool TSpriteDraw::ZoomViewAt(double zoom, int vx, int vy) {
  if (!view_.ZoomAt(zoom, vx, vy)) return false;
  viewChanged();
  return true;
}

bool TSpriteDraw::ZoomStep(int direction, int vx, int vy) {
  return ZoomViewAt(view_.StepZoom(direction), vx, vy);
}

bool TSpriteDraw::FitAll() {
  if (!view_.FitAll()) return false;
  viewChanged();
  return true;
}

void TSpriteDraw::ResizeView(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (!bigTable_ || (width == view_.ViewWidth() && height == view_.ViewHeight())) return;
  view_.SetViewSize(width, height);
  fitOverscroll();
  backgroundLayer_.SetSize(width, height);
  staticLayer_.SetSize(width, height);
  backBuffer_.SetSize(width, height);
  // A band drawn over the old frame has nothing to be drawn over now.
  bandSelecting_ = false;
  viewChanged();
}

bool TSpriteDraw::panWithKey(int dx, int dy) {
  if (!view_.CanPan()) return false;
  for (const auto& row : pieces_) {
    for (const TPieceSprite& p : row) {
      if (p.Selected == 1) return false;
    }
  }
  // An eighth of the view per key, so that what was in view stays in sight.
  const int stepX = std::max(16, view_.ViewWidth() / 8);
  const int stepY = std::max(16, view_.ViewHeight() / 8);
  ScrollViewBy(dx * stepX, dy * stepY);
  return true;
}

// ---- Edge scrolling ----

void TSpriteDraw::updateEdgeScroll() {
  int ex = 0;
  int ey = 0;
  if ((dragging_ || groupDragging_) && view_.CanPan()) {
    auto speed = [](int depth) { return std::clamp(2 + depth / 2, 2, kMaxEdgeStep); };
    const int w = view_.ViewWidth();
    const int h = view_.ViewHeight();
    if (pointerX_ < kEdgeZone) {
      ex = view_.ScrollX() > 0 ? -speed(kEdgeZone - pointerX_) : 0;
    } else if (pointerX_ >= w - kEdgeZone) {
      ex = view_.ScrollX() < view_.MaxScrollX() ? speed(pointerX_ - (w - kEdgeZone) + 1) : 0;
    }
    if (pointerY_ < kEdgeZone) {
      ey = view_.ScrollY() > 0 ? -speed(kEdgeZone - pointerY_) : 0;
    } else if (pointerY_ >= h - kEdgeZone) {
      ey = view_.ScrollY() < view_.MaxScrollY() ? speed(pointerY_ - (h - kEdgeZone) + 1) : 0;
    }
  }
  edgeX_ = ex;
  edgeY_ = ey;
  if (ex != 0 || ey != 0) {
    if (!edgeTimer_) {
      edgeTimer_ = platform_.CreateTimer(kEdgeInterval, true, [this] { EdgeScrollStep(); });
    } else {
      edgeTimer_->SetEnabled(true);
    }
  } else if (edgeTimer_) {
    edgeTimer_->SetEnabled(false);
  }
}

void TSpriteDraw::stopEdgeScroll() {
  edgeX_ = 0;
  edgeY_ = 0;
  if (edgeTimer_) edgeTimer_->SetEnabled(false);
}

void TSpriteDraw::EdgeScrollStep() {
  if (gamePaused_ || (!dragging_ && !groupDragging_) || (edgeX_ == 0 && edgeY_ == 0)) {
    stopEdgeScroll();
    return;
  }
  // Moving the view moves the piece with it and works out the next step.
  if (!ScrollViewBy(edgeX_, edgeY_)) updateEdgeScroll();
}

// ---- The overview map ----

bool TSpriteDraw::OverviewShown() const {
  return view_.CanPan() && piecesVisible_ && overviewFits();
}

bool TSpriteDraw::overviewFits() const {
  return view_.ViewWidth() >= kOverviewMinView &&
         view_.ViewHeight() >= kOverviewMinView * 3 / 4 && boardWidth_ > 0 && boardHeight_ > 0;
}

void TSpriteDraw::fitOverscroll() {
  // The view scrolls past the table's far corner far enough to bring it out
  // from under the map.
  const TRect r = overviewPlace();
  view_.SetOverscroll(r.Right > r.Left ? r.Right - r.Left + 2 * kOverviewMargin : 0,
                      r.Bottom > r.Top ? r.Bottom - r.Top + 2 * kOverviewMargin : 0);
}

TRect TSpriteDraw::OverviewRect() const {
  if (!OverviewShown()) return TRect{};
  return overviewPlace();
}

TRect TSpriteDraw::overviewPlace() const {
  if (!overviewFits()) return TRect{};
  const double maxW = std::min(kOverviewMaxWidth, view_.ViewWidth() / 4);
  const double maxH = std::min(kOverviewMaxHeight, view_.ViewHeight() / 4);
  const double scale = std::min(maxW / boardWidth_, maxH / boardHeight_);
  const int w = std::max(8, int(std::lround(boardWidth_ * scale))) + 2;
  const int h = std::max(8, int(std::lround(boardHeight_ * scale))) + 2;
  const int left = view_.ViewWidth() - w - kOverviewMargin;
  const int top = view_.ViewHeight() - h - kOverviewMargin;
  return TRect{left, top, left + w, top + h};
}

void TSpriteDraw::renderOverview() {
  const TRect r = OverviewRect();
  const int w = r.Right - r.Left;
  const int h = r.Bottom - r.Top;
  overview_.SetSize(w, h);
  overviewFresh_ = true;
  if (overview_.Empty()) return;
  overview_.Clear(kOverviewFrame);
  const double sx = double(w - 2) / boardWidth_;
  const double sy = double(h - 2) / boardHeight_;
  overview_.FillRect(1, 1, w - 1, h - 1, platform_.WorkspaceColor() | 0xFF000000u);
  // Each piece a small patch of the colour of its middle, in stacking order.
  for (auto it = stackingOrder_.rbegin(); it != stackingOrder_.rend(); ++it) {
    const TPieceSprite& p = pieces_[it->Row][it->Col];
    const int pw = RotatedWidth(p);
    const int ph = RotatedHeight(p);
    const int x0 = 1 + int(std::floor(p.X * sx));
    const int y0 = 1 + int(std::floor(p.Y * sy));
    const int x1 = std::max(x0 + 1, 1 + int(std::floor((double(p.X) + pw * 0.75) * sx)));
    const int y1 = std::max(y0 + 1, 1 + int(std::floor((double(p.Y) + ph * 0.75) * sy)));
    overview_.FillRect(std::max(1, x0), std::max(1, y0), std::min(w - 1, x1), std::min(h - 1, y1),
                       pieceColours_[indexOf(it->Row, it->Col)]);
  }
  const TRect v = view_.VisibleTable();
  const int vx0 = std::clamp(1 + int(std::floor(v.Left * sx)), 0, w - 1);
  const int vy0 = std::clamp(1 + int(std::floor(v.Top * sy)), 0, h - 1);
  const int vx1 = std::clamp(1 + int(std::ceil(v.Right * sx)), vx0 + 1, w);
  const int vy1 = std::clamp(1 + int(std::ceil(v.Bottom * sy)), vy0 + 1, h);
  overview_.FrameRectS(TRect{vx0, vy0, vx1, vy1}, kOverviewViewRect);
}

void TSpriteDraw::drawOverview(TBitmap32& target) {
  if (!OverviewShown()) return;
  if (!overviewFresh_) renderOverview();
  const TRect r = OverviewRect();
  const int w = std::min(overview_.Width(), target.Width() - r.Left);
  for (int y = 0; y < overview_.Height(); ++y) {
    if (r.Top + y < 0 || r.Top + y >= target.Height() || r.Left < 0 || w <= 0) continue;
    std::copy_n(overview_.ScanLine(y), w, target.ScanLine(r.Top + y) + r.Left);
  }
}

bool TSpriteDraw::overviewPress(int vx, int vy) {
  const TRect r = OverviewRect();
  if (r.Right <= r.Left || vx < r.Left || vx >= r.Right || vy < r.Top || vy >= r.Bottom) {
    return false;
  }
  const double tx = double(std::clamp(vx - r.Left - 1, 0, r.Right - r.Left - 2)) * boardWidth_ /
                    std::max(1, r.Right - r.Left - 2);
  const double ty = double(std::clamp(vy - r.Top - 1, 0, r.Bottom - r.Top - 2)) * boardHeight_ /
                    std::max(1, r.Bottom - r.Top - 2);
  CentreViewOn(int(tx), int(ty));
  return true;
}

}  // namespace duduri
