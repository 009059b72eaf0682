// Whole games played through the headless driver.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"
#include "support/CreatorGame.h"
#include "pieces/TemplateGenerator.h"

namespace duduri {
namespace {

using namespace board_test;

TEST(BoardGame, DropsWithinFivePixelsSolveAThreeByThreeGameOnce) {
  TGridPieces g = Grid(3, 3, true, true);
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  game->StartClock();
  EXPECT_TRUE(game->board().Clock().Enabled());

  const int drops = game->SolveByDrops(5);
  EXPECT_EQ(drops, 9);
  EXPECT_EQ(Count(log, "place"), 8);
  ASSERT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(log.back().sender, game->Board());
  EXPECT_EQ(game->board().PiecesLeft(), 0);
  EXPECT_TRUE(game->board().Finished());
  EXPECT_FALSE(game->board().Clock().Enabled());
  EXPECT_FALSE(game->board().HasOnTicks());
}

TEST(BoardGame, DropsSixPixelsOffJoinNothing) {
  TGridPieces g = Grid(3, 3, true, true);
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  game->SolveByDrops(6);
  EXPECT_EQ(Count(log, "place"), 0);
  EXPECT_EQ(Count(log, "win"), 0);
  EXPECT_EQ(game->board().PiecesLeft(), 9);
}

TEST(BoardGame, SolvingOnePieceAtATimeJoinsItToItsFirstNeighbourAndEndsInAWin) {
  TGridPieces g = Grid(3, 2, true, false);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  std::vector<TEvent> log;
  Record(b, log);
  game->StartClock();
  int wins = 0;
  for (int row = 0; row < 2; ++row) {
    for (int col = 0; col < 3; ++col) {
      if (row == 0 && col == 0) continue;
      TBoardPoint at;
      ASSERT_TRUE(game->GrabPoint(row, col, at));
      game->Press(at.X, at.Y);  // a click makes the piece the one to solve
      game->Release(at.X, at.Y);
      b.SolveOnePiece();
      ASSERT_TRUE(b.SolvingOne());
      EXPECT_EQ(b.AnimationTimer()->Interval(), 10);
      EXPECT_EQ(game->Press(at.X, at.Y), (TBoardPoint{-1, -1}));  // ignored meanwhile
      EXPECT_GT(game->RunAnimation(), 0);
      EXPECT_FALSE(b.SolvingOne());
      ASSERT_EQ(std::string_view(log.back().name), row == 1 && col == 2 ? "win" : "place");
      const TEvent& placed = log[log.size() - (row == 1 && col == 2 ? 2 : 1)];
      EXPECT_EQ(placed.sender, &b);
      EXPECT_EQ(std::pair(placed.a, placed.b), std::pair(col, row));
      // First neighbour in grid order: the one above, else the one on the left.
      const int nRow = row > 0 ? row - 1 : row;
      const int nCol = row > 0 ? col : col - 1;
      const TBoardPoint fit = game->FitPosition(row, col, nRow, nCol);
      EXPECT_EQ(b.Piece(row, col).X, fit.X);
      EXPECT_EQ(b.Piece(row, col).Y, fit.Y);
      wins = Count(log, "win");
    }
  }
  EXPECT_EQ(wins, 1);
  EXPECT_EQ(log.back().sender, &b);
  EXPECT_TRUE(b.Finished());
  EXPECT_FALSE(b.Clock().Enabled());
  EXPECT_EQ(b.PiecesLeft(), 0);
}

TEST(BoardGame, SolvingAllAnimatesEveryPieceHomeAroundTheBoardCentre) {
  TGridPieces g = Grid(3, 3, true, true);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  std::vector<TEvent> log;
  Record(b, log);
  game->StartClock();
  b.SolveAll(true);
  ASSERT_EQ(game->Platform().questions, std::vector<std::string>{"Solve all pieces?"});
  ASSERT_TRUE(b.SolvingAll());
  EXPECT_EQ(b.AnimationTimer()->Interval(), 20);
  EXPECT_GT(game->RunAnimation(), 1);
  ASSERT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(log.back().sender, &b);
  EXPECT_EQ(Count(log, "place"), 0);
  // Not counted down piece by piece, but none is left once it is done.
  EXPECT_EQ(b.PiecesLeft(), 0);
  EXPECT_EQ(b.AnimationTimer(), nullptr);
  EXPECT_FALSE(b.SolvingAll());
  EXPECT_TRUE(b.Finished());
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      const TPieceSprite& p = b.Piece(row, col);
      EXPECT_EQ(p.X, p.HomeX + b.OriginX());
      EXPECT_EQ(p.Y, p.HomeY + b.OriginY());
      EXPECT_EQ(p.Rotation, 0);
      EXPECT_EQ(p.Placed, 1);
    }
  }
  // A finished game is not solved again.
  b.SolveAll(false);
  EXPECT_FALSE(b.SolvingAll());
}

