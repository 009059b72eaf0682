// The shell's pure rules: piece-count ranges to difficulty, scale and score
// level, the scoring of a won game, the clock text, and menus built from the
// project's menu records.

#include <gtest/gtest.h>

#include "project/HighScore.h"
#include "shell/MenuModel.h"
#include "shell/PieceCountRule.h"
#include "shell/ShellTexts.h"

namespace duduri {
namespace {

TEST(PieceCountRule, PictureRangesSelectPresetRowsOnlyWhenTheyFit) {
  // Exact presets select their row with its scale and score level.
  auto c = ChooseForPictureRange({25, 50}, 7);
  EXPECT_EQ(c.Difficulty, 1);
  EXPECT_EQ(c.Scale, 4.0f);
  EXPECT_EQ(c.ScoreLevel, kScoreEasy);
  c = ChooseForPictureRange({0, 24}, 7);
  EXPECT_EQ(c.ScoreLevel, kScoreVeryEasy);
  EXPECT_EQ(c.Scale, 5.0f);
  // Inside 101..150 and 151..200 select rows 3 and 4; row 4 takes the
  // project's default scale and leaves the score level alone.
  c = ChooseForPictureRange({120, 140}, 7);
  EXPECT_EQ(c.Difficulty, 3);
  EXPECT_EQ(c.ScoreLevel, kScoreHard);
  c = ChooseForPictureRange({160, 200}, 7);
  EXPECT_EQ(c.Difficulty, 4);
  EXPECT_EQ(c.Scale, 7.0f);
  EXPECT_FALSE(c.ScoreLevel);
  // A range that is no preset changes neither scale nor level.
  c = ChooseForPictureRange({30, 40}, 7);
  EXPECT_EQ(c.Difficulty, 0);
  EXPECT_FALSE(c.Scale);
  EXPECT_FALSE(c.ScoreLevel);
  c = ChooseForPictureRange({300, 400}, 7);
  EXPECT_EQ(c.Difficulty, 5);
  EXPECT_FALSE(c.Scale);
}

TEST(PieceCountRule, DefaultRangeAlwaysSelectsARow) {
  EXPECT_EQ(ChooseForDefaultRange({0, 20}, 6).Difficulty, 0);
  EXPECT_EQ(ChooseForDefaultRange({25, 49}, 6).Difficulty, 1);
  // 25..50 is no longer Easy on the default range: its maximum is above 49.
  const auto wide = ChooseForDefaultRange({25, 50}, 6);
  EXPECT_EQ(wide.Difficulty, 4);
  EXPECT_EQ(wide.Scale, 6.0f);
  EXPECT_FALSE(wide.ScoreLevel);
  EXPECT_EQ(ChooseForDefaultRange({50, 100}, 6).ScoreLevel, kScoreNormal);
  EXPECT_EQ(ChooseForDefaultRange({101, 150}, 6).Difficulty, 3);
  // No default range at all (-1) falls to row 4.
  EXPECT_EQ(ChooseForDefaultRange({-1, -1}, 6).Difficulty, 4);
  EXPECT_FALSE(RangeSearchesScale({-1, -1}));
  EXPECT_FALSE(RangeSearchesScale({0, 1}));
  EXPECT_TRUE(RangeSearchesScale({0, 2}));
}

TEST(PieceCountRule, WonGameScoreLevel) {
  // The default range's minimum decides alone, whatever the maximum.
  EXPECT_EQ(WonGameScoreLevel(30, TPieceRange{0, 10}), kScoreEasy);
  EXPECT_EQ(WonGameScoreLevel(0, std::nullopt), kScoreVeryEasy);
  EXPECT_EQ(WonGameScoreLevel(100, std::nullopt), kScoreNormal);
  EXPECT_EQ(WonGameScoreLevel(101, std::nullopt), kScoreHard);
  // Without a default range the picture's own range decides, in order.
  EXPECT_EQ(WonGameScoreLevel(-1, TPieceRange{0, 24}), kScoreVeryEasy);
  EXPECT_EQ(WonGameScoreLevel(-1, TPieceRange{50, 100}), kScoreNormal);
  EXPECT_EQ(WonGameScoreLevel(-1, TPieceRange{150, 300}), kScoreHard);
  EXPECT_FALSE(WonGameScoreLevel(-1, TPieceRange{25, 50}));
  EXPECT_FALSE(WonGameScoreLevel(-1, TPieceRange{0, 50}));
  EXPECT_FALSE(WonGameScoreLevel(-1, std::nullopt));
  EXPECT_FALSE(WonGameScoreLevel(-5, std::nullopt));
}

TEST(PieceCountRule, DifficultyDialogSelection) {
  EXPECT_EQ(DifficultyItemFor({151, 200}), 4);
  EXPECT_EQ(DifficultyItemFor({120, 140}), 3);
  EXPECT_EQ(DifficultyItemFor({30, 40}), 0);
  EXPECT_EQ(DifficultyItemFor({201, 65535}), 5);
  EXPECT_EQ(DifficultyRange(2), (TPieceRange{51, 100}));
  EXPECT_EQ(DifficultyRange(9), (TPieceRange{0, 24}));
}

TEST(ShellTexts, ClockFormat) {
  EXPECT_EQ(FormatClock(0), "00:00:00");
  EXPECT_EQ(FormatClock(3 * 3600 + 25 * 60 + 7), "03:25:07");
  EXPECT_EQ(FormatClock(100 * 3600), "100:00:00");
  EXPECT_EQ(FormatClock(-4), "00:00:00");
}

TMenuExRec record(const char* caption, std::int32_t code, std::uint8_t menu = 0,
                  std::uint8_t visible = 1) {
  TMenuExRec r;
  r.Caption = caption;
  r.Name = std::string("name-") + caption;
  r.MenuNumber = menu;
  r.Visible = visible;
  r.Script.Code = code;
  return r;
}

TEST(MenuModel, BuildsItemsSubmenusAndSeparators) {
  TMenuTree tree;
  TMenuExRec game = record("&Game", kNoCommand);
  game.Children.push_back(record("&New", 15));
  game.Children.push_back(record("-", 15));  // a separator even with a command
  game.Children.push_back(record("Hidden", 10, 0, 0));
  game.Children.push_back(record("Popup only", 5, 1));  // another menu number
  tree.push_back(std::move(game));
  tree.push_back(record("", 24));  // no caption: the name shows
  tree.push_back(record("Nothing", kNoCommand));
  tree.push_back(record("Pop", 25, 1));

  const auto toolbar = TMenuModel::Build(tree, kToolbarMenu);
  ASSERT_EQ(toolbar->Items().size(), 3u);
  const TMenuNode& g = *toolbar->Items()[0];
  EXPECT_EQ(g.Kind, TMenuNodeKind::mnSubmenu);
  EXPECT_FALSE(g.Command);
  ASSERT_EQ(g.Children.size(), 3u);
  EXPECT_EQ(g.Children[1]->Kind, TMenuNodeKind::mnSeparator);
  EXPECT_FALSE(g.Children[2]->Visible);
  // Nested items carry no sender; top-level ones carry their own node.
  ASSERT_TRUE(g.Children[0]->Command);
  EXPECT_EQ(g.Children[0]->Command->Code, 15);
  EXPECT_EQ(g.Children[0]->Command->ActualSender, nullptr);
  const TMenuNode& pause = *toolbar->Items()[1];
  EXPECT_EQ(pause.Caption, "name-");
  EXPECT_EQ(pause.Command->ActualSender, &pause);
  EXPECT_TRUE(toolbar->Contains(&pause));
  EXPECT_TRUE(toolbar->Contains(g.Children[2].get()));
  EXPECT_FALSE(toolbar->Items()[2]->Command);  // code -1: no command

  const auto popup = TMenuModel::Build(tree, kPopupMenu);
  ASSERT_EQ(popup->Items().size(), 1u);
  EXPECT_EQ(popup->Items()[0]->Caption, "Pop");
  EXPECT_FALSE(popup->Contains(&pause));
}

TEST(MenuModel, DeepTreesStopAtTheStoredDepthLimit) {
  TMenuTree tree;
  tree.push_back(record("root", 1));
  TMenuExRec* level = &tree.back();
  for (int i = 0; i < kMaxMenuDepth + 20; ++i) {
    level->Children.push_back(record("child", 1));
    level = &level->Children.back();
  }
  const auto model = TMenuModel::Build(tree, kToolbarMenu);
  int depth = 0;
  for (const TMenuNode* n = model->Items()[0].get(); n; ++depth) {
    n = n->Children.empty() ? nullptr : n->Children[0].get();
  }
  EXPECT_EQ(depth, kMaxMenuDepth);
}

}  // namespace
}  // namespace duduri
