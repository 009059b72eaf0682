// The game flow on fakes: start-up, bad projects, whole games played by
// pointer gestures, the win and lose flows, and closing.

#include <gtest/gtest.h>

#include <fstream>

#include "ShellTestKit.h"
#include "project/HighScore.h"
#include "raster/Picture.h"
#include "shell/ShellTexts.h"

namespace duduri::test {
namespace {

bool contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

void writeFile(const std::filesystem::path& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(GameFlowStartUp, NoProjectEndsSilently) {
  TFlowRig rig(TBytes{});
  rig.Create();
  EXPECT_TRUE(rig.flow->Terminated());
  EXPECT_TRUE(rig.view.terminated);
  EXPECT_TRUE(rig.services.messages.empty());
  EXPECT_EQ(rig.flow->Board(), nullptr);
  EXPECT_FALSE(rig.view.visible);
}

TEST(GameFlowStartUp, ProjectFileFromTheCommandLineAndMinusT) {
  const TBytes package = MakeTestPackage({.Pictures = 1});
  TFlowRig keep(TBytes{});
  const auto file = keep.folder / "game.pzp";
  writeFile(file, package);
  {
    TFlowRig rig(TBytes{}, {file.string()});
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_TRUE(rig.view.visible);
    EXPECT_EQ(rig.view.title, kApplicationTitle);
  }
  EXPECT_TRUE(std::filesystem::exists(file));  // without "-T" the file stays
  {
    TFlowRig rig(TBytes{}, {file.string(), "-T"});
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(file));
  }
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST(GameFlowStartUp, BadProjectsGiveTheirMessageAndEnd) {
  {
    // Not a project at all.
    TFlowRig rig(TBytes(100, std::byte{0x41}));
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    ASSERT_EQ(rig.services.messages.size(), 1u);
    EXPECT_EQ(rig.flow->Board(), nullptr);
  }
  {
    // A package cut short.
    TBytes package = MakeTestPackage({.Pictures = 1});
    package.resize(package.size() / 2);
    TFlowRig rig(package);
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    EXPECT_EQ(rig.services.messages.size(), 1u);
  }
  {
    // Backgrounds only: nothing to play.
    TFlowRig rig(MakeTestPackage({.Pictures = 0, .BackgroundOnly = 1}));
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    EXPECT_EQ(rig.services.messages, std::vector<std::string>{kMsgNoBitmap});
  }
  {
    TFlowRig rig(MakeTestPackage({.Pictures = 0}));
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    EXPECT_EQ(rig.services.messages, std::vector<std::string>{kMsgNoBitmap});
  }
}

TEST(GameFlowStartUp, PictureThatIsNoJpegIsInvalidData) {
  TJigsawProject2 p;
  p.MasterTemplateSet = MasterTemplates();
  p.AddPictureEntry(TPictureKind::pkPicture).Data = TBytes(500, std::byte{7});
  TFlowRig rig(p.SaveToBytes());
  rig.Create();
  EXPECT_TRUE(rig.flow->Terminated());
  EXPECT_EQ(rig.services.messages, std::vector<std::string>{kMsgInvalidData});
  EXPECT_EQ(rig.flow->Board(), nullptr);
  EXPECT_FALSE(rig.services.progressUp);
  ASSERT_FALSE(rig.view.area.fills.empty());
  EXPECT_EQ(rig.view.area.fills.back(), rig.view.WorkspaceColor());
}

TEST(GameFlowStartUp, CorruptHighScoreFileDoesNotStopThePlayer) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  writeFile(rig.folder / "highscorefile.dat",
            TBytes{std::byte{'H'}, std::byte{'G'}, std::byte{'S'}, std::byte{'C'}, std::byte{0x21},
                   std::byte{0x10}});
  rig.Create();
  EXPECT_FALSE(rig.flow->Terminated());
  EXPECT_NE(rig.flow->Board(), nullptr);
}

TEST(GameFlowStartUp, SplashInsteadOfProgressAtStartUp) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .Splash = true}));
  rig.Create();
  EXPECT_EQ(rig.services.splashes, 1);
  EXPECT_FALSE(rig.services.splashUp);
  EXPECT_EQ(rig.services.progressShown, 0);
  rig.flow->NewGame();  // later games show the progress window
  EXPECT_EQ(rig.services.progressShown, 1);
  EXPECT_FALSE(rig.services.progressUp);
  EXPECT_GT(rig.services.lastProgress.Y, 0);
  EXPECT_EQ(rig.services.lastProgress.X, rig.services.lastProgress.Y);
}

