#pragma once
// Big puzzles in a game build (300 to 5000 pieces and more): when the
// piece-count range in force asks for one, and the picture decoded at the
// size its cut needs rather than at the photo's own.

#include <cstdint>
#include <optional>
#include <span>

#include "raster/Picture.h"
#include "shell/PieceCountRule.h"

namespace duduri {

class TJigsawFile;
class TJigsawProject2;
class TJigsawSpriteCreator;

// The range a new game of the picture is cut with, as the piece-count rule
// takes it: the picture's own record when the project has per-picture
// records (none without one), else the project's default range.
std::optional<TPieceRange> RangeInForce(const TJigsawProject2& project, std::int32_t pictureId);

// For a big range (IsBigPuzzleRange): the count goes to the creator, with
// the "> 200 pieces" difficulty and the size of the photo the picture was
// decoded from. Returns whether the range was big.
bool ApplyBigPieceCount(TJigsawSpriteCreator& creator, TPieceRange range, TPictureSize photo);

// The picture of a game: a big puzzle cut smaller than its photo (a new
// one by its range and the project's template set, a saved one by its
// records) is decoded at a fraction of the photo's size; anything else in
// full. The picture the start-up prefetch decoded is taken when it is this
// one. Throws as DecodeJpeg throws.
TPicture DecodeGamePicture(std::span<const std::byte> jpeg, const TJigsawProject2& project,
                           std::int32_t pictureId, const TJigsawFile* savedGame);
// The scale (eighths, DecodeEighthsFor) DecodeGamePicture decodes at.
int GamePictureEighths(std::span<const std::byte> jpeg, const TJigsawProject2& project,
                       std::int32_t pictureId, const TJigsawFile* savedGame);

}  // namespace duduri
