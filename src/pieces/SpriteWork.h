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

// What MakePieceSprites makes: everything a board may want (smAll), or only
// what the first frame needs (smDeferred: the sprite of the record's
// rotation, no shadow), leaving the rest to the board, which makes each
// part the first time it wants it (a big puzzle's thousands of pieces).
enum class TSpriteMaking { smAll, smDeferred };

// Fills the sprite fields of `record` from the cut piece: Width, Height and
// ShadowPixels; with smAll RleData and RleSize of rotation 0 and, unless
// `onlyRotation0`, of rotations 1..3, and the shadow (ShadowData) of the
// record's Rotation and, for a piece with Placed set, of every rotation
// made; with smDeferred the encoded sprite of the record's Rotation alone.
// `pixels` is read only.
void MakePieceSprites(const TColor32* pixels, std::int32_t width, std::int32_t height,
                      bool onlyRotation0, const TDivisionTable& table, TPieceSprite& record,
                      TSpriteScratch& scratch, TSpriteMaking making = TSpriteMaking::smAll);

// Makes the encoded sprite of rotation `rotation` of a record that has
// another rotation encoded (turning that one); nothing when it has it or has
// none. Returns whether the record has the rotation afterwards.
bool MakeTurnedSprite(TPieceSprite& record, int rotation, TSpriteScratch& scratch);

// The shadow of a w x h sprite whose pixels are `pixels`, as the sprite
// creator makes it (the source is not changed).
TShadowBlock MakeSpriteShadow(const TColor32* pixels, std::int32_t w, std::int32_t h,
                              const TDivisionTable& table, TSpriteScratch& scratch);

}  // namespace duduri
