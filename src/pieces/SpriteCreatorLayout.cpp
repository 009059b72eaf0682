// The cell grid of the sprite creator: the solution picture it sizes, the
// scale search that fits a piece-count range, and the shape layout on the
// cell grid that the project uses for its per-picture piece values.

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"

namespace duduri {

namespace {

// Round to nearest, ties to even, of a single-precision value, held in 64
// bits and kept within the 32-bit range so that absurd scales or sizes
// cannot overflow what follows.
std::int64_t roundEven(float v) {
  if (std::isnan(v)) return 0;
  constexpr float kLimit = 2147483520.0f;  // the largest float below 2^31
  return std::int64_t(std::nearbyint(std::clamp(v, -kLimit, kLimit)));
}

// The dark pixels of the solution are lifted to a dark grey so that they
// never read as the transparent black of the board's background.
void liftDarkPixels(TBitmap32& bitmap) {
  constexpr TColor32 kLifted = 0x00101010u;
  TColor32* p = bitmap.Bits();
  const std::size_t n = bitmap.PixelCount();
  for (std::size_t i = 0; i < n; ++i) {
    const TColor32 c = p[i];
    if (RedComponent(c) < 30 && GreenComponent(c) < 30 && BlueComponent(c) < 30)
      p[i] = (c & 0xFF000000u) | kLifted;
  }
}

// A FitCellScale search never needs to go past this many steps: at scale
// 16384 a cell is wider than any picture the limits allow.
constexpr int kMaxFitSteps = 65536;

}  // namespace

TCellGrid CellGridFor(float scale, std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t boardWidth, std::int32_t boardHeight) {
  TCellGrid g;
  g.Scale = scale;
  // A scale of 1/30 or less would round the cell to 0 pixels.
  g.CellSize = std::int32_t(std::max<std::int64_t>(1, roundEven(scale * 15.0f)));
  g.Margin = std::int32_t(std::max<std::int64_t>(0, roundEven(scale * 4.0f)));
  const float w = float(pictureWidth);
  const float h = float(pictureHeight);
  const std::int64_t available =
      h >= w ? std::int64_t(boardHeight) - g.CellSize - 2 * std::int64_t(g.Margin)
             : std::int64_t(boardHeight) - g.CellSize - g.Margin;
  const float sx = w > float(boardWidth) ? float(boardWidth) / w : 1.0f;
  const float sy = h > float(available) ? float(available) / h : 1.0f;
  // A negative factor gives the same grid as 0 (the counts are raised to 1),
  // without products far outside any integer range.
  const float f = std::max(std::min(sx, sy), 0.0f);
  const std::int64_t columns = roundEven(w * f) / g.CellSize;
  const std::int64_t rows = roundEven(h * f) / g.CellSize;
  g.Columns = std::int32_t(std::max<std::int64_t>(columns, 1) + 2);
  g.Rows = std::int32_t(std::max<std::int64_t>(rows, 1) + 2);
  return g;
}

TCellGrid TJigsawSpriteCreator::FitCellScale(std::int32_t lo, std::int32_t hi,
                                             std::int32_t pictureWidth, std::int32_t pictureHeight,
                                             std::int32_t boardWidth, std::int32_t boardHeight) {
  float s = 0;
  TCellGrid g;
  for (int step = 0; step < kMaxFitSteps; ++step) {
    s += 0.25f;
    g = CellGridFor(s, pictureWidth, pictureHeight, boardWidth, boardHeight);
    const std::int64_t count = std::int64_t(g.Columns) * g.Rows;
    if (count <= hi || count < lo) break;
    // 3 x 3 is the smallest grid there is; a larger scale cannot go below it.
    if (g.Columns <= 3 && g.Rows <= 3) break;
  }
  return g;
}

void TJigsawSpriteCreator::PrepareSolution() {
  TBitmap32& picture = collection_.Picture();
  cell_ = CellGridFor(scale_, picture.Width(), picture.Height(), boardWidth_, boardHeight_);
  cellCount_ = cell_.Columns * cell_.Rows;
  const std::int64_t width =
      std::int64_t(cell_.Columns) * cell_.CellSize - 2 * std::int64_t(cell_.Margin);
  const std::int64_t height =
      std::int64_t(cell_.Rows) * cell_.CellSize - 2 * std::int64_t(cell_.Margin);
  if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels) {
    throw ESpriteCreatorError("The piece scale " + std::to_string(scale_) +
                              " would make a solution picture of " + std::to_string(width) + " x " +
                              std::to_string(height) + " pixels, larger than any picture.");
  }
  solutionRect_ = MakeRect(0, 0, std::int32_t(std::max<std::int64_t>(width, 0)),
                           std::int32_t(std::max<std::int64_t>(height, 0)));
  solution_.SetSize(solutionRect_.Right, solutionRect_.Bottom);
  solution_.Clear(0);
  if (!solution_.Empty() && !picture.Empty()) {
    // Nearest-neighbour and opaque: the picture's alpha, and with it the
    // transparent pixels of a transparent picture, comes across unchanged.
    const TDrawMode mode = picture.DrawMode();
    const TStretchFilter filter = picture.StretchFilter();
    picture.SetDrawMode(dmOpaque);
    picture.SetStretchFilter(sfNearest);
    solution_.Draw(solution_.BoundsRect(), picture.BoundsRect(), picture);
    picture.SetDrawMode(mode);
    picture.SetStretchFilter(filter);
  }
  liftDarkPixels(solution_);
}

