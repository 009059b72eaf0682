// Picking, dragging, rotating, selecting and joining pieces.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"

namespace duduri {
namespace {

using namespace board_test;

// Two free upright pieces side by side in the picture, far apart on the board.
TGridPieces Pair() {
  TGridPieces g = Grid(2, 1, false);
  Put(g, 0, 0, 100, 100);
  Put(g, 0, 1, 400, 300);
  return g;
}

TEST(BoardInput, SnapToleranceIsTheMagnetOnBothAxes) {
  for (auto [dx, dy, joins] : {std::tuple{5, -5, true}, std::tuple{6, 0, false},
                               std::tuple{0, -6, false}, std::tuple{-5, 5, true}}) {
    TGridPieces g = Pair();
    auto game = Play(g);
    std::vector<TEvent> log;
    Record(game->board(), log);
    const TBoardPoint fit = game->FitPosition(0, 1, 0, 0);
    ASSERT_TRUE(game->DragPieceTo(0, 1, fit.X + dx, fit.Y + dy));
    const TPieceSprite& p = game->board().Piece(0, 1);
    if (joins) {
      // Both free pieces are joined at once and the dropped one sits exactly.
      EXPECT_EQ(game->board().PiecesLeft(), 0);
      EXPECT_EQ(p.X, fit.X);
      EXPECT_EQ(p.Y, fit.Y);
      ASSERT_EQ(Count(log, "place"), 1);
      const TEvent& placed = log[log.size() - 2];  // the win of the two-piece picture follows
      EXPECT_EQ(std::string_view(placed.name), "place");
      EXPECT_EQ(placed.sender, &game->Control());
      EXPECT_EQ(placed.a, 1);  // column, then row
      EXPECT_EQ(placed.b, 0);
      EXPECT_EQ(std::string_view(log.back().name), "win");
    } else {
      EXPECT_EQ(game->board().PiecesLeft(), 2);
      EXPECT_EQ(p.X, fit.X + dx);
      EXPECT_EQ(Count(log, "place"), 0);
    }
  }
}

TEST(BoardInput, FreePiecesSnapOnlyToNeighboursOfTheSameRotation) {
  TGridPieces g = Pair();
  Put(g, 0, 1, 400, 300, 1);
  auto game = Play(g);
  // Where it would fit if the rotations were the same, and exactly.
  const TBoardPoint fit = game->FitPosition(0, 1, 0, 0);
  ASSERT_TRUE(game->DragPieceTo(0, 1, fit.X, fit.Y));
  EXPECT_EQ(game->board().PiecesLeft(), 2);
  // Upright again it joins.
  ASSERT_TRUE(game->RotateTo(0, 1, 0));
  const TBoardPoint upright = game->FitPosition(0, 1, 0, 0);
  ASSERT_TRUE(game->DragPieceTo(0, 1, upright.X + 2, upright.Y));
  EXPECT_EQ(game->board().PiecesLeft(), 0);
}

TEST(BoardInput, GroupsSnapThroughTheClickedMemberOnlyAndWhateverTheRotation) {
  // (0,0)+(0,1) joined; (0,2) free and turned a quarter.
  TGridPieces g = Grid(3, 1, false);
  Put(g, 0, 0, 60, 60, 0, 1);
  Put(g, 0, 1, 60 + kCell - 6, 60 - 6 + 6, 0, 1);
  g.Pieces[0][1].X = 60 + g.Pieces[0][1].HomeX - g.Pieces[0][0].HomeX;
  g.Pieces[0][1].Y = 60 + g.Pieces[0][1].HomeY - g.Pieces[0][0].HomeY;
  Put(g, 0, 2, 400, 250, 1);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  // Dragged by (0,0) so that (0,1) lands where (0,2) expects it: no join.
  const TBoardPoint fit01 = game->FitPosition(0, 1, 0, 2);
  const int dx = fit01.X - b.Piece(0, 1).X;
  const int dy = fit01.Y - b.Piece(0, 1).Y;
  ASSERT_TRUE(game->DragPieceTo(0, 0, b.Piece(0, 0).X + dx, b.Piece(0, 0).Y + dy));
  EXPECT_EQ(b.PiecesLeft(), 1);
  EXPECT_EQ(b.Piece(0, 1).X, fit01.X);
  // Dragged by (0,1), 4 pixels off: joins, although (0,2) is turned.
  ASSERT_TRUE(game->DragPieceTo(0, 1, fit01.X + 4, fit01.Y - 4));
  EXPECT_EQ(b.PiecesLeft(), 0);
  EXPECT_EQ(b.Piece(0, 1).X, fit01.X);
  EXPECT_EQ(b.Piece(0, 0).X - b.Piece(0, 1).X, g.Pieces[0][0].HomeX - g.Pieces[0][1].HomeX);
}

TEST(BoardInput, TransparentCornersAreNotHits) {
  TGridPieces g = Grid(2, 2, false);
  // Piece (1,1) has knob margins on its left and top: its bounding box corner
  // is transparent. Piece (0,0) lies under that corner, lower in the stack.
  Put(g, 0, 0, 196, 196);
  Put(g, 1, 1, 198, 198);
  Put(g, 0, 1, 400, 50);
  Put(g, 1, 0, 50, 400);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  ASSERT_EQ(b.Piece(1, 1).Rotation, 0);
  int col = -1, row = -1;
  ASSERT_TRUE(b.HitTest(199, 199, col, row));
  EXPECT_EQ(std::pair(row, col), std::pair(0, 0));
  // Raise (1,1) to the top: the corner still passes through to (0,0).
  EXPECT_EQ(game->Press(243, 243), (TBoardPoint{1, 1}));
  game->Release(243, 243);
  EXPECT_EQ(b.StackingOrder()[0], (TZPos{1, 1}));
  const TBoardPoint hit = game->Press(199, 199);
  EXPECT_EQ(hit, (TBoardPoint{0, 0}));
  game->Release(199, 199);
  EXPECT_EQ(game->Press(5, 470), (TBoardPoint{-1, -1}));
  game->Release(5, 470);
}

TEST(BoardInput, FourRightClicksGiveTheFirstRotationBackInPlace) {
  TGridPieces g = Pair();
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  const TPieceSprite& p = game->board().Piece(0, 1);
  const int x = p.X, y = p.Y;
  for (int i = 1; i <= 4; ++i) {
    ASSERT_TRUE(game->RotatePiece(0, 1));
    EXPECT_EQ(p.Rotation, i % 4);
    EXPECT_TRUE(p.ShadowData[i % 4]) << "shadow made for rotation " << i % 4;
  }
  EXPECT_EQ(p.X, x);
  EXPECT_EQ(p.Y, y);
  EXPECT_EQ(Count(log, "rotate"), 4);
  EXPECT_EQ(log.back().sender, &game->Control());

  game->board().SetNoPieceRotation(true);
  ASSERT_TRUE(game->RotatePiece(0, 1));
  EXPECT_EQ(p.Rotation, 0);
  // A right click on a selected piece only deselects it.
  game->board().SetNoPieceRotation(false);
  game->board().SelectAll();
  ASSERT_TRUE(game->RotatePiece(0, 1));
  EXPECT_EQ(p.Rotation, 0);
  EXPECT_EQ(p.Selected, 0);
  EXPECT_EQ(Count(log, "rotate"), 4);
}

TEST(BoardInput, RotatingAGroupKeepsTheClickedPieceAndTurnsTheOthersAroundIt) {
  TGridPieces g = Grid(2, 2);
  Assemble(g, 200, 150);
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  TSpriteDraw& b = game->board();
  const int x = b.Piece(1, 0).X, y = b.Piece(1, 0).Y;
  ASSERT_TRUE(game->RotatePiece(1, 0));
  EXPECT_EQ(b.Piece(1, 0).X, x);
  EXPECT_EQ(b.Piece(1, 0).Y, y);
  const TBoardPoint o = b.Offset(1, 0);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) {
      EXPECT_EQ(b.Piece(row, col).Rotation, 1);
      EXPECT_EQ(b.Offset(row, col), o);
      EXPECT_TRUE(b.Piece(row, col).ShadowData[1]);
    }
  }
  EXPECT_TRUE(b.Group().empty());
  EXPECT_EQ(Count(log, "rotate"), 1);
  EXPECT_EQ(Count(log, "win"), 0);
  // Three more turns make it upright, and the release after the last one
  // finds the picture complete.
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(game->RotatePiece(1, 0));
  EXPECT_EQ(Count(log, "win"), 1);
}

