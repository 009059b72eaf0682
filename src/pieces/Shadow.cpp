#include "pieces/Shadow.h"

#include <algorithm>
#include <cstddef>
#include <tuple>
#include <vector>

#include "pieces/VectorClones.h"

namespace duduri {

namespace {

constexpr int kRadius = 2;                 // the box is 2 * kRadius + 1 pixels wide
constexpr std::size_t kPad = 2 * kRadius;  // zero columns around a padded row

std::uint16_t alphaOf(TColor32 pixel) {
  return static_cast<std::uint16_t>(pixel >> 24);
}

// windowed[x] = padded[x] + ... + padded[x + 4] for x in [0, width): the
// horizontal box sum over a row padded with kRadius zeros on either side.
void horizontalSums(const std::uint16_t* padded, std::uint16_t* windowed, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x) {
    windowed[x] = static_cast<std::uint16_t>(padded[x] + padded[x + 1] + padded[x + 2] +
                                             padded[x + 3] + padded[x + 4]);
  }
}

void addRowAlpha(const TColor32* row, std::uint16_t* columns, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x) {
    columns[x] = static_cast<std::uint16_t>(columns[x] + alphaOf(row[x]));
  }
}

// For every sum s of 25 alphas (s < 6400), (s * 5243) >> 17 == s / 25, and
// the product stays below 2^25. Shifting the multiplier left by 7 therefore
// puts the quotient straight into the alpha byte, which lets the separate-
// block blur divide in vector registers instead of through the table.
constexpr std::uint32_t kDivideBy25IntoAlpha = 5243u << 7;

constexpr bool divisionMatchesTable() {
  for (std::uint32_t sum = 0; sum < std::tuple_size_v<TDivisionTable>; ++sum) {
    if (((sum * kDivideBy25IntoAlpha) >> 24) != sum / 25) return false;
  }
  return true;
}
static_assert(divisionMatchesTable());

bool isStandardTable(const TDivisionTable& table) {
  static const TDivisionTable standard = [] {
    TDivisionTable filled{};
    FillDivisionTable(filled);
    return filled;
  }();
  return table == standard;
}

// Separate blocks: the source alphas never change, so the 25-pixel sum is
// kept as column sums over five rows, updated by one row in and one row out
// per output row, and a horizontal window over those column sums. The
// integers are the same as summing all 25 neighbours. Each row gets its
// silhouette as it enters the column sums, so the source is read once for
// both. `table` is null when the caller's table is the standard one and the
// multiply above can stand in for it. `padded` holds width + 4 zeros.
DUDURI_VECTOR_CLONES
void blurSeparate(TColor32* source, TColor32* target, std::size_t width, std::size_t height,
                  const std::uint8_t* table, TColor32 colour, std::uint32_t* padded) {
  std::uint32_t* columns = padded + kRadius;
  for (std::size_t y = 0; y < height && y <= kRadius; ++y) {
    TColor32* row = source + y * width;
    for (std::size_t x = 0; x < width; ++x) {
      columns[x] += row[x] >> 24;
      row[x] = (row[x] & 0xFF000000u) | colour;
    }
  }
  for (std::size_t y = 0; y < height; ++y) {
    TColor32* out = target + y * width;
    if (table == nullptr) {
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t sum =
            padded[x] + padded[x + 1] + padded[x + 2] + padded[x + 3] + padded[x + 4];
        out[x] = ((sum * kDivideBy25IntoAlpha) & 0xFF000000u) | colour;
      }
    } else {
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t sum =
            padded[x] + padded[x + 1] + padded[x + 2] + padded[x + 3] + padded[x + 4];
        out[x] = (TColor32{table[sum]} << 24) | colour;
      }
    }

    const bool entering = y + kRadius + 1 < height;
    const bool leaving = y >= kRadius;
    TColor32* in = entering ? source + (y + kRadius + 1) * width : nullptr;
    const TColor32* old = leaving ? source + (y - kRadius) * width : nullptr;
    if (entering && leaving) {
      for (std::size_t x = 0; x < width; ++x) {
        columns[x] += (in[x] >> 24) - (old[x] >> 24);
        in[x] = (in[x] & 0xFF000000u) | colour;
      }
    } else if (entering) {
      for (std::size_t x = 0; x < width; ++x) {
        columns[x] += in[x] >> 24;
        in[x] = (in[x] & 0xFF000000u) | colour;
      }
    } else if (leaving) {
      for (std::size_t x = 0; x < width; ++x) columns[x] -= old[x] >> 24;
    }
  }
}

// Same block: when pixel (x, y) is averaged, rows y - 2 and y - 1 already
// hold averaged pixels, rows y + 1 and y + 2 still hold the silhouette, and
// row y holds averaged pixels left of x and silhouette pixels from x on. So
// everything in the sum except the two averaged pixels to the left is known
// before row y starts: the four other rows and row y's own pixels x .. x + 2
// are summed for the whole row at once, and only the two latest averages are
// carried from pixel to pixel. The result equals the plain in-place loop that
// re-reads all 25 neighbours from the block.
void blurInPlace(TColor32* pixels, std::size_t width, std::size_t height,
                 const TDivisionTable& table, TColor32 colour) {
  std::vector<std::uint16_t> paddedOthers(width + kPad, 0);
  std::vector<std::uint16_t> known(width);
  std::vector<std::uint16_t> paddedRow(width + kPad, 0);
  std::uint16_t* others = paddedOthers.data() + kRadius;
  std::uint16_t* row = paddedRow.data() + kRadius;
  for (std::size_t y = 0; y < height; ++y) {
    std::fill(others, others + width, std::uint16_t{0});
    for (std::size_t dy = 1; dy <= kRadius; ++dy) {
      if (y >= dy) addRowAlpha(pixels + (y - dy) * width, others, width);
      if (y + dy < height) addRowAlpha(pixels + (y + dy) * width, others, width);
    }
    horizontalSums(paddedOthers.data(), known.data(), width);

    TColor32* line = pixels + y * width;
    for (std::size_t x = 0; x < width; ++x) row[x] = alphaOf(line[x]);
    for (std::size_t x = 0; x < width; ++x) {
      known[x] = static_cast<std::uint16_t>(known[x] + row[x] + row[x + 1] + row[x + 2]);
    }
    std::uint32_t twoLeft = 0;  // averaged alphas at x - 2 and x - 1; 0 outside the image
    std::uint32_t oneLeft = 0;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t average = table[known[x] + twoLeft + oneLeft];
      line[x] = (TColor32{average} << 24) | colour;
      twoLeft = oneLeft;
      oneLeft = average;
    }
  }
}

}  // namespace

void FillDivisionTable(TDivisionTable& table) {
  for (std::size_t i = 0; i < table.size(); ++i) table[i] = static_cast<std::uint8_t>(i / 25);
}

void MakeShadow(TColor32* source, TColor32* target, std::int32_t width, const TDivisionTable& table,
                std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::int32_t height) {
  if (source == nullptr || target == nullptr || width <= 0 || height <= 0) return;
  const auto w = static_cast<std::size_t>(width);
  const auto h = static_cast<std::size_t>(height);
  const TColor32 colour = Color32(red, green, blue, 0);

  if (source == target) {
    // The blur reads only alpha and rewrites every pixel with the colour, so
    // the silhouette step would leave no trace here.
    blurInPlace(target, w, h, table, colour);
  } else {
    std::vector<std::uint32_t> padded(w + kPad, 0);
    blurSeparate(source, target, w, h, isStandardTable(table) ? nullptr : table.data(), colour,
                 padded.data());
  }
}

}  // namespace duduri
