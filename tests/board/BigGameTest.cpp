// Whole big games, headless: a 2000-piece puzzle on a table larger than the
// view is played to a win by drops alone, the view moving as a person would
// move it, and the work a selection costs grows with the selection.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"
#include "pieces/CountGrid.h"

namespace duduri {
namespace {

using namespace board_test;

constexpr int kCellSide = 12;
// A small view: every gesture redraws what it shows.
constexpr int kViewW = 400;
constexpr int kViewH = 300;

TGridPieces BigGrid(int columns, int rows, bool rotate) {
  TGridPiecesOptions o;
  o.Columns = columns;
  o.Rows = rows;
  o.Knob = 6;
  o.RandomRotation = rotate;
  o.NoPieceRotation = !rotate;
  o.Seed = 2000;
  const TTableSize table =
      TableSizeFor(columns * kCellSide, rows * kCellSide, kViewW, kViewH);
  o.TableWidth = table.Width;
  o.TableHeight = table.Height;
  o.DeferShadows = true;
  return MakeGridPieces(MakeTestPicture(columns * kCellSide, rows * kCellSide), o);
}

TEST(BigGame, TheHeadlessDriverWinsATwoThousandPieceGameByDrops) {
  TGridPieces g = BigGrid(50, 40, false);
  auto game = Play(g, kViewW, kViewH);
  TSpriteDraw& b = game->board();
  ASSERT_TRUE(b.BigTable());
  ASSERT_GT(b.BoardWidth(), kViewW);
  std::vector<TEvent> log;
  Record(b, log);
  game->StartClock();

  const int drops = game->SolveByDrops(2);
  EXPECT_EQ(drops, 2000);
  EXPECT_EQ(Count(log, "place"), 1999);
  ASSERT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(b.PiecesLeft(), 0);
  EXPECT_TRUE(b.Finished());
  // The picture went together in the middle of the table, reaching past
  // the first view.
  EXPECT_NEAR(b.Piece(0, 0).X, (b.BoardWidth() - 50 * kCellSide) / 2, b.JigsawMagnet());
  EXPECT_GT(b.Piece(39, 49).Y, kViewH);
  // Shadows were made only for the pieces that were picked up.
  EXPECT_TRUE(b.Piece(20, 20).ShadowData[0]);
}

TEST(BigGame, SelectAllThenArrowKeysMoveEveryPieceAndEveryGroupOnce) {
  TGridPieces g = BigGrid(40, 30, false);
  // Rows 0..9 lie joined in one block; the rest are loose.
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 40; ++col) {
      Put(g, row, col, g.Pieces[row][col].HomeX + 300, g.Pieces[row][col].HomeY + 200, 0, 1);
    }
  }
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SelectAll();
  b.Redraw(true);
  const int x0 = b.Piece(0, 0).X;
  const int x1 = b.Piece(29, 39).X;
  game->Key(kVkRight);
  game->Key(kVkDown);
  EXPECT_EQ(b.Piece(0, 0).X, x0 + 4);
  EXPECT_EQ(b.Piece(29, 39).X, x1 + 4);
  EXPECT_EQ(b.Piece(5, 5).Y, g.Pieces[5][5].HomeY + 200 + 4);
  EXPECT_TRUE(b.Selection().empty());
  // Arrows with everything selected do not pan.
  EXPECT_EQ(b.View().ScrollX(), 0);
}

TEST(BigGame, PickingAGroupRaisesItInOnePassKeepingTheOrderOfTheRest) {
  TGridPieces g = BigGrid(20, 10, false);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 4; ++col) {
      Put(g, row, col, g.Pieces[row][col].HomeX + 100, g.Pieces[row][col].HomeY + 100, 0, 1);
    }
  }
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TZPosArray before = b.StackingOrder();
  TBoardPoint grab;
  ASSERT_TRUE(game->GrabPoint(1, 1, grab));
  const TBoardPoint v = b.TableToView(grab.X, grab.Y);
  game->Press(v.X, v.Y);
  ASSERT_EQ(b.Group().size(), 12u);
  const TZPosArray& after = b.StackingOrder();
  ASSERT_EQ(after.size(), before.size());
  // The group on top, smallest (row, column) first ...
  int n = 0;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) EXPECT_EQ(after[std::size_t(n++)], (TZPos{std::uint16_t(col), std::uint16_t(row)}));
  // ... and everything else in the order it had.
  std::erase_if(before, [](const TZPos& z) { return z.Row < 3 && z.Col < 4; });
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin() + 12));
  game->Release(v.X, v.Y);
}

}  // namespace
}  // namespace duduri
