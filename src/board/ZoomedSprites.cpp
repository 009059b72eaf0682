#include "board/ZoomedSprites.h"

#include <algorithm>
#include <cmath>

#include "pieces/RLE.h"

namespace duduri {

int ReduceLevelFor(double zoom) {
  if (!(zoom < 1.0)) return 0;
  const int level = int(std::floor(std::log2(1.0 / zoom) + 1e-9));
  return std::clamp(level, 0, kMaxReduceLevel);
}

void DrawMappedBlock(const TPixelTarget& target, const TBoardView& view, std::int32_t x,
                     std::int32_t y, std::int32_t width, std::int32_t height,
                     const TColor32* pixels, int level, std::uint32_t masterAlpha) {
  if (pixels == nullptr || target.Bits == nullptr || width <= 0 || height <= 0) return;
  if (masterAlpha == 0) return;
  const std::int32_t sourceWidth = (width + (1 << level) - 1) >> level;
  const std::int32_t vx0 = std::max(0, view.ViewXOf(x));
  const std::int32_t vx1 = std::min(target.Width, view.ViewXOf(double(x) + width));
  const std::int32_t vy0 = std::max(0, view.ViewYOf(y));
  const std::int32_t vy1 = std::min(target.Height, view.ViewYOf(double(y) + height));
  if (vx0 >= vx1 || vy0 >= vy1) return;

  // The source column under every view column of the span, worked out once.
  thread_local std::vector<std::int32_t> columns;
  columns.resize(std::size_t(vx1 - vx0));
  for (std::int32_t vx = vx0; vx < vx1; ++vx) {
    const std::int32_t local = std::clamp(view.TablePixelX(vx) - x, 0, width - 1);
    columns[std::size_t(vx - vx0)] = local >> level;
  }
  const std::int32_t n = vx1 - vx0;
  for (std::int32_t vy = vy0; vy < vy1; ++vy) {
    const std::int32_t local = std::clamp(view.TablePixelY(vy) - y, 0, height - 1);
    const TColor32* src = pixels + std::size_t(local >> level) * std::size_t(sourceWidth);
    TColor32* dst = target.Bits + std::size_t(vy) * std::size_t(target.Width) + vx0;
    if (masterAlpha >= 255) {
      for (std::int32_t i = 0; i < n; ++i) {
        const TColor32 f = src[columns[std::size_t(i)]];
        const std::uint32_t fa = f >> 24;
        if (fa == 255) {
          dst[i] = f;
        } else if (fa != 0) {
          dst[i] = BlendWeight(f, dst[i], fa);
        }
      }
    } else {
      for (std::int32_t i = 0; i < n; ++i) {
        const TColor32 f = src[columns[std::size_t(i)]];
        const std::uint32_t w = ((masterAlpha + 1) * (f >> 24)) >> 8;
        if (w != 0) dst[i] = BlendWeight(f, dst[i], w);
      }
    }
  }
}

std::vector<TColor32> ReducePixels(const TColor32* source, std::int32_t width,
                                   std::int32_t height, int level) {
  const std::int32_t block = 1 << level;
  const std::int32_t w = (width + block - 1) >> level;
  const std::int32_t h = (height + block - 1) >> level;
  std::vector<TColor32> out(std::size_t(w) * std::size_t(h), 0);
  if (source == nullptr || width <= 0 || height <= 0) return out;
  // Sums per output column over the source rows of one output row:
  // alpha, and each colour weighted by alpha.
  const auto n = static_cast<std::size_t>(w);
  std::vector<std::uint64_t> sa(n), sr(n), sg(n), sb(n);
  for (std::int32_t oy = 0; oy < h; ++oy) {
    std::fill(sa.begin(), sa.end(), 0);
    std::fill(sr.begin(), sr.end(), 0);
    std::fill(sg.begin(), sg.end(), 0);
    std::fill(sb.begin(), sb.end(), 0);
    const std::int32_t y0 = oy << level;
    const std::int32_t y1 = std::min(height, y0 + block);
    for (std::int32_t y = y0; y < y1; ++y) {
      const TColor32* row = source + std::size_t(y) * std::size_t(width);
      for (std::int32_t x = 0; x < width; ++x) {
        const TColor32 c = row[x];
        const std::uint32_t a = c >> 24;
        if (a == 0) continue;
        const std::size_t o = std::size_t(x >> level);
        sa[o] += a;
        sr[o] += a * ((c >> 16) & 0xFF);
        sg[o] += a * ((c >> 8) & 0xFF);
        sb[o] += a * (c & 0xFF);
      }
    }
    TColor32* dst = out.data() + std::size_t(oy) * std::size_t(w);
    for (std::int32_t ox = 0; ox < w; ++ox) {
      const std::uint64_t a = sa[std::size_t(ox)];
      if (a == 0) continue;
      const std::int32_t cols = std::min(width, (ox + 1) << level) - (ox << level);
      const std::uint64_t count = std::uint64_t(cols) * std::uint64_t(y1 - y0);
      const std::uint32_t alpha = std::uint32_t((a + count / 2) / count);
      if (alpha == 0) continue;
      const auto channel = [&](std::uint64_t s) { return std::uint32_t((s + a / 2) / a); };
      dst[ox] = (alpha << 24) | (channel(sr[std::size_t(ox)]) << 16) |
                (channel(sg[std::size_t(ox)]) << 8) | channel(sb[std::size_t(ox)]);
    }
  }
  return out;
}

void TZoomedSprites::Reset(std::size_t pieces) {
  slots_.clear();
  slots_.resize(pieces);
  copies_ = 0;
  bytes_ = 0;
  level_ = 0;
}

const TColor32* TZoomedSprites::Get(std::size_t index, const TPieceSprite& piece, int level) {
  if (index >= slots_.size() || level < 1) return nullptr;
  if (level != level_) {
    // The copies of another zoom are not wanted while this one lasts.
    for (TSlot& s : slots_)
      for (auto& r : s.Rotation) std::vector<TColor32>().swap(r);
    copies_ = 0;
    bytes_ = 0;
    level_ = level;
  }
  const int r = piece.Rotation & 3;
  std::vector<TColor32>& copy = slots_[index].Rotation[r];
  if (!copy.empty()) return copy.data();
  if (!piece.RleData[r] || piece.Width <= 0 || piece.Height <= 0) return nullptr;
  const std::int32_t w = (r & 1) ? piece.Height : piece.Width;
  const std::int32_t h = (r & 1) ? piece.Width : piece.Height;
  const std::size_t pixels = std::size_t(w) * std::size_t(h);
  decoded_.assign(pixels, 0);
  try {
    DecodeBufferChecked(piece.RleData[r]->data(), std::size_t(piece.RleSize[r]), decoded_.data(),
                        pixels * sizeof(TColor32));
  } catch (const ERLEError&) {
    return nullptr;
  }
  copy = ReducePixels(decoded_.data(), w, h, level);
  ++copies_;
  bytes_ += copy.size() * sizeof(TColor32);
  return copy.data();
}

}  // namespace duduri
