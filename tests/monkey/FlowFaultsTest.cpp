// What the monkey found wrong in the game flow, each made by hand: a clock
// that showed the game before, a won game that could still be lost or won
// again, pieces left counted after a solve-all, and a game saved while
// solve-all was flying pieces home.

#include <gtest/gtest.h>

#include "ShellTestKit.h"
#include "board/JigsawFile.h"
#include "shell/ShellTexts.h"

namespace duduri::test {
namespace {

void rightClick(TFlowRig& rig, int row, int col) {
  TRigPointer pointer(rig);
  TDragSolver solver(rig.CurrentGame(), pointer);
  TBoardPoint at;
  ASSERT_TRUE(solver.GrabPoint(row, col, at));
  pointer.Press(at.X, at.Y, mbRight);
  pointer.Release(at.X, at.Y, mbRight);
}

TEST(FlowFaults, TheClockShowsTheGameBeingPlayed) {
  TFlowRig rig(MakeTestPackage({.Pictures = 2}));
  rig.Create();
  rig.TickClock(5);
  EXPECT_EQ(rig.view.status[2], "00:00:05");
  rig.flow->ActionDispatch(nullptr, ccNewGame, {});
  EXPECT_EQ(rig.view.status[2], "00:00:00");

  // A clock turned off runs on unseen after a pause; turned on, it shows
  // the time at once.
  rig.flow->ActionDispatch(nullptr, ccClock, {});
  rig.flow->ActionDispatch(nullptr, ccPause, {});
  rig.flow->ActionDispatch(nullptr, ccPause, {});
  rig.TickClock(3);
  EXPECT_EQ(rig.view.status[2], "00:00:00");
  rig.flow->ActionDispatch(nullptr, ccClock, {});
  EXPECT_EQ(rig.view.status[2], "00:00:03");
}

TEST(FlowFaults, AWonTimeTrialIsNeverLost) {
  // Random choice and no win script: the finished board stays.
  TFlowRig rig(MakeTestPackage(
      {.Pictures = 1, .Choice = kChoiceRandom, .TimeTrial = true, .TimeTrialTicks = 60}));
  rig.Create();
  rig.SolveByDrags();
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].Caption, kWinCaption);
  // Paused and resumed, the clock runs again; the finished picture turned
  // a quarter is no win any more, and the time runs out over it.
  rig.flow->ActionDispatch(nullptr, ccPause, {});
  rig.flow->ActionDispatch(nullptr, ccPause, {});
  rightClick(rig, 0, 0);
  rig.TickClock(80);
  EXPECT_EQ(rig.services.results.size(), 1u);  // no "You Lose!" (and no play-again dialog)
  EXPECT_TRUE(rig.flow->WinHandled());
}

TEST(FlowFaults, ANewGameThatBuildsNothingLeavesTheWonGameWon) {
  TFlowRig rig(MakeTestPackage({.Pictures = 3, .Choice = kChoicePlayer, .TimeTrial = true,
                                .TimeTrialTicks = 60}));
  rig.Create();
  rig.SolveByDrags();
  ASSERT_EQ(rig.services.results.size(), 1u);
  // The choice of picture closed: the finished game stays, and turning its
  // picture away and back is not a second win.
  rig.services.chosenPicture = -1;
  rig.flow->ActionDispatch(nullptr, ccNewGame, {});
  EXPECT_EQ(rig.flow->GamesBuilt(), 1);
  EXPECT_TRUE(rig.flow->WinHandled());
  rig.flow->ActionDispatch(nullptr, ccPause, {});
  for (int turn = 0; turn < 4; ++turn) rightClick(rig, 0, 0);
  EXPECT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.nameEntries, 1);
}

TEST(FlowFaults, SolveAllEndsWithNoPiecesLeftShown) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .Choice = kChoiceRandom}));
  rig.Create();
  ASSERT_NE(rig.view.status[0], "0");
  rig.flow->ActionDispatch(nullptr, ccSolveAllNoAsk, {});
  rig.RunAnimation();
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.flow->Board()->PiecesLeft(), 0);
  EXPECT_EQ(rig.view.status[0], "0");
}

TEST(FlowFaults, AGameSavedDuringSolveAllHasNoStrayJoins) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .Choice = kChoiceRandom}));
  rig.Create();
  rig.flow->ActionDispatch(nullptr, ccSolveAllNoAsk, {});
  // Far enough for some pieces to be home and joined, not all.
  int ticks = 0;
  auto joined = [&] {
    int n = 0;
    for (const auto& row : rig.flow->Board()->Pieces()) {
      for (const TPieceSprite& p : row) n += p.Placed;
    }
    return n;
  };
  while (joined() == 0 && ticks++ < 200) rig.platform.FireTimer(rig.flow->Board()->AnimationTimer());
  ASSERT_GT(joined(), 0);
  ASSERT_TRUE(rig.flow->Board()->SolvingAll());
  const std::filesystem::path file = rig.folder / "flying.jsw";
  rig.services.saveFiles.push_back({true, file.string(), 1});
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  TJigsawFile saved;
  saved.LoadFromFile(file);
  for (const TSavedPiece& p : saved.Pieces) EXPECT_EQ(p.Placed, 0);

  // Opened again, the game counts every piece as left.
  rig.services.openFiles.push_back({true, file.string(), 1});
  rig.flow->ActionDispatch(nullptr, ccOpenGame, {});
  ASSERT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_EQ(rig.flow->Board()->PiecesLeft(), rig.flow->Board()->PiecesTotal());
}

}  // namespace
}  // namespace duduri::test