TEST(GameFlowStartUp, PictureChoiceByThePlayer) {
  {
    TFlowRig rig(MakeTestPackage({.Pictures = 1, .Choice = kChoicePlayer}));
    rig.Create();
    EXPECT_EQ(rig.services.chooseCalls, 0);  // one picture: no dialog
    EXPECT_EQ(rig.flow->CurrentPictureIndex(), 0);
  }
  TFlowRig rig(MakeTestPackage({.Pictures = 3, .Choice = kChoicePlayer}));
  rig.services.chosenPicture = 2;
  rig.Create();
  EXPECT_EQ(rig.services.chooseCalls, 1);
  EXPECT_EQ(rig.flow->CurrentPictureIndex(), 2);
}

// The whole sequence: three pictures, the first won by hand, the others
// solved by the computer, then the question to start over.
TEST(GameFlowGames, SequencePlayThroughThreePictures) {
  TFlowRig rig(MakeTestPackage({.Pictures = 3, .RangeMin = 0, .RangeMax = 24}));
  rig.services.nextPicture = {TModalResult::mrOk, TModalResult::mrOk};
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const std::int32_t ids[3] = {rig.flow->PlayList()[0]->ID, rig.flow->PlayList()[1]->ID,
                               rig.flow->PlayList()[2]->ID};
  EXPECT_EQ(rig.flow->CurrentPictureId(), ids[0]);
  EXPECT_EQ(rig.flow->ScoreLevel(), kScoreVeryEasy);
  const int total = rig.flow->Board()->PiecesTotal();
  EXPECT_EQ(rig.view.status[1], std::to_string(total));
  rig.TickClock(3);
  EXPECT_EQ(rig.view.status[2], "00:00:03");

  EXPECT_EQ(rig.SolveByDrags(), total);
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].Caption, kWinCaption);
  EXPECT_EQ(rig.services.results[0].LargeText, kWinText);
  EXPECT_EQ(rig.services.results[0].ClockText, "00:00:03");
  EXPECT_EQ(rig.services.nameEntries, 1);
  EXPECT_EQ(rig.flow->HighScores().Count(kScoreVeryEasy), 1);
  EXPECT_EQ(rig.flow->HighScores().EntryAt(kScoreVeryEasy, 0),
            (THighScoreData{"Tester", 3, kScoreVeryEasy}));
  EXPECT_EQ(rig.services.tables, std::vector<int>{kScoreVeryEasy});
  // "Play Next Bitmap" moved on to the second picture.
  EXPECT_EQ(rig.flow->PlayPosition(), 1);
  EXPECT_EQ(rig.flow->CurrentPictureId(), ids[1]);
  EXPECT_EQ(rig.flow->CheatCount(), 0);
  EXPECT_FALSE(rig.flow->WinHandled());
  EXPECT_TRUE(rig.view.visible);

  rig.flow->ActionDispatch(nullptr, ccSolveAllNoAsk, {});
  rig.RunAnimation();
  ASSERT_EQ(rig.services.results.size(), 2u);
  EXPECT_EQ(rig.services.results[1].LargeText, kAutoSolveText);
  EXPECT_EQ(rig.services.results[1].LargeTextPoints, 20);
  EXPECT_EQ(rig.services.nameEntries, 1);  // a solved game scores nothing
  EXPECT_EQ(rig.flow->CurrentPictureId(), ids[2]);

  rig.services.answers[kMsgNoMoreImage] = TModalResult::mrYes;
  rig.flow->ActionDispatch(nullptr, ccSolveAllNoAsk, {});
  rig.RunAnimation();
  EXPECT_TRUE(contains(rig.services.messages, kMsgNoMoreImage));
  EXPECT_EQ(rig.flow->PlayPosition(), 0);
  EXPECT_EQ(rig.flow->CurrentPictureId(), ids[0]);
  EXPECT_EQ(rig.flow->GamesBuilt(), 4);
  EXPECT_FALSE(rig.view.closed);
}

