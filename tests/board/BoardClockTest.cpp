// The game clock, time trials, the win test and pausing.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"

namespace duduri {
namespace {

using namespace board_test;

TEST(BoardClock, TimeTrialOfThreeSecondsShowsTwoOneZeroZeroThenLoses) {
  TGridPieces g = Grid(2, 2);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  std::vector<TEvent> log;
  Record(b, log);
  b.SetTimeTrialMode(true);
  b.SetTicks(3);
  std::vector<int> seen;
  std::vector<TSender> senders;
  b.SetOnTicks([&](TSender s, int& counter) {
    seen.push_back(counter);
    senders.push_back(s);
  });
  ASSERT_TRUE(b.Clock().Enabled());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(game->TickClock());
  EXPECT_EQ(seen, (std::vector<int>{2, 1, 0, 0}));
  EXPECT_EQ(senders[0], &b.Clock());
  ASSERT_EQ(Count(log, "lose"), 1);
  EXPECT_EQ(log.back().sender, &b.Clock());
  EXPECT_FALSE(b.Clock().Enabled());
  EXPECT_FALSE(game->TickClock());  // a stopped clock delivers nothing
  EXPECT_EQ(b.Ticks(), 0);
}

TEST(BoardClock, TicksCountUpAndTheHandlerMayResetTheCounter) {
  TGridPieces g = Grid(2, 2);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SetTicks(41);
  std::vector<int> seen;
  b.SetOnTicks([&](TSender, int& counter) {
    seen.push_back(counter);
    if (counter == 43) counter = 10;
  });
  for (int i = 0; i < 4; ++i) game->TickClock();
  EXPECT_EQ(seen, (std::vector<int>{42, 43, 11, 12}));
  EXPECT_EQ(b.Ticks(), 12);
}

TEST(BoardClock, PausingShowsTheBackdropAndResumingRestartsTheClock) {
  TGridPieces g = Grid(2, 2);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  game->StartClock();
  b.SetEnabledTimer(false);
  EXPECT_FALSE(b.Clock().Enabled());
  b.TogglePause();
  EXPECT_TRUE(b.GamePaused());
  EXPECT_FALSE(b.Clock().Enabled());
  const TColor32 backdrop = game->Platform().workspaceColor;
  for (int y = 0; y < kBoardH; y += 7) {
    for (int x = 0; x < kBoardW; x += 7)
      ASSERT_EQ(game->Control().picture.ScanLine(y)[x], backdrop);
  }
  b.TogglePause();
  EXPECT_FALSE(b.GamePaused());
  EXPECT_TRUE(b.Clock().Enabled());
  EXPECT_FALSE(b.EnabledTimer());
}

TEST(BoardClock, TheWinTestWantsEveryPieceJoinedUprightAndWithinTheMagnet) {
  for (auto [shift, rotation, placed, wins] :
       {std::tuple{3, 0, 1, true}, std::tuple{5, 0, 1, true}, std::tuple{6, 0, 1, false},
        std::tuple{0, 1, 1, false}, std::tuple{0, 0, 0, false}}) {
    TGridPieces g = Grid(3, 3);
    Assemble(g, 123, 77);  // anywhere on the board
    TPieceSprite& odd = g.Pieces[2][1];
    odd.X += shift;
    odd.Rotation = std::uint8_t(rotation);
    odd.Placed = std::uint8_t(placed);
    auto game = Play(g);
    EXPECT_EQ(game->board().CheckWin(), wins) << shift << " " << rotation << " " << placed;
    // A complete picture does not start the clock.
    game->StartClock();
    EXPECT_EQ(game->board().Clock().Enabled(), !wins);
  }
}

TEST(BoardClock, TheWinTestTakesTheCurrentPieceAsReference) {
  TGridPieces g = Grid(2, 1);
  Assemble(g, 100, 100);
  g.Pieces[0][0].Rotation = 2;
  auto game = Play(g);
  EXPECT_FALSE(game->board().CheckWin());  // the reference is turned
}

// A 2 x 2 picture with (1,1) missing, in a time trial.
std::unique_ptr<THeadlessGame> AlmostDone(TGridPieces& g, int ticks, std::vector<TEvent>& log) {
  g = Grid(2, 2);
  Assemble(g, 100, 100);
  Put(g, 1, 1, 450, 320);
  auto game = Play(g);
  Record(game->board(), log);
  game->board().SetTimeTrialMode(true);
  game->board().SetTicks(ticks);
  game->StartClock();
  return game;
}

TEST(BoardClock, ATimeTrialWonByADropStopsTheClockAndLeavesTheCounter) {
  TGridPieces g;
  std::vector<TEvent> log;
  auto game = AlmostDone(g, 2, log);
  TSpriteDraw& b = game->board();
  game->TickClock();
  ASSERT_EQ(b.TickCounter(), 1);
  const TBoardPoint fit = game->FitPosition(1, 1, 0, 1);
  ASSERT_TRUE(game->DragPieceTo(1, 1, fit.X, fit.Y + 3));
  ASSERT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(log.back().sender, &game->Control());
  EXPECT_FALSE(b.Clock().Enabled());
  EXPECT_EQ(b.TickCounter(), 1);
  EXPECT_FALSE(b.Finished());
  EXPECT_FALSE(b.HasOnTicks());
  EXPECT_EQ(b.CurrentCol(), 0);
  EXPECT_EQ(b.CurrentRow(), 0);
}

TEST(BoardClock, ATimeTrialCompletedAfterTheCounterRanOutRaisesNothing) {
  TGridPieces g;
  std::vector<TEvent> log;
  auto game = AlmostDone(g, 1, log);
  game->TickClock();
  ASSERT_EQ(game->board().TickCounter(), 0);
  const TBoardPoint fit = game->FitPosition(1, 1, 0, 1);
  ASSERT_TRUE(game->DragPieceTo(1, 1, fit.X, fit.Y));
  EXPECT_EQ(Count(log, "win"), 0);
  EXPECT_TRUE(game->board().Won());
  // The next tick finds the complete picture: a win from the clock, no loss.
  game->TickClock();
  EXPECT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(Count(log, "lose"), 0);
  EXPECT_EQ(log.back().sender, &game->board().Clock());
}

TEST(BoardClock, OutsideTimeTrialsTheClockNeverTestsForAWin) {
  TGridPieces g = Grid(2, 2);
  Assemble(g, 100, 100);
  auto game = Play(g);
  std::vector<TEvent> log;
  Record(game->board(), log);
  game->board().SetEnabledTimer(true);
  for (int i = 0; i < 3; ++i) game->TickClock();
  EXPECT_EQ(Count(log, "win"), 0);
  EXPECT_EQ(game->board().Ticks(), 3);
}

}  // namespace
}  // namespace duduri
