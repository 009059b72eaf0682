#include "pieces/CountGrid.h"

#include <algorithm>
#include <cmath>

#include "raster/Picture.h"

namespace duduri {

namespace {

// The largest piece side the search prefers: pieces that are comfortable
// to pick at 1:1 on a desktop screen, and smaller for more pieces so that
// the sprites of a big puzzle stay within a desktop's memory.
double comfortableSide(std::int32_t pieces) {
  if (pieces <= 1200) return 59;
  if (pieces <= 2500) return 47;
  return 37;
}

// Below this the pieces get too small to pick; the master set's smallest
// entry is 29.
constexpr double kSmallestSide = 29;

// How much each kind of misfit weighs: a picture squeezed 5 % out of shape
// is as bad as pieces 20 % off the preferred size or a count 10 % off.
constexpr double kAspectWeight = 4;
constexpr double kSizeWeight = 1;
constexpr double kCountWeight = 2;
// Square pieces are what people expect of a jigsaw; oblong entries are taken
// only where they fit clearly better.
constexpr double kOblongWeight = 1;

// A reduced decode may be enlarged by at most this share (per cent of the
// cut's size it must reach).
constexpr std::int64_t kMostEnlarged = 88;

struct TScored {
  TCountGrid Grid;
  double Score = 0;
};

bool withinLimits(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels && width <= 65535 && height <= 65535;
}

}  // namespace

bool IsBigPieceCount(TPieceCount count) {
  return count.Low > 200 && count.High >= count.Low && !(count.Low == 201 && count.High == 65535);
}

TPieceCount PieceCountAround(std::int32_t n) {
  const std::int64_t pieces = std::max<std::int64_t>(n, 0);
  return TPieceCount{std::int32_t(pieces * 9 / 10), std::int32_t((pieces * 11 + 9) / 10)};
}

std::int32_t TargetPieceCount(TPieceCount count) {
  const std::int64_t low = std::min<std::int64_t>(count.Low, kMaxBigPuzzlePieces);
  const std::int64_t high = std::clamp<std::int64_t>(count.High, low, kMaxBigPuzzlePieces);
  return std::int32_t((low + std::min(high, low + low / 4)) / 2);
}

double PreferredPieceSide(std::int32_t pieces, std::int32_t pictureWidth,
                          std::int32_t pictureHeight) {
  if (pieces <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return kSmallestSide;
  // The side at which the picture is cut at its own resolution: larger
  // pieces would only enlarge it.
  const double natural = std::sqrt(double(pictureWidth) * double(pictureHeight) / pieces);
  return std::clamp(natural, kSmallestSide, comfortableSide(pieces));
}

TCountGrid ChooseCountGrid(const std::vector<TGridEntry>& grid, std::int32_t pictureWidth,
                           std::int32_t pictureHeight, TPieceCount count) {
  TScored best;
  bool found = false;
  if (pictureWidth <= 0 || pictureHeight <= 0 || count.High < count.Low) return best.Grid;
  const std::int64_t low = std::min<std::int64_t>(std::max(count.Low, 1), kMaxBigPuzzlePieces);
  const std::int64_t high = std::clamp<std::int64_t>(count.High, low, kMaxBigPuzzlePieces);
  const std::int32_t target = TargetPieceCount({std::int32_t(low), std::int32_t(high)});
  const double side = PreferredPieceSide(target, pictureWidth, pictureHeight);
  const double pictureAspect = double(pictureWidth) / double(pictureHeight);

  for (std::size_t i = 0; i < grid.size(); ++i) {
    const TGridEntry e = grid[i];
    if (e.Width == 0 || e.Height == 0) continue;
    // Columns over rows that keep the picture's shape with this entry.
    const double ratio = pictureAspect * double(e.Height) / double(e.Width);
    const double idealRows = std::sqrt(double(target) / ratio);
    const auto firstRow = std::int64_t(std::max(1.0, std::floor(idealRows) - 1));
    const auto lastRow = std::int64_t(std::ceil(idealRows) + 1);
    for (std::int64_t rows = firstRow; rows <= lastRow; ++rows) {
      const std::int64_t shaped = std::llround(ratio * double(rows));
      const std::int64_t candidates[] = {target / rows, (target + rows - 1) / rows, shaped};
      for (const std::int64_t columns : candidates) {
        if (columns < 1) continue;
        const std::int64_t pieces = columns * rows;
        if (pieces < low || pieces > high) continue;
        const std::int64_t width = columns * e.Width;
        const std::int64_t height = rows * e.Height;
        if (!withinLimits(width, height)) continue;
        const double aspect = std::abs(std::log(double(width) / double(height) / pictureAspect));
        const double size =
            std::abs(std::log(std::sqrt(double(e.Width) * double(e.Height)) / side));
        const double off = std::abs(std::log(double(pieces) / double(target)));
        const double oblong = std::abs(std::log(double(e.Width) / double(e.Height)));
        const double score = kAspectWeight * aspect + kSizeWeight * size + kCountWeight * off +
                             kOblongWeight * oblong;
        if (found && !(score < best.Score)) continue;
        found = true;
        best.Score = score;
        best.Grid = TCountGrid{std::int32_t(i), std::int32_t(columns), std::int32_t(rows),
                               std::int32_t(width), std::int32_t(height)};
      }
    }
  }
  return best.Grid;
}

TCountGrid SavedCountGrid(const std::vector<TGridEntry>& grid, std::int32_t entry,
                          std::int32_t columns, std::int32_t rows) {
  if (entry < 0 || std::size_t(entry) >= grid.size() || columns < 1 || rows < 1) return {};
  const TGridEntry e = grid[std::size_t(entry)];
  const std::int64_t width = std::int64_t(columns) * e.Width;
  const std::int64_t height = std::int64_t(rows) * e.Height;
  if (!withinLimits(width, height)) return {};
  return TCountGrid{entry, columns, rows, std::int32_t(width), std::int32_t(height)};
}

TTableSize TableSizeFor(std::int32_t scaledWidth, std::int32_t scaledHeight,
                        std::int32_t viewWidth, std::int32_t viewHeight) {
  const std::int64_t vw = std::max(viewWidth, 1);
  const std::int64_t vh = std::max(viewHeight, 1);
  // Pieces reach into their neighbours' cells with their knobs and lie apart
  // before they are joined: three picture areas hold them with little
  // overlap, besides the picture itself when it is assembled in the middle.
  const double area = 3.0 * double(std::max(scaledWidth, 0)) * double(std::max(scaledHeight, 0));
  const double aspect = double(vw) / double(vh);
  std::int64_t width = std::llround(std::sqrt(area * aspect));
  std::int64_t height = std::llround(std::sqrt(area / aspect));
  // Room for the picture with a border for the pieces that are not yet in it.
  const std::int64_t margin = 2 * std::int64_t(std::max(scaledWidth, scaledHeight)) / 10;
  width = std::max({width, vw, std::int64_t(scaledWidth) + 2 * margin});
  height = std::max({height, vh, std::int64_t(scaledHeight) + 2 * margin});
  width = std::min<std::int64_t>(width, kMaxPictureSide * 4);
  height = std::min<std::int64_t>(height, kMaxPictureSide * 4);
  return TTableSize{std::int32_t(width), std::int32_t(height)};
}

int DecodeEighthsFor(std::int32_t pictureWidth, std::int32_t pictureHeight,
                     std::int32_t targetWidth, std::int32_t targetHeight) {
  // Only halving steps: the decoder has fast paths for them, while other
  // eighths cost nearly a whole decode. A picture a little smaller than the
  // cut is enlarged the rest of the way, which a photo hardly shows.
  for (int m : {1, 2, 4}) {
    const std::int64_t w = (std::int64_t(pictureWidth) * m + 7) / 8;
    const std::int64_t h = (std::int64_t(pictureHeight) * m + 7) / 8;
    if (w * 100 >= std::int64_t(targetWidth) * kMostEnlarged &&
        h * 100 >= std::int64_t(targetHeight) * kMostEnlarged) {
      return m;
    }
  }
  return 8;
}

}  // namespace duduri
