// A new game from the sprite creator: the random layout, the encoded
// rotations and shadows, progress, and the worker threads.

#include <gtest/gtest.h>

#include <set>

#include "SpriteCreatorSupport.h"
#include "pieces/RLE.h"
#include "pieces/Shadow.h"

namespace duduri {
namespace {

using namespace testing_support;

// The piece cut afresh from the record's shapes and right place, turned.
TBitmap32 recut(TJigsawSpriteCreator& c, const TPieceSprite& p, int r) {
  TBitmap32 b;
  c.Collection().CutPiece(c.Collection().ScaledPicture(), b, p.TopShape - 1, p.RightShape - 1,
                          p.BottomShape - 1, p.LeftShape - 1, p.HomeX, p.HomeY);
  if (r == 1) b.Rotate90();
  if (r == 2) b.Rotate180();
  if (r == 3) b.Rotate270();
  return b;
}

TEST(SpriteCreatorNewGame, LaysOutAFourByThreeGridWithProgressAfterEveryPiece) {
  ProgressLog log;
  const GameOptions o;
  auto c = NewGame(o, &log);
  ASSERT_EQ(c->Columns(), 4);
  ASSERT_EQ(c->Rows(), 3);
  ASSERT_EQ(log.calls.size(), 12u);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(log.calls[std::size_t(i)], std::make_pair(i + 1, 12));
  EXPECT_EQ(c->Position(), 12);
  EXPECT_EQ(c->Total(), 12);

  const TPieces& t = c->Pieces();
  ASSERT_EQ(t.size(), 3u);
  std::set<int> rotations;
  for (int j = 0; j < 3; ++j) {
    ASSERT_EQ(t[std::size_t(j)].size(), 4u);
    for (int k = 0; k < 4; ++k) {
      SCOPED_TRACE("row " + std::to_string(j) + " column " + std::to_string(k));
      const TPieceSprite& p = t[std::size_t(j)][std::size_t(k)];
      // Shape bytes are 0 exactly on the picture's border.
      EXPECT_EQ(p.LeftShape == 0, k == 0);
      EXPECT_EQ(p.RightShape == 0, k == 3);
      EXPECT_EQ(p.TopShape == 0, j == 0);
      EXPECT_EQ(p.BottomShape == 0, j == 2);
      if (k < 3) {
        EXPECT_EQ(p.RightShape, t[std::size_t(j)][std::size_t(k) + 1].LeftShape);
      }
      if (j < 2) {
        EXPECT_EQ(p.BottomShape, t[std::size_t(j) + 1][std::size_t(k)].TopShape);
      }
      // Knob bytes are the full template extents across each edge.
      const auto& tpl = [&](std::uint8_t s) { return c->Collection().Template(s - 1); };
      EXPECT_EQ(p.LeftKnob, p.LeftShape ? tpl(p.LeftShape).Width : 0);
      EXPECT_EQ(p.TopKnob, p.TopShape ? tpl(p.TopShape).Height : 0);
      EXPECT_EQ(p.RightKnob, p.RightShape ? tpl(p.RightShape).Width : 0);
      EXPECT_EQ(p.BottomKnob, p.BottomShape ? tpl(p.BottomShape).Height : 0);
      // The right place is the cell corner less half the left and top knobs.
      EXPECT_EQ(p.HomeX, k * 40 - p.LeftKnob / 2);
      EXPECT_EQ(p.HomeY, j * 40 - p.TopKnob / 2);
      EXPECT_EQ(p.Width, 40 + p.LeftKnob / 2 + p.RightKnob / 2);
      EXPECT_EQ(p.Height, 40 + p.TopKnob / 2 + p.BottomKnob / 2);
      // Scattered inside the board, less half the piece.
      EXPECT_GE(p.X, 0);
      EXPECT_LE(p.X, o.BoardWidth - p.Width / 2 - 1);
      EXPECT_GE(p.Y, 0);
      EXPECT_LE(p.Y, o.BoardHeight - p.Height / 2 - 1);
      EXPECT_EQ(p.StartX, p.X);
      EXPECT_EQ(p.StartY, p.Y);
      EXPECT_LE(p.Rotation, 3);
      EXPECT_EQ(p.StartRotation, p.Rotation);
      rotations.insert(p.Rotation);
      EXPECT_EQ(p.Placed, 0);
      EXPECT_EQ(p.Spare, 0);
      EXPECT_EQ(p.Selected, 0);
      EXPECT_EQ(p.ShadowPixels, p.Width * p.Height);
      for (int r = 0; r < 4; ++r) {
        EXPECT_TRUE(p.RleData[r]);
        EXPECT_EQ(bool(p.ShadowData[r]), r == p.Rotation);
      }
    }
  }
  EXPECT_GT(rotations.size(), 1u);
  // Nothing decoded is left behind in the collection.
  EXPECT_EQ(c->Collection().PieceCount(), 0);
}

TEST(SpriteCreatorNewGame, DecodedSpritesAndShadowsAreTheTurnedCutPiece) {
  auto c = NewGame(GameOptions{});
  TDivisionTable table;
  FillDivisionTable(table);
  for (const auto& row : c->Pieces()) {
    for (const TPieceSprite& p : row) {
      for (int r = 0; r < 4; ++r) {
        const TBitmap32 expected = recut(*c, p, r);
        ASSERT_EQ(expected.Width(), r & 1 ? p.Height : p.Width);
        std::vector<TColor32> decoded(expected.PixelCount(), 0xDEADBEEF);
        ASSERT_EQ(DecodeBufferChecked(p.RleData[r]->data(), p.RleData[r]->size(), decoded.data(),
                                      decoded.size() * 4),
                  decoded.size() * 4);
        EXPECT_EQ(std::size_t(p.RleSize[r]), p.RleData[r]->size());
        EXPECT_TRUE(std::equal(decoded.begin(), decoded.end(), expected.Bits()))
            << "rotation " << r;
        if (r == p.Rotation) {
          std::vector<TColor32> source(expected.Bits(), expected.Bits() + expected.PixelCount());
          std::vector<TColor32> shadow(source.size());
          MakeShadow(source.data(), shadow.data(), expected.Width(), table, 30, 30, 30,
                     expected.Height());
          EXPECT_EQ(*p.ShadowData[r], shadow);
        }
      }
    }
  }
}

TEST(SpriteCreatorNewGame, NoPieceRotationMakesOnlyTheUprightSprite) {
  GameOptions o;
  o.NoPieceRotation = true;
  auto c = NewGame(o);
  for (const auto& row : c->Pieces()) {
    for (const TPieceSprite& p : row) {
      EXPECT_EQ(p.Rotation, 0);
      EXPECT_EQ(p.StartRotation, 0);
      EXPECT_TRUE(p.RleData[0]);
      EXPECT_TRUE(p.ShadowData[0]);
      for (int r = 1; r < 4; ++r) {
        EXPECT_FALSE(p.RleData[r]);
        EXPECT_EQ(p.RleSize[r], 0);
        EXPECT_FALSE(p.ShadowData[r]);
      }
    }
  }
}

TEST(SpriteCreatorNewGame, SameSeedSameTableAndThreadsChangeNothing) {
  GameOptions o;
  o.PictureWidth = 400;  // 10 x 6 pieces, enough to keep several threads busy
  o.PictureHeight = 240;
  o.Difficulty = 2;
  ProgressLog single;
  auto a = NewGame(o, &single);
  ASSERT_EQ(a->Total(), 60);
  // Every draw happens before the work is shared out, so the sequence after
  // the game is the same too.
  const std::int32_t next = Random(1 << 30);
  for (int threads : {1, 2, 4, 0}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    o.Threads = threads;
    ProgressLog log;
    auto b = NewGame(o, &log);
    ExpectSameTable(a->Pieces(), b->Pieces());
    EXPECT_EQ(log.calls, single.calls);
    EXPECT_EQ(Random(1 << 30), next);
  }
  o.Seed = 2;
  auto other = NewGame(o);
  EXPECT_NE(std::memcmp(&other->Pieces()[0][0].Saved(), &a->Pieces()[0][0].Saved(), 40), 0);
}

TEST(SpriteCreatorNewGame, AThrowingProgressHandlerStopsTheWorkers) {
  for (int threads : {1, 3}) {
    TBitmap32 picture;
    FillGradient(picture, 400, 240);
    TJigsawSpriteCreator c(picture);
    GameOptions o;
    o.Threads = threads;
    o.Difficulty = 2;
    Configure(c, o);
    c.OnProgress = [](TJigsawSpriteCreator&, int position, int) {
      if (position == 5) throw std::runtime_error("cancelled");
    };
    EXPECT_THROW(c.Execute(), std::runtime_error);
    EXPECT_EQ(c.Position(), 5);
  }
}

TEST(SpriteCreatorNewGame, ScattersOverABoardSmallerThanHalfAPiece) {
  GameOptions o;
  o.BoardWidth = 10;
  o.BoardHeight = -5;
  auto c = NewGame(o);
  for (const auto& row : c->Pieces()) {
    for (const TPieceSprite& p : row) {
      EXPECT_EQ(p.X, 0);
      EXPECT_EQ(p.Y, 0);
    }
  }
}

TEST(SpriteCreatorNewGame, EmptyPictureGivesNoPieces) {
  TBitmap32 empty;
  TJigsawSpriteCreator c(empty);
  ProgressLog log;
  Configure(c, GameOptions{});
  c.OnProgress = log.handler();
  c.Execute();
  EXPECT_TRUE(c.Pieces().empty());
  EXPECT_EQ(c.Total(), 0);
  EXPECT_TRUE(log.calls.empty());
}

TEST(SpriteCreatorNewGame, RefusesTemplatesThatAPieceRecordCannotName) {
  // 300 templates of a second grid entry in front push the usable ones past
  // index 254.
  TTemplateSet set;
  set.GridTable = {{40, 40}, {40, 40}};
  for (int i = 0; i < 300; ++i)
    set.Templates.push_back(MakeTemplate(40, 10, i % 2 == 1, 1, {}, {}));
  for (const TPzPieceTemplate& t : SpriteTestTemplates().Templates) set.Templates.push_back(t);
  TBitmap32 picture;
  FillGradient(picture, 160, 120);
  TJigsawSpriteCreator c(picture);
  c.Collection().AddTemplateSet(set);
  c.SetBoardSize(640, 480);
  EXPECT_THROW(c.Execute(), ESpriteCreatorError);
}

}  // namespace
}  // namespace duduri