TEST(GameFlowGames, OnePieceSolvedIsACheat) {
  TFlowRig rig(MakeTestPackage({.Pictures = 2}));
  rig.services.nextPicture = {TModalResult::mrCancel};
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  TFlowRig* r = &rig;
  // All pieces but the last by hand, the last by the one-piece solver.
  struct TPointer : IPointer {
    TFlowRig* rig;
    TBoardPoint Press(int x, int y, TMouseButton b) override {
      return rig->flow->Image321MouseDown(b, 0, x, y, x, y);
    }
    void Move(int x, int y) override {
      rig->view.area.MouseMove(ssLeft, x, y);
      rig->platform.RunIdle(1);
    }
    void Release(int x, int y, TMouseButton b) override { rig->view.area.MouseUp(b, 0, x, y); }
  } pointer;
  pointer.rig = r;
  const int total = rig.flow->Board()->PiecesTotal();
  TDragSolver solver(rig.CurrentGame(), pointer);
  EXPECT_EQ(solver.Solve(2, total - 1), total - 1);
  EXPECT_EQ(rig.services.results.size(), 0u);
  // The solver places the piece clicked last: click the loose one.
  const TSpriteDraw& board = *rig.flow->Board();
  const int lastRow = board.PiecesY() - 1;
  const int lastCol = board.PiecesX() - 1;
  ASSERT_EQ(board.Piece(lastRow, lastCol).Placed, 0);
  TBoardPoint at;
  ASSERT_TRUE(solver.GrabPoint(lastRow, lastCol, at));
  pointer.Press(at.X, at.Y, mbLeft);
  pointer.Release(at.X, at.Y, mbLeft);
  rig.flow->ActionDispatch(nullptr, ccSolveOnePiece, {});
  EXPECT_EQ(rig.flow->CheatCount(), 1);
  rig.RunAnimation();
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].Caption, kCheatCaption);
  EXPECT_EQ(rig.services.results[0].LargeText, "You win but you cheat 1X");
  EXPECT_EQ(rig.services.results[0].LargeTextPoints, 16);
  EXPECT_EQ(rig.services.nameEntries, 0);
  EXPECT_EQ(rig.flow->HighScores().Count(kScoreVeryEasy), 0);
  // "Stop" ends the program without asking.
  EXPECT_TRUE(rig.view.closed);
  EXPECT_TRUE(rig.flow->CloseWithoutAsking());
  EXPECT_EQ(rig.flow->PlayPosition(), 0);
  EXPECT_TRUE(rig.view.status[0].empty());
}

TEST(GameFlowGames, SolveAllDeclinedStillCountsAsAutoSolve) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .Choice = kChoiceRandom}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.platform.answer = false;
  rig.flow->ActionDispatch(nullptr, ccSolveAll, {});
  EXPECT_EQ(rig.platform.questions, std::vector<std::string>{kMsgSolveAll});
  EXPECT_FALSE(rig.flow->Board()->SolvingAll());
  EXPECT_EQ(rig.flow->CheatCount(), rig.flow->Board()->PiecesTotal());
  rig.SolveByDrags();
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].LargeText, kAutoSolveText);
  EXPECT_EQ(rig.services.nameEntries, 0);
  // Not sequence play and no win script: the finished board stays.
  EXPECT_EQ(rig.flow->GamesBuilt(), 1);
  EXPECT_FALSE(rig.view.closed);
}

