// The sprite creator's cell grid: the solution picture, the scale search and
// the shape layout on the cell grid.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SpriteCreatorSupport.h"

namespace duduri {
namespace {

using namespace testing_support;

void expectGrid(const TCellGrid& g, int cell, int margin, int columns, int rows) {
  EXPECT_EQ(g.CellSize, cell);
  EXPECT_EQ(g.Margin, margin);
  EXPECT_EQ(g.Columns, columns);
  EXPECT_EQ(g.Rows, rows);
}

TEST(SpriteCellGrid, FitsThePictureIntoTheBoardWithABorderOfCells) {
  expectGrid(CellGridFor(1.0f, 160, 120, 640, 480), 15, 4, 12, 10);
  // Shrunk to the board's width (f = 0.5) rather than its height (0.581).
  expectGrid(CellGridFor(1.0f, 2000, 1000, 1000, 600), 15, 4, 68, 35);
  // Rounding ties go to the even neighbour.
  expectGrid(CellGridFor(2.5f, 160, 120, 640, 480), 38, 10, 6, 5);
  expectGrid(CellGridFor(0.5f, 160, 120, 640, 480), 8, 2, 22, 17);
  // A scale of 1/30 rounds the cell to 0 pixels; it stays 1 wide.
  expectGrid(CellGridFor(1.0f / 30, 160, 120, 640, 480), 1, 0, 162, 122);
  // No room at all still gives the smallest grid.
  expectGrid(CellGridFor(1.0f, 160, 120, 0, -100), 15, 4, 3, 3);
  expectGrid(CellGridFor(1.0f, 0, 0, 640, 480), 15, 4, 3, 3);
  expectGrid(CellGridFor(1.0f, 100, 100, std::numeric_limits<std::int32_t>::min(),
                         std::numeric_limits<std::int32_t>::min()),
             15, 4, 3, 3);
}

TEST(SpriteCellGrid, FitCellScaleFindsTheFirstQuarterStepInRangeAndAlwaysEnds) {
  const TCellGrid g = TJigsawSpriteCreator::FitCellScale(5, 25, 160, 120, 640, 480);
  EXPECT_EQ(g.Scale, 2.75f);
  expectGrid(g, 41, 11, 5, 4);
  // Fewer cells than the minimum ends the search at once.
  EXPECT_EQ(TJigsawSpriteCreator::FitCellScale(5000, 6000, 160, 120, 640, 480).Scale, 0.25f);
  // A maximum below 9 cells can never be met: the search stops at 3 x 3.
  const TCellGrid small = TJigsawSpriteCreator::FitCellScale(0, 4, 160, 120, 640, 480);
  expectGrid(small, small.CellSize, small.Margin, 3, 3);
  const std::int32_t big = std::numeric_limits<std::int32_t>::max();
  const TCellGrid huge = TJigsawSpriteCreator::FitCellScale(0, 4, big, big, big, big);
  EXPECT_GT(huge.Scale, 0);
}

TEST(SpriteSolution, IsThePictureAtCellGridSizeWithDarkPixelsLifted) {
  TBitmap32 picture;
  FillPicture(picture, 160, 120, 0xFF204060);
  picture.Bits()[0] = 0xFF000000;          // black
  picture.Bits()[159] = 0xFF1D1D1D;        // 29, 29, 29
  picture.Bits()[160 * 119] = 0xFF1E0000;  // red 30
  TJigsawSpriteCreator c(picture);
  c.SetBoardSize(640, 480);
  c.PrepareSolution();
  EXPECT_EQ(c.CellColumns(), 12);
  EXPECT_EQ(c.CellRows(), 10);
  EXPECT_EQ(c.CellCount(), 120);
  EXPECT_EQ(c.SolutionRect(), MakeRect(0, 0, 172, 142));
  const TBitmap32& s = c.SolutionPicture();
  ASSERT_EQ(s.Width(), 172);
  ASSERT_EQ(s.Height(), 142);
  EXPECT_EQ(s.GetPixelS(0, 0), 0xFF101010u);
  EXPECT_EQ(s.GetPixelS(171, 0), 0xFF101010u);
  EXPECT_EQ(s.GetPixelS(0, 141), 0xFF1E0000u);
  EXPECT_EQ(s.GetPixelS(80, 70), 0xFF204060u);
  EXPECT_FALSE(c.SolutionTransparent());
}

TEST(SpriteSolution, KeepsTheTransparentColourOfAPicture) {
  TPicture picture;
  picture.Width = 4;
  picture.Height = 2;
  picture.Pixels = {0xFF00FF, 0x123456, 0xFF00FF, 0x123456, 0x123456, 0x123456, 0xFF00FF, 0};
  picture.Transparent = true;
  picture.TransparentColor = 0xFF00FF;
  TJigsawSpriteCreator c(picture);
  c.SetBoardSize(640, 480);
  c.SetScale(0.1f);  // cells of 2 pixels, no margin: 2 + 2 by 1 + 2 cells
  c.PrepareSolution();
  const TBitmap32& s = c.SolutionPicture();
  ASSERT_EQ(s.Width(), 8);
  ASSERT_EQ(s.Height(), 6);
  EXPECT_TRUE(c.SolutionTransparent());
  EXPECT_EQ(c.SolutionTransparentColor(), 0xFF00FFu);
  // Nearest-neighbour from 4 x 2 to 8 x 6: each source pixel covers 2 x 3.
  EXPECT_EQ(AlphaComponent(s.GetPixelS(0, 0)), 0);
  EXPECT_EQ(AlphaComponent(s.GetPixelS(4, 5)), 0);
  EXPECT_EQ(s.GetPixelS(3, 0), 0xFF123456u);
  EXPECT_EQ(s.GetPixelS(7, 5), 0xFF101010u);  // black lifted
}

TEST(SpriteSolution, IgnoresBadScalesAndRefusesHugeSolutions) {
  TBitmap32 picture;
  FillPicture(picture, 160, 120);
  TJigsawSpriteCreator c(picture);
  c.SetBoardSize(640, 480);
  for (float bad : {0.0f, -1.0f, std::nanf(""), std::numeric_limits<float>::infinity()}) {
    c.SetScale(bad);
    EXPECT_EQ(c.Scale(), 1.0f);
  }
  c.SetScale(5000.0f);
  EXPECT_THROW(c.PrepareSolution(), ESpriteCreatorError);
  c.SetScale(3.4e38f);
  EXPECT_THROW(c.PrepareSolution(), ESpriteCreatorError);
}

TEST(SpriteLayoutShapes, WithoutAGridFillsTheCellGridWithPositionsOnly) {
  TBitmap32 picture;
  FillGradient(picture, 160, 120);
  TJigsawSpriteCreator c(picture);
  Configure(c, GameOptions{});
  c.LayoutShapes();
  ASSERT_EQ(c.Pieces().size(), 10u);
  ASSERT_EQ(c.Pieces()[0].size(), 12u);
  for (const auto& row : c.Pieces()) {
    for (const TPieceSprite& p : row) {
      EXPECT_EQ(p.LeftShape | p.TopShape | p.RightShape | p.BottomShape, 0);
      EXPECT_EQ(p.HomeX | p.HomeY, 0);
      EXPECT_LT(p.X, 640 - 50);
      EXPECT_LT(p.Y, 480 - 50);
      EXPECT_FALSE(p.RleData[0]);
    }
  }
}

TEST(SpriteLayoutShapes, FollowsTheCollectionsGridWhereOneIsChosen) {
  TBitmap32 picture;
  FillGradient(picture, 160, 120);
  TJigsawSpriteCreator c(picture);
  Configure(c, GameOptions{});
  c.Collection().Picture().Assign(picture);
  c.Collection().SetDifficulty(0);
  c.Collection().ChooseGrid();
  ASSERT_EQ(c.Columns(), 4);
  RandSeed(3);
  c.LayoutShapes();
  const TPieces& t = c.Pieces();
  for (int j = 0; j < 3; ++j) {
    for (int k = 0; k < 4; ++k) {
      const TPieceSprite& p = t[std::size_t(j)][std::size_t(k)];
      EXPECT_EQ(p.LeftShape == 0, k == 0);
      EXPECT_EQ(p.TopShape == 0, j == 0);
      EXPECT_EQ(p.RightShape == 0, k == 3);
      EXPECT_EQ(p.BottomShape == 0, j == 2);
      if (p.RightShape) {
        EXPECT_TRUE(c.Collection().Template(p.RightShape - 1).Vertical);
      }
      if (p.BottomShape) {
        EXPECT_FALSE(c.Collection().Template(p.BottomShape - 1).Vertical);
      }
      if (k < 3) {
        EXPECT_EQ(p.RightShape, t[std::size_t(j)][std::size_t(k) + 1].LeftShape);
      }
      EXPECT_EQ(p.HomeX, k * 40 - p.LeftKnob / 2);
      EXPECT_EQ(p.HomeY, j * 40 - p.TopKnob / 2);
    }
  }
  // Records outside the collection's grid keep straight edges.
  EXPECT_EQ(t[5][6].LeftShape | t[5][6].TopShape, 0);
}

}  // namespace
}  // namespace duduri

