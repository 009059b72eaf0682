// The bundled master template set: that it is what the generator draws, that
// it serves every difficulty on pictures of all usual sizes, and that the two
// sides of every edge fit pixel for pixel.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PieceTestSupport.h"
#include "pieces/PieceCollection.h"
#include "pieces/Random.h"
#include "pieces/TemplateGenerator.h"

namespace duduri {
namespace {

using namespace testing_support;

const TTemplateSet& MasterSet() {
  static const TTemplateSet set = ReadTemplateSetFile(DUDURI_SOURCE_DIR "/data/all.pzjc");
  return set;
}

TEST(MasterSet, BundledFileIsWhatTheGeneratorDraws) {
  // Regenerate data/all.pzjc with `duduri-pack templates data/all.pzjc`
  // whenever the generator changes.
  const TTemplateSet drawn =
      GenerateTemplateSet(MasterGridTable(), kMasterSeed, kMasterTemplatesPerOrientation);
  EXPECT_TRUE(drawn == MasterSet());
  EXPECT_EQ(MasterSet().GridTable.size(), 15u);
  EXPECT_EQ(MasterSet().Templates.size(), 15u * 16u);
  // Saved pieces hold template index + 1 in one byte.
  EXPECT_LE(MasterSet().Templates.size(), 254u);
}

TEST(MasterSet, GeneratorIsDeterministicPerSeed) {
  const std::vector<TGridEntry> grid = {{29, 29}, {53, 41}};
  const TTemplateSet a = GenerateTemplateSet(grid, 5, 3);
  EXPECT_TRUE(a == GenerateTemplateSet(grid, 5, 3));
  EXPECT_FALSE(a == GenerateTemplateSet(grid, 6, 3));
  ASSERT_EQ(a.Templates.size(), 12u);
  for (const TPzPieceTemplate& t : a.Templates) {
    const TGridEntry e = grid[t.GridIndex];
    const int half = TemplateHalfExtent(e);
    EXPECT_EQ(t.Vertical ? t.Height : t.Width, t.Vertical ? e.Height : e.Width);
    EXPECT_EQ(t.Vertical ? t.Width : t.Height, 2 * half);
  }
}

TEST(MasterSet, EveryDifficultyFindsAGridInItsRangeForUsualPictureSizes) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(MasterSet());
  const std::vector<std::pair<int, int>> sizes = {
      {320, 240},  {240, 320},   {400, 400},   {640, 480}, {800, 600},   {1024, 768}, {768, 1024},
      {1280, 720}, {1000, 1000}, {1920, 1080}, {333, 500}, {4000, 3000}, {3000, 4000}};
  for (auto [w, h] : sizes) {
    c.Picture().SetSize(w, h);
    for (int d = 0; d <= 5; ++d) {
      c.SetDifficulty(d);
      c.ChooseGrid();
      const TPieceCountRange range = PieceCountRange(d);
      const int count = c.Columns() * c.Rows();
      EXPECT_GE(count, range.Low) << w << "x" << h << " difficulty " << d;
      EXPECT_LE(count, range.High) << w << "x" << h << " difficulty " << d;
      // "> 200 pieces" stays a puzzle that can be played.
      if (d == 5) {
        EXPECT_LE(count, 700) << w << "x" << h;
      }
      int horizontal = 0;
      int vertical = 0;
      for (const TPzPieceTemplate& t : MasterSet().Templates) {
        if (t.GridIndex != c.GridIndex()) continue;
        (t.Vertical ? vertical : horizontal)++;
      }
      EXPECT_GE(horizontal, 8);
      EXPECT_GE(vertical, 8);
    }
  }
}

// Cuts a 3x3 grid of one entry and counts, for every pixel of the picture,
// how many pieces drawn at their right places cover it.
void CheckExactCover(int gridIndex, std::uint64_t seed) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(MasterSet());
  const TGridEntry e = c.GridEntry(gridIndex);
  FillGradient(c.Picture(), 3 * e.Width, 3 * e.Height);
  c.SelectGrid(gridIndex);
  RandSeed(seed);
  c.LayoutPieces();
  ASSERT_EQ(c.PieceCount(), 9);
  const int w = c.ScaledWidth();
  const int h = c.ScaledHeight();
  std::vector<int> cover(std::size_t(w) * std::size_t(h), 0);
  std::vector<bool> quirk(cover.size(), false);
  for (int i = 0; i < 9; ++i) {
    const TPzPuzzlePieceItem& p = c.Piece(i);
    for (int y = 0; y < p.Bitmap.Height(); ++y) {
      for (int x = 0; x < p.Bitmap.Width(); ++x) {
        const TColor32 px = p.Bitmap.Bits()[y * p.Bitmap.Width() + x];
        if (px >> 24 == 0) {
          ASSERT_EQ(px, 0u) << "transparent pixel with colour in piece " << i;
          continue;
        }
        const int gx = p.X + x;
        const int gy = p.Y + y;
        ASSERT_TRUE(gx >= 0 && gy >= 0 && gx < w && gy < h)
            << "piece " << i << " covers (" << gx << ", " << gy << ") outside the picture";
        ++cover[std::size_t(gy) * std::size_t(w) + std::size_t(gx)];
      }
    }
    // The straight bottom outline of a bottom-row piece with a right knob
    // reaches one pixel into its neighbour's cell.
    if (i / 3 == 2 && p.Right >= 0) {
      const int L = p.Left >= 0 ? c.Template(p.Left).Width / 2 : 0;
      const int T = p.Top >= 0 ? c.Template(p.Top).Height / 2 : 0;
      quirk[std::size_t(p.Y + T + e.Height - 1) * std::size_t(w) + std::size_t(p.X + L + e.Width)] =
          true;
    }
  }
  int wrong = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t k = std::size_t(y) * std::size_t(w) + std::size_t(x);
      const int expected = quirk[k] ? 2 : 1;
      if (cover[k] != expected && wrong++ < 5)
        ADD_FAILURE() << "grid entry " << gridIndex << " (" << int(e.Width) << "x" << int(e.Height)
                      << ") seed " << seed << ": pixel (" << x << ", " << y << ") covered "
                      << cover[k] << " times";
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(MasterSet, NeighbouringPiecesCoverTheirCellsExactlyOnce) {
  const std::vector<TGridEntry>& grid = MasterSet().GridTable;
  ASSERT_FALSE(grid.empty());
  // The smallest and largest entries, squares and both oblongs.
  std::vector<int> entries = {0, int(grid.size()) - 1};
  for (int i = 0; i < int(grid.size()); ++i) {
    const TGridEntry e = grid[std::size_t(i)];
    if (e.Width == 59 && e.Height == 59) entries.push_back(i);
    if (e.Width == 67 && e.Height == 51) entries.push_back(i);
    if (e.Width == 51 && e.Height == 67) entries.push_back(i);
    if (e.Width == 101 && e.Height == 77) entries.push_back(i);
  }
  ASSERT_EQ(entries.size(), 6u);
  for (int entry : entries)
    for (std::uint64_t seed = 1; seed <= 6; ++seed) CheckExactCover(entry, seed);
}

}  // namespace
}  // namespace duduri
