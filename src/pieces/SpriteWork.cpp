#include "pieces/SpriteWork.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "pieces/RLE.h"

namespace duduri {

namespace {

constexpr std::int32_t kTile = 32;

// Source pixel (x, y) of a w x h block goes to (h - 1 - y, x) of an h x w
// block (clockwise), or to (y, w - 1 - x) (anticlockwise). Small tiles keep
// the column writes within the cache.
void turnQuarter(const TColor32* src, std::int32_t w, std::int32_t h, TColor32* dst,
                 bool clockwise) {
  const auto sh = std::size_t(h);
  for (std::int32_t ty = 0; ty < h; ty += kTile) {
    const std::int32_t yEnd = std::min(ty + kTile, h);
    for (std::int32_t tx = 0; tx < w; tx += kTile) {
      const std::int32_t xEnd = std::min(tx + kTile, w);
      for (std::int32_t y = ty; y < yEnd; ++y) {
        const TColor32* s = src + std::size_t(y) * std::size_t(w);
        if (clockwise) {
          TColor32* d = dst + (h - 1 - y);
          for (std::int32_t x = tx; x < xEnd; ++x) d[std::size_t(x) * sh] = s[x];
        } else {
          TColor32* d = dst + y;
          for (std::int32_t x = tx; x < xEnd; ++x) d[std::size_t(w - 1 - x) * sh] = s[x];
        }
      }
    }
  }
}

TRleBlock toBlock(std::vector<std::byte> bytes) {
  return std::make_shared<const std::vector<std::byte>>(std::move(bytes));
}

}  // namespace

void TurnPixels(const TColor32* pixels, std::int32_t width, std::int32_t height, int quarterTurns,
                std::vector<TColor32>& out) {
  const std::size_t count = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
  out.resize(count);
  if (count == 0) return;
  switch (quarterTurns & 3) {
    case 0:
      std::memcpy(out.data(), pixels, count * sizeof(TColor32));
      break;
    case 1:
      turnQuarter(pixels, width, height, out.data(), true);
      break;
    case 2:
      std::reverse_copy(pixels, pixels + count, out.data());
      break;
    default:
      turnQuarter(pixels, width, height, out.data(), false);
      break;
  }
}

std::vector<std::byte> EncodeTurned(const TColor32* pixels, std::int32_t width, std::int32_t height,
                                    int quarterTurns, TSpriteScratch& scratch) {
  const std::size_t count = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
  if ((quarterTurns & 3) == 0) return RleEncode(pixels, count * sizeof(TColor32));
  TurnPixels(pixels, width, height, quarterTurns, scratch.Turned);
  return RleEncode(scratch.Turned.data(), count * sizeof(TColor32));
}

TShadowBlock MakeSpriteShadow(const TColor32* pixels, std::int32_t w, std::int32_t h,
                              const TDivisionTable& table, TSpriteScratch& scratch) {
  const std::size_t count = std::size_t(std::max(w, 0)) * std::size_t(std::max(h, 0));
  // The shadow routine destroys the colour of its source, so it works on a
  // copy.
  if (pixels != scratch.Silhouette.data()) scratch.Silhouette.assign(pixels, pixels + count);
  std::vector<TColor32> shadow(count);
  MakeShadow(scratch.Silhouette.data(), shadow.data(), w, table, kShadowGrey, kShadowGrey,
             kShadowGrey, h);
  return std::make_shared<const std::vector<TColor32>>(std::move(shadow));
}

void MakePieceSprites(const TColor32* pixels, std::int32_t width, std::int32_t height,
                      bool onlyRotation0, const TDivisionTable& table, TPieceSprite& record,
                      TSpriteScratch& scratch, TSpriteMaking making) {
  record.Width = width;
  record.Height = height;
  const std::size_t count = std::size_t(std::max(width, 0)) * std::size_t(std::max(height, 0));
  record.ShadowPixels = std::int32_t(count);
  if (making == TSpriteMaking::smDeferred) {
    const int r = onlyRotation0 ? 0 : record.Rotation & 3;
    std::vector<std::byte> encoded = EncodeTurned(pixels, width, height, r, scratch);
    record.RleSize[r] = std::int32_t(encoded.size());
    record.RleData[r] = toBlock(std::move(encoded));
    return;
  }
  const int made = onlyRotation0 ? 1 : 4;
  for (int r = 0; r < made; ++r) {
    std::vector<std::byte> encoded = EncodeTurned(pixels, width, height, r, scratch);
    record.RleSize[r] = std::int32_t(encoded.size());
    record.RleData[r] = toBlock(std::move(encoded));

    if (record.Placed != 1 && r != record.Rotation) continue;
    // Turns 1 and 3 swap the sides; the turned block is a copy already.
    const std::int32_t w = (r & 1) ? height : width;
    const std::int32_t h = (r & 1) ? width : height;
    if (r == 0) {
      record.ShadowData[r] = MakeSpriteShadow(pixels, w, h, table, scratch);
    } else {
      std::swap(scratch.Turned, scratch.Silhouette);
      record.ShadowData[r] = MakeSpriteShadow(scratch.Silhouette.data(), w, h, table, scratch);
      std::swap(scratch.Turned, scratch.Silhouette);
    }
  }
}

bool MakeTurnedSprite(TPieceSprite& record, int rotation, TSpriteScratch& scratch) {
  const int r = rotation & 3;
  if (record.RleData[r]) return true;
  const std::size_t count =
      std::size_t(std::max(record.Width, 0)) * std::size_t(std::max(record.Height, 0));
  if (count == 0) return false;
  for (int have = 0; have < 4; ++have) {
    if (!record.RleData[have] || record.RleSize[have] <= 0) continue;
    scratch.Silhouette.assign(count, 0);
    try {
      DecodeBufferChecked(record.RleData[have]->data(), std::size_t(record.RleSize[have]),
                          scratch.Silhouette.data(), count * sizeof(TColor32));
    } catch (const ERLEError&) {
      return false;
    }
    // Rotation `have` is `have` quarter turns of the piece; r - have more
    // make rotation r.
    const std::int32_t w = (have & 1) ? record.Height : record.Width;
    const std::int32_t h = (have & 1) ? record.Width : record.Height;
    std::vector<std::byte> encoded =
        EncodeTurned(scratch.Silhouette.data(), w, h, (r - have) & 3, scratch);
    record.RleSize[r] = std::int32_t(encoded.size());
    record.RleData[r] = toBlock(std::move(encoded));
    return true;
  }
  return false;
}

}  // namespace duduri
