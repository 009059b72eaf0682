// The dialog, desktop and board commands on fakes: pausing around dialogs,
// change difficulty, play picture, skins, high scores, help, documents,
// sound, errors that escape a command, and a new game started from inside
// the board's own win or loss.

#include <gtest/gtest.h>

#include "ShellTestKit.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/ShellTexts.h"

namespace duduri::test {
namespace {

bool contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

// How the board stood whenever a dialog opened.
struct TSeenBoard {
  std::string dialog;
  bool paused = false;
  bool silent = false;
  bool clockRunning = false;
};

// A project whose every event has a sound.
TBytes withSounds(const TTestProjectOptions& options) {
  return EditedPackage(options, [](TJigsawProject2& p) {
    TBMPData& sound = p.Sounds.emplace_back();
    sound.ID = 1;
    sound.Data = TBytes(64, std::byte{1});
    for (TSoundSlot& slot : p.SoundSlots) slot.SoundIDs = {1};
  });
}

TEST(CommandDialogs, TheBoardIsPausedWhileADialogIsUp) {
  TFlowRig rig(withSounds({.Pictures = 1}));
  rig.Create();
  TSpriteDraw* board = rig.flow->Board();
  ASSERT_NE(board, nullptr);
  std::vector<TSeenBoard> seen;
  auto look = [&](const std::string& what) {
    if (const TSpriteDraw* b = rig.flow->Board()) {
      seen.push_back({what, b->GamePaused(), b->SilentPause(), b->Clock().Enabled()});
    }
  };
  rig.services.onDialog = look;
  rig.platform.onAsk = [&] { look(kMsgSolveAll); };

  rig.seams.sound.log.clear();
  rig.flow->ActionDispatch(nullptr, ccSaveGame, {});
  // Saving stops the music around its dialog; the table does not.
  EXPECT_EQ(rig.seams.sound.log, (std::vector<std::string>{"stop music", "music"}));
  rig.flow->ActionDispatch(nullptr, ccHighScores, {});
  rig.flow->ActionDispatch(nullptr, ccSelectSkin, {});
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  rig.flow->ActionDispatch(nullptr, ccAbout, {});
  rig.platform.answer = false;
  rig.flow->ActionDispatch(nullptr, ccSolveAll, {});
  rig.flow->ActionDispatch(nullptr, ccDifficulty, {});
  ASSERT_EQ(seen.size(), 7u);
  for (const TSeenBoard& s : seen) {
    EXPECT_TRUE(s.paused) << s.dialog;
    EXPECT_FALSE(s.clockRunning) << s.dialog;
    // Change difficulty pauses openly; the others quietly.
    EXPECT_EQ(s.silent, s.dialog != "change difficulty") << s.dialog;
  }
  EXPECT_EQ(rig.services.tables, std::vector<int>{rig.flow->ScoreLevel()});
  EXPECT_EQ(rig.flow->CheatCount(), board->PiecesTotal());  // the answer did not matter
  EXPECT_EQ(rig.flow->Board(), board);
  EXPECT_FALSE(board->GamePaused());
  EXPECT_TRUE(board->Clock().Enabled());
}

TEST(CommandDialogs, ChangeDifficultyRebuildsTheSamePicture) {
  TFlowRig rig(MakeTestPackage({.Pictures = 3, .RangeMin = 0, .RangeMax = 24}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const std::int32_t picture = rig.flow->CurrentPictureId();
  const int total = rig.flow->Board()->PiecesTotal();
  rig.flow->ActionDispatch(nullptr, ccSolveOnePiece, {});

  // Cancel: the game goes on as it was.
  rig.flow->ActionDispatch(nullptr, ccDifficulty, {});
  EXPECT_EQ(rig.services.difficultyAsked, (TPieceRange{0, 24}));
  EXPECT_EQ(rig.flow->GamesBuilt(), 1);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());

  rig.services.chosenRange = TPieceRange{25, 50};
  rig.flow->ActionDispatch(nullptr, ccDifficulty, {});
  const TJigsawProject2& p = *rig.flow->Project();
  EXPECT_EQ(p.PieceRangeMin, 25);
  EXPECT_EQ(p.PieceRangeMax, 50);
  const TPicturePieceRange* own = p.FindPieceCountRange(picture);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(own->MinPieces, 25);
  EXPECT_EQ(own->MaxPieces, 50);
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_EQ(rig.flow->CurrentPictureId(), picture);
  EXPECT_GT(rig.flow->Board()->PiecesTotal(), total);
  // The help given to the game before does not follow into the new one.
  EXPECT_EQ(rig.flow->CheatCount(), 0);

  rig.services.nextPicture = {TModalResult::mrCancel};
  rig.SolveByDrags();
  EXPECT_EQ(rig.flow->HighScores().Count(kScoreEasy), 1);
  EXPECT_EQ(rig.services.results.back().LargeText, kWinText);
}

TEST(CommandDialogs, PlayPicture) {
  TFlowRig rig(MakeTestPackage({.Pictures = 3}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const std::int32_t third = rig.flow->PlayList()[2]->ID;
  rig.flow->ActionDispatch(nullptr, ccPlayPicture, NumberParameter(2));
  EXPECT_EQ(rig.flow->CurrentPictureId(), third);
  EXPECT_EQ(rig.flow->PlayPosition(), 2);
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_TRUE(rig.flow->CloseHtmlPage());
  EXPECT_TRUE(rig.view.visible);

  // No number, or a text: nothing happens.
  rig.flow->ActionDispatch(nullptr, ccPlayPicture, {});
  rig.flow->ActionDispatch(nullptr, ccPlayPicture, TextParameter("1"));
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());

  for (const std::int32_t outside : {3, -1, INT32_MAX, INT32_MIN}) {
    rig.services.messages.clear();
    rig.flow->ActionDispatch(nullptr, ccPlayPicture, NumberParameter(outside));
    EXPECT_EQ(rig.services.messages, std::vector<std::string>{kMsgInvalidPictureIndex});
    EXPECT_EQ(rig.flow->GamesBuilt(), 2);
    // The sequence keeps its place: a win counts on from the picture played.
    EXPECT_EQ(rig.flow->PlayPosition(), 2);
    EXPECT_TRUE(rig.flow->Board()->GamePaused());  // the stopped game stays stopped
  }
}

TEST(CommandDialogs, SkinChangeLaysTheWindowAndBoardOut) {
  const TBytes package = EditedPackage({.Pictures = 1}, [](TJigsawProject2& p) {
    for (int i = 0; i < 3; ++i) {
      TSkinEntry& skin = p.NewSkinEntry();
      skin.Kind = kStyleSkinned;
      TBitmap32 picture;
      picture.SetSize(300 + 20 * i, 200);
      picture.Clear(0xFF336699);
      skin.Image = EncodeBmp(picture, 24);
    }
  });
  TFlowRig rig(package);
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  rig.seams.style.layouts.clear();

  rig.services.chosenSkin = 0;  // the one worn already
  rig.flow->ActionDispatch(nullptr, ccSelectSkin, {});
  EXPECT_EQ(rig.services.skinAsked, 0);
  EXPECT_TRUE(rig.seams.style.layouts.empty());

  rig.services.chosenSkin = 2;
  const int published = rig.view.area.publishes;
  rig.flow->ActionDispatch(nullptr, ccSelectSkin, {});
  EXPECT_EQ(rig.flow->SkinId(), 2);
  EXPECT_EQ(rig.flow->Project()->CurrentSkinIndex, 2);
  EXPECT_EQ(rig.seams.style.layouts, (std::vector<std::pair<int, int>>{{kStyleSkinned, 2}}));
  EXPECT_GT(rig.view.area.publishes, published);
  EXPECT_EQ(rig.flow->GamesBuilt(), 1);

  // The about box sits in the middle of the skin worn now.
  rig.flow->ActionDispatch(nullptr, ccAbout, {});
  EXPECT_TRUE(rig.services.lastAbout.Centre);
  EXPECT_EQ(rig.services.lastAbout.Over, (TRect{100, 50, 100 + 340, 50 + 200}));
}

TEST(DesktopCommands, HelpDocumentsAndSound) {
  TFlowRig rig(withSounds({.Pictures = 1, .Toolbar = {{"Sound", ccSound}, {"Help", ccHelp}}}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const TRecordingDesktop& desktop = rig.seams.desktop;

  rig.flow->ActionDispatch(nullptr, ccHelp, {});
  EXPECT_TRUE(desktop.help.empty());  // no help file beside the program
  WriteFileAtomically(rig.folder / kHelpFile, TBytes(10, std::byte{'h'}));
  rig.flow->Board()->DoHelpGame(nullptr);
  EXPECT_EQ(desktop.help, std::vector<std::filesystem::path>{rig.folder / kHelpFile});

  rig.flow->ActionDispatch(nullptr, ccRunHidden, TextParameter("https://example.org/a b"));
  rig.flow->ActionDispatch(nullptr, ccOpenDocument, TextParameter("notes; rm -rf ~.txt"));
  TScriptParameter two = TextParameter("a.txt");
  two.Add(kParamText, two.Get(0).Data);
  rig.flow->ActionDispatch(nullptr, ccOpenDocument, two);
  rig.flow->ActionDispatch(nullptr, ccRunHidden, NumberParameter(4));
  rig.flow->ActionDispatch(nullptr, ccOpenDocument, {});
  EXPECT_EQ(desktop.opened, (std::vector<std::pair<std::string, TShowMode>>{
                                {"https://example.org/a b", TShowMode::smHidden},
                                {"notes; rm -rf ~.txt", TShowMode::smNormal}}));

  const TMenuNode& sound = *rig.view.toolbar->Items()[0];
  rig.seams.sound.log.clear();
  rig.flow->MenuClick(sound);
  EXPECT_FALSE(rig.flow->SoundOn());
  EXPECT_TRUE(rig.view.checked[&sound]);
  EXPECT_EQ(rig.seams.sound.log, (std::vector<std::string>{"stop music", "stop system sound"}));
  rig.seams.sound.events.clear();
  rig.SolveByDrags(3);
  EXPECT_TRUE(rig.seams.sound.events.empty());  // nothing plays while off
  rig.flow->MenuClick(sound);
  EXPECT_TRUE(rig.flow->SoundOn());
  EXPECT_FALSE(rig.view.checked[&sound]);
  EXPECT_EQ(rig.seams.sound.log.back(), "music");
  rig.SolveByDrags(2);
  EXPECT_FALSE(rig.seams.sound.events.empty());
}

TEST(CommandErrors, AnErrorNobodyHandledIsShownAndTheGameGoesOn) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  TSpriteDraw* board = rig.flow->Board();
  ASSERT_NE(board, nullptr);
  rig.services.onDialog = [](const std::string& what) {
    if (what == kTitleOpenImage) throw std::logic_error("the dialog broke");
  };
  rig.flow->ActionDispatch(nullptr, ccMakeExe, {});
  rig.services.onDialog = nullptr;
  EXPECT_EQ(rig.services.messages, std::vector<std::string>{"the dialog broke"});
  EXPECT_EQ(rig.flow->Board(), board);
  EXPECT_FALSE(board->GamePaused());
  EXPECT_FALSE(rig.flow->Terminated());
}

// The next game is built from inside the board's own OnWin or OnLose, which
// frees the board that raised it; run under AddressSanitizer this shows that
// nothing touches it afterwards, for every way a game can end.
TEST(GameEnds, ANewGameStartedFromTheBoardsOwnEvent) {
  {
    // Won by the one-piece solver's animation, then "Play Next Bitmap".
    TFlowRig rig(MakeTestPackage({.Pictures = 2}));
    rig.services.nextPicture = {TModalResult::mrOk};
    rig.Create();
    const int total = rig.flow->Board()->PiecesTotal();
    ASSERT_EQ(rig.SolveByDrags(total - 1), total - 1);
    const TSpriteDraw& b = *rig.flow->Board();
    rig.ClickPiece(b.PiecesY() - 1, b.PiecesX() - 1);
    rig.flow->ActionDispatch(nullptr, ccSolveOnePiece, {});
    rig.RunAnimation();
    EXPECT_EQ(rig.flow->GamesBuilt(), 2);
    EXPECT_EQ(rig.flow->PlayPosition(), 1);
  }
  {
    // A time trial completed as its counter reached 0 is won on the next
    // clock tick; then "Play Current Bitmap".
    TFlowRig rig(MakeTestPackage({.Pictures = 2, .TimeTrial = true, .TimeTrialTicks = 1}));
    rig.services.nextPicture = {TModalResult::mrYes};
    rig.Create();
    rig.TickClock(1);
    rig.SolveByDrags();
    EXPECT_EQ(rig.flow->GamesBuilt(), 1);
    rig.TickClock(1);
    EXPECT_EQ(rig.flow->GamesBuilt(), 2);
    EXPECT_EQ(rig.services.results.back().LargeText, kWinText);
    EXPECT_EQ(rig.flow->PlayPosition(), 0);
  }
  {
    // Lost on a clock tick, then "Play Again" twice.
    TFlowRig rig(MakeTestPackage({.Pictures = 1, .TimeTrial = true, .TimeTrialTicks = 1}));
    rig.services.playAgain = {TModalResult::mrOk, TModalResult::mrOk, TModalResult::mrCancel};
    rig.Create();
    rig.TickClock(10);
    EXPECT_EQ(rig.flow->GamesBuilt(), 3);
    EXPECT_TRUE(rig.view.closed);
  }
}

TEST(GameBuild, TheCreatorGetsThePicturesSettings) {
  const TBytes package = EditedPackage({.Pictures = 2}, [](TJigsawProject2& p) {
    p.FlatPiece = 1;
    p.SpriteOptionA = 0x123456;
    p.NoPieceShadow = 1;
    ASSERT_EQ(p.PieceValues.size(), p.Pictures.size());
    for (TPieceValues& v : p.PieceValues) v.Values = {0x01020304, v.PictureID};
  });
  TFlowRig rig(package);
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  const TGameFlow::TCreatorOptions& given = rig.flow->LastCreatorOptions();
  const TPieceValues* values = rig.flow->Project()->FindPieceValues(rig.flow->CurrentPictureId());
  ASSERT_NE(values, nullptr);
  EXPECT_EQ(given.PieceValues,
            (std::vector<std::int32_t>{0x01020304, rig.flow->CurrentPictureId()}));
  EXPECT_TRUE(given.FlatPiece);
  EXPECT_EQ(given.SpriteOptionA, 0x123456u);
  EXPECT_TRUE(given.NoPieceShadow);
  EXPECT_TRUE(rig.flow->Board()->FlatPiece());

  // Without the per-picture switch the values stay with the project.
  TFlowRig off(EditedPackage({.Pictures = 1}, [](TJigsawProject2& p) { p.PerPictureValues = 0; }));
  off.Create();
  EXPECT_TRUE(off.flow->LastCreatorOptions().PieceValues.empty());

  // A random choice over nothing to play draws nothing and says so.
  TFlowRig empty(MakeTestPackage({.Pictures = 0, .Choice = kChoiceRandom, .BackgroundOnly = 2}));
  empty.Create();
  EXPECT_TRUE(empty.flow->Terminated());
  EXPECT_TRUE(contains(empty.services.messages, kMsgNoBitmap));
}

}  // namespace
}  // namespace duduri::test