namespace duduri {
namespace {

using namespace testing_support;

TEST(SpriteLayoutShapes, RestoringCopiesTheRecordsWithoutCuttingOrDrawing) {
  GameOptions o;
  auto original = NewGame(o);
  TSavedLayout saved = SaveLayout(*original, o);
  saved.Pieces[4].Rotation = 3;
  const TJigsawArrayData records = saved.Pieces;
  TJigsawSpriteCreator c(std::move(saved));
  Configure(c, o);
  RandSeed(5);
  c.LayoutShapes();
  const std::int32_t next = Random(1 << 30);
  RandSeed(5);
  EXPECT_EQ(next, Random(1 << 30));
  ASSERT_EQ(c.Pieces().size(), 3u);
  for (std::size_t n = 0; n < records.size(); ++n) {
    const TPieceSprite& p = c.Pieces()[n / 4][n % 4];
    EXPECT_EQ(std::memcmp(&p.Saved(), &records[n], sizeof(TSavedPiece)), 0);
    EXPECT_EQ(p.TopKnob, original->Pieces()[n / 4][n % 4].TopKnob);
    EXPECT_FALSE(p.RleData[0]);
  }
  EXPECT_EQ(c.SolutionPicture().Width(), 172);
}

}  // namespace
}  // namespace duduri