TEST(GameFlowGames, TimeTrialLostShowsTheClockStart) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .TimeTrial = true, .TimeTrialTicks = 3}));
  rig.services.playAgain = {TModalResult::mrOk, TModalResult::mrCancel};
  std::vector<std::string> clockAtQuestion;
  rig.services.onDialog = [&](const std::string& what) {
    if (what == "play again") clockAtQuestion.push_back(rig.view.status[2]);
  };
  rig.Create();
  EXPECT_EQ(rig.flow->ClockStart(), 3);
  rig.TickClock(3);
  EXPECT_EQ(rig.view.status[2], "00:00:00");
  EXPECT_TRUE(rig.services.results.empty());
  rig.TickClock(1);
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].Caption, kLoseCaption);
  EXPECT_EQ(rig.services.results[0].LargeText, kLoseText);
  EXPECT_EQ(rig.services.results[0].SecondLine, kLoseSecondLine);
  EXPECT_EQ(rig.services.results[0].ClockText, "00:00:03");
  EXPECT_EQ(clockAtQuestion, std::vector<std::string>{""});
  // "Play Again" started a new game, which shows its own clock at once;
  // losing it and "Stop" closes.
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_EQ(rig.view.status[2], "00:00:03");
  rig.TickClock(4);
  EXPECT_EQ(rig.services.results.size(), 2u);
  EXPECT_TRUE(rig.view.closed);
  EXPECT_EQ(rig.view.area.fills.back(), rig.view.ButtonFaceColor());
}

TEST(GameFlowGames, ScoreLevelFollowsTheDefaultMinimum) {
  // Default range 30..60: the Easy table whatever the maximum.
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .RangeMin = 30, .RangeMax = 60}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.SolveByDrags();
  EXPECT_EQ(rig.flow->ScoreLevel(), kScoreEasy);
  EXPECT_EQ(rig.flow->HighScores().Count(kScoreEasy), 1);
}

TEST(GameFlowGames, NoDefaultRangeAndAnInBetweenPictureRangeScoresNothing) {
  TTestProjectOptions o{.Pictures = 1, .RangeMin = 25, .RangeMax = 50};
  TJigsawProject2 p;
  p.LoadFromStream(MakeTestPackage(o));
  p.PieceRangeMin = -1;
  p.PieceRangeMax = -1;
  p.MasterTemplateSet = MasterTemplates();
  TFlowRig rig(p.SaveToBytes());
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.SolveByDrags();
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].LargeText, kWinText);
  EXPECT_EQ(rig.services.nameEntries, 0);
  EXPECT_EQ(rig.flow->ScoreLevel(), 0);
  for (int level = 0; level < kScoreLevelCount; ++level) {
    EXPECT_EQ(rig.flow->HighScores().Count(level), 0);
  }
}

TEST(GameFlowGames, WinScriptsReplaceOrExtendTheStandardFlow) {
  {
    // A command first: it runs instead of the result dialog.
    TFlowRig rig(MakeTestPackage({.Pictures = 1, .WinScriptCode = ccAbout}));
    rig.Create();
    rig.SolveByDrags();
    EXPECT_TRUE(rig.services.results.empty());
    EXPECT_EQ(rig.services.abouts.size(), 1u);
    EXPECT_EQ(rig.services.nameEntries, 1);  // the score is recorded first
    EXPECT_EQ(rig.flow->CheatCount(), 0);
  }
  {
    // Code 18: the standard dialog, then "Play again?" outside sequence play.
    TFlowRig rig(
        MakeTestPackage({.Pictures = 1, .Choice = kChoiceRandom, .WinScriptCode = ccWinStandard}));
    rig.services.answers[kMsgPlayAgain] = TModalResult::mrNo;
    rig.Create();
    rig.SolveByDrags();
    EXPECT_EQ(rig.services.results.size(), 1u);
    EXPECT_TRUE(contains(rig.services.messages, kMsgPlayAgain));
    EXPECT_TRUE(rig.view.closed);
  }
}

