#pragma once
// How a piece-count range becomes a difficulty, a piece scale and a score
// level, and how a won game is scored. Pure functions over the project's
// numbers, so every rule is tested without a window or a picture.
//
// The six difficulty presets (the change-difficulty list):
//   index  range          preset scale              score level
//   0      0 .. 24        5                         Very Easy
//   1      25 .. 50       4                         Easy
//   2      51 .. 100      3                         Normal
//   3      101 .. 150     2                         Hard
//   4      151 .. 200     the project's default     unchanged
//   5      201 .. 65535   none                      unchanged

#include <cstdint>
#include <optional>
#include <span>

namespace duduri {

struct TPieceRange {
  std::int32_t Min = 0;
  std::int32_t Max = 0;
  friend bool operator==(const TPieceRange&, const TPieceRange&) = default;
};

inline constexpr int kDifficultyCount = 6;
TPieceRange DifficultyRange(int index);  // 0..24 for an index outside 0..5

// The lines of the change-difficulty list and the range each one sets, in
// list order. The first kDifficultyCount are the six presets above; lines
// appended after them (larger puzzles) are offered by the dialog as well and
// are chosen only by an exact match of their range.
struct TDifficultyItem {
  const char* Text;
  TPieceRange Range;
};
std::span<const TDifficultyItem> DifficultyItems();

// What a range selects before the scale search runs.
struct TDifficultyChoice {
  std::uint8_t Difficulty = 0;    // the index handed to the sprite creator
  std::optional<float> Scale;     // written to the window's piece scale factor
  std::optional<int> ScoreLevel;  // written to the window's score level
};

// A new game on a picture with its own range record.
TDifficultyChoice ChooseForPictureRange(TPieceRange range, std::uint8_t defaultPieceScale);
// A new game on the project's default range (no per-picture records).
TDifficultyChoice ChooseForDefaultRange(TPieceRange range, std::uint8_t defaultPieceScale);

// Whether the scale search runs for a range (minimum at least 0, maximum at
// least 2); otherwise the window's factor is the creator's scale.
inline bool RangeSearchesScale(TPieceRange range) {
  return range.Min >= 0 && range.Max > 1;
}

// The score level of a won game: from the project's default range when its
// minimum is not -1, else from the picture's own range; none when no rule
// holds (the game then makes no high-score entry).
std::optional<int> WonGameScoreLevel(std::int32_t defaultRangeMin,
                                     std::optional<TPieceRange> pictureRange);

// The line of DifficultyItems() the change-difficulty dialog selects for a
// range: the line whose range it is exactly, else 3 when the minimum is
// above 100, else 0.
int DifficultyItemFor(TPieceRange range);

// ---- Big puzzles ----
// After its six items the change-difficulty dialog offers big puzzles:
// "300 pieces", "500 pieces", "1000 pieces", "2000 pieces", "5000 pieces".
// Choosing one sets the range 90 % to 110 % of its count.
inline constexpr int kBigPuzzleItems = 5;
struct TBigPuzzleItem {
  const char* Caption;
  std::int32_t Pieces;
};
// Items 0..4 of the big puzzles (an index outside gives the first).
const TBigPuzzleItem& BigPuzzleItem(int index);
TPieceRange BigPuzzleRange(int index);
// The big-puzzle item whose range this is, or -1.
int BigPuzzleItemFor(TPieceRange range);
// A range that starts above 200 pieces and is not the "> 200 pieces"
// preset: it is cut into that many pieces on a table larger than the play
// area, and the game's difficulty is "> 200 pieces".
bool IsBigPuzzleRange(TPieceRange range);

}  // namespace duduri
