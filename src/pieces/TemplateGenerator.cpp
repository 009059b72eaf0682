#include "pieces/TemplateGenerator.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace duduri {

namespace {

constexpr int kSub = 5;  // sub-samples per pixel side for coverage; the middle one is the centre

struct TNearest {
  double Dist = std::numeric_limits<double>::infinity();
  double Tx = 1;  // tangent of the nearest stretch of the curve
  double Ty = 0;
};

double bevelAlpha(double d, TBevel bevel) {
  const double a1 = bevel.OuterAlpha;
  const double last = a1 - 28.0 * (bevel.Lines - 1);
  if (d < 1.5) return a1;
  if (d <= bevel.Lines + 0.5) return a1 - 28.0 * (d - 1.5);
  if (d < bevel.Lines + 1.5) return last * (bevel.Lines + 1.5 - d);
  return 0;
}

// Alphas are kept to steps of kAlphaStep: the eye cannot tell the
// difference, and the master set compresses to much less.
constexpr long kAlphaStep = 12;
std::uint8_t toAlpha(double a) {
  const long q = std::lround(a / kAlphaStep) * kAlphaStep;
  return std::uint8_t(std::clamp(q, 0l, 255l));
}

// What one side does with a pixel. nx, ny: the outward normal of that side.
TEdgeCell classify(bool owned, double coverage, double d, double nx, double ny, TBevel bevel) {
  if (!owned) return {TEdgeOp::eoCut, 0};
  // A pixel the curve passes through: the silhouette, black and as opaque as
  // the pixel is covered, a little more so that the seam between two joined
  // pieces hardly lets the board through.
  if (coverage < 0.999)
    return {TEdgeOp::eoBlack,
            std::uint8_t(coverage >= 0.75 ? 255 : toAlpha(255.0 * (0.25 + coverage)))};
  const double outline = std::clamp(1.5 - d, 0.0, 1.0);
  if (outline >= 0.999) return {TEdgeOp::eoBlack, 255};
  // Light from the upper left: full light on edges facing up or left, full
  // shade on edges facing down or right, nothing on the diagonals between.
  const double k = std::clamp(-(nx + ny), -1.0, 1.0);
  const double bev = bevelAlpha(d, bevel) * std::abs(k);
  if (outline > 0) {
    const double shade = k < 0 ? bev / 255.0 : 0.0;
    if (outline >= 0.5 || k < 0 || bev < 0.5)
      return {TEdgeOp::eoShade, toAlpha(255.0 * (1.0 - (1.0 - outline) * (1.0 - shade)))};
    return {TEdgeOp::eoLight, toAlpha(bev)};
  }
  if (bev < 0.5) return {TEdgeOp::eoLeave, 0};
  return {k > 0 ? TEdgeOp::eoLight : TEdgeOp::eoShade, toAlpha(bev)};
}

}  // namespace

TBevel BevelForPieceWidth(int pieceWidth) {
  if (pieceWidth > 100) return {4, 112};
  if (pieceWidth >= 50) return {3, 134};
  return {2, 86};
}

int TemplateHalfExtent(TGridEntry entry) {
  const int s = std::min(entry.Width, entry.Height);
  const TBevel bevel = BevelForPieceWidth(entry.Width);
  return int(std::ceil(kKnobReach * s + bevel.Lines + 2.5));
}

