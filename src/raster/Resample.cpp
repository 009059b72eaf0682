// Drawing a source rectangle into a destination rectangle of another size.
// sfNearest is the mapping the cutter and the sprite creator depend on; the
// other filters share one separable kernel resampler.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "raster/PixelCombine.h"

namespace duduri::raster_detail {

namespace {

// Source index for destination index i (counted from the destination
// rectangle's edge): trunc(i * ratio) with the ratio rounded to single
// precision. The product itself is exact in double, as it is in the extended
// precision the mapping was first computed in, so the float ratio's rounding
// decides the result and nothing else does.
class TNearestMap {
 public:
  TNearestMap(std::int32_t srcSize, std::int64_t dstSize)
      : ratio_(float(srcSize) / float(dstSize)), last_(srcSize - 1) {}
  std::int32_t operator()(std::int64_t i) const {
    const double s = std::trunc(double(i) * double(ratio_));
    return s >= last_ ? last_ : std::int32_t(s);
  }

 private:
  float ratio_;
  std::int32_t last_;
};

void StretchNearest(TBitmap32& dst, const TSpan64& dstRect, const TSpan64& clipped,
                    const TBitmap32& src, const TRect& srcRect, const TRowCombiner& combiner) {
  const std::size_t n = std::size_t(clipped.right - clipped.left);
  const TNearestMap mapX(srcRect.Width(), dstRect.right - dstRect.left);
  const TNearestMap mapY(srcRect.Height(), dstRect.bottom - dstRect.top);
  std::vector<std::int32_t> columns(n);
  for (std::size_t i = 0; i < n; ++i) {
    columns[i] = srcRect.Left + mapX(clipped.left - dstRect.left + std::int64_t(i));
  }
  std::vector<TColor32> row(n);
  std::int32_t gatheredRow = -1;
  for (std::int64_t y = clipped.top; y < clipped.bottom; ++y) {
    const std::int32_t sy = srcRect.Top + mapY(y - dstRect.top);
    // Enlarging repeats source rows; gather each one once.
    if (sy != gatheredRow) {
      const TColor32* s = src.ScanLine(sy);
      for (std::size_t i = 0; i < n; ++i) row[i] = s[columns[i]];
      gatheredRow = sy;
    }
    CombineRow(combiner, row.data(), dst.ScanLine(std::int32_t(y)) + clipped.left, n);
  }
}

// The kernels, each over the distance in source pixels (already divided by
// the scale when shrinking) and with the support radius beside it.
struct TKernel {
  double (*weight)(double);
  double radius;
};

double Sinc(double x) {
  if (x == 0.0) return 1.0;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

double BoxWeight(double x) {
  return (x >= -0.5 && x < 0.5) ? 1.0 : 0.0;
}
double TriangleWeight(double x) {
  x = std::abs(x);
  return x < 1.0 ? 1.0 - x : 0.0;
}
double CosineWeight(double x) {
  return std::abs(x) < 1.0 ? (std::cos(std::numbers::pi * x) + 1.0) * 0.5 : 0.0;
}
// Cubic B-spline.
double SplineWeight(double x) {
  x = std::abs(x);
  if (x < 1.0) return 2.0 / 3.0 - x * x + 0.5 * x * x * x;
  if (x < 2.0) {
    const double t = 2.0 - x;
    return t * t * t / 6.0;
  }
  return 0.0;
}
// Lanczos with three lobes.
double LanczosWeight(double x) {
  return std::abs(x) < 3.0 ? Sinc(x) * Sinc(x / 3.0) : 0.0;
}
// Mitchell-Netravali with B = C = 1/3.
double MitchellWeight(double x) {
  constexpr double b = 1.0 / 3.0, c = 1.0 / 3.0;
  x = std::abs(x);
  const double x2 = x * x, x3 = x2 * x;
  if (x < 1.0) {
    return ((12 - 9 * b - 6 * c) * x3 + (-18 + 12 * b + 6 * c) * x2 + (6 - 2 * b)) / 6.0;
  }
  if (x < 2.0) {
    return ((-b - 6 * c) * x3 + (6 * b + 30 * c) * x2 + (-12 * b - 48 * c) * x + (8 * b + 24 * c)) /
           6.0;
  }
  return 0.0;
}

TKernel KernelFor(TStretchFilter filter) {
  switch (filter) {
    case sfDraft:
      return {BoxWeight, 0.5};
    case sfLinear:
      return {TriangleWeight, 1.0};
    case sfCosine:
      return {CosineWeight, 1.0};
    case sfSpline:
      return {SplineWeight, 2.0};
    case sfLanczos:
      return {LanczosWeight, 3.0};
    case sfMitchell:
      return {MitchellWeight, 2.0};
    case sfNearest:
      break;
  }
  return {TriangleWeight, 1.0};
}

// For each destination index: the first source index and the normalised
// weights of the source indices from there on.
struct TContributions {
  std::vector<std::int32_t> first;
  std::vector<std::size_t> offset;  // into weights; one more entry than first
  std::vector<float> weights;
};

// Destination indices [from, to) relative to a destination of dstSize over
// the source indices [srcStart, srcStart + srcSize). Pixel centres are
// matched; when shrinking, the kernel is widened so that every source pixel
// contributes.
TContributions Contributions(const TKernel& kernel, std::int32_t srcStart, std::int32_t srcSize,
                             std::int64_t dstSize, std::int64_t from, std::int64_t to) {
  TContributions c;
  const double scale = double(srcSize) / double(dstSize);
  const double stretch = std::max(scale, 1.0);
  const double support = kernel.radius * stretch;
  c.first.reserve(std::size_t(to - from));
  c.offset.reserve(std::size_t(to - from) + 1);
  c.offset.push_back(0);
  for (std::int64_t i = from; i < to; ++i) {
    const double centre = (double(i) + 0.5) * scale - 0.5;
    std::int64_t lo = std::int64_t(std::floor(centre - support));
    std::int64_t hi = std::int64_t(std::ceil(centre + support));
    lo = std::clamp<std::int64_t>(lo, 0, srcSize - 1);
    hi = std::clamp<std::int64_t>(hi, 0, srcSize - 1);
    const std::size_t start = c.weights.size();
    double sum = 0.0;
    for (std::int64_t j = lo; j <= hi; ++j) {
      const double w = kernel.weight((double(j) - centre) / stretch);
      c.weights.push_back(float(w));
      sum += w;
    }
    if (std::abs(sum) < 1e-9) {
      // No tap reached the centre (cannot happen with these kernels, but a
      // division by zero must not): take the nearest source pixel.
      const std::int64_t nearest = std::clamp<std::int64_t>(std::llround(centre), lo, hi);
      for (std::int64_t j = lo; j <= hi; ++j) {
        c.weights[start + std::size_t(j - lo)] = j == nearest ? 1.0f : 0.0f;
      }
    } else {
      for (std::size_t k = start; k < c.weights.size(); ++k) {
        c.weights[k] = float(c.weights[k] / sum);
      }
    }
    c.first.push_back(srcStart + std::int32_t(lo));
    c.offset.push_back(c.weights.size());
  }
  return c;
}

std::uint32_t ToChannel(float v) {
  return std::uint32_t(std::clamp(std::lround(v), 0l, 255l));
}

// Channels are filtered independently, as stored (not premultiplied).
void StretchKernel(TBitmap32& dst, const TSpan64& dstRect, const TSpan64& clipped,
                   const TBitmap32& src, const TRect& srcRect, const TKernel& kernel,
                   const TRowCombiner& combiner) {
  const TContributions cx =
      Contributions(kernel, srcRect.Left, srcRect.Width(), dstRect.right - dstRect.left,
                    clipped.left - dstRect.left, clipped.right - dstRect.left);
  const TContributions cy =
      Contributions(kernel, srcRect.Top, srcRect.Height(), dstRect.bottom - dstRect.top,
                    clipped.top - dstRect.top, clipped.bottom - dstRect.top);
  const std::size_t n = cx.first.size();
  // Only the source columns that some destination column reads.
  std::int32_t colFrom = cx.first.front(), colTo = colFrom;
  for (std::size_t x = 0; x < n; ++x) {
    colFrom = std::min(colFrom, cx.first[x]);
    colTo = std::max(colTo, cx.first[x] + std::int32_t(cx.offset[x + 1] - cx.offset[x]));
  }
  const std::size_t span = std::size_t(colTo - colFrom);
  std::vector<float> column(span * 4);
  std::vector<TColor32> row(n);
  for (std::size_t y = 0; y < cy.first.size(); ++y) {
    // Vertical pass into one row of source columns, then the horizontal pass.
    std::fill(column.begin(), column.end(), 0.0f);
    for (std::size_t k = cy.offset[y]; k < cy.offset[y + 1]; ++k) {
      const float w = cy.weights[k];
      const TColor32* s = src.ScanLine(cy.first[y] + std::int32_t(k - cy.offset[y])) + colFrom;
      for (std::size_t x = 0; x < span; ++x) {
        const TColor32 p = s[x];
        float* a = &column[x * 4];
        a[0] += w * float(p & 0xFF);
        a[1] += w * float((p >> 8) & 0xFF);
        a[2] += w * float((p >> 16) & 0xFF);
        a[3] += w * float(p >> 24);
      }
    }
    for (std::size_t x = 0; x < n; ++x) {
      float acc[4] = {0, 0, 0, 0};
      const float* a = &column[std::size_t(cx.first[x] - colFrom) * 4];
      for (std::size_t k = cx.offset[x]; k < cx.offset[x + 1]; ++k, a += 4) {
        const float w = cx.weights[k];
        for (int ch = 0; ch < 4; ++ch) acc[ch] += w * a[ch];
      }
      row[x] = ToChannel(acc[0]) | (ToChannel(acc[1]) << 8) | (ToChannel(acc[2]) << 16) |
               (ToChannel(acc[3]) << 24);
    }
    TColor32* out = dst.ScanLine(std::int32_t(clipped.top + std::int64_t(y))) + clipped.left;
    CombineRow(combiner, row.data(), out, n);
  }
}

}  // namespace

void StretchTransfer(TBitmap32& dst, const TSpan64& dstRect, const TSpan64& clipped,
                     const TBitmap32& src, const TRect& srcRect, TStretchFilter filter,
                     const TRowCombiner& combiner) {
  if (filter == sfNearest) {
    StretchNearest(dst, dstRect, clipped, src, srcRect, combiner);
  } else {
    StretchKernel(dst, dstRect, clipped, src, srcRect, KernelFor(filter), combiner);
  }
}

}  // namespace duduri::raster_detail
