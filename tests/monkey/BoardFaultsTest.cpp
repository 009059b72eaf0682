// What the monkey found wrong on the board, each made by hand: a drag that
// another button or the keys pulled apart, selections pushed off the board,
// the one-piece solver joining a piece to where its neighbour had been.

#include <gtest/gtest.h>

#include "board/BoardTestUtil.h"

namespace duduri {
namespace {

using namespace board_test;

// Pieces (0,0) and (0,1) joined where they belong, (1,0) and (1,1) free.
TGridPieces JoinedPairAndTwoFree() {
  TGridPieces g = Grid(2, 2, false);
  Put(g, 0, 0, 100 + g.Pieces[0][0].HomeX, 60 + g.Pieces[0][0].HomeY, 0, 1);
  Put(g, 0, 1, 100 + g.Pieces[0][1].HomeX, 60 + g.Pieces[0][1].HomeY, 0, 1);
  Put(g, 1, 0, 400, 300);
  Put(g, 1, 1, 500, 200);
  return g;
}

bool Agree(const TSpriteDraw& b, int r1, int c1, int r2, int c2) {
  const TBoardPoint a = b.Offset(r1, c1);
  const TBoardPoint o = b.Offset(r2, c2);
  return std::abs(a.X - o.X) <= 1 && std::abs(a.Y - o.Y) <= 1;
}

TEST(BoardFaults, ADragOwnsThePointerAndTheKeysUntilItsRelease) {
  TGridPieces g = JoinedPairAndTwoFree();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TBoardPoint free, joined;
  ASSERT_TRUE(game->GrabPoint(1, 1, free));
  ASSERT_TRUE(game->GrabPoint(0, 0, joined));
  const TPieceSprite before = b.Piece(0, 0);

  // The right button pressed over the joined pair while (1,1) is dragged:
  // nothing turns, and the drag goes on with (1,1).
  game->Press(free.X, free.Y);
  EXPECT_EQ(game->Press(joined.X, joined.Y, mbRight), (TBoardPoint{-1, -1}));
  // The keys leave the pair alone too.
  game->Key(kVkLeft);
  game->Move(free.X + 30, free.Y + 20);
  game->Release(free.X + 30, free.Y + 20);
  EXPECT_EQ(b.Piece(0, 0).Rotation, before.Rotation);
  EXPECT_EQ(b.Piece(0, 0).X, before.X);
  EXPECT_EQ(b.Piece(1, 1).X, 500 + 30);
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));
  // Once released, the keys act again.
  game->Key(kVkLeft);
  EXPECT_EQ(b.Piece(0, 0).X, before.X - 4);
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));
}

TEST(BoardFaults, WhatAPressPicksUpIsWhatTheDragMoves) {
  TGridPieces g = JoinedPairAndTwoFree();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SelectAll();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 0, at));
  // Ctrl+D in the middle of a selection drag: the pieces taken still move
  // together, the joined pair with them.
  game->Press(at.X, at.Y);
  game->Move(at.X + 10, at.Y + 10);
  b.DeselectAll();
  game->Move(at.X + 40, at.Y + 30);
  game->Release(at.X + 40, at.Y + 30);
  EXPECT_EQ(b.Piece(1, 0).X, 400 + 40);
  EXPECT_EQ(b.Piece(1, 1).Y, 200 + 30);
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));

  // A selected piece pressed and let go without a move, then a free piece
  // dragged: only that piece moves.
  b.SelectAll();
  ASSERT_TRUE(game->GrabPoint(1, 0, at));
  game->Press(at.X, at.Y);
  game->Release(at.X, at.Y);
  b.DeselectAll();
  const int pairX = b.Piece(0, 1).X;
  ASSERT_TRUE(game->DragPieceTo(1, 1, 300, 250));
  EXPECT_EQ(b.Piece(0, 1).X, pairX);
  EXPECT_EQ(b.Piece(1, 1).X, 300);
}

TEST(BoardFaults, SelectionsAndKeyedGroupsStayOnTheBoard) {
  TGridPieces g = JoinedPairAndTwoFree();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  auto onBoard = [&](int row, int col) {
    const TPieceSprite& p = b.Piece(row, col);
    return p.X + p.Width > 0 && p.Y + p.Height > 0 && p.X < b.BoardWidth() &&
           p.Y < b.BoardHeight();
  };
  // The joined pair pushed left by the keys for ever.
  for (int i = 0; i < 200; ++i) game->Key(kVkLeft);
  EXPECT_TRUE(onBoard(0, 0) && onBoard(0, 1));
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));
  // Everything selected, dragged into a corner and pushed on by the keys.
  b.SelectAll();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(1, 1, at));
  game->Press(at.X, at.Y);
  game->Move(kBoardW - 1, kBoardH - 1);
  game->Release(kBoardW - 1, kBoardH - 1);
  for (int i = 0; i < 200; ++i) game->Key(kVkDown);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 2; ++col) EXPECT_TRUE(onBoard(row, col)) << row << "," << col;
  }
}

