// The grid choice: SetDifficulty's preselection and ChooseGrid's search,
// whose exact arithmetic decides which grid a saved game is restored on.

#include <gtest/gtest.h>

#include <string>

#include "PieceTestSupport.h"
#include "pieces/PieceCollection.h"

namespace duduri {
namespace {

using namespace testing_support;

struct Chosen {
  int index;
  int width;
  int height;
};

Chosen Choose(std::vector<TGridEntry> grid, int w, int h, int difficulty) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet({std::move(grid), {}});
  FillGradient(c.Picture(), w, h);
  c.SetDifficulty(difficulty);
  c.ChooseGrid();
  return {c.GridIndex(), c.ScaledWidth(), c.ScaledHeight()};
}

// A 1x1 grid entry makes the scaled picture exactly the working size, so the
// working size of the search can be seen.
TEST(ChooseGrid, SearchesPicturesWithinTheLimitAtTheirOwnSize) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet({{{1, 1}}, {}});
  FillGradient(c.Picture(), 1000, 750);
  c.SetDifficulty(5);
  c.ChooseGrid();
  EXPECT_EQ(c.ScaledWidth(), 1000);
  EXPECT_EQ(c.ScaledHeight(), 750);
  // An exact fit of the picture's own size is a plain copy.
  for (int i = 0; i < 1000 * 750; i += 997)
    ASSERT_EQ(c.ScaledPicture().Bits()[i], c.Picture().Bits()[i]) << i;
}

TEST(ChooseGrid, ShrinksLargerPicturesBySteps) {
  // 27 steps of x0.975, each rounded half to even, until both sides fit.
  const Chosen r = Choose({{1, 1}}, 2000, 1000, 5);
  EXPECT_EQ(r.width, 1009);
  EXPECT_EQ(r.height, 506);

  // A lower limit shrinks further; the limit is a property of the collection.
  TPzJigsawPieceCollection c;
  c.AddTemplateSet({{{1, 1}}, {}});
  c.SetMaxWidth(500);
  c.SetMaxHeight(500);
  FillGradient(c.Picture(), 600, 300);
  c.SetDifficulty(5);
  c.ChooseGrid();
  EXPECT_LE(c.ScaledWidth(), 500);
  EXPECT_GT(c.ScaledWidth(), 480);
}

TEST(ChooseGrid, FirstExactFitEndsTheSearch) {
  // 60x40 fits 600x400 exactly with 100 pieces; the 96 pieces of 50x50 are
  // in range too but cannot beat a difference of 0.
  Chosen r = Choose({{60, 40}, {50, 50}}, 600, 400, 2);
  EXPECT_EQ(r.index, 0);
  EXPECT_EQ(r.width, 600);
  // Without an exact fit the later entry in range takes over.
  r = Choose({{70, 40}, {50, 50}}, 600, 400, 2);
  EXPECT_EQ(r.index, 1);
  EXPECT_EQ(r.width, 600);
  EXPECT_EQ(r.height, 400);
}

TEST(ChooseGrid, KeepsTheFitModulo65536) {
  // 128x192 gives 512x576 for a 448x512 picture: 65536 pixels too many,
  // which in 16 bits is a perfect fit, so the exact 112x128 after it never
  // wins. With a fit that is not a multiple of 65536 it does.
  Chosen r = Choose({{128, 192}, {112, 128}}, 448, 512, 0);
  EXPECT_EQ(r.index, 0);
  EXPECT_EQ(r.width, 512);
  EXPECT_EQ(r.height, 576);
  r = Choose({{120, 192}, {112, 128}}, 448, 512, 0);
  EXPECT_EQ(r.index, 1);
  EXPECT_EQ(r.width, 448);
  EXPECT_EQ(r.height, 512);
}