TEST(GameFlowGames, StoredLayoutQuestion) {
  const TBytes plain = MakeTestPackage({.Pictures = 1, .NoRotation = true});
  TStoredGameLayout layout;
  {
    TFlowRig rig(plain);
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    const TSpriteDraw& b = *rig.flow->Board();
    layout.Columns = b.PiecesX();
    layout.Rows = b.PiecesY();
    for (int row = 0; row < b.PiecesY(); ++row) {
      for (int col = 0; col < b.PiecesX(); ++col) {
        TSavedPiece saved = b.Piece(row, col).Saved();
        saved.X = 10 + col;  // a layout no scatter would make
        saved.Y = 20 + row;
        const auto* bytes = reinterpret_cast<const std::byte*>(&saved);
        layout.Pieces.insert(layout.Pieces.end(), bytes, bytes + sizeof saved);
      }
    }
  }
  const TBytes stored = MakeTestPackage({.Pictures = 1, .NoRotation = true, .Layout = layout});
  {
    TFlowRig rig(stored);
    rig.services.answers[kMsgPlaySavedLayout] = TModalResult::mrYes;
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_TRUE(contains(rig.services.messages, kMsgPlaySavedLayout));
    EXPECT_EQ(rig.flow->Board()->Piece(0, 1).X, 11);
    EXPECT_EQ(rig.flow->Board()->Piece(1, 0).Y, 21);
  }
  {
    TFlowRig rig(stored);
    rig.services.answers[kMsgPlaySavedLayout] = TModalResult::mrNo;
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_NE(rig.flow->Board()->Piece(0, 1).X, 11);
  }
  {
    // A layout with fewer records than its grid claims is broken data.
    layout.Pieces.resize(layout.Pieces.size() - 1);
    TFlowRig rig(MakeTestPackage({.Pictures = 1, .Layout = layout}));
    rig.services.answers[kMsgPlaySavedLayout] = TModalResult::mrYes;
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    EXPECT_TRUE(contains(rig.services.messages, kMsgInvalidData));
  }
}

TEST(GameFlowWindow, CloseQuery) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  TSpriteDraw* board = rig.flow->Board();
  ASSERT_NE(board, nullptr);
  rig.services.answers["Quit Morvenhal Duduri?"] = TModalResult::mrNo;
  rig.flow->ActionDispatch(nullptr, ccExit, {});
  EXPECT_FALSE(rig.view.closed);
  EXPECT_FALSE(board->GamePaused());  // resumed after the refusal
  EXPECT_FALSE(rig.flow->ExitRequested());
  rig.services.answers["Quit Morvenhal Duduri?"] = TModalResult::mrYes;
  rig.flow->FormKeyDown(kVkEscape, 0);
  EXPECT_TRUE(rig.view.closed);
  // Exit without asking never asks.
  TFlowRig quiet(MakeTestPackage({.Pictures = 1}));
  quiet.Create();
  quiet.flow->ActionDispatch(nullptr, ccExitNoConfirm, {});
  EXPECT_TRUE(quiet.view.closed);
  EXPECT_TRUE(quiet.services.messages.empty());
}