TEST(BoardInput, SelectionsAreMadeByCtrlClickAndBandAndMoveTogether) {
  TGridPieces g = Grid(3, 1, false);
  Put(g, 0, 0, 50, 50);
  Put(g, 0, 1, 150, 50);
  Put(g, 0, 2, 400, 300, 0, 1);  // joined pieces are never band-selected
  Put(g, 0, 1, 150, 50);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  // A band from the top-left over the first two pieces and the third.
  game->Press(10, 10);
  game->Move(300, 150);
  game->Move(600, 450);
  game->Release(600, 450);
  EXPECT_EQ(b.Piece(0, 0).Selected, 1);
  EXPECT_EQ(b.Piece(0, 1).Selected, 1);
  EXPECT_EQ(b.Piece(0, 2).Selected, 0);
  // Dragging one selected piece moves the whole selection.
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 0, at));
  game->Press(at.X, at.Y);
  game->Move(at.X + 30, at.Y + 20);
  game->Release(at.X + 30, at.Y + 20);
  EXPECT_EQ(b.Piece(0, 0).X, 80);
  EXPECT_EQ(b.Piece(0, 1).X, 180);
  EXPECT_EQ(b.Piece(0, 1).Y, 70);
  EXPECT_EQ(b.Piece(0, 1).Selected, 1);  // a drag keeps the selection
  // Ctrl+click toggles; a plain press on an unselected piece clears all.
  b.SelectAll();
  ASSERT_TRUE(game->GrabPoint(0, 1, at));
  game->Press(at.X, at.Y, mbLeft, ssCtrl);
  game->Release(at.X, at.Y);
  EXPECT_EQ(b.Piece(0, 1).Selected, 0);
  EXPECT_FALSE(b.AllSelected());
  game->Press(at.X, at.Y);
  game->Release(at.X, at.Y);
  EXPECT_EQ(b.Piece(0, 0).Selected, 0);
}

