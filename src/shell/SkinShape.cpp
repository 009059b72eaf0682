#include "shell/SkinShape.h"

#include <algorithm>
#include <string>

namespace duduri {

namespace {

constexpr TColor32 kRgbMask = 0x00FFFFFF;

struct TRun {
  std::int32_t Left;
  std::int32_t Right;
  friend bool operator==(const TRun&, const TRun&) = default;
};

// Appends the runs of non-black pixels of one row. A skin is mostly long
// stretches of one kind (its inside, its black surround), so both are crossed
// eight pixels at a time, with one test per block instead of one branch per
// pixel; the block where the kind changes is finished pixel by pixel.
void rowRuns(const TColor32* row, std::int32_t width, std::vector<TRun>& runs) {
  std::int32_t x = 0;
  while (x < width) {
    // Skip black.
    while (x + 8 <= width) {
      const TColor32 any = row[x] | row[x + 1] | row[x + 2] | row[x + 3] | row[x + 4] |
                           row[x + 5] | row[x + 6] | row[x + 7];
      if ((any & kRgbMask) != 0) break;
      x += 8;
    }
    while (x < width && (row[x] & kRgbMask) == 0) ++x;
    if (x >= width) break;
    const std::int32_t left = x;
    // Cross non-black: a block of eight with no black pixel is passed whole.
    while (x + 8 <= width) {
      const bool allSet = ((row[x] & kRgbMask) != 0) & ((row[x + 1] & kRgbMask) != 0) &
                          ((row[x + 2] & kRgbMask) != 0) & ((row[x + 3] & kRgbMask) != 0) &
                          ((row[x + 4] & kRgbMask) != 0) & ((row[x + 5] & kRgbMask) != 0) &
                          ((row[x + 6] & kRgbMask) != 0) & ((row[x + 7] & kRgbMask) != 0);
      if (!allSet) break;
      x += 8;
    }
    while (x < width && (row[x] & kRgbMask) != 0) ++x;
    runs.push_back({left, x});
  }
}

}  // namespace

std::vector<TRect> NonBlackShape(std::span<const TColor32> pixels, std::int32_t width,
                                 std::int32_t height, std::ptrdiff_t stride) {
  std::vector<TRect> shape;
  if (width <= 0 || height <= 0) return shape;
  if (stride < width ||
      std::int64_t(pixels.size()) < (std::int64_t(height) - 1) * stride + width) {
    throw EDuduriError("Skin shape: " + std::to_string(pixels.size()) +
                       " pixels are too few for " + std::to_string(width) + " x " +
                       std::to_string(height));
  }
  std::vector<TRun> previous;
  std::vector<TRun> current;
  std::size_t bandStart = 0;  // first rectangle of the band the previous row extended
  for (std::int32_t y = 0; y < height; ++y) {
    current.clear();
    rowRuns(pixels.data() + std::ptrdiff_t(y) * stride, width, current);
    if (y > 0 && current == previous) {
      for (std::size_t i = bandStart; i < shape.size(); ++i) shape[i].Bottom = y + 1;
      continue;
    }
    bandStart = shape.size();
    for (const TRun& r : current) shape.push_back({r.Left, y, r.Right, y + 1});
    std::swap(previous, current);
  }
  return shape;
}

bool ShapeContains(const std::vector<TRect>& shape, std::int32_t x, std::int32_t y) {
  return std::any_of(shape.begin(), shape.end(), [&](const TRect& r) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
  });
}

}  // namespace duduri
