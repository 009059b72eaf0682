#pragma once
// The per-piece work of the sprite creator: one cut piece in, its encoded
// rotations and shadows out. Kept apart from the creator so that worker
// threads can run it on pieces side by side: it touches nothing but its
// arguments.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pieces/PieceSprite.h"
#include "pieces/Shadow.h"
#include "raster/Color32.h"

namespace duduri {

// Buffers one thread reuses from piece to piece, so that the work allocates
// only the blocks it hands out.
struct TSpriteScratch {
  std::vector<TColor32> Turned;
  std::vector<TColor32> Silhouette;
};

// Run-length encodes the width x height block at `pixels` turned by
// `quarterTurns` (0..3) clockwise, giving the same bytes as RleEncode of the
// turned block. Turns 1 and 3 give a block height wide and width tall.
std::vector<std::byte> EncodeTurned(const TColor32* pixels, std::int32_t width, std::int32_t height,
                                    int quarterTurns, TSpriteScratch& scratch);

// Writes the turned block into `out` (resized to width * height).
void TurnPixels(const TColor32* pixels, std::int32_t width, std::int32_t height, int quarterTurns,
                std::vector<TColor32>& out);

// Whether MakePieceSprites makes the shadows or leaves them to the board.
enum class TShadowMaking { smNow, smDeferred };

// Fills the sprite fields of `record` from the cut piece: Width and Height,
// RleData and RleSize of rotation 0 and, unless `onlyRotation0`, of
// rotations 1..3, and (unless deferred) the shadow (ShadowData,
// ShadowPixels) of the record's Rotation and, for a piece with Placed set,
// of every rotation made. `pixels` is read only.
void MakePieceSprites(const TColor32* pixels, std::int32_t width, std::int32_t height,
                      bool onlyRotation0, const TDivisionTable& table, TPieceSprite& record,
                      TSpriteScratch& scratch, TShadowMaking shadows = TShadowMaking::smNow);

// The shadow of a w x h sprite whose pixels are `pixels`, as the sprite
// creator makes it (the source is not changed).
TShadowBlock MakeSpriteShadow(const TColor32* pixels, std::int32_t w, std::int32_t h,
                              const TDivisionTable& table, TSpriteScratch& scratch);

}  // namespace duduri