TEST(BoardGame, SolveAllAnsweredNoLeavesEverythingAsItWas) {
  TGridPieces g = Grid(3, 3, true, true);
  auto game = Play(g);
  game->Platform().answer = false;
  const TPieces before = game->board().Pieces();
  game->board().SolveAll(true);
  EXPECT_FALSE(game->board().SolvingAll());
  EXPECT_EQ(game->board().AnimationTimer(), nullptr);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 3; ++col) {
      EXPECT_EQ(game->board().Piece(row, col).X, before[row][col].X);
      EXPECT_EQ(game->board().Piece(row, col).Rotation, before[row][col].Rotation);
    }
  }
}

TEST(BoardGame, SolveAllKeepsTheIntervalOfATimerLeftByTheOnePieceSolver) {
  TGridPieces g = Grid(2, 2);
  g.Pieces[0][0].Placed = 1;  // the clicked piece (0,0) is joined: nothing to solve
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SolveOnePiece();
  ASSERT_NE(b.AnimationTimer(), nullptr);
  EXPECT_FALSE(b.SolvingOne());
  EXPECT_FALSE(b.AnimationTimer()->Enabled());
  b.SolveAll(false);
  EXPECT_EQ(b.AnimationTimer()->Interval(), 10);
  EXPECT_TRUE(b.AnimationTimer()->Enabled());
}

TEST(BoardGame, ATimeTrialIsLostOnTheTickAfterTheCounterReachesZero) {
  TGridPieces g = Grid(3, 3, true, true);
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  game->board().SetTimeTrialMode(true);
  game->board().SetTicks(5);
  game->StartClock();
  // Some play in between does not change the count.
  game->SolveByDrops(6);
  for (int tick = 1; tick <= 5; ++tick) {
    game->TickClock();
    ASSERT_EQ(Count(log, "lose"), 0) << tick;
  }
  game->TickClock();
  EXPECT_EQ(Count(log, "lose"), 1);
  EXPECT_EQ(Count(log, "win"), 0);
}

TEST(BoardGame, TheOnePieceSolverArrivesEvenWhenKeysMoveThePieceOnTheWay) {
  TGridPieces g = Grid(2, 1, false);
  Put(g, 0, 0, 100, 100);
  Put(g, 0, 1, 100 + kCell - 6, 320);  // its fitting X already, far below
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 1, at));
  game->Press(at.X, at.Y, mbLeft, ssCtrl);  // selected, and the piece to solve
  game->Release(at.X, at.Y);
  b.SolveOnePiece();
  ASSERT_TRUE(b.SolvingOne());
  game->TickAnimation();
  game->Key(kVkRight);  // the selection moves 8 pixels off the finished axis
  game->Key(kVkRight);
  EXPECT_LT(game->RunAnimation(1000), 1000);
  EXPECT_FALSE(b.SolvingOne());
  EXPECT_EQ(b.PiecesLeft(), 0);
}