TEdgeRaster RasterizeEdge(const TKnobShape& shape, int length, int knobScale, int half,
                          TBevel bevel) {
  TEdgeRaster out;
  out.Length = length;
  out.Half = half;
  const int w = length;
  const int h = 2 * half;
  const double straightEnd = std::max(2, bevel.Lines + 1);
  const std::vector<TPointF> curve = EdgeOutline(shape, length, knobScale, half, straightEnd);

  // Where the curve crosses each sub-sample column, top to bottom. A point
  // lies on the lower side when an odd number of crossings are above it.
  std::vector<std::vector<double>> crossings(std::size_t(w) * kSub);
  for (std::size_t i = 0; i + 1 < curve.size(); ++i) {
    const TPointF a = curve[i];
    const TPointF b = curve[i + 1];
    if (a.X == b.X) continue;
    const double lo = std::min(a.X, b.X);
    const double hi = std::max(a.X, b.X);
    for (long col = std::max(0l, long(std::ceil(lo * kSub - 0.5))); col < long(w) * kSub; ++col) {
      const double xs = (double(col) + 0.5) / kSub;
      if (xs >= hi) break;
      if (xs < lo) continue;
      crossings[std::size_t(col)].push_back(a.Y + (xs - a.X) * (b.Y - a.Y) / (b.X - a.X));
    }
  }
  for (auto& list : crossings) std::sort(list.begin(), list.end());
  auto lowerSide = [&](int subColumn, double y) {
    const auto& list = crossings[std::size_t(subColumn)];
    return (std::lower_bound(list.begin(), list.end(), y) - list.begin()) % 2 == 1;
  };

  // Distance from each pixel centre near the curve to the curve.
  std::vector<TNearest> nearest(std::size_t(w) * std::size_t(h));
  const double reach = bevel.Lines + 3.0;
  for (std::size_t i = 0; i + 1 < curve.size(); ++i) {
    const TPointF a = curve[i];
    const TPointF b = curve[i + 1];
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    const double len2 = dx * dx + dy * dy;
    if (len2 == 0) continue;
    const double len = std::sqrt(len2);
    const int x0 = std::max(0, int(std::floor(std::min(a.X, b.X) - reach)));
    const int x1 = std::min(w - 1, int(std::ceil(std::max(a.X, b.X) + reach)));
    const int y0 = std::max(0, int(std::floor(std::min(a.Y, b.Y) - reach)));
    const int y1 = std::min(h - 1, int(std::ceil(std::max(a.Y, b.Y) + reach)));
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const double px = x + 0.5 - a.X;
        const double py = y + 0.5 - a.Y;
        const double t = std::clamp((px * dx + py * dy) / len2, 0.0, 1.0);
        const double ex = px - t * dx;
        const double ey = py - t * dy;
        const double dist = std::sqrt(ex * ex + ey * ey);
        TNearest& n = nearest[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        if (dist < n.Dist) n = {dist, dx / len, dy / len};
      }
    }
  }

  out.Lower.resize(nearest.size());
  out.Upper.resize(nearest.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const std::size_t idx = std::size_t(y) * std::size_t(w) + std::size_t(x);
      const TNearest& n = nearest[idx];
      const bool lower = lowerSide(x * kSub + kSub / 2, y + 0.5);
      double coverage = lower ? 1.0 : 0.0;
      if (n.Dist < 1.25) {
        int inside = 0;
        for (int sx = 0; sx < kSub; ++sx)
          for (int sy = 0; sy < kSub; ++sy)
            inside += lowerSide(x * kSub + sx, y + (sy + 0.5) / kSub) ? 1 : 0;
        coverage = double(inside) / (kSub * kSub);
      }
      // The lower side's outward normal points up from the curve (which runs
      // left to right); the upper side's points down.
      TEdgeCell lo = classify(lower, coverage, n.Dist, n.Ty, -n.Tx, bevel);
      TEdgeCell up = classify(!lower, 1.0 - coverage, n.Dist, -n.Ty, n.Tx, bevel);

      // Corner triangles: inside its cell a side writes only where it is no
      // deeper from its edge line than from the cell's sides.
      auto confine = [&](TEdgeCell& cell, int depth) {
        const int side = std::min(x, w - 1 - x);
        if (cell.Op == TEdgeOp::eoCut) {
          if (depth >= side) out.FitsCorners = false;
        } else if (cell.Op != TEdgeOp::eoLeave && depth > side) {
          if (cell.Op == TEdgeOp::eoBlack) out.FitsCorners = false;
          cell = {TEdgeOp::eoLeave, 0};
        }
      };
      if (y >= half)
        confine(lo, y - half);
      else
        confine(up, half - 1 - y);

      // The strip must hold the whole knob with its outline and bevel.
      if ((y == 0 && lo.Op != TEdgeOp::eoCut) || (y == h - 1 && up.Op != TEdgeOp::eoCut) ||
          (y == 0 && up.Op != TEdgeOp::eoLeave) || (y == h - 1 && lo.Op != TEdgeOp::eoLeave))
        out.FitsCorners = false;
      out.Lower[idx] = lo;
      out.Upper[idx] = up;
    }
  }
  return out;
}

std::vector<std::uint8_t> EncodeEdgeMask(const std::vector<TEdgeCell>& cells, int width,
                                         int height) {
  std::vector<std::uint8_t> out;
  std::vector<TEdgeCell> row(static_cast<std::size_t>(width));
  for (int r = 0; r < height; ++r) {
    std::copy_n(cells.begin() + std::ptrdiff_t(r) * width, width, row.begin());
    // A cut run clears one pixel more than it covers. Unless a black run
    // follows (which replaces that pixel), its last pixel is written as black
    // of alpha 0 instead, which is the same transparent 0.
    for (int i = 0; i < width;) {
      if (row[std::size_t(i)].Op != TEdgeOp::eoCut) {
        ++i;
        continue;
      }
      int j = i;
      while (j < width && row[std::size_t(j)].Op == TEdgeOp::eoCut) ++j;
      if (j == width || row[std::size_t(j)].Op != TEdgeOp::eoBlack)
        row[std::size_t(j - 1)] = {TEdgeOp::eoBlack, 0};
      i = j;
    }
    for (int i = 0; i < width;) {
      const TEdgeOp op = row[std::size_t(i)].Op;
      const int maxRun = op == TEdgeOp::eoCut ? 63 : 64;
      int j = i;
      while (j < width && row[std::size_t(j)].Op == op && j - i < maxRun) ++j;
      const int n = j - i;
      switch (op) {
        case TEdgeOp::eoLeave:
          out.push_back(std::uint8_t(n));
          out.push_back(0);
          break;
        case TEdgeOp::eoCut:
          out.push_back(std::uint8_t(192 + n));
          break;
        case TEdgeOp::eoBlack:
          out.push_back(std::uint8_t(n));
          out.push_back(209);
          break;
        case TEdgeOp::eoLight:
          out.push_back(std::uint8_t(64 + n));
          break;
        case TEdgeOp::eoShade:
          out.push_back(std::uint8_t(128 + n));
          break;
      }
      if (op == TEdgeOp::eoBlack || op == TEdgeOp::eoLight || op == TEdgeOp::eoShade)
        for (int k = i; k < j; ++k) out.push_back(row[std::size_t(k)].Alpha);
      i = j;
    }
  }
  return out;
}

