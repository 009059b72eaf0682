// Taking over the piece table, defaults, stacking order, geometry and groups.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"

namespace duduri {
namespace {

using namespace board_test;

TEST(BoardModel, CreationTakesTheTableAndSetsTheDefaults) {
  TGridPieces g = Grid(3, 2);
  g.Pieces[1][2].Placed = 1;  // a restored game with one joined piece
  g.Pieces[0][1].Placed = 1;
  TFakeBoardControl control(300, 200);
  TFakeBoardPlatform platform;
  {
    TSpriteDrawParam param;
    TSpriteSource source = g.Source();
    source.Level = 4;
    TSpriteDraw board(control, platform, param, source);
    EXPECT_EQ(board.PiecesX(), 3);
    EXPECT_EQ(board.PiecesY(), 2);
    EXPECT_EQ(board.PiecesTotal(), 6);
    EXPECT_EQ(board.PiecesLeft(), 4);
    EXPECT_EQ(board.JigsawMagnet(), 5);
    EXPECT_FALSE(board.PiecesVisible());
    EXPECT_TRUE(board.SilentPause());
    EXPECT_TRUE(board.EnabledTimer());
    EXPECT_FALSE(board.DrawContinue());
    EXPECT_FALSE(board.TimeTrialMode());
    EXPECT_EQ(board.Ticks(), 0);
    EXPECT_EQ(board.MyLevel(), 4);
    EXPECT_EQ(board.BoardWidth(), 300);
    EXPECT_EQ(board.CellWidth(), kCell);
    EXPECT_EQ(board.OriginX(), (300 - 120) / 2);
    EXPECT_EQ(board.OriginY(), (200 - 80) / 2);
    EXPECT_TRUE(board.FirstDraw());
    EXPECT_FALSE(board.Clock().Enabled());
    EXPECT_EQ(board.Clock().Interval(), 1000);
    EXPECT_EQ(board.AnimationTimer(), nullptr);
    // Column by column: (0,0), (0,1), (1,0) ... as (column, row).
    const TZPosArray expected = {{0, 0}, {0, 1}, {1, 0}, {1, 1}, {2, 0}, {2, 1}};
    EXPECT_EQ(board.StackingOrder(), expected);
    // Creation draws nothing.
    EXPECT_EQ(control.paints + control.publishes, 0);

    // The board's mouse handlers run first, then the control's own.
    control.MouseMove(0, 10, 10);
    control.MouseUp(mbLeft, 0, 10, 10);
    EXPECT_EQ(control.hostMoves, 1);
    EXPECT_EQ(control.hostUps, 1);
  }
  // Destruction puts the control's handlers back.
  control.MouseMove(0, 10, 10);
  EXPECT_EQ(control.hostMoves, 2);
}

TEST(BoardModel, IndexSettersIgnoreValuesOutsideTheGrid) {
  TGridPieces g = Grid(3, 2);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SetIndexX(2);
  b.SetIndexX(3);
  b.SetIndexX(-1);
  b.SetIndexY(1);
  b.SetIndexY(2);
  EXPECT_EQ(b.IndexX(), 2);
  EXPECT_EQ(b.IndexY(), 1);
}

TEST(BoardModel, OnePieceBoardAndRotationFreeTables) {
  TGridPieces one = Grid(1, 1);
  auto game = Play(one);
  EXPECT_EQ(game->board().StackingOrder().size(), 1u);
  EXPECT_EQ(game->board().PiecesLeft(), 1);
  game->board().SolveOnePiece();  // no neighbour to go to
  EXPECT_FALSE(game->board().SolvingOne());

  // With NoPieceRotation only the rotation-0 data is taken over.
  TGridPieces g = Grid(2, 2, true, true);
  TSpriteSource source = g.Source();
  source.NoPieceRotation = true;
  for (auto& row : g.Pieces) {
    for (auto& p : row) p.Rotation = 0;
  }
  THeadlessGame norot(source, kBoardW, kBoardH);
  EXPECT_TRUE(norot.board().NoPieceRotation());
  for (const auto& row : norot.board().Pieces()) {
    for (const TPieceSprite& p : row) {
      EXPECT_TRUE(p.RleData[0]);
      for (int r = 1; r < 4; ++r) EXPECT_FALSE(p.RleData[r] || p.ShadowData[r]);
    }
  }
}

TEST(BoardModel, TablesThatDoNotMatchTheirGridAreRefusedAndTheControlIsLeftAlone) {
  TGridPieces g = Grid(2, 2);
  TFakeBoardControl control(200, 200);
  TFakeBoardPlatform platform;
  TSpriteSource source = g.Source();
  source.Columns = 3;
  EXPECT_THROW(TSpriteDraw(control, platform, {}, source), EBoardError);
  g.Pieces[1][0].Width = -4;
  EXPECT_THROW(TSpriteDraw(control, platform, {}, g.Source()), EBoardError);
  control.MouseMove(0, 1, 1);
  EXPECT_EQ(control.hostMoves, 1);
}

TEST(BoardModel, EveryOperationOnAnEmptyTableReturnsAtOnce) {
  TSpriteSource empty;
  THeadlessGame game(empty, 100, 80);
  game.Start();
  TSpriteDraw& b = game.board();
  EXPECT_EQ(game.Press(10, 10).X, -1);
  game.Move(20, 20);
  game.Release(20, 20);
  game.Key(kVkLeft);
  b.SelectAll();
  b.DeselectAll();
  b.SolveOnePiece();
  b.SolveAll(true);
  EXPECT_TRUE(game.Platform().questions.empty());
  EXPECT_FALSE(b.CheckWin());
  b.TogglePause();
  b.TogglePause();
  b.Redraw(true);
  EXPECT_EQ(b.BackBuffer().ScanLine(40)[50], game.Platform().workspaceColor);
  game.StartClock();
  EXPECT_TRUE(game.TickClock());
}

TEST(BoardModel, SolvedRectIsTheHomeAndRotatedHomesTurnThePicture) {
  TGridPieces g = Grid(3, 2);
  auto game = Play(g);
  const TSpriteDraw& b = game->board();
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      const TRect s = b.SolvedRect(row, col);
      EXPECT_EQ(s.Left, g.Pieces[row][col].HomeX);
      EXPECT_EQ(s.Top, g.Pieces[row][col].HomeY);
      EXPECT_EQ(s.Width(), g.Pieces[row][col].Width);
    }
  }
  // The picture is 120 x 80; piece (0, 0) is 46 x 46 (knob margins right
  // and below). Turned a quarter, its top-left lands at (80 - 46, 0); half,
  // at (120 - 46, 80 - 46); three quarters, at (0, 120 - 46).
  EXPECT_EQ(b.RotatedHome(0, 0, 1), (TBoardPoint{34, 0}));
  EXPECT_EQ(b.RotatedHome(0, 0, 2), (TBoardPoint{74, 34}));
  EXPECT_EQ(b.RotatedHome(0, 0, 3), (TBoardPoint{0, 74}));
  EXPECT_TRUE(TSpriteDraw::AreNeighbours(1, 1, 1, 2));
  EXPECT_TRUE(TSpriteDraw::AreNeighbours(0, 2, 1, 2));
  EXPECT_FALSE(TSpriteDraw::AreNeighbours(0, 0, 1, 1));
  EXPECT_FALSE(TSpriteDraw::AreNeighbours(1, 1, 1, 1));
}

