// Big puzzles in the game flow: a project range above the presets cuts that
// many pieces on a table larger than the play area, the big-puzzle items of
// the change-difficulty list stand for their ranges, and a big game is
// played to a win by pointer gestures.

#include <gtest/gtest.h>

#include "ShellTestKit.h"
#include "board/JigsawFile.h"
#include "project/Project.h"
#include "shell/BigPuzzle.h"
#include "shell/PieceCountRule.h"
#include "shell/ShellTexts.h"

namespace duduri::test {
namespace {

TEST(BigPuzzleRule, TheBigItemsStandForNinetyToOneHundredAndTenPerCentOfTheirCount) {
  const int counts[kBigPuzzleItems] = {300, 500, 1000, 2000, 5000};
  for (int i = 0; i < kBigPuzzleItems; ++i) {
    EXPECT_EQ(BigPuzzleItem(i).Pieces, counts[i]);
    EXPECT_EQ(std::string(BigPuzzleItem(i).Caption), std::to_string(counts[i]) + " pieces");
    const TPieceRange r = BigPuzzleRange(i);
    EXPECT_EQ(r, (TPieceRange{counts[i] * 9 / 10, counts[i] * 11 / 10}));
    EXPECT_TRUE(IsBigPuzzleRange(r));
    EXPECT_EQ(BigPuzzleItemFor(r), i);
    // The change-difficulty list offers them after its six presets.
    EXPECT_EQ(DifficultyItemFor(r), kDifficultyCount + i);
    EXPECT_STREQ(DifficultyItems()[std::size_t(kDifficultyCount + i)].Text, BigPuzzleItem(i).Caption);
  }
  EXPECT_EQ(BigPuzzleItemFor({900, 1101}), -1);
  // The six presets stay presets.
  for (int i = 0; i < kDifficultyCount; ++i) EXPECT_FALSE(IsBigPuzzleRange(DifficultyRange(i)));
  EXPECT_TRUE(IsBigPuzzleRange({1000, 65535}));
}

TBytes BigPackage(bool pictureRanges) {
  TTestProjectOptions o;
  o.Pictures = 1;
  o.RangeMin = 270;
  o.RangeMax = 330;
  o.PictureRanges = pictureRanges;
  return MakeTestPackage(o);
}

TEST(BigPuzzleFlow, AProjectRangeAboveThePresetsCutsThatManyPiecesOnATable) {
  for (bool pictureRanges : {true, false}) {
    SCOPED_TRACE(pictureRanges ? "the picture's own range" : "the project's default range");
    TFlowRig rig(BigPackage(pictureRanges));
    rig.Create();
    TSpriteDraw* b = rig.flow->Board();
    ASSERT_NE(b, nullptr);
    EXPECT_GE(b->PiecesTotal(), 270);
    EXPECT_LE(b->PiecesTotal(), 330);
    EXPECT_EQ(b->MyLevel(), 5);
    EXPECT_TRUE(b->BigTable());
    EXPECT_GT(std::int64_t(b->BoardWidth()) * b->BoardHeight(), 640 * 480);
    EXPECT_EQ(b->ViewWidth(), 640);
    EXPECT_EQ(rig.view.status[1], std::to_string(b->PiecesTotal()));
  }
}

TEST(BigPuzzleFlow, ChoosingABigPuzzleInTheDifficultyListCutsThePictureAgainOnATable) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1, .RangeMin = 25, .RangeMax = 50}));
  rig.Create();
  ASSERT_NE(rig.flow->Board(), nullptr);
  EXPECT_FALSE(rig.flow->Board()->BigTable());
  rig.services.chosenRange = BigPuzzleRange(0);  // "300 pieces"
  rig.flow->ActionDispatch(nullptr, ccDifficulty, {});
  TSpriteDraw* b = rig.flow->Board();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(rig.flow->GamesBuilt(), 2);
  EXPECT_GE(b->PiecesTotal(), 270);
  EXPECT_LE(b->PiecesTotal(), 330);
  EXPECT_TRUE(b->BigTable());
}

TEST(BigPuzzleFlow, ABigGameIsWonByPointerGesturesWithTheViewMoving) {
  TFlowRig rig(BigPackage(true));
  rig.Create();
  TSpriteDraw* b = rig.flow->Board();
  ASSERT_NE(b, nullptr);
  const int total = b->PiecesTotal();
  EXPECT_EQ(rig.SolveByDrags(), total);
  // The result dialog of a won game (the sequence then goes on with the
  // next game).
  ASSERT_EQ(rig.services.results.size(), 1u);
  EXPECT_EQ(rig.services.results[0].Caption, kWinCaption);
}

TEST(BigPuzzleFlow, ASavedBigGameDecodesItsPhotoAtTheSizeOfItsCut) {
  TFlowRig rig(BigPackage(true));
  rig.Create();
  TSpriteDraw* b = rig.flow->Board();
  ASSERT_NE(b, nullptr);
  TJigsawFile file;
  file.Columns = b->PiecesX();
  file.Rows = b->PiecesY();
  file.Level = b->MyLevel();
  file.SetPieces(b->Pieces());
  for (int r = 0; r < file.Rows; ++r)
    for (int c = 0; c < file.Columns; ++c) file.Pieces.push_back(b->Piece(r, c).Saved());
  const TJigsawProject2& project = *rig.flow->Project();
  const TBMPData& picture = project.Pictures[0];
  const TPicture again = DecodeGamePicture(picture.Data, project, picture.ID, &file);
  const TPicture fresh = DecodeGamePicture(picture.Data, project, picture.ID, nullptr);
  EXPECT_EQ(again.Width, fresh.Width);
  EXPECT_EQ(again.Pixels, fresh.Pixels);
  // A game of the presets decodes the whole photo.
  file.Level = 3;
  EXPECT_EQ(DecodeGamePicture(picture.Data, project, picture.ID, &file).Width, 320);
}

}  // namespace
}  // namespace duduri::test
