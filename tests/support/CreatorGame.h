#pragma once
// Builds a headless game the way the main window builds a real one: picture,
// template set, board size, difficulty, creator, board.

#include <cstdint>
#include <memory>

#include "board/SpriteDraw.h"
#include "pieces/PieceTemplates.h"
#include "pieces/SpriteCreator.h"
#include "raster/Picture.h"
#include "support/HeadlessGame.h"

namespace duduri {

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