TEST(GameFlowWindow, KeysMenusAndBoardCommands) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1,
                                .Toolbar = {{"Pause", ccPause}, {"Clock", ccClock}},
                                .Popup = {{"Select", ccSelectAll}}}));
  rig.Create();
  TSpriteDraw* board = rig.flow->Board();
  ASSERT_NE(board, nullptr);
  ASSERT_NE(rig.view.toolbar, nullptr);
  ASSERT_EQ(rig.view.toolbar->Items().size(), 2u);
  ASSERT_NE(rig.view.popup, nullptr);
  EXPECT_TRUE(rig.flow->PopupHasItems());

  rig.flow->FormKeyDown(97, ssCtrl);  // Ctrl with lower-case a
  EXPECT_TRUE(board->AllSelected());
  rig.flow->FormKeyDown(68, ssCtrl);
  EXPECT_FALSE(board->AllSelected());
  rig.flow->FormKeyDown(97, 0);  // without Ctrl nothing happens
  EXPECT_FALSE(board->AllSelected());

  rig.flow->FormKeyDown(kVkF11, 0);
  EXPECT_FALSE(rig.view.toolbarVisible);
  EXPECT_EQ(rig.view.status[3], kStatusToolbarHidden);
  rig.flow->FormKeyDown(kVkF11, 0);
  EXPECT_EQ(rig.view.status[3], "");

  // The pause item is checked while paused.
  const TMenuNode& pause = *rig.view.toolbar->Items()[0];
  rig.flow->MenuClick(pause);
  EXPECT_TRUE(board->GamePaused());
  EXPECT_TRUE(rig.view.checked[&pause]);
  rig.flow->MenuClick(pause);
  EXPECT_FALSE(board->GamePaused());
  EXPECT_FALSE(rig.view.checked[&pause]);
  const TMenuNode& clock = *rig.view.toolbar->Items()[1];
  rig.flow->MenuClick(clock);
  EXPECT_FALSE(board->EnabledTimer());
  EXPECT_TRUE(rig.view.checked[&clock]);

  // A right press on no piece opens the popup; on a piece it does not.
  int col = -1, row = -1;
  int x = 0;
  for (; x < board->BoardWidth() && board->HitTest(x, 2, col, row); ++x) {
  }
  rig.flow->Image321MouseDown(mbRight, 0, x, 2, 500 + x, 600);
  rig.view.area.MouseUp(mbRight, 0, x, 2);
  ASSERT_EQ(rig.view.popups.size(), 1u);
  EXPECT_EQ(rig.view.popups[0], (TBoardPoint{500 + x, 600}));

  // Show picture toggles the solution window.
  rig.flow->ActionDispatch(nullptr, ccShowPicture, {});
  EXPECT_TRUE(rig.view.solutionVisible);
  EXPECT_EQ(rig.view.solutionWidth, board->SolutionBitmap().Width());
  rig.flow->ActionDispatch(nullptr, ccShowPicture, {});
  EXPECT_FALSE(rig.view.solutionVisible);

  // Codes without a command do nothing.
  rig.flow->ActionDispatch(nullptr, 0, {});
  rig.flow->ActionDispatch(nullptr, 99, {});
  EXPECT_EQ(rig.flow->Board(), board);
}

TEST(GameFlowWindow, StartScriptThatExits) {
  TJigsawProject2 p;
  p.LoadFromStream(MakeTestPackage({.Pictures = 1}));
  p.MasterTemplateSet = MasterTemplates();
  p.StartScript.AddScriptItem().Code = ccExitNoConfirm;
  TFlowRig rig(p.SaveToBytes());
  rig.Create();
  EXPECT_TRUE(rig.flow->Terminated());
  EXPECT_TRUE(rig.view.closed);
}

TEST(GameFlowWindow, HighScoresAreSavedAtTheEnd) {
  std::filesystem::path scores;
  {
    TFlowRig rig(MakeTestPackage({.Pictures = 1}));
    scores = rig.folder / "highscorefile.dat";
    rig.Create();
    rig.SolveByDrags();
    rig.flow->FormDestroy();
    THighScore read;
    read.LoadFromFile(scores);
    EXPECT_EQ(read.Count(kScoreVeryEasy), 1);
  }
  {
    TFlowRig rig(MakeTestPackage({.Pictures = 1, .NoHighScores = true}));
    rig.Create();
    rig.SolveByDrags();
    EXPECT_EQ(rig.services.nameEntries, 0);
    EXPECT_TRUE(rig.services.tables.empty());
    rig.flow->FormDestroy();
    EXPECT_FALSE(std::filesystem::exists(rig.folder / "highscorefile.dat"));
  }
}

}  // namespace
}  // namespace duduri::test