TEST(BoardModel, GroupsAreFoundDepthFirstAndRaisedSmallestOnTop) {
  TGridPieces g = Grid(3, 3);
  Assemble(g, 100, 100);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(1, 1, at));
  game->Press(at.X, at.Y);
  ASSERT_TRUE(b.GroupDragging());
  std::vector<std::pair<int, int>> order;
  for (const auto& e : b.Group()) order.push_back({e.Row, e.Col});
  const std::vector<std::pair<int, int>> expected = {{1, 1}, {1, 0}, {0, 0}, {0, 1}, {0, 2},
                                                     {1, 2}, {2, 2}, {2, 1}, {2, 0}};
  EXPECT_EQ(order, expected);
  // Upright, only members in the last row or column cast a shadow.
  for (const auto& e : b.Group()) {
    EXPECT_EQ(e.CastsShadow, (e.Row == 2 || e.Col == 2) ? 1 : 0) << e.Row << "," << e.Col;
    EXPECT_EQ(e.OffsetX, at.X - b.Piece(e.Row, e.Col).X);
  }
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(b.StackingOrder()[i], (TZPos{std::uint16_t(i % 3), std::uint16_t(i / 3)}));
  }
  game->Release(at.X, at.Y);
}

TEST(BoardModel, ShadowCastersFollowTheGroupsRotation) {
  TGridPieces g = Grid(3, 3);
  Assemble(g, 150, 100);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  ASSERT_TRUE(game->RotatePiece(1, 1));  // the whole group turns a quarter
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(1, 1, at));
  game->Press(at.X, at.Y);
  ASSERT_EQ(b.Group().size(), 9u);
  // Turned a quarter, the picture's first row is its right-hand column and
  // its last column is the bottom row.
  for (const auto& e : b.Group()) {
    EXPECT_EQ(e.CastsShadow, (e.Row == 0 || e.Col == 2) ? 1 : 0) << e.Row << "," << e.Col;
  }
  game->Release(at.X, at.Y);
}

TEST(BoardModel, FloodFillJoinsPlacedNeighboursWithinOnePixel) {
  TGridPieces g = Grid(4, 1);
  Assemble(g, 50, 50);
  g.Pieces[0][1].X += 1;  // one pixel off its neighbour: still the group
  g.Pieces[0][2].X += 3;  // two more: not
  g.Pieces[0][3].Placed = 0;
  auto game = Play(g);
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 0, at));
  game->Press(at.X, at.Y);
  EXPECT_EQ(game->board().Group().size(), 2u);
  game->Release(at.X, at.Y);
}

}  // namespace
}  // namespace duduri
