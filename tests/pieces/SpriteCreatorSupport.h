#pragma once
// Helpers of the sprite creator tests: a small generated template set, games
// made from it, and a byte-for-byte comparison of piece tables.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "PieceTestSupport.h"
#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"
#include "pieces/TemplateGenerator.h"

namespace duduri::testing_support {

// One grid entry of 40 x 40 pixels with three templates per direction.
inline const TTemplateSet& SpriteTestTemplates() {
  static const TTemplateSet set = GenerateTemplateSet({{40, 40}}, 7, 3);
  return set;
}

struct ProgressLog {
  std::vector<std::pair<int, int>> calls;  // (position, max)
  TSpriteProgressEvent handler() {
    return
        [this](TJigsawSpriteCreator&, int position, int max) { calls.emplace_back(position, max); };
  }
};

struct GameOptions {
  int PictureWidth = 160;  // 4 x 3 pieces of 40 x 40
  int PictureHeight = 120;
  int BoardWidth = 640;
  int BoardHeight = 480;
  std::uint64_t Seed = 1;
  int Threads = 1;
  bool NoPieceRotation = false;
  std::uint8_t Difficulty = 0;
};

inline void Configure(TJigsawSpriteCreator& c, const GameOptions& o) {
  c.Collection().AddTemplateSet(SpriteTestTemplates());
  c.SetBoardSize(o.BoardWidth, o.BoardHeight);
  c.SetDifficulty(o.Difficulty);
  c.SetNoPieceRotation(o.NoPieceRotation);
  c.SetThreads(o.Threads);
}

// A new game, executed, with the generator seeded after construction.
inline std::unique_ptr<TJigsawSpriteCreator> NewGame(const GameOptions& o,
                                                     ProgressLog* log = nullptr) {
  TBitmap32 picture;
  FillGradient(picture, o.PictureWidth, o.PictureHeight);
  auto c = std::make_unique<TJigsawSpriteCreator>(picture);
  Configure(*c, o);
  if (log) c->OnProgress = log->handler();
  RandSeed(o.Seed);
  c->Execute();
  return c;
}

// The saved form of a made game, as a saved-game file would hold it.
inline TSavedLayout SaveLayout(const TJigsawSpriteCreator& c, const GameOptions& o) {
  TSavedLayout s;
  s.Picture.Width = o.PictureWidth;
  s.Picture.Height = o.PictureHeight;
  TBitmap32 picture;
  FillGradient(picture, o.PictureWidth, o.PictureHeight);
  s.Picture.Pixels.assign(picture.Bits(), picture.Bits() + picture.PixelCount());
  s.Columns = c.Columns();
  s.Rows = c.Rows();
  s.Difficulty = o.Difficulty;
  for (const auto& row : c.Pieces())
    for (const TPieceSprite& p : row) s.Pieces.push_back(p.Saved());
  return s;
}

inline void ExpectSameBlocks(const TPieceSprite& a, const TPieceSprite& b) {
  for (int r = 0; r < 4; ++r) {
    EXPECT_EQ(a.RleSize[r], b.RleSize[r]) << "rotation " << r;
    ASSERT_EQ(bool(a.RleData[r]), bool(b.RleData[r])) << "rotation " << r;
    if (a.RleData[r]) {
      EXPECT_EQ(*a.RleData[r], *b.RleData[r]) << "rotation " << r;
    }
    ASSERT_EQ(bool(a.ShadowData[r]), bool(b.ShadowData[r])) << "rotation " << r;
    if (a.ShadowData[r]) {
      EXPECT_EQ(*a.ShadowData[r], *b.ShadowData[r]) << "rotation " << r;
    }
  }
  EXPECT_EQ(a.ShadowPixels, b.ShadowPixels);
  EXPECT_EQ(a.Selected, b.Selected);
  EXPECT_EQ(a.TopKnob, b.TopKnob);
  EXPECT_EQ(a.RightKnob, b.RightKnob);
  EXPECT_EQ(a.BottomKnob, b.BottomKnob);
  EXPECT_EQ(a.LeftKnob, b.LeftKnob);
}

inline void ExpectSameTable(const TPieces& a, const TPieces& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t j = 0; j < a.size(); ++j) {
    ASSERT_EQ(a[j].size(), b[j].size());
    for (std::size_t k = 0; k < a[j].size(); ++k) {
      SCOPED_TRACE("piece row " + std::to_string(j) + " column " + std::to_string(k));
      EXPECT_EQ(std::memcmp(&a[j][k].Saved(), &b[j][k].Saved(), sizeof(TSavedPiece)), 0);
      ExpectSameBlocks(a[j][k], b[j][k]);
    }
  }
}

}  // namespace duduri::testing_support