TEST(BoardInput, BandsDraggedUpOrLeftSelectNothing) {
  TGridPieces g = Pair();
  auto game = Play(g);
  game->Press(630, 470);
  game->Move(20, 20);
  game->Release(20, 20);
  EXPECT_EQ(game->board().Piece(0, 0).Selected, 0);
  EXPECT_EQ(game->board().Piece(0, 1).Selected, 0);
}

TEST(BoardInput, ArrowKeysMoveTheSelectionElseTheFirstGroupElseNothing) {
  TGridPieces g = Grid(3, 2, false);
  for (int col = 0; col < 3; ++col) {
    Put(g, 0, col, 50 + 100 * col, 50);
    Put(g, 1, col, 50 + 100 * col, 300);
  }
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  const TPieces before = b.Pieces();
  for (int key : {kVkLeft, kVkUp, kVkRight, kVkDown, 0x41}) game->Key(key);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) EXPECT_EQ(b.Piece(row, col).X, before[row][col].X);
  }
  // Join (1,1) to (1,2): the first joined piece in grid order is (1,1).
  const TBoardPoint fit = game->FitPosition(1, 1, 1, 2);
  ASSERT_TRUE(game->DragPieceTo(1, 1, fit.X, fit.Y));
  const int x11 = b.Piece(1, 1).X, x12 = b.Piece(1, 2).X, y12 = b.Piece(1, 2).Y;
  game->Key(kVkRight);
  game->Key(kVkDown);
  EXPECT_EQ(b.Piece(1, 1).X, x11 + 4);
  EXPECT_EQ(b.Piece(1, 2).X, x12 + 4);
  EXPECT_EQ(b.Piece(1, 2).Y, y12 + 4);
  EXPECT_EQ(b.Piece(0, 0).X, 50);
  // A selection takes precedence.
  game->Press(20, 20);
  game->Move(130, 150);
  game->Release(130, 150);
  ASSERT_EQ(b.Piece(0, 0).Selected, 1);
  game->Key(kVkLeft);
  EXPECT_EQ(b.Piece(0, 0).X, 46);
  EXPECT_EQ(b.Piece(1, 1).X, x11 + 4);
  EXPECT_TRUE(b.Group().empty());
  EXPECT_TRUE(b.Selection().empty());
}

TEST(BoardInput, DragsFollowTheClampedPointerAndReportEveryMove) {
  TGridPieces g = Pair();
  auto game = Play(g);
  std::vector<std::tuple<int, int, int, int>> drags;
  game->board().SetOnPiecesDrag([&](TSender, int c, int r, int x, int y) {
    drags.push_back({c, r, x, y});
  });
  game->Press(120, 120);  // 20 pixels into piece (0,0) at (100, 100)
  game->Move(-50, 1000);
  EXPECT_EQ(game->board().Piece(0, 0).X, 5 - 20);
  EXPECT_EQ(game->board().Piece(0, 0).Y, 475 - 20);
  ASSERT_EQ(drags.size(), 1u);
  EXPECT_EQ(drags[0], std::make_tuple(0, 0, -15, 455));
  EXPECT_TRUE(game->board().DrawContinue());
  EXPECT_TRUE(game->Platform().IdleInstalled());
  game->Release(-50, 1000);
  EXPECT_FALSE(game->board().DrawContinue());
  EXPECT_FALSE(game->Platform().IdleInstalled());
  EXPECT_EQ(game->Control().hostMoves, 1);
  EXPECT_EQ(game->Control().hostUps, 1);
}

TEST(BoardInput, PausedBoardsAndRunningSolversIgnoreInput) {
  TGridPieces g = Pair();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.TogglePause();
  EXPECT_EQ(game->Press(120, 120), (TBoardPoint{-1, -1}));
  game->Move(200, 200);
  game->Release(200, 200);
  game->Key(kVkLeft);
  b.SolveOnePiece();
  b.SolveAll(false);
  EXPECT_EQ(b.Piece(0, 0).X, 100);
  EXPECT_EQ(game->Control().hostMoves, 0);  // not even passed on
  EXPECT_EQ(b.AnimationTimer(), nullptr);
  b.TogglePause();
  b.SolveAll(false);
  ASSERT_TRUE(b.SolvingAll());
  EXPECT_EQ(game->Press(120, 120), (TBoardPoint{-1, -1}));
  b.SetPiecesVisible(false);
}

}  // namespace
}  // namespace duduri