void TJigsawSpriteCreator::LayoutShapes() {
  if (restoring_) {
    checkSavedRecords();
    takePicture();
  }
  PrepareSolution();
  pieces_.clear();

  if (restoring_) {
    // The records keep the grid they were saved on.
    pieces_.assign(std::size_t(saved_.Rows),
                   std::vector<TPieceSprite>(std::size_t(saved_.Columns)));
    for (std::int32_t j = 0; j < saved_.Rows; ++j) {
      for (std::int32_t k = 0; k < saved_.Columns; ++k) {
        TPieceSprite& p = pieces_[std::size_t(j)][std::size_t(k)];
        p.Saved() = saved_.Pieces[std::size_t(j) * std::size_t(saved_.Columns) + std::size_t(k)];
        p.Spare = 0;
        if (noPieceRotation_) p.Rotation = p.StartRotation = 0;
        p.TopKnob = knobOf(p.TopShape, false);
        p.RightKnob = knobOf(p.RightShape, true);
        p.BottomKnob = knobOf(p.BottomShape, false);
        p.LeftKnob = knobOf(p.LeftShape, true);
      }
    }
    return;
  }

  const std::int32_t cellRows = cell_.Rows;
  const std::int32_t cellColumns = cell_.Columns;
  pieces_.assign(std::size_t(cellRows), std::vector<TPieceSprite>(std::size_t(cellColumns)));
  // Shapes and home positions follow the collection's grid, where it has
  // one; records outside it keep zero shapes.
  const std::int32_t rows = collection_.Rows();
  const std::int32_t columns = collection_.Columns();
  const std::int32_t pw = columns > 0 ? collection_.ScaledWidth() / columns : 0;
  const std::int32_t ph = rows > 0 ? collection_.ScaledHeight() / rows : 0;
  const int templates = collection_.TemplateCount();
  // A shape byte holds a template index + 1, so only the first 255
  // templates can be named.
  const int drawable = std::min(templates, 255);
  auto drawShape = [&](bool vertical) -> std::uint8_t {
    bool exists = false;
    for (int i = 0; i < drawable && !exists; ++i)
      exists = collection_.Template(i).Vertical == vertical;
    if (!exists) {
      throw ETemplateError(std::string("unusable template set: no ") +
                           (vertical ? "vertical" : "horizontal") + " template to draw");
    }
    for (;;) {
      const std::int32_t i = Random(templates);
      if (i < drawable && collection_.Template(i).Vertical == vertical) return std::uint8_t(i + 1);
    }
  };
  auto width = [&](std::uint8_t shape) -> std::int32_t {
    return shape ? collection_.Template(shape - 1).Width : 0;
  };
  auto height = [&](std::uint8_t shape) -> std::int32_t {
    return shape ? collection_.Template(shape - 1).Height : 0;
  };

  for (std::int32_t j = 0; j < cellRows; ++j) {
    std::int32_t x = 0;
    for (std::int32_t k = 0; k < cellColumns; ++k) {
      TPieceSprite& p = pieces_[std::size_t(j)][std::size_t(k)];
      p.Rotation = p.StartRotation = noPieceRotation_ ? 0 : std::uint8_t(Random(4));
      p.Placed = 0;
      p.X = Random(std::max(1, boardRect_.Right - boardRect_.Left - 50));
      p.Y = Random(std::max(1, boardRect_.Bottom - boardRect_.Top - 50));
      p.StartX = p.X;
      p.StartY = p.Y;
      if (j >= rows || k >= columns) continue;
      if (j < rows - 1) {
        if (p.BottomShape == 0) p.BottomShape = drawShape(false);
        if (j + 1 < cellRows) pieces_[std::size_t(j) + 1][std::size_t(k)].TopShape = p.BottomShape;
      }
      if (k < columns - 1) {
        if (p.RightShape == 0) p.RightShape = drawShape(true);
        if (k + 1 < cellColumns)
          pieces_[std::size_t(j)][std::size_t(k) + 1].LeftShape = p.RightShape;
      }
      p.HomeX = x;
      p.HomeY = ph * j - height(p.TopShape) / 2;
      x += pw + width(p.LeftShape) / 2 - width(p.RightShape) / 2;
      p.TopKnob = std::uint8_t(height(p.TopShape));
      p.RightKnob = std::uint8_t(width(p.RightShape));
      p.BottomKnob = std::uint8_t(height(p.BottomShape));
      p.LeftKnob = std::uint8_t(width(p.LeftShape));
    }
  }
}

}  // namespace duduri
