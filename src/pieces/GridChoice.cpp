// The choice of the piece grid: SetDifficulty's quick preselection and
// ChooseGrid's search over grid entries and picture scales.
//
// ChooseGrid's arithmetic is kept exactly as it has always run, 16-bit
// wraparound and single-precision scale steps included: a saved game is
// restored by running the same search again, so any other rounding would cut
// a different grid from the same picture.

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "pieces/GridMath.h"
#include "pieces/PieceCollection.h"

namespace duduri {

using gridmath::RoundDiv;

namespace {

// Round(v) of a single-precision value, kept in 16 bits.
std::uint16_t roundToU16(float v) {
  return std::uint16_t(std::int64_t(std::nearbyint(v)));
}

[[noreturn]] void unusable(const std::string& what) {
  throw ETemplateError("unusable template set: " + what);
}

}  // namespace

TPieceCountRange PieceCountRange(int difficulty) {
  switch (difficulty) {
    case 0:
      return {5, 25};
    case 1:
      return {25, 50};
    case 2:
      return {50, 100};
    case 3:
      return {100, 150};
    case 4:
      return {150, 200};
    case 5:
      return {200, 65535};
    default:
      return {0, 0};
  }
}

bool TPzJigsawPieceCollection::hasGrid() const {
  return gridIndex_ >= 0 && gridIndex_ < GridCount() && gridTable_[gridIndex_].Width != 0 &&
         gridTable_[gridIndex_].Height != 0;
}

std::int32_t TPzJigsawPieceCollection::scaledWidth() const {
  return pendingScale_ ? pendingScale_->Width : scaledPicture_.Width();
}

std::int32_t TPzJigsawPieceCollection::scaledHeight() const {
  return pendingScale_ ? pendingScale_->Height : scaledPicture_.Height();
}

std::uint16_t TPzJigsawPieceCollection::Columns() const {
  if (!hasGrid()) return 0;
  return std::uint16_t(RoundDiv(std::uint32_t(scaledWidth()), gridTable_[gridIndex_].Width));
}

std::uint16_t TPzJigsawPieceCollection::Rows() const {
  if (!hasGrid()) return 0;
  return std::uint16_t(RoundDiv(std::uint32_t(scaledHeight()), gridTable_[gridIndex_].Height));
}

std::uint16_t TPzJigsawPieceCollection::ScaledWidth() const {
  return hasGrid() ? std::uint16_t(scaledWidth()) : 0;
}

std::uint16_t TPzJigsawPieceCollection::ScaledHeight() const {
  return hasGrid() ? std::uint16_t(scaledHeight()) : 0;
}

TBitmap32& TPzJigsawPieceCollection::Picture() {
  // The caller may change the picture: a decided resizing is made from the
  // picture it was decided for.
  realizeScaledPicture();
  return picture_;
}

TBitmap32& TPzJigsawPieceCollection::ScaledPicture() {
  realizeScaledPicture();
  return scaledPicture_;
}

const TBitmap32& TPzJigsawPieceCollection::ScaledPicture() const {
  realizeScaledPicture();
  return scaledPicture_;
}

void TPzJigsawPieceCollection::scalePictureTo(std::int32_t width, std::int32_t height, bool copy) {
  pendingScale_ = TPendingScale{width, height, copy};
}

void TPzJigsawPieceCollection::realizeScaledPicture() const {
  if (!pendingScale_) return;
  const TPendingScale job = *pendingScale_;
  pendingScale_.reset();
  if (job.Copy) {
    scaledPicture_.Assign(picture_);
    return;
  }
  scaledPicture_.SetSize(job.Width, job.Height);
  if (scaledPicture_.Empty() || picture_.Empty()) return;
  // Resampled nearest-neighbour and copied as it is, whatever drawing state
  // the picture was handed in with.
  if (picture_.DrawMode() == dmOpaque && picture_.StretchFilter() == sfNearest) {
    scaledPicture_.Draw(scaledPicture_.BoundsRect(), picture_.BoundsRect(), picture_);
    return;
  }
  TBitmap32 plain;
  plain.Assign(picture_);
  plain.SetDrawMode(dmOpaque);
  plain.SetStretchFilter(sfNearest);
  scaledPicture_.Draw(scaledPicture_.BoundsRect(), plain.BoundsRect(), plain);
}

void TPzJigsawPieceCollection::SelectGrid(int i) {
  if (i < -1 || i >= GridCount())
    throw EPieceError("Grid entry " + std::to_string(i) + " does not exist.");
  gridIndex_ = i;
  if (i == -1) return;
  if (picture_.Width() == 0) {
    // Nothing of an earlier picture may stay behind to be cut.
    scalePictureTo(0, 0);
    return;
  }
  const TGridEntry e = gridTable_[i];
  if (e.Width == 0 || e.Height == 0)
    throw EPieceError("Grid entry " + std::to_string(i) + " has no size.");
  const auto w = std::int32_t(e.Width * RoundDiv(std::uint32_t(picture_.Width()), e.Width));
  const auto h = std::int32_t(RoundDiv(std::uint32_t(picture_.Height()), e.Height) * e.Height);
  scalePictureTo(w, h);
}

void TPzJigsawPieceCollection::SetDifficulty(int index) {
  difficulty_ = std::uint8_t(index);
  TPieceCountRange range = PieceCountRange(difficulty_);
  if (difficulty_ == 0) range.Low = 0;
  gridIndex_ = -1;
  // Every matching entry is selected in turn and the last one stays; only the
  // last selection's scaling is visible, so only that one is carried out.
  int last = -1;
  for (int i = 0; i < GridCount(); ++i) {
    const TGridEntry e = gridTable_[i];
    if (e.Width == 0 || e.Height == 0) continue;
    const auto count = std::int32_t(std::uint32_t(picture_.Width() / e.Width) *
                                    std::uint32_t(picture_.Height() / e.Height));
    if (count >= range.Low && count <= range.High) last = i;
  }
  if (last >= 0) SelectGrid(last);
}

void TPzJigsawPieceCollection::SelectCountGrid(const TCountGrid& grid) {
  if (grid.Entry < -1 || grid.Entry >= GridCount())
    throw EPieceError("Grid entry " + std::to_string(grid.Entry) + " does not exist.");
  gridIndex_ = grid.Entry;
  if (grid.Entry < 0 || picture_.Empty()) {
    scalePictureTo(0, 0);
    return;
  }
  const bool copy = grid.ScaledWidth == picture_.Width() && grid.ScaledHeight == picture_.Height();
  scalePictureTo(grid.ScaledWidth, grid.ScaledHeight, copy);
}

void TPzJigsawPieceCollection::ChooseGrid() {
  if (picture_.Width() > 65535 || picture_.Height() > 65535)
    throw EPieceError("The picture is too large to be cut into pieces.");
  if (IsBigPieceCount(countRange_)) {
    if (picture_.Empty()) {
      gridIndex_ = -1;
      scalePictureTo(0, 0);
      return;
    }
    const bool sized = countPictureWidth_ > 0 && countPictureHeight_ > 0;
    const TCountGrid grid =
        ChooseCountGrid(gridTable_, sized ? countPictureWidth_ : picture_.Width(),
                        sized ? countPictureHeight_ : picture_.Height(), countRange_);
    if (grid.Entry < 0) {
      unusable("no grid entry gives " + std::to_string(countRange_.Low) + ".." +
               std::to_string(countRange_.High) + " pieces for a " +
               std::to_string(picture_.Width()) + "x" + std::to_string(picture_.Height()) +
               " picture");
    }
    SelectCountGrid(grid);
    return;
  }
  const TPieceCountRange range = PieceCountRange(difficulty_);
  const std::uint32_t lo = range.Low;
  const std::uint32_t hi = range.High;

  std::uint16_t w = std::uint16_t(picture_.Width());
  std::uint16_t h = std::uint16_t(picture_.Height());
  while (w > maxWidth_ || h > maxHeight_) {
    const auto nw = std::uint16_t(std::int64_t(std::nearbyint(double(w) * 0.975)));
    const auto nh = std::uint16_t(std::int64_t(std::nearbyint(double(h) * 0.975)));
    if (nw == w && nh == h) break;  // below 21 pixels a step no longer shrinks
    w = nw;
    h = nh;
  }
  if (w == 0 || h == 0) {
    // An empty picture has no grid; with one side 0 no count could ever
    // reach a range, and the search would never end.
    scalePictureTo(0, 0);
    return;
  }

  gridIndex_ = -1;
  std::uint16_t bestW = 0;
  std::uint16_t bestH = 0;
  std::uint16_t bestDiff = 65535;
  // The working size only ever takes a few values (set to 640x480 or
  // doubled); meeting one again means no grid entry can ever give a count in
  // range, where the search would otherwise go round for ever.
  std::set<std::pair<std::uint16_t, std::uint16_t>> tried;
  for (;;) {
    if (!tried.insert({w, h}).second) {
      unusable("no grid entry gives " + std::to_string(lo) + ".." + std::to_string(hi) +
               " pieces for a " + std::to_string(picture_.Width()) + "x" +
               std::to_string(picture_.Height()) + " picture");
    }
    bestDiff = 65535;
    float s = 1.0f;
    float step = -0.025f;
    const std::int64_t area = std::int64_t(w) * h;
    while (s < 2.0f && bestDiff > 0) {
      const std::uint16_t sW = roundToU16(float(w) * s);
      const std::uint16_t sH = roundToU16(float(h) * s);
      for (int i = 0; i < GridCount(); ++i) {
        const TGridEntry e = gridTable_[i];
        if (e.Width == 0 || e.Height == 0) continue;
        const auto cols = std::uint16_t(RoundDiv(sW, e.Width));
        const auto rows = std::uint16_t(RoundDiv(sH, e.Height));
        const auto count = std::uint16_t(std::uint32_t(cols) * rows);
        if (count < lo || count > hi) continue;
        const std::int64_t diff = std::llabs(std::int64_t(sW) * sH - area);
        if (diff < bestDiff) {
          gridIndex_ = i;
          bestW = std::uint16_t(e.Width * cols);
          bestH = std::uint16_t(e.Height * rows);
          // The fit is kept as the low 16 bits of a 32-bit difference.
          std::uint32_t d = std::uint32_t(bestW) * bestH - std::uint32_t(w) * h;
          if (std::int32_t(d) < 0) d = 0u - d;
          bestDiff = std::uint16_t(d);
        }
      }
      s = s + step;
      if (step < 0 && std::nearbyint(s * 10.0f) < 3.0f) {
        step = 0.025f;
        s = 1.0f;
      }
    }
    if (gridIndex_ >= 0) break;
    if (w > 640 && h > 480) {
      w = 640;
      h = 480;
    } else {
      w = std::uint16_t(w * 2);
      h = std::uint16_t(h * 2);
    }
  }

  const bool copy = bestDiff == 0 && bestW == picture_.Width() && bestH == picture_.Height();
  scalePictureTo(bestW, bestH, copy);
}

}  // namespace duduri