TEST(ChooseGrid, ScalesStepInSinglePrecision) {
  // Pinned results that double-precision scale steps would change: the
  // search must pick exactly this grid again when a saved game is restored.
  Chosen r = Choose({{50, 50}}, 307, 230, 2);
  EXPECT_EQ(r.width, 550);
  EXPECT_EQ(r.height, 450);
  r = Choose({{50, 50}}, 614, 460, 2);
  EXPECT_EQ(r.width, 550);
  EXPECT_EQ(r.height, 450);
}

TEST(ChooseGrid, SkipsEmptyEntriesAndTriesOtherWorkingSizes) {
  // Nothing fits 100x100 at difficulty 3 with 40x40 pieces below twice the
  // size; the search doubles the working size and finds it there.
  const Chosen r = Choose({{0, 40}, {40, 40}}, 100, 100, 3);
  EXPECT_EQ(r.index, 1);
  const int count = (r.width / 40) * (r.height / 40);
  EXPECT_GE(count, 100);
  EXPECT_LE(count, 150);
}

TEST(ChooseGrid, ATemplateSetThatCanNeverFitEndsWithAnError) {
  for (const std::vector<TGridEntry>& grid :
       {std::vector<TGridEntry>{}, std::vector<TGridEntry>{{255, 255}}}) {
    TPzJigsawPieceCollection c;
    c.AddTemplateSet({grid, {}});
    FillPicture(c.Picture(), 100, 100);
    c.SetDifficulty(5);
    try {
      c.ChooseGrid();
      FAIL() << "expected an unusable template set";
    } catch (const ETemplateError& e) {
      EXPECT_EQ(std::string(e.what()).rfind("unusable template set: ", 0), 0u) << e.what();
      EXPECT_NE(std::string(e.what()).find("200..65535"), std::string::npos) << e.what();
    }
  }
}

TEST(ChooseGrid, EmptyPictureChoosesNothingAndLeavesNoPieces) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet({{{20, 20}},
                    {MakeTemplate(20, 6, false, 0, LeaveMask(20, 6), LeaveMask(20, 6)),
                     MakeTemplate(6, 20, true, 0, LeaveMask(6, 20), LeaveMask(6, 20))}});
  FillPicture(c.Picture(), 100, 100);
  c.SetDifficulty(0);
  c.ChooseGrid();
  ASSERT_GT(c.Columns(), 0);
  c.LayoutPieces();
  ASSERT_GT(c.PieceCount(), 0);

  // The same collection, a new and empty picture: nothing of the old one stays.
  for (auto size : {std::pair{0, 0}, std::pair{0, 50}, std::pair{50, 0}}) {
    c.Picture().SetSize(size.first, size.second);
    c.SetDifficulty(0);
    c.ChooseGrid();
    c.LayoutPieces();
    EXPECT_EQ(c.PieceCount(), 0);
    EXPECT_EQ(c.Columns() * c.Rows(), 0);
  }
}

TEST(SetDifficulty, SelectsTheLastEntryWhoseWholeCellsAreInRange) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet({{{100, 100}, {50, 50}, {90, 62}}, {}});
  FillGradient(c.Picture(), 430, 310);
  // Whole cells: 4x3 = 12, 8x6 = 48, 4x5 = 20; "< 25 pieces" starts at 0.
  c.SetDifficulty(0);
  EXPECT_EQ(c.GridIndex(), 2);
  EXPECT_EQ(c.ScaledWidth(), 5 * 90);
  EXPECT_EQ(c.ScaledHeight(), 5 * 62);
  EXPECT_EQ(c.Columns(), 5);
  EXPECT_EQ(c.Rows(), 5);
  c.SetDifficulty(1);
  EXPECT_EQ(c.GridIndex(), 1);
  c.SetDifficulty(3);
  EXPECT_EQ(c.GridIndex(), -1);
  EXPECT_EQ(c.Columns(), 0);

  // SelectGrid rounds each side to the nearest whole number of cells.
  c.SelectGrid(0);
  EXPECT_EQ(c.ScaledWidth(), 400);
  EXPECT_EQ(c.ScaledHeight(), 300);
  EXPECT_THROW(c.SelectGrid(3), EPieceError);
}

}  // namespace
}  // namespace duduri
