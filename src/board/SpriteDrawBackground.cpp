// The backdrop behind the pieces: the workspace colour, or a picture placed
// at the top-left, centred, tiled or stretched over the play area.

#include <algorithm>

#include "board/SpriteBlit.h"
#include "board/SpriteDraw.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

TBitmap32 DecodeBackdrop(std::span<const std::byte> stream) {
  TBitmap32 picture;
  picture.Assign(DecodeJpeg(stream));
  return picture;
}

}  // namespace

std::vector<TBoardPoint> TSpriteDraw::TilePlacements(int width, int height, int pw, int ph) {
  std::vector<TBoardPoint> placements;
  if (pw <= 0 || ph <= 0 || width <= 0 || height <= 0) return placements;
  // One more than needed to cover the area on each axis; the extra copies lie
  // outside it and are clipped away.
  const int across = width / pw + (width % pw > 0 ? 1 : 0) + 1;
  const int down = height / ph + (height % ph > 0 ? 1 : 0) + 1;
  placements.reserve(std::size_t(across) * std::size_t(down));
  for (int j = 0; j < down; ++j) {
    for (int i = 0; i < across; ++i) placements.push_back(TBoardPoint{i * pw, j * ph});
  }
  return placements;
}

void TSpriteDraw::SetBackground(const TSpriteDrawParam& param, int width, int height) {
  bandSelecting_ = false;
  viewBackdropFresh_ = false;
  overviewFresh_ = false;
  if (bigTable_) {
    // The table keeps its size: width x height is the view's, and the
    // backdrop is kept as a picture to be placed over the table.
    width = std::max(0, width);
    height = std::max(0, height);
    view_.SetViewSize(width, height);
    fitOverscroll();
    backgroundLayer_.SetSize(width, height);
    staticLayer_.SetSize(width, height);
    backBuffer_.SetSize(width, height);
    setBackdropSource(TBitmap32(), -1);
    if (param.BackgroundStream.empty()) return;
    TBitmap32 picture = DecodeBackdrop(param.BackgroundStream);
    backgroundStyle_ = param.BackgroundStyle;
    setBackdropSource(std::move(picture), param.BackgroundStyle);
    return;
  }
  boardWidth_ = std::max(0, width);
  boardHeight_ = std::max(0, height);
  view_.Reset(boardWidth_, boardHeight_, boardWidth_, boardHeight_);
  fitOverscroll();
  backgroundLayer_.SetSize(boardWidth_, boardHeight_);
  staticLayer_.SetSize(boardWidth_, boardHeight_);
  backBuffer_.SetSize(boardWidth_, boardHeight_);
  backgroundLayer_.Clear(platform_.WorkspaceColor() | 0xFF000000u);
  if (param.BackgroundStream.empty()) return;

  // A stream that is not a JPEG throws here and leaves the workspace colour.
  TBitmap32 picture = DecodeBackdrop(param.BackgroundStream);
  backgroundStyle_ = param.BackgroundStyle;
  const int pw = picture.Width();
  const int ph = picture.Height();
  switch (param.BackgroundStyle) {
    case kBackgroundTopLeft:
      backgroundLayer_.Draw(0, 0, picture);
      break;
    case kBackgroundCentered:
      backgroundLayer_.Draw((boardWidth_ - pw) / 2, (boardHeight_ - ph) / 2, picture);
      break;
    case kBackgroundTiled:
      for (const TBoardPoint& at : TilePlacements(boardWidth_, boardHeight_, pw, ph)) {
        backgroundLayer_.Draw(at.X, at.Y, picture);
      }
      break;
    case kBackgroundStretched:
      if (pw > 0 && ph > 0) {
        backgroundLayer_.Draw(TRect{0, 0, boardWidth_, boardHeight_}, TRect{0, 0, pw, ph}, picture);
      }
      break;
    default:
      break;  // an unknown style keeps the workspace colour
  }
  // A picture that covers the whole play area is shown from its top-left
  // corner at its own size, whatever the style.
  if (pw >= boardWidth_ && ph >= boardHeight_) backgroundLayer_ = std::move(picture);
}

void TSpriteDraw::SetBackgroundName(const std::string& name) {
  TBitmap32 picture;
  picture.LoadFromFile(name);
  picture.SetDrawMode(dmOpaque);
  if (bigTable_) {
    setBackdropSource(std::move(picture), kBackgroundTopLeft);
  } else {
    backgroundLayer_ = std::move(picture);
    viewBackdropFresh_ = false;
  }
  staticLayer_.Clear(0xFF000000u);
  RebuildStaticLayer();
  redraw(false);
}

void TSpriteDraw::SetBackgroundStream(std::span<const std::byte> stream) {
  TBitmap32 picture = DecodeBackdrop(stream);
  picture.SetDrawMode(dmOpaque);
  if (bigTable_) {
    setBackdropSource(std::move(picture), kBackgroundTopLeft);
  } else {
    backgroundLayer_ = std::move(picture);
    viewBackdropFresh_ = false;
  }
  staticLayer_.Clear(0xFF000000u);
  RebuildStaticLayer();
  redraw(false);
}

}  // namespace duduri
