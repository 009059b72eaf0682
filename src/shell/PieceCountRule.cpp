#include "shell/PieceCountRule.h"

#include <iterator>
#include <string_view>

#include "pieces/CountGrid.h"
#include "project/HighScore.h"

namespace duduri {

namespace {

struct TPreset {
  TPieceRange Range;
  float Scale;     // 0: the project's default piece scale (row 4) or none (row 5)
  int ScoreLevel;  // -1: unchanged
};

constexpr TPreset kPresets[kDifficultyCount] = {
    {{0, 24}, 5.0f, kScoreVeryEasy}, {{25, 50}, 4.0f, kScoreEasy}, {{51, 100}, 3.0f, kScoreNormal},
    {{101, 150}, 2.0f, kScoreHard},  {{151, 200}, 0.0f, -1},       {{201, 65535}, 0.0f, -1},
};

TDifficultyChoice row(int index, std::uint8_t defaultPieceScale) {
  TDifficultyChoice c;
  c.Difficulty = std::uint8_t(index);
  const TPreset& p = kPresets[index];
  if (index == 4) {
    c.Scale = float(defaultPieceScale);
  } else if (p.Scale > 0) {
    c.Scale = p.Scale;
  }
  if (p.ScoreLevel >= 0) c.ScoreLevel = p.ScoreLevel;
  return c;
}

// The dialog's lines. The preset rows above must stay the first six.
constexpr TDifficultyItem kItems[] = {
    {"< 25 pieces", {0, 24}},         {"25 - 50 pieces", {25, 50}},
    {"50 -100 pieces", {51, 100}},    {"100 - 150 pieces", {101, 150}},
    {"150 - 200 pieces", {151, 200}}, {"> 200 pieces", {201, 65535}},
    // Big puzzles: 90 % to 110 % of the count (BigPuzzleRange).
    {"300 pieces", {270, 330}},       {"500 pieces", {450, 550}},
    {"1000 pieces", {900, 1100}},     {"2000 pieces", {1800, 2200}},
    {"5000 pieces", {4500, 5500}},
};
static_assert(std::size(kItems) >= kDifficultyCount);
static_assert([] {
  for (int i = 0; i < kDifficultyCount; ++i) {
    if (!(kItems[i].Range == kPresets[i].Range)) return false;
  }
  return true;
}());

}  // namespace

std::span<const TDifficultyItem> DifficultyItems() {
  return kItems;
}

TPieceRange DifficultyRange(int index) {
  if (index < 0 || index >= kDifficultyCount) return kPresets[0].Range;
  return kPresets[index].Range;
}

TDifficultyChoice ChooseForPictureRange(TPieceRange range, std::uint8_t defaultPieceScale) {
  for (int i = 0; i < 3; ++i) {
    if (range == kPresets[i].Range) return row(i, defaultPieceScale);
  }
  if (range.Min >= 101 && range.Max <= 150) return row(3, defaultPieceScale);
  if (range.Min >= 151 && range.Max <= 200) return row(4, defaultPieceScale);
  // A range that fits no preset only tells the grid search how fine to cut;
  // the window keeps its factor and score level.
  TDifficultyChoice c;
  c.Difficulty = range.Min >= 201 ? 5 : 0;
  return c;
}

TDifficultyChoice ChooseForDefaultRange(TPieceRange range, std::uint8_t defaultPieceScale) {
  if (range.Min >= 0 && range.Max <= 24) return row(0, defaultPieceScale);
  if (range.Min >= 25 && range.Max <= 49) return row(1, defaultPieceScale);
  if (range.Min >= 50 && range.Max <= 100) return row(2, defaultPieceScale);
  return row(range.Min <= 100 ? 4 : 3, defaultPieceScale);
}

std::optional<int> WonGameScoreLevel(std::int32_t defaultRangeMin,
                                     std::optional<TPieceRange> pictureRange) {
  if (defaultRangeMin != -1) {
    const std::int32_t m = defaultRangeMin;
    if (m >= 0 && m <= 24) return kScoreVeryEasy;
    if (m >= 25 && m <= 49) return kScoreEasy;
    if (m >= 50 && m <= 100) return kScoreNormal;
    if (m > 100) return kScoreHard;
    return std::nullopt;
  }
  if (!pictureRange) return std::nullopt;
  const std::int32_t m = pictureRange->Min;
  const std::int32_t x = pictureRange->Max;
  if (m >= 0 && x <= 24) return kScoreVeryEasy;
  if (m >= 25 && x <= 49) return kScoreEasy;
  if (m >= 50 && x <= 100) return kScoreNormal;
  if (m > 100) return kScoreHard;
  return std::nullopt;
}

int DifficultyItemFor(TPieceRange range) {
  const std::span<const TDifficultyItem> items = DifficultyItems();
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i].Range == range) return int(i);
  }
  return range.Min > 100 ? 3 : 0;
}

namespace {

constexpr TBigPuzzleItem kBigPuzzles[kBigPuzzleItems] = {{"300 pieces", 300},
                                                          {"500 pieces", 500},
                                                          {"1000 pieces", 1000},
                                                          {"2000 pieces", 2000},
                                                          {"5000 pieces", 5000}};
// The list's lines after the presets are these, with their ranges.
static_assert(std::size(kItems) == kDifficultyCount + kBigPuzzleItems);
static_assert([] {
  for (int i = 0; i < kBigPuzzleItems; ++i) {
    const TDifficultyItem& line = kItems[kDifficultyCount + i];
    const std::int32_t n = kBigPuzzles[i].Pieces;
    if (line.Range.Min != n * 9 / 10 || line.Range.Max != (n * 11 + 9) / 10) return false;
    if (std::string_view(line.Text) != kBigPuzzles[i].Caption) return false;
  }
  return true;
}());

}  // namespace

const TBigPuzzleItem& BigPuzzleItem(int index) {
  return kBigPuzzles[index >= 0 && index < kBigPuzzleItems ? index : 0];
}

TPieceRange BigPuzzleRange(int index) {
  const TPieceCount c = PieceCountAround(BigPuzzleItem(index).Pieces);
  return TPieceRange{c.Low, c.High};
}

int BigPuzzleItemFor(TPieceRange range) {
  for (int i = 0; i < kBigPuzzleItems; ++i) {
    if (range == BigPuzzleRange(i)) return i;
  }
  return -1;
}

bool IsBigPuzzleRange(TPieceRange range) {
  return IsBigPieceCount(TPieceCount{range.Min, range.Max});
}

}  // namespace duduri