TEST(BoardFaults, TheOnePieceSolverFollowsANeighbourTheKeysMove) {
  TGridPieces g = JoinedPairAndTwoFree();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  // (1,0) flies to (0,0), its first neighbour, while the keys move the pair.
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(1, 0, at));
  game->Press(at.X, at.Y);
  game->Release(at.X, at.Y);
  b.SolveOnePiece();
  ASSERT_TRUE(b.SolvingOne());
  for (int i = 0; i < 3; ++i) game->TickAnimation();
  for (int i = 0; i < 10; ++i) game->Key(kVkRight);
  game->RunAnimation();
  EXPECT_FALSE(b.SolvingOne());
  EXPECT_EQ(b.Piece(1, 0).Placed, 1);
  EXPECT_TRUE(Agree(b, 1, 0, 0, 0));
  EXPECT_EQ(b.PiecesLeft(), 1);
}

// A game read from a file laid out by another board: a piece marked joined
// far from its neighbours, a free piece and a joined pair beyond this
// board's edges.
TEST(BoardFaults, ARestoredGameIsSettledOnTheBoard) {
  TGridPieces g = Grid(3, 2, false);
  for (int col = 0; col < 2; ++col) {
    const TPieceSprite& p = g.Pieces[0][col];
    Put(g, 0, col, p.HomeX + 900, p.HomeY + 50, 0, 1);  // a joined pair off to the right
  }
  Put(g, 0, 2, 300, 200, 0, 1);  // joined to nothing
  Put(g, 1, 0, -400, 100);       // free, off to the left
  Put(g, 1, 1, 200, 300);
  Put(g, 1, 2, 250, 600);        // free, below
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SettleRestoredGame();
  EXPECT_EQ(b.Piece(0, 2).Placed, 0);
  EXPECT_EQ(b.Piece(0, 0).Placed, 1);
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));
  EXPECT_EQ(b.PiecesLeft(), 4);
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      const TPieceSprite& p = b.Piece(row, col);
      EXPECT_TRUE(p.X < kBoardW && p.Y < kBoardH && p.X + p.Width > 0 && p.Y + p.Height > 0)
          << row << "," << col << " at " << p.X << "," << p.Y;
    }
  }
  EXPECT_EQ(b.Piece(1, 1).X, 200);  // what lay on the board stays where it was
}

// A joined row of wide pieces turned about its end piece, which shows only
// a strip inside the board's left edge: turned, that piece is narrower by
// half and the row becomes a column above or below it, all of it off the
// board unless the board brings it back.
TEST(BoardFaults, AGroupTurnedAtTheEdgeStaysInReach) {
  TGridPiecesOptions o;
  o.Columns = 4;
  o.Rows = 1;
  o.Scatter = false;
  o.RandomRotation = false;
  o.BoardWidth = kBoardW;
  o.BoardHeight = kBoardH;
  TGridPieces g = MakeGridPieces(MakeTestPicture(4 * 2 * kCell, kCell), o);
  const TPieceSprite& end = g.Pieces[0][0];
  Assemble(g, 16 - end.Width - end.HomeX, 200 - end.HomeY);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  for (int turn = 0; turn < 4; ++turn) {
    // Turned about whichever piece the player can still take.
    TBoardPoint at;
    int taken = -1;
    for (int col = 0; col < 4 && taken < 0; ++col) {
      if (game->GrabPoint(0, col, at)) taken = col;
    }
    ASSERT_GE(taken, 0) << "turn " << turn;
    game->Press(at.X, at.Y, mbRight);
    game->Release(at.X, at.Y, mbRight);
    EXPECT_TRUE(Agree(b, 0, 0, 0, 3));
  }
}

// A joined pair selected with Ctrl and dragged as a selection until one of
// its pieces fits a free neighbour: the snap takes the pair, not the one
// piece, or the pair would lie in two parts that both count as placed.
TEST(BoardFaults, ASelectedGroupSnapsAsOne) {
  TGridPieces g = JoinedPairAndTwoFree();
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 0, at));
  game->Press(at.X, at.Y, mbLeft, ssCtrl);
  game->Release(at.X, at.Y, mbLeft, ssCtrl);
  ASSERT_EQ(b.Piece(0, 0).Selected, 1);
  // Where (0,0) fits above (1,0), three pixels off, and the pair carried there.
  const TBoardPoint fit = game->FitPosition(0, 0, 1, 0);
  const int dx = fit.X + 3 - b.Piece(0, 0).X;
  const int dy = fit.Y + 2 - b.Piece(0, 0).Y;
  game->Press(at.X, at.Y);
  game->Move(at.X + dx / 2, at.Y + dy / 2);
  game->Move(at.X + dx, at.Y + dy);
  game->Release(at.X + dx, at.Y + dy);
  EXPECT_EQ(b.Piece(0, 0).X, fit.X);
  EXPECT_EQ(b.Piece(0, 0).Y, fit.Y);
  EXPECT_TRUE(Agree(b, 0, 0, 0, 1));
  EXPECT_TRUE(Agree(b, 0, 0, 1, 0));
  EXPECT_EQ(b.PiecesLeft(), 1);  // (1,1) alone
}

}  // namespace
}  // namespace duduri
