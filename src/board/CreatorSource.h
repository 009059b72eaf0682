#pragma once
// Hands a board what it takes over from the sprite creator, and builds a
// headless game the way the main window builds a real one: picture, template
// set, board size, difficulty, creator, board.

#include <cstdint>
#include <memory>

#include "board/HeadlessGame.h"
#include "board/SpriteDraw.h"
#include "pieces/PieceTemplates.h"
#include "pieces/SpriteCreator.h"
#include "raster/Picture.h"

namespace duduri {

// The creator's table, grid, scaled-picture size, solution picture, piece
// options and level, after Execute. Valid while the creator lives; the board
// copies everything at its creation.
TSpriteSource SpriteSourceOf(const TJigsawSpriteCreator& creator);

struct TCreatorGameOptions {
  int BoardWidth = 800;
  int BoardHeight = 600;
  std::uint8_t Difficulty = 0;
  float Scale = 1.0f;
  bool NoPieceRotation = false;
  bool NoPieceShadow = false;
  std::uint64_t Seed = 1;  // the creator's random draws, for a reproducible layout
  TSpriteDrawParam Background;
};

// Cuts `picture` with `templates`, makes the sprites and starts a headless
// game on them; the creator is released before this returns.
std::unique_ptr<THeadlessGame> MakeCreatorGame(const TPicture& picture,
                                               const TTemplateSet& templates,
                                               const TCreatorGameOptions& options);

}  // namespace duduri
