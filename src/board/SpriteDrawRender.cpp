// Frames. Every piece that is not moving lives in the static layer, which is
// rebuilt only when the set of moving ("active") pieces changes; a frame is a
// copy of that layer with the few active sprites drawn on top, straight from
// their encoded runs. While a pointer is held the frames come from the idle
// hook and go to the control without a repaint (Present); Publish makes the
// last frame of an action stick in the control's own picture.

#include <algorithm>

#include "board/SpriteBlit.h"
#include "board/SpriteDraw.h"
#include "board/ZoomedSprites.h"
#include "pieces/RLE.h"
#include "pieces/SpriteWork.h"

namespace duduri {

namespace {

constexpr std::uint32_t kSelectedAlpha = 127;
constexpr std::uint32_t kShadowAlpha = 220;
constexpr int kShadowShift = 4;
constexpr TColor32 kBandColor = 0xFF0000FF;

}  // namespace

bool TSpriteDraw::visible(const TPieceSprite& p) const {
  return visibleIn(p, view_.VisibleTable());
}

bool TSpriteDraw::visibleIn(const TPieceSprite& p, const TRect& v) {
  const std::int64_t right = std::int64_t(p.X) + RotatedWidth(p);
  const std::int64_t bottom = std::int64_t(p.Y) + RotatedHeight(p);
  return p.X < v.Right && p.Y < v.Bottom && right > v.Left && bottom > v.Top;
}

const TColor32* TSpriteDraw::decodedSprite(const TPieceSprite& p) {
  const int r = p.Rotation & 3;
  const std::size_t pixels = std::size_t(p.Width) * std::size_t(p.Height);
  decodeScratch_.assign(pixels, 0);
  try {
    DecodeBufferChecked(p.RleData[r]->data(), std::size_t(p.RleSize[r]), decodeScratch_.data(),
                        pixels * sizeof(TColor32));
  } catch (const ERLEError&) {
    return nullptr;
  }
  return decodeScratch_.data();
}

void TSpriteDraw::drawShadow(TBitmap32& target, TPieceSprite& p) {
  ensureShadow(p);
  const int r = p.Rotation & 3;
  const int w = RotatedWidth(p);
  const int h = RotatedHeight(p);
  const TShadowBlock& shadow = p.ShadowData[r];
  if (!shadow || shadow->size() < std::size_t(w) * std::size_t(h)) return;
  if (view_.Zoom() == 1.0) {
    DrawPixelBlock(PixelTarget(target), p.X + kShadowShift - view_.ScrollX(),
                   p.Y + kShadowShift - view_.ScrollY(), shadow->data(), w, h, kShadowAlpha);
    return;
  }
  DrawMappedBlock(PixelTarget(target), view_, p.X + kShadowShift, p.Y + kShadowShift, w, h,
                  shadow->data(), 0, kShadowAlpha);
}

const TColor32* TSpriteDraw::zoomedPixels(int row, int col, int level) {
  TPieceSprite& p = pieces_[row][col];
  return level > 0 ? zoomed_.Get(indexOf(row, col), p, level) : decodedSprite(p);
}

void TSpriteDraw::drawSelectedInBands() {
  // Zoomed out, thousands of selected pieces are drawn every frame: band by
  // band, so the rows they blend into stay in the cache. Each pixel still
  // gets its pieces in grid order.
  constexpr int kBand = 32;
  const int level = ReduceLevelFor(view_.Zoom());
  const int height = backBuffer_.Height();
  const int bands = (height + kBand - 1) / kBand;
  if (bands <= 0) return;
  struct TEntry {
    int row, col;
    const TColor32* pixels;
  };
  std::vector<std::vector<TEntry>> inBand(static_cast<std::size_t>(bands));
  const TRect shown = view_.VisibleTable();
  for (int row = 0; row < piecesY_; ++row) {
    for (int col = 0; col < piecesX_; ++col) {
      const TPieceSprite& p = pieces_[row][col];
      if (p.Selected != 1 || !p.RleData[p.Rotation & 3] || !visibleIn(p, shown)) continue;
      // Level 0 decodes into one scratch block, so it is not kept here.
      const TColor32* pixels = level > 0 ? zoomedPixels(row, col, level) : nullptr;
      if (level > 0 && !pixels) continue;
      const int top = std::clamp(view_.ViewYOf(p.Y), 0, height);
      const int bottom = std::clamp(view_.ViewYOf(double(p.Y) + RotatedHeight(p)), 0, height);
      for (int b = top / kBand; b * kBand < bottom && b < bands; ++b) {
        inBand[std::size_t(b)].push_back(TEntry{row, col, pixels});
      }
    }
  }
  for (int b = 0; b < bands; ++b) {
    for (const TEntry& e : inBand[std::size_t(b)]) {
      const TPieceSprite& p = pieces_[e.row][e.col];
      const TColor32* pixels = e.pixels ? e.pixels : decodedSprite(p);
      DrawMappedBlock(PixelTarget(backBuffer_), view_, p.X, p.Y, RotatedWidth(p),
                      RotatedHeight(p), pixels, level, kSelectedAlpha, b * kBand,
                      (b + 1) * kBand);
    }
  }
}

void TSpriteDraw::drawPiece(TBitmap32& target, int row, int col, bool withShadow,
                            std::uint32_t alpha) {
  TPieceSprite& p = pieces_[row][col];
  if (withShadow) drawShadow(target, p);
  const int r = p.Rotation & 3;
  if (!p.RleData[r]) return;
  if (view_.Zoom() == 1.0) {
    DrawRleSprite(PixelTarget(target), p.X - view_.ScrollX(), p.Y - view_.ScrollY(),
                  p.RleData[r]->data(), std::size_t(p.RleSize[r]), RotatedWidth(p),
                  RotatedHeight(p), alpha);
    return;
  }
  if (!visible(p)) return;
  const int level = ReduceLevelFor(view_.Zoom());
  const TColor32* pixels = zoomedPixels(row, col, level);
  DrawMappedBlock(PixelTarget(target), view_, p.X, p.Y, RotatedWidth(p), RotatedHeight(p), pixels,
                  level, alpha);
}

void TSpriteDraw::ensureSprite(TPieceSprite& p) {
  if (!p.RleData[p.Rotation & 3]) MakeTurnedSprite(p, p.Rotation, shadowWork_);
}

void TSpriteDraw::ensureShadow(TPieceSprite& p) {
  if (!shadowsDeferred_) return;
  const int r = p.Rotation & 3;
  if (p.ShadowData[r] || !p.RleData[r]) return;
  const TColor32* pixels = decodedSprite(p);
  if (!pixels) return;
  // As the sprite creator makes them, so that a big puzzle's shadows look
  // like those of any other game.
  p.ShadowData[r] = MakeSpriteShadow(pixels, RotatedWidth(p), RotatedHeight(p), blurTable_,
                                     shadowWork_);
}

void TSpriteDraw::makeShadow(TPieceSprite& p, int rotation) {
  const int r = rotation & 3;
  if (p.ShadowData[r] || !p.RleData[r]) return;
  // Deferred shadows are made when first drawn.
  if (shadowsDeferred_) return;
  const std::size_t pixels = std::size_t(p.Width) * std::size_t(p.Height);
  if (pixels == 0) return;
  shadowScratch_.assign(pixels, 0);
  try {
    DecodeBufferChecked(p.RleData[r]->data(), std::size_t(p.RleSize[r]), shadowScratch_.data(),
                        pixels * sizeof(TColor32));
  } catch (const ERLEError&) {
    return;  // a sprite that does not decode gets no shadow rather than a wrong one
  }
  const int w = (r & 1) ? p.Height : p.Width;
  const int h = (r & 1) ? p.Width : p.Height;
  // In place: averaged pixels feed the sums of later ones, which gives the
  // board's shadows their softer look.
  MakeShadow(shadowScratch_.data(), shadowScratch_.data(), w, blurTable_, kShadowGrey, kShadowGrey,
             kShadowGrey, h);
  p.ShadowData[r] = std::make_shared<const std::vector<TColor32>>(shadowScratch_);
}

void TSpriteDraw::markActive() {
  std::fill(activeMark_.begin(), activeMark_.end(), std::uint8_t(0));
  if (!hasPieces()) return;
  if (group_.empty()) {
    activeMark_[indexOf(currentRow_, currentCol_)] = 1;
  } else {
    for (const SelectedPieceEntry& e : group_) activeMark_[indexOf(e.Row, e.Col)] = 1;
  }
  for (int row = 0; row < piecesY_; ++row) {
    for (int col = 0; col < piecesX_; ++col) {
      if (pieces_[row][col].Selected == 1) activeMark_[indexOf(row, col)] = 1;
    }
  }
}

void TSpriteDraw::RebuildStaticLayer() {
  const TBitmap32& backdrop = viewBackdrop();
  CopyTopLeft(PixelTarget(staticLayer_), backdrop.Bits(), backdrop.Width(), backdrop.Height());
  staticStale_ = false;
  overviewFresh_ = false;
  if (!piecesVisible_) return;
  markActive();
  const TRect shown = view_.VisibleTable();
  for (auto it = stackingOrder_.rbegin(); it != stackingOrder_.rend(); ++it) {
    if (activeMark_[indexOf(it->Row, it->Col)] != 0) continue;
    if (!visibleIn(pieces_[it->Row][it->Col], shown)) continue;
    drawPiece(staticLayer_, it->Row, it->Col, false, 255);
  }
}

void TSpriteDraw::ComposeFrame() {
  if (staticStale_) RebuildStaticLayer();
  if (allSelected_) {
    const TBitmap32& backdrop = viewBackdrop();
    CopyTopLeft(PixelTarget(staticLayer_), backdrop.Bits(), backdrop.Width(), backdrop.Height());
  }
  CopyTopLeft(PixelTarget(backBuffer_), staticLayer_.Bits(), staticLayer_.Width(),
              staticLayer_.Height());
  if (!piecesVisible_ || !hasPieces()) return;

  if (view_.Zoom() != 1.0) {
    drawSelectedInBands();
  } else {
    for (int row = 0; row < piecesY_; ++row) {
      for (int col = 0; col < piecesX_; ++col) {
        if (pieces_[row][col].Selected == 1) drawPiece(backBuffer_, row, col, false, kSelectedAlpha);
      }
    }
  }

  if (!noPieceShadow_ && groupDragging_) {
    for (const SelectedPieceEntry& e : group_) {
      if (e.CastsShadow == 1) drawShadow(backBuffer_, pieces_[e.Row][e.Col]);
    }
  }
  for (const SelectedPieceEntry& e : group_) drawPiece(backBuffer_, e.Row, e.Col, false, 255);

  if (group_.empty()) {
    const TPieceSprite& current = pieces_[currentRow_][currentCol_];
    if (current.Selected != 1) {
      const bool shadow = !noPieceShadow_ && (dragging_ || (moved_ && !bandSelecting_));
      drawPiece(backBuffer_, currentRow_, currentCol_, shadow, 255);
    }
  }
  drawOverview(backBuffer_);
}

bool TSpriteDraw::present() {
  if (onPiecesDraw_) return raise(onPiecesDraw_, TSender(this), backBuffer_.Bits());
  host_.PaintFrame(backBuffer_);
  return true;
}

void TSpriteDraw::Present() {
  present();
}

void TSpriteDraw::Publish() {
  host_.PublishFrame(backBuffer_);
}

void TSpriteDraw::ShowBackgroundOnly() {
  const TBitmap32& backdrop = viewBackdrop();
  CopyTopLeft(PixelTarget(backBuffer_), backdrop.Bits(), backdrop.Width(), backdrop.Height());
}

bool TSpriteDraw::redraw(bool full) {
  if (full) {
    RebuildStaticLayer();
    ComposeFrame();
  } else if (!bandSelecting_) {
    if (firstDraw_) {
      RebuildStaticLayer();
      firstDraw_ = false;
    }
    ComposeFrame();
  }
  if (!present()) return false;
  Publish();
  return true;
}

void TSpriteDraw::Redraw(bool Full) {
  redraw(Full);
}

void TSpriteDraw::drawBand() {
  CopyTopLeft(PixelTarget(backBuffer_), staticLayer_.Bits(), staticLayer_.Width(),
              staticLayer_.Height());
  if (bandEndX_ > bandStartX_ && bandEndY_ > bandStartY_) {
    // The band lives on the table; it is drawn where the view shows it.
    const TBoardPoint a = TableToView(bandStartX_, bandStartY_);
    const TBoardPoint b = TableToView(bandEndX_, bandEndY_);
    if (b.X > a.X && b.Y > a.Y) backBuffer_.FrameRectS(TRect{a.X, a.Y, b.X, b.Y}, kBandColor);
  }
  drawOverview(backBuffer_);
}

void TSpriteDraw::IdleRedraw(bool& Done) {
  if (!drawContinue_ && !firstDraw_) return;
  Done = false;
  if (firstDraw_) {
    if (!redraw(false)) return;
    firstDraw_ = false;
    removeIdle();
    return;
  }
  if (bandSelecting_ && moved_ && !rightPressed_) {
    drawBand();
  } else {
    ComposeFrame();
  }
  present();
}

void TSpriteDraw::installIdle() {
  // Installed again on every call: the host may have detached it meanwhile.
  idleInstalled_ = true;
  platform_.SetIdleHandler([this](bool& done) { IdleRedraw(done); });
}

void TSpriteDraw::removeIdle() {
  if (!idleInstalled_) return;
  idleInstalled_ = false;
  platform_.SetIdleHandler(nullptr);
}

void TSpriteDraw::SetOnPiecesDraw(TPiecesDrawEvent handler) {
  onPiecesDraw_ = Slot(std::move(handler));
  installIdle();
}

}  // namespace duduri
