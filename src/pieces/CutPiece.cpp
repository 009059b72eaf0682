// Cutting one piece: the picture area of its cell widened by half a template
// on each knobbed side, the templates' edge codes painted over it, straight
// border edges drawn with an outline and a bevel, and the corners outside the
// shape cleared.

#include <algorithm>
#include <cstring>
#include <string>

#include "pieces/PieceCollection.h"

namespace duduri {

namespace {

constexpr TColor32 white(std::uint32_t a) {
  return (a << 24) | 0xFFFFFFu;
}
constexpr TColor32 black(std::uint32_t a) {
  return a << 24;
}

// BlendReg(white(a), b) and BlendReg(black(a), b) made opaque, inlined for the
// edge loops: every channel is (Fc * a + 128) >> 8 + (Bc * (255 - a) + 128) >> 8.
// The channels are spread over 16-bit lanes so one multiply scales them all;
// the two rounded halves never exceed 255, so no lane carries.
inline TColor32 scaleChannels(TColor32 b, std::uint32_t weight) {
  std::uint64_t lanes = (std::uint64_t(b) | (std::uint64_t(b) << 24)) & 0x00FF00FF00FF00FFull;
  lanes = ((lanes * weight + 0x0080008000800080ull) >> 8) & 0x00FF00FF00FF00FFull;
  return TColor32(lanes | (lanes >> 24));
}

inline TColor32 lighten(TColor32 b, std::uint32_t a) {
  if (a == 0) return b | 0xFF000000u;
  if (a == 255) return 0xFFFFFFFFu;
  return (scaleChannels(b, 255 - a) + ((255 * a + 128) >> 8) * 0x010101u) | 0xFF000000u;
}

inline TColor32 darken(TColor32 b, std::uint32_t a) {
  if (a == 0) return b | 0xFF000000u;
  if (a == 255) return 0xFF000000u;
  return scaleChannels(b, 255 - a) | 0xFF000000u;
}

// Copies the source rectangle at (x, y) of the target's size into the target
// one to one. Parts of the rectangle outside the source are 0: a new target
// is 0 already, a reused one gets those parts cleared (and only those, as
// the copy covers the rest).
void copyCell(const TBitmap32& source, std::int32_t x, std::int32_t y, TBitmap32& target,
              bool clearOutside) {
  const std::int32_t w = target.Width();
  const auto x0 = std::int32_t(std::clamp<std::int64_t>(x, 0, source.Width()));
  const auto x1 = std::int32_t(std::clamp<std::int64_t>(std::int64_t(x) + w, 0, source.Width()));
  const std::int32_t left = std::min(w, x0 - x);  // target columns before the copy
  const std::int32_t run = std::max(0, x1 - x0);  // columns copied
  for (std::int32_t r = 0; r < target.Height(); ++r) {
    TColor32* row = target.ScanLine(r);
    const std::int64_t sy = std::int64_t(y) + r;
    if (sy < 0 || sy >= source.Height() || run == 0) {
      if (clearOutside) std::memset(row, 0, std::size_t(w) * sizeof(TColor32));
      continue;
    }
    if (clearOutside && left > 0) std::memset(row, 0, std::size_t(left) * sizeof(TColor32));
    std::memcpy(row + left, source.ScanLine(std::int32_t(sy)) + x0,
                std::size_t(run) * sizeof(TColor32));
    const std::int32_t after = left + run;
    if (clearOutside && after < w)
      std::memset(row + after, 0, std::size_t(w - after) * sizeof(TColor32));
  }
}

}  // namespace

void PaintEdge(const TPzPieceTemplate& tpl, std::span<const std::uint8_t> mask, int ox, int oy,
               TBitmap32& target, const TErrorReporter& report) {
  if (mask.empty()) return;
  const std::int32_t tw = target.Width();
  const std::int32_t th = target.Height();
  TColor32* const bits = target.Bits();
  const std::size_t size = mask.size();
  std::size_t p = 0;
  int r = 0;
  int c = 0;
  bool merged = false;
  try {
    auto need = [&](std::size_t n) {
      if (n > size - p)
        throw ETemplateError("Invalid template set: edge codes run past the end of a " +
                             std::to_string(size) + "-byte mask");
    };
    for (r = 0; r < tpl.Height; ++r) {
      const std::int32_t ty = oy + r;
      if (ty >= th) break;
      const bool rowInside = ty >= 0 && tw > 0;
      TColor32* const row = rowInside ? bits + std::int64_t(ty) * tw : nullptr;
      c = 0;
      while (c < tpl.Width) {
        need(1);
        const std::uint8_t k = mask[p];
        // First and one-past-last target column of a run of n pixels, clipped.
        auto span = [&](int n, std::int32_t& a, std::int32_t& b) {
          a = std::max<std::int32_t>(ox + c, 0);
          b = std::int32_t(std::min<std::int64_t>(std::int64_t(ox) + c + n, tw));
        };
        int n = 0;
        std::int32_t a = 0;
        std::int32_t b = 0;
        if (k <= 64) {
          need(2);
          const std::uint8_t t = mask[p + 1];
          if (t == 0) {
            n = k;
            p += 2;
          } else if (t == 208) {
            // A dark outline merged over n + 1 pixels.
            n = k;
            p += 2;
            merged = true;
            span(n + 1, a, b);
            if (row)
              for (std::int32_t xx = a; xx < b; ++xx) row[xx] = MergeReg(0xE0000000u, row[xx]);
          } else if (t == 209) {
            n = k;
            need(2 + std::size_t(n));
            const std::uint8_t* alpha = mask.data() + p + 2;
            span(n, a, b);
            if (row)
              for (std::int32_t xx = a; xx < b; ++xx) row[xx] = black(alpha[xx - (ox + c)]);
            p += 2 + std::size_t(n);
          } else {
            p += 1;  // the count is ignored; the next byte is read as a code
            continue;
          }
        } else if (k <= 192) {
          const bool light = k <= 128;
          n = light ? k - 64 : k - 128;
          need(1 + std::size_t(n));
          const std::uint8_t* alpha = mask.data() + p + 1;
          span(n, a, b);
          if (row) {
            const std::uint8_t* al = alpha - (ox + c);
            if (light) {
              for (std::int32_t xx = a; xx < b; ++xx) row[xx] = lighten(row[xx], al[xx]);
            } else {
              for (std::int32_t xx = a; xx < b; ++xx) row[xx] = darken(row[xx], al[xx]);
            }
          }
          p += 1 + std::size_t(n);
        } else {
          // Cut away n + 1 pixels.
          n = k - 192;
          p += 1;
          span(n + 1, a, b);
          if (row && b > a) std::memset(row + a, 0, std::size_t(b - a) * sizeof(TColor32));
        }
        c += n;
      }
    }
  } catch (...) {
    if (report) {
      const std::int64_t index = (std::int64_t(oy) + r) * tw + (std::int64_t(ox) + c);
      report(std::to_string(ox) + " " + std::to_string(oy) + " " + std::to_string(c) + " " +
             std::to_string(r) + " " + std::to_string(index));
    }
    if (merged) target.SetCombineMode(cmBlend);
    throw;
  }
  if (merged) target.SetCombineMode(cmBlend);
}

void TPzJigsawPieceCollection::CutPiece(const TBitmap32& source, TBitmap32& target, int top,
                                        int right, int bottom, int left, int x, int y) {
  try {
    cutPieceSteps(source, target, top, right, bottom, left, x, y);
  } catch (const std::exception&) {
    if (reporter_)
      reporter_(std::to_string(top) + " " + std::to_string(right) + " " + std::to_string(bottom) +
                " " + std::to_string(left));
  }
  target.Changed();
}

void TPzJigsawPieceCollection::cutPieceSteps(const TBitmap32& source, TBitmap32& target, int top,
                                             int right, int bottom, int left, int x, int y) {
  const int columns = Columns();
  const int rows = Rows();
  if (columns == 0 || rows == 0) throw EPieceError("No piece grid has been chosen.");
  const std::int32_t pw = ScaledWidth() / columns;
  const std::int32_t ph = ScaledHeight() / rows;

  const int gw = gridTable_[std::size_t(gridIndex_)].Width;
  const int lines = gw > 100 ? 4 : gw >= 50 ? 3 : 2;
  const std::uint32_t base = gw > 100 ? 0 : gw >= 50 ? 50 : 30;
  const std::uint32_t outerAlpha = base + 28u * std::uint32_t(lines);

  const TPzPieceTemplate* tTop = top == kNoTemplate ? nullptr : &Template(top);
  const TPzPieceTemplate* tRight = right == kNoTemplate ? nullptr : &Template(right);
  const TPzPieceTemplate* tBottom = bottom == kNoTemplate ? nullptr : &Template(bottom);
  const TPzPieceTemplate* tLeft = left == kNoTemplate ? nullptr : &Template(left);

  const std::int32_t T = tTop ? tTop->Height >> 1 : 0;
  const std::int32_t L = tLeft ? tLeft->Width >> 1 : 0;
  const std::int32_t R = pw + L;
  const std::int32_t B = ph + T;
  const std::int32_t width = pw + L + (tRight ? tRight->Width >> 1 : 0);
  const std::int32_t height = ph + T + (tBottom ? tBottom->Height >> 1 : 0);

  // A fresh block comes all 0; a block kept from an earlier piece is
  // cleared where the copy does not cover it.
  const bool fresh = target.Reshape(width, height);
  target.SetDrawMode(dmBlend);
  copyCell(source, x, y, target, !fresh);

  auto straight = [&](auto draw) {
    target.SetCombineMode(cmMerge);
    draw();
    target.SetCombineMode(cmBlend);
  };

  if (tTop) {
    PaintEdge(*tTop, tTop->MaskA, L, T - tTop->Height / 2, target, reporter_);
  } else {
    straight([&] {
      target.HorzLineTS(L, T, R, 0xFF010101u);
      for (int n = 1; n <= lines; ++n)
        target.HorzLineTS(L + n, T + n, R - n, white(outerAlpha - 28u * std::uint32_t(n - 1)));
    });
  }
  if (tRight) {
    PaintEdge(*tRight, tRight->MaskA, R - tRight->Width / 2, T, target, reporter_);
  } else {
    straight([&] {
      target.VertLineTS(R - 1, T, B, 0xFF010101u);
      for (int n = 1; n <= lines; ++n)
        target.VertLineTS(R - 1 - n, T + n, B - n, black(outerAlpha - 28u * std::uint32_t(n - 1)));
    });
  }
  if (tBottom) {
    PaintEdge(*tBottom, tBottom->MaskB, L, B - tBottom->Height / 2, target, reporter_);
  } else {
    straight([&] {
      target.HorzLineTS(L, B - 1, R, 0xFF010101u);
      for (int n = 1; n <= lines; ++n)
        target.HorzLineTS(L + n, B - 1 - n, R - n, black(outerAlpha - 28u * std::uint32_t(n - 1)));
    });
  }
  if (tLeft) {
    PaintEdge(*tLeft, tLeft->MaskB, L - tLeft->Width / 2, T, target, reporter_);
  } else {
    straight([&] {
      target.VertLineTS(L, T, B - 1, 0xFF010101u);
      for (int n = 1; n <= lines; ++n)
        target.VertLineTS(L + n, T + n, B - 1 - n, white(outerAlpha - 28u * std::uint32_t(n - 1)));
    });
  }

  if (tTop && tLeft) target.FillRect(0, 0, L, T, 0);
  if (tTop && tRight) target.FillRect(R, 0, width, T, 0);
  if (tBottom && tLeft) target.FillRect(0, B, L, height, 0);
  if (tBottom && tRight) target.FillRect(R, B, width, height, 0);
}

}  // namespace duduri