TPzPieceTemplate MakeEdgeTemplate(const TEdgeRaster& raster, bool vertical,
                                  std::uint16_t gridIndex) {
  TPzPieceTemplate t;
  t.Vertical = vertical;
  t.GridIndex = gridIndex;
  const int len = raster.Length;
  const int across = 2 * raster.Half;
  if (!vertical) {
    t.Width = std::uint16_t(len);
    t.Height = std::uint16_t(across);
    t.MaskA = EncodeEdgeMask(raster.Lower, len, across);
    t.MaskB = EncodeEdgeMask(raster.Upper, len, across);
    return t;
  }
  auto transpose = [&](const std::vector<TEdgeCell>& frame) {
    std::vector<TEdgeCell> cells(frame.size());
    for (int r = 0; r < len; ++r)
      for (int c = 0; c < across; ++c)
        cells[std::size_t(r) * std::size_t(across) + std::size_t(c)] =
            frame[std::size_t(c) * std::size_t(len) + std::size_t(r)];
    return cells;
  };
  t.Width = std::uint16_t(across);
  t.Height = std::uint16_t(len);
  t.MaskA = EncodeEdgeMask(transpose(raster.Upper), across, len);
  t.MaskB = EncodeEdgeMask(transpose(raster.Lower), across, len);
  return t;
}

std::vector<TGridEntry> MasterGridTable() {
  // Sides are mostly primes: the search stops at the first entry whose
  // multiple fits the working size exactly, and round sizes such as 16 or
  // 20x15 fit the usual picture sizes exactly, so small pieces would win the
  // open-ended "> 200 pieces" preset with thousands of pieces. For the same
  // reason no entry is smaller than 29 pixels: small pictures are scaled up
  // instead, which the search does by itself.
  //
  // A saved piece stores each edge as template index + 1 in one byte, so a
  // set may hold at most 254 templates: 15 entries of 16 templates each.
  std::vector<TGridEntry> grid;
  for (int s : {29, 37, 47, 59, 73, 89, 109, 137, 167, 199})
    grid.push_back({std::uint8_t(s), std::uint8_t(s)});
  // About 4:3, landscape and portrait.
  for (auto [w, h] : {std::pair{41, 31}, {67, 51}}) {
    grid.push_back({std::uint8_t(w), std::uint8_t(h)});
    grid.push_back({std::uint8_t(h), std::uint8_t(w)});
  }
  grid.push_back({101, 77});
  std::stable_sort(grid.begin(), grid.end(), [](TGridEntry a, TGridEntry b) {
    return int(a.Width) * a.Height < int(b.Width) * b.Height;
  });
  return grid;
}

TTemplateSet GenerateTemplateSet(const std::vector<TGridEntry>& grid, std::uint64_t seed,
                                 int perOrientation) {
  if (grid.size() > 128)
    throw std::invalid_argument("a template set names at most 128 grid entries");
  TTemplateSet set;
  set.GridTable = grid;
  TShapeRandom random(seed);
  for (std::size_t g = 0; g < grid.size(); ++g) {
    const TGridEntry e = grid[g];
    const int s = std::min(e.Width, e.Height);
    const int half = TemplateHalfExtent(e);
    const TBevel bevel = BevelForPieceWidth(e.Width);
    for (bool vertical : {false, true}) {
      const int length = vertical ? e.Height : e.Width;
      for (int k = 0; k < perOrientation; ++k) {
        for (int attempt = 0;; ++attempt) {
          TKnobShape shape = RandomKnobShape(random);
          // Small pieces leave little room in the corners: after a run of
          // misses the knob is drawn smaller and closer to the middle.
          if (attempt >= 20) {
            // Repeated products rather than pow(), whose last bit may differ
            // between C libraries: a seed must give the same file everywhere.
            double f = 1;
            for (int i = 19; i < attempt; ++i) f *= 0.96;
            shape.Size = std::max(0.05, shape.Size * f);
            shape.Position *= f;
            shape.Tilt *= f;
          }
          const TEdgeRaster raster = RasterizeEdge(shape, length, s, half, bevel);
          if (raster.FitsCorners) {
            set.Templates.push_back(MakeEdgeTemplate(raster, vertical, std::uint16_t(g)));
            break;
          }
          if (attempt > 400) throw std::runtime_error("no knob shape fits a grid entry");
        }
      }
    }
  }
  return set;
}

}  // namespace duduri
