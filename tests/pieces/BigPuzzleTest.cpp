// Big puzzles in the cutter and the creator: the grid for a piece count
// above the presets, the table it is scattered over, and its restore from
// the saved records alone.

#include <gtest/gtest.h>

#include <cmath>

#include "SpriteCreatorSupport.h"
#include "pieces/CountGrid.h"
#include "pieces/SpriteWork.h"
#include "pieces/TemplateGenerator.h"

namespace duduri {
namespace {

using namespace testing_support;

TEST(CountGrid, AThousandPieceRequestGivesNineHundredToElevenHundredOnEveryPictureShape) {
  const std::vector<TGridEntry> master = MasterGridTable();
  const TPieceCount thousand = PieceCountAround(1000);
  EXPECT_EQ(thousand, (TPieceCount{900, 1100}));
  const struct {
    int w, h;
  } pictures[] = {{4000, 3000}, {1024, 768}, {1200, 1800}, {3000, 1000}};
  for (const auto& pic : pictures) {
    SCOPED_TRACE(std::to_string(pic.w) + "x" + std::to_string(pic.h));
    const TCountGrid g = ChooseCountGrid(master, pic.w, pic.h, thousand);
    ASSERT_GE(g.Entry, 0);
    const int pieces = g.Columns * g.Rows;
    EXPECT_GE(pieces, 900);
    EXPECT_LE(pieces, 1100);
    const TGridEntry e = master[std::size_t(g.Entry)];
    EXPECT_EQ(g.ScaledWidth, g.Columns * e.Width);
    EXPECT_EQ(g.ScaledHeight, g.Rows * e.Height);
    // The picture keeps its shape within a few per cent.
    const double aspect = double(g.ScaledWidth) / g.ScaledHeight / (double(pic.w) / pic.h);
    EXPECT_NEAR(aspect, 1.0, 0.05);
    // Pieces the size to pick at 1:1, never enlarging a large photo.
    EXPECT_LE(e.Width, 67);
    EXPECT_GE(e.Width, 29);
  }
  // More pieces, smaller pieces: the sprites of 5000 stay within memory.
  const TCountGrid five = ChooseCountGrid(master, 4000, 3000, PieceCountAround(5000));
  EXPECT_LE(master[std::size_t(five.Entry)].Width, 41);
  EXPECT_NEAR(five.Columns * five.Rows, 5000, 500);
}

TEST(CountGrid, ASetOfOnePieceSizeStillReachesTheCountAndAnEmptyOneNone) {
  // A project carries only the entries its pictures use.
  const std::vector<TGridEntry> one = {{59, 59}};
  for (int n : {300, 1000, 2000}) {
    const TCountGrid g = ChooseCountGrid(one, 1024, 768, PieceCountAround(n));
    ASSERT_EQ(g.Entry, 0) << n;
    EXPECT_NEAR(g.Columns * g.Rows, n, n / 10) << n;
  }
  EXPECT_EQ(ChooseCountGrid({}, 1024, 768, PieceCountAround(1000)).Entry, -1);
  EXPECT_EQ(ChooseCountGrid({{0, 5}}, 1024, 768, PieceCountAround(1000)).Entry, -1);
  EXPECT_EQ(ChooseCountGrid(one, 0, 768, PieceCountAround(1000)).Entry, -1);
  // The search is deterministic: a saved game's grid comes back from its
  // entry, columns and rows.
  const TCountGrid g = ChooseCountGrid(MasterGridTable(), 2000, 1500, PieceCountAround(2000));
  const TCountGrid again = SavedCountGrid(MasterGridTable(), g.Entry, g.Columns, g.Rows);
  EXPECT_EQ(again.ScaledWidth, g.ScaledWidth);
  EXPECT_EQ(again.ScaledHeight, g.ScaledHeight);
  EXPECT_EQ(SavedCountGrid(one, 1, 10, 10).Entry, -1);
  EXPECT_EQ(SavedCountGrid(one, 0, 100000, 100000).Entry, -1);  // beyond the picture limits
}

TEST(CountGrid, OnlyRangesAboveThePresetsAreBigAndTheirTablesHoldThePieces) {
  EXPECT_FALSE(IsBigPieceCount({201, 65535}));  // the "> 200 pieces" preset
  EXPECT_FALSE(IsBigPieceCount({200, 5000}));
  EXPECT_FALSE(IsBigPieceCount({500, 400}));
  EXPECT_TRUE(IsBigPieceCount({270, 330}));
  EXPECT_TRUE(IsBigPieceCount({1000, 65535}));
  EXPECT_EQ(TargetPieceCount({900, 1100}), 1000);
  EXPECT_EQ(TargetPieceCount({1000, 65535}), 1125);
  EXPECT_EQ(TargetPieceCount({900000, 950000}), kMaxBigPuzzlePieces);

  const TTableSize t = TableSizeFor(2000, 1500, 1920, 1000);
  EXPECT_GE(double(t.Width) * t.Height, 3.0 * 2000 * 1500 * 0.99);
  // Shaped like the view, with room around the picture on every side.
  EXPECT_GT(double(t.Width) / t.Height, 1.6);
  EXPECT_GE(t.Height, 1500 + 2 * 300);
  const TTableSize small = TableSizeFor(300, 200, 1920, 1000);
  EXPECT_EQ(small.Width, 1920);
  EXPECT_EQ(small.Height, 1000);
  const TTableSize tall = TableSizeFor(1000, 4000, 1920, 1000);  // a tall picture in a wide view
  EXPECT_GT(tall.Height, 4000);

  EXPECT_EQ(DecodeEighthsFor(4000, 3000, 2124, 1593), 4);  // 2000 x 1500, enlarged 6 %
  EXPECT_EQ(DecodeEighthsFor(4000, 3000, 2400, 1800), 8);
  EXPECT_EQ(DecodeEighthsFor(4000, 3000, 500, 375), 1);
  EXPECT_EQ(DecodeEighthsFor(4000, 3000, 4000, 3000), 8);
  EXPECT_EQ(DecodeEighthsFor(1000, 750, 2000, 1500), 8);  // never larger than the picture
}

// A 300-piece game of the 40 x 40 test templates on a 640 x 480 picture.
GameOptions BigOptions() {
  GameOptions o;
  o.PictureWidth = 640;
  o.PictureHeight = 480;
  o.BoardWidth = 800;
  o.BoardHeight = 600;
  o.Difficulty = 5;
  o.Threads = 2;
  return o;
}

std::unique_ptr<TJigsawSpriteCreator> BigGame(const GameOptions& o) {
  TBitmap32 picture;
  FillGradient(picture, o.PictureWidth, o.PictureHeight);
  auto c = std::make_unique<TJigsawSpriteCreator>(picture);
  Configure(*c, o);
  c->SetPieceCount(PieceCountAround(300));
  RandSeed(o.Seed);
  c->Execute();
  return c;
}

TEST(BigPuzzleCreator, CutsTheCountAskedForAndScattersItOverATable) {
  const GameOptions o = BigOptions();
  auto c = BigGame(o);
  EXPECT_TRUE(c->BigPuzzle());
  EXPECT_GE(c->Total(), 270);
  EXPECT_LE(c->Total(), 330);
  EXPECT_EQ(c->Collection().ScaledWidth(), c->Columns() * 40);
  EXPECT_GT(c->TableWidth() * std::int64_t(c->TableHeight()),
            3 * std::int64_t(c->Collection().ScaledWidth()) * c->Collection().ScaledHeight() - 1);
  EXPECT_TRUE(c->ShadowsDeferred());
  bool beyondBoard = false;
  for (const auto& row : c->Pieces()) {
    for (const TPieceSprite& p : row) {
      ASSERT_GE(p.X, 0);
      ASSERT_LT(p.X, c->TableWidth() - p.Width / 2 + 1);
      ASSERT_LT(p.Y, c->TableHeight() - p.Height / 2 + 1);
      beyondBoard = beyondBoard || p.X >= o.BoardWidth || p.Y >= o.BoardHeight;
      // The rotation it lies in, no shadow: the board makes the rest.
      for (int r = 0; r < 4; ++r) ASSERT_EQ(bool(p.RleData[r]), r == p.Rotation);
      ASSERT_FALSE(p.ShadowData[p.Rotation]);
    }
  }
  EXPECT_TRUE(beyondBoard);
  // The same seed cuts the same game on one thread or several.
  GameOptions single = o;
  single.Threads = 1;
  ExpectSameTable(BigGame(single)->Pieces(), c->Pieces());

  // A range that is the "> 200 pieces" preset is the preset's search.
  TBitmap32 picture;
  FillGradient(picture, o.PictureWidth, o.PictureHeight);
  TJigsawSpriteCreator preset(picture);
  Configure(preset, o);
  preset.SetPieceCount({201, 65535});
  preset.Execute();
  EXPECT_FALSE(preset.BigPuzzle());
  EXPECT_EQ(preset.TableWidth(), o.BoardWidth);
  EXPECT_TRUE(preset.Pieces()[0][0].ShadowData[preset.Pieces()[0][0].Rotation]);
}

TEST(BigPuzzleCreator, ASavedBigGameIsRebuiltFromItsRecordsOnItsTable) {
  const GameOptions o = BigOptions();
  auto original = BigGame(o);
  TSavedLayout saved = SaveLayout(*original, o);
  // Played on: a piece far out on the table, another turned.
  saved.Pieces[7].X = original->TableWidth() - 30;
  saved.Pieces[7].Y = original->TableHeight() - 30;
  saved.Pieces[9].Rotation = std::uint8_t((saved.Pieces[9].Rotation + 1) & 3);
  const TJigsawArrayData records = saved.Pieces;

  // A smaller window this time: the table still holds every piece.
  GameOptions later = o;
  later.BoardWidth = 640;
  later.BoardHeight = 480;
  auto c = std::make_unique<TJigsawSpriteCreator>(std::move(saved));
  Configure(*c, later);
  c->Execute();
  ASSERT_EQ(c->Columns(), original->Columns());
  ASSERT_EQ(c->Rows(), original->Rows());
  EXPECT_EQ(c->Collection().ScaledWidth(), original->Collection().ScaledWidth());
  EXPECT_TRUE(c->BigPuzzle());
  EXPECT_GE(c->TableWidth(), records[7].X + 30);
  EXPECT_GE(c->TableHeight(), records[7].Y + 30);
  for (std::size_t n = 0; n < records.size(); ++n) {
    const TPieceSprite& p = c->Pieces()[n / std::size_t(c->Columns())][n % std::size_t(c->Columns())];
    const TPieceSprite& before =
        original->Pieces()[n / std::size_t(c->Columns())][n % std::size_t(c->Columns())];
    ASSERT_EQ(std::memcmp(&p.Saved(), &records[n], sizeof(TSavedPiece)), 0) << n;
    ASSERT_TRUE(p.RleData[p.Rotation]);
    // The same cut: turned back to the rotation it was made in, the same bytes.
    TPieceSprite turned = p;
    TSpriteScratch scratch;
    ASSERT_TRUE(MakeTurnedSprite(turned, before.Rotation, scratch));
    ASSERT_EQ(*turned.RleData[before.Rotation], *before.RleData[before.Rotation]) << n;
  }
}

}  // namespace
}  // namespace duduri
