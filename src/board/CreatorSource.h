#pragma once
// Hands a board what it takes over from the sprite creator.

#include "board/SpriteDraw.h"
#include "pieces/SpriteCreator.h"

namespace duduri {

// The creator's table, grid, scaled-picture size, solution picture, piece
// options and level, after Execute. Valid while the creator lives; the board
// copies everything at its creation.
TSpriteSource SpriteSourceOf(const TJigsawSpriteCreator& creator);

}  // namespace duduri
