// Whole big games, headless: a 2000-piece puzzle on a table larger than the
// view is played to a win by drops alone, the view moving as a person would
// move it, and the work a selection costs grows with the selection.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "BoardTestUtil.h"
#include "board/CreatorSource.h"
#include "board/JigsawFile.h"
#include "pieces/CountGrid.h"
#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"
#include "pieces/TemplateGenerator.h"

namespace duduri {
namespace {

using namespace board_test;

constexpr int kCellSide = 12;
// A small view: every gesture redraws what it shows.
constexpr int kViewW = 400;
constexpr int kViewH = 300;

TGridPieces BigGrid(int columns, int rows, bool rotate) {
  TGridPiecesOptions o;
  o.Columns = columns;
  o.Rows = rows;
  o.Knob = 6;
  o.RandomRotation = rotate;
  o.NoPieceRotation = !rotate;
  o.Seed = 2000;
  const TTableSize table =
      TableSizeFor(columns * kCellSide, rows * kCellSide, kViewW, kViewH);
  o.TableWidth = table.Width;
  o.TableHeight = table.Height;
  o.DeferShadows = true;
  return MakeGridPieces(MakeTestPicture(columns * kCellSide, rows * kCellSide), o);
}

TEST(BigGame, TheHeadlessDriverWinsATwoThousandPieceGameByDrops) {
  TGridPieces g = BigGrid(50, 40, false);
  auto game = Play(g, kViewW, kViewH);
  TSpriteDraw& b = game->board();
  ASSERT_TRUE(b.BigTable());
  ASSERT_GT(b.BoardWidth(), kViewW);
  std::vector<TEvent> log;
  Record(b, log);
  game->StartClock();

  const int drops = game->SolveByDrops(2);
  EXPECT_EQ(drops, 2000);
  EXPECT_EQ(Count(log, "place"), 1999);
  ASSERT_EQ(Count(log, "win"), 1);
  EXPECT_EQ(b.PiecesLeft(), 0);
  EXPECT_TRUE(b.Finished());
  // The picture went together in the middle of the table, reaching past
  // the first view.
  EXPECT_NEAR(b.Piece(0, 0).X, (b.BoardWidth() - 50 * kCellSide) / 2, b.JigsawMagnet());
  EXPECT_GT(b.Piece(39, 49).Y, kViewH);
  // Shadows were made only for the pieces that were picked up.
  EXPECT_TRUE(b.Piece(20, 20).ShadowData[0]);
}

TEST(BigGame, SelectAllThenArrowKeysMoveEveryPieceAndEveryGroupOnce) {
  TGridPieces g = BigGrid(40, 30, false);
  // Rows 0..9 lie joined in one block; the rest are loose.
  for (int row = 0; row < 10; ++row) {
    for (int col = 0; col < 40; ++col) {
      Put(g, row, col, g.Pieces[row][col].HomeX + 300, g.Pieces[row][col].HomeY + 200, 0, 1);
    }
  }
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  b.SelectAll();
  b.Redraw(true);
  const int x0 = b.Piece(0, 0).X;
  const int x1 = b.Piece(29, 39).X;
  // Left and up: the scatter leaves pieces hanging over the right and
  // bottom edges, which a move that way would push further out.
  game->Key(kVkLeft);
  game->Key(kVkUp);
  EXPECT_EQ(b.Piece(0, 0).X, x0 - 4);
  EXPECT_EQ(b.Piece(29, 39).X, x1 - 4);
  EXPECT_EQ(b.Piece(5, 5).Y, g.Pieces[5][5].HomeY + 200 - 4);
  EXPECT_TRUE(b.Selection().empty());
  // Arrows with everything selected do not pan.
  EXPECT_EQ(b.View().ScrollX(), 0);
}

TEST(BigGame, PickingAGroupRaisesItInOnePassKeepingTheOrderOfTheRest) {
  TGridPieces g = BigGrid(20, 10, false);
  for (int row = 0; row < 3; ++row) {
    for (int col = 0; col < 4; ++col) {
      Put(g, row, col, g.Pieces[row][col].HomeX + 100, g.Pieces[row][col].HomeY + 100, 0, 1);
    }
  }
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TZPosArray before = b.StackingOrder();
  TBoardPoint grab;
  ASSERT_TRUE(game->GrabPoint(1, 1, grab));
  const TBoardPoint v = b.TableToView(grab.X, grab.Y);
  game->Press(v.X, v.Y);
  ASSERT_EQ(b.Group().size(), 12u);
  const TZPosArray& after = b.StackingOrder();
  ASSERT_EQ(after.size(), before.size());
  // The group on top, smallest (row, column) first ...
  int n = 0;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 4; ++col) EXPECT_EQ(after[std::size_t(n++)], (TZPos{std::uint16_t(col), std::uint16_t(row)}));
  // ... and everything else in the order it had.
  std::erase_if(before, [](const TZPos& z) { return z.Row < 3 && z.Col < 4; });
  EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin() + 12));
  game->Release(v.X, v.Y);
}