// The host frees the board from inside its events; nothing may follow.
TEST(BoardGame, AHostMayFreeTheBoardInsideAnyOfItsEvents) {
  auto freeOn = [](const char* what) {
    TGridPieces g = Grid(2, 2, true, false);
    auto game = Play(g);
    TSpriteDraw& b = game->board();
    THeadlessGame* host = game.get();
    int after = 0;
    const std::string event = what;
    auto maybeFree = [host, event, &after](const char* name) {
      if (!host->Board()) {
        ++after;
        return;
      }
      if (event == name) host->FreeBoard();
    };
    b.SetOnPiecesInRightPlace([=](TSender, int, int) { maybeFree("place"); });
    b.SetOnWin([=](TSender) { maybeFree("win"); });
    b.SetOnPiecesClick([=](TSender, int, int) { maybeFree("click"); });
    b.SetOnPiecesDrag([=](TSender, int, int, int, int) { maybeFree("drag"); });
    b.SetOnTicks([=](TSender, int&) { maybeFree("ticks"); });
    if (event == "draw") {
      b.SetOnPiecesDraw([=](TSender, const TColor32*) { maybeFree("draw"); });
    }
    if (event == "solver") {
      b.SetOnPiecesInRightPlace([=](TSender s, int, int) {
        if (s == host->Board()) maybeFree("solver");
      });
      TBoardPoint at;
      host->GrabPoint(1, 1, at);
      host->Press(at.X, at.Y);
      host->Release(at.X, at.Y);
      host->board().SolveOnePiece();
      host->RunAnimation();
    } else if (event == "ticks") {
      host->TickClock();
      host->TickClock();
    } else {
      host->SolveByDrops(0);
      host->Idle(3);
    }
    EXPECT_EQ(host->Board(), nullptr) << event;
    EXPECT_EQ(after, 0) << event;
    // The control has its own handlers back.
    host->Control().MouseMove(0, 1, 1);
    EXPECT_GT(host->Control().hostMoves, 0);
  };
  for (const char* e : {"click", "drag", "place", "win", "ticks", "draw", "solver"}) freeOn(e);
}

TEST(BoardGame, AHostMayFreeTheBoardWhenTheSolverWins) {
  TGridPieces g = Grid(2, 2, true, true);
  auto game = Play(g);
  THeadlessGame* host = game.get();
  game->board().SetOnWin([host](TSender) { host->FreeBoard(); });
  game->board().SolveAll(false);
  game->RunAnimation();
  EXPECT_EQ(game->Board(), nullptr);
}

// A real game: a photograph cut with generated knob templates by the sprite
// creator, played to a win by hand and by the solver.
TEST(BoardGame, CreatorGamesFromAPhotographAreWonByDropsAndBySolveAll) {
  const TPicture photo = LoadPictureFile(DUDURI_SOURCE_DIR "/data/harbour.jpg");
  const TTemplateSet templates = GenerateTemplateSet({{80, 80}}, 7, 3);
  for (bool byHand : {true, false}) {
    TCreatorGameOptions o;
    o.Seed = 11;
    o.Difficulty = 1;
    o.BoardWidth = 1024;
    o.BoardHeight = 768;
    auto game = MakeCreatorGame(photo, templates, o);
    TSpriteDraw& b = game->board();
    ASSERT_GE(b.PiecesTotal(), 5);
    std::vector<TEvent> log;
    Record(b, log);
    game->StartClock();
    if (byHand) {
      EXPECT_EQ(game->SolveByDrops(4), b.PiecesTotal());
      EXPECT_EQ(Count(log, "place"), b.PiecesTotal() - 1);
    } else {
      b.SolveAll(false);
      game->RunAnimation();
    }
    EXPECT_EQ(Count(log, "win"), 1) << (byHand ? "by hand" : "solver");
    EXPECT_TRUE(b.Finished());
  }
}

}  // namespace
}  // namespace duduri
