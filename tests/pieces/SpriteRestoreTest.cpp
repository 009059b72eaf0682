// A saved game rebuilt by the sprite creator, and saved layouts it refuses.

#include <gtest/gtest.h>

#include <functional>

#include "SpriteCreatorSupport.h"

namespace duduri {
namespace {

using namespace testing_support;

std::unique_ptr<TJigsawSpriteCreator> restore(TSavedLayout saved, const GameOptions& o,
                                              ProgressLog* log = nullptr) {
  const std::uint8_t difficulty = saved.Difficulty;
  auto c = std::make_unique<TJigsawSpriteCreator>(std::move(saved));
  Configure(*c, o);
  // The owner hands the saved game's difficulty back in.
  c->SetDifficulty(difficulty);
  if (log) c->OnProgress = log->handler();
  return c;
}

TEST(SpriteCreatorRestore, RebuildsTheSavedGameExactlyWithoutRandomDraws) {
  GameOptions o;
  auto original = NewGame(o);
  TSavedLayout saved = SaveLayout(*original, o);
  // Some play happened: a piece moved and turned, one joined.
  saved.Pieces[5].X = 77;
  saved.Pieces[5].Y = 33;
  saved.Pieces[5].Rotation = std::uint8_t((saved.Pieces[5].Rotation + 1) % 4);
  saved.Pieces[6].Placed = 1;
  const TJigsawArrayData records = saved.Pieces;

  for (int threads : {1, 3}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    o.Threads = threads;
    ProgressLog log;
    auto c = restore(saved, o, &log);
    RandSeed(99);
    c->Execute();
    const std::int32_t next = Random(1 << 30);
    RandSeed(99);
    EXPECT_EQ(next, Random(1 << 30)) << "the restore drew random numbers";

    ASSERT_EQ(log.calls.size(), 12u);
    EXPECT_EQ(log.calls.back(), std::make_pair(12, 12));
    ASSERT_EQ(c->Pieces().size(), 3u);
    for (std::size_t n = 0; n < 12; ++n) {
      SCOPED_TRACE("piece " + std::to_string(n));
      const TPieceSprite& p = c->Pieces()[n / 4][n % 4];
      const TPieceSprite& before = original->Pieces()[n / 4][n % 4];
      EXPECT_EQ(std::memcmp(&p.Saved(), &records[n], sizeof(TSavedPiece)), 0);
      // The same cut, so the same sprites.
      for (int r = 0; r < 4; ++r) EXPECT_EQ(*p.RleData[r], *before.RleData[r]);
      EXPECT_EQ(p.LeftKnob, before.LeftKnob);
      EXPECT_EQ(p.BottomKnob, before.BottomKnob);
      for (int r = 0; r < 4; ++r) {
        const bool shadow = n == 6 || r == p.Rotation;  // a joined piece has all four
        EXPECT_EQ(bool(p.ShadowData[r]), shadow) << "rotation " << r;
        if (shadow && r == before.Rotation) {
          EXPECT_EQ(*p.ShadowData[r], *before.ShadowData[r]);
        }
      }
    }
  }
}

TEST(SpriteCreatorRestore, WorkerThreadsCutTheSameTable) {
  // A picture that the grid search stretches, so that the collection's
  // resizing is real work that every thread might want at once.
  GameOptions o;
  o.PictureWidth = 410;
  o.PictureHeight = 245;
  o.Difficulty = 2;
  auto original = NewGame(o);
  ASSERT_EQ(original->Total(), 60);
  const TSavedLayout saved = SaveLayout(*original, o);
  for (int threads : {4, 2}) {
    o.Threads = threads;
    auto c = restore(saved, o);
    ReportLog reports;
    c->Collection().SetErrorReporter(reports.reporter());
    c->Execute();
    EXPECT_TRUE(reports.messages.empty());
    ExpectSameTable(c->Pieces(), original->Pieces());
  }
}

TEST(SpriteCreatorRestore, AGameWithoutTurningRestoresUpright) {
  GameOptions o;
  auto original = NewGame(o);
  TSavedLayout saved = SaveLayout(*original, o);
  saved.Pieces[0].Rotation = 2;
  o.NoPieceRotation = true;
  auto c = restore(saved, o);
  c->Execute();
  const TPieceSprite& p = c->Pieces()[0][0];
  EXPECT_EQ(p.Rotation, 0);
  EXPECT_TRUE(p.RleData[0]);
  EXPECT_FALSE(p.RleData[2]);
}

struct BadLayout {
  const char* what;
  std::function<void(TSavedLayout&)> spoil;
};

TEST(SpriteCreatorRestore, RefusesLayoutsThatDoNotFitBeforeCutting) {
  GameOptions o;
  auto original = NewGame(o);
  const TSavedLayout good = SaveLayout(*original, o);
  const int templates = int(SpriteTestTemplates().Templates.size());
  int horizontal = 0;
  while (SpriteTestTemplates().Templates[std::size_t(horizontal)].Vertical) ++horizontal;

  const BadLayout cases[] = {
      {"one record too few", [](TSavedLayout& s) { s.Pieces.pop_back(); }},
      {"one record too many", [](TSavedLayout& s) { s.Pieces.push_back({}); }},
      {"grid other than the picture's",
       [](TSavedLayout& s) {
         s.Columns = 3;
         s.Rows = 4;
       }},
      {"empty grid",
       [](TSavedLayout& s) {
         s.Columns = 0;
         s.Rows = 0;
         s.Pieces.clear();
       }},
      {"template that does not exist",
       [&](TSavedLayout& s) { s.Pieces[1].LeftShape = std::uint8_t(templates + 1); }},
      {"horizontal template on a left edge",
       [&](TSavedLayout& s) { s.Pieces[1].LeftShape = std::uint8_t(horizontal + 1); }},
      {"home left of the picture", [](TSavedLayout& s) { s.Pieces[0].HomeX = -1; }},
      {"home below the picture", [](TSavedLayout& s) { s.Pieces[11].HomeY = 100; }},
      {"home far outside", [](TSavedLayout& s) { s.Pieces[3].HomeX = 0x7FFFFFF0; }},
      {"rotation 4", [](TSavedLayout& s) { s.Pieces[2].Rotation = 4; }},
      {"start rotation 200", [](TSavedLayout& s) { s.Pieces[2].StartRotation = 200; }},
      {"joined flag 2", [](TSavedLayout& s) { s.Pieces[2].Placed = 2; }},
      {"difficulty 6", [](TSavedLayout& s) { s.Difficulty = 6; }},
      {"another difficulty's grid", [](TSavedLayout& s) { s.Difficulty = 3; }},
  };
  for (const BadLayout& bad : cases) {
    SCOPED_TRACE(bad.what);
    TSavedLayout saved = good;
    bad.spoil(saved);
    ProgressLog log;
    ReportLog reports;
    auto c = restore(saved, o, &log);
    c->Collection().SetErrorReporter(reports.reporter());
    try {
      c->Execute();
      ADD_FAILURE() << "accepted";
    } catch (const ESpriteCreatorError& e) {
      EXPECT_NE(std::string(e.what()).find("The saved game does not fit its picture"),
                std::string::npos)
          << e.what();
    } catch (const ETemplateError&) {
      // A difficulty whose range no grid entry serves ends in the grid search.
      EXPECT_STREQ(bad.what, "another difficulty's grid");
    }
    EXPECT_TRUE(log.calls.empty());
    EXPECT_TRUE(reports.messages.empty());
    EXPECT_EQ(c->Collection().PieceCount(), 0);
    for (const auto& row : c->Pieces())
      for (const TPieceSprite& p : row) EXPECT_FALSE(p.RleData[0]);
  }
}

}  // namespace
}  // namespace duduri