// A 300-piece game cut by the sprite creator, as the player makes it.
std::unique_ptr<TJigsawSpriteCreator> CutBigGame(const TTemplateSet& templates,
                                                 std::optional<TSavedLayout> saved) {
  auto creator = saved ? std::make_unique<TJigsawSpriteCreator>(std::move(*saved))
                       : std::make_unique<TJigsawSpriteCreator>(MakeTestPicture(640, 480));
  creator->Collection().AddTemplateSet(templates);
  creator->SetBoardSize(kBoardW, kBoardH);
  creator->SetDifficulty(5);
  creator->SetPieceCount(PieceCountAround(300));
  RandSeed(5);
  creator->Execute();
  return creator;
}

TEST(BigGame, ASavedBigGameHoldsItsTablePositionsAndOpensAgainWithTheSamePieces) {
  const TTemplateSet templates = GenerateTemplateSet({{40, 40}}, 7, 3);
  auto creator = CutBigGame(templates, std::nullopt);
  THeadlessGame game(SpriteSourceOf(*creator), kBoardW, kBoardH);
  game.Start();
  TSpriteDraw& b = game.board();
  ASSERT_TRUE(b.BigTable());
  // A piece moved to the table's far corner, out of the first view.
  const int farX = b.BoardWidth() - 60;
  const int farY = b.BoardHeight() - 60;
  ASSERT_TRUE(game.DragPieceTo(3, 4, farX, farY));
  ASSERT_EQ(b.Piece(3, 4).X, farX);

  const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("duduri-big-" + std::to_string(::getpid()) + ".jsw");
  TJigsawFile out;
  out.Columns = b.PiecesX();
  out.Rows = b.PiecesY();
  out.PieceScale = creator->Scale();
  out.Level = b.MyLevel();
  out.SetPieces(b.Pieces());
  out.SaveToFile(file);

  TJigsawFile in;
  in.LoadFromFile(file);
  std::filesystem::remove(file);
  TSavedLayout saved;
  const TBitmap32 picture = MakeTestPicture(640, 480);
  saved.Picture.Width = 640;
  saved.Picture.Height = 480;
  saved.Picture.Pixels.assign(picture.Bits(), picture.Bits() + picture.PixelCount());
  saved.Pieces = in.Pieces;
  saved.Columns = in.Columns;
  saved.Rows = in.Rows;
  saved.Difficulty = in.Level;
  auto restored = CutBigGame(templates, std::move(saved));
  THeadlessGame again(SpriteSourceOf(*restored), kBoardW, kBoardH);
  again.Start();
  TSpriteDraw& r = again.board();
  ASSERT_EQ(r.PiecesX(), b.PiecesX());
  ASSERT_EQ(r.PiecesY(), b.PiecesY());
  EXPECT_TRUE(r.BigTable());
  EXPECT_GE(r.BoardWidth(), farX + 40);
  for (int row = 0; row < r.PiecesY(); ++row) {
    for (int col = 0; col < r.PiecesX(); ++col) {
      const TPieceSprite& p = r.Piece(row, col);
      const TPieceSprite& q = b.Piece(row, col);
      ASSERT_EQ(std::memcmp(&p.Saved(), &q.Saved(), sizeof(TSavedPiece)), 0) << row << "," << col;
      ASSERT_EQ(*p.RleData[p.Rotation], *q.RleData[q.Rotation]) << row << "," << col;
    }
  }
  // And it plays on from there: the far piece is picked where it lies.
  TBoardPoint grab;
  ASSERT_TRUE(again.GrabPoint(3, 4, grab));
  const TBoardPoint v = r.TableToView(grab.X, grab.Y);
  EXPECT_EQ(again.Press(v.X, v.Y), (TBoardPoint{4, 3}));
}

}  // namespace
}  // namespace duduri
