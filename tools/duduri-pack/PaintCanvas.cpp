#include "PaintCanvas.h"

#include <algorithm>
#include <cmath>

namespace duduri::pack {

namespace {

std::uint8_t clampByte(double v) {
  return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

// Blends `color` over `pixel` by the colour's alpha; the result stays opaque
// because every painted picture starts from an opaque background.
TColor32 over(TColor32 pixel, TColor32 color) {
  const unsigned a = AlphaComponent(color);
  if (a == 255) return color;
  if (a == 0) return pixel;
  auto channel = [&](int shift) {
    const unsigned f = (color >> shift) & 0xFF, b = (pixel >> shift) & 0xFF;
    return (f * a + b * (255 - a) + 127) / 255;
  };
  return Color32(std::uint8_t(channel(16)), std::uint8_t(channel(8)), std::uint8_t(channel(0)),
                 AlphaComponent(pixel));
}

// Calls fill(x1, x2, y) for the inside spans [x1, x2) of each row (even-odd).
void scanPolygon(const std::vector<Point>& points, int height,
                 const std::function<void(int x1, int x2, int y)>& fill) {
  if (points.size() < 3) return;
  double minY = points[0].y, maxY = points[0].y;
  for (const Point& p : points) minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
  const int top = std::max(0, int(std::floor(minY))),
            bottom = std::min(height - 1, int(std::ceil(maxY)));
  std::vector<double> crossings;
  for (int y = top; y <= bottom; ++y) {
    const double sy = y + 0.5;
    crossings.clear();
    for (std::size_t i = 0; i < points.size(); ++i) {
      const Point& a = points[i];
      const Point& b = points[(i + 1) % points.size()];
      if ((a.y <= sy && b.y > sy) || (b.y <= sy && a.y > sy)) {
        crossings.push_back(a.x + (sy - a.y) / (b.y - a.y) * (b.x - a.x));
      }
    }
    std::sort(crossings.begin(), crossings.end());
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
      fill(int(std::lround(crossings[i])), int(std::lround(crossings[i + 1])), y);
    }
  }
}

}  // namespace

std::uint64_t PaintRandom::next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double PaintRandom::unit() {
  return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

double PaintRandom::range(double low, double high) {
  return low + (high - low) * unit();
}

int PaintRandom::between(int low, int high) {
  return low + int(next() % std::uint64_t(high - low + 1));
}

TColor32 mix(TColor32 a, TColor32 b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  auto channel = [&](int shift) {
    return clampByte(double((a >> shift) & 0xFF) * (1 - t) + double((b >> shift) & 0xFF) * t);
  };
  return Color32(channel(16), channel(8), channel(0), channel(24));
}

TColor32 withAlpha(TColor32 c, std::uint8_t alpha) {
  return (c & 0x00FFFFFF) | (TColor32(alpha) << 24);
}

TColor32 shade(TColor32 c, double factor) {
  return Color32(clampByte(RedComponent(c) * factor), clampByte(GreenComponent(c) * factor),
                 clampByte(BlueComponent(c) * factor), AlphaComponent(c));
}

TColor32 hsv(double hue, double saturation, double value) {
  hue = std::fmod(std::fmod(hue, 360.0) + 360.0, 360.0) / 60.0;
  const int sector = int(hue);
  const double f = hue - sector;
  const double p = value * (1 - saturation), q = value * (1 - saturation * f),
               t = value * (1 - saturation * (1 - f));
  double r = value, g = t, b = p;
  switch (sector) {
    case 1:
      r = q, g = value, b = p;
      break;
    case 2:
      r = p, g = value, b = t;
      break;
    case 3:
      r = p, g = q, b = value;
      break;
    case 4:
      r = t, g = p, b = value;
      break;
    case 5:
      r = value, g = p, b = q;
      break;
    default:
      break;
  }
  return Color32(clampByte(r * 255), clampByte(g * 255), clampByte(b * 255));
}

Noise::Noise(std::uint64_t seed) : permutation_(512) {
  PaintRandom random(seed);
  for (int i = 0; i < 256; ++i) permutation_[std::size_t(i)] = std::uint8_t(i);
  for (int i = 255; i > 0; --i) {
    std::swap(permutation_[std::size_t(i)], permutation_[std::size_t(random.between(0, i))]);
  }
  for (int i = 0; i < 256; ++i) permutation_[std::size_t(256 + i)] = permutation_[std::size_t(i)];
}

double Noise::lattice(int x, int y) const {
  const int h = permutation_[std::size_t(permutation_[std::size_t(x & 255)] + (y & 255))];
  return h / 255.0;
}

double Noise::at(double x, double y) const {
  const double fx = std::floor(x), fy = std::floor(y);
  const int ix = int(fx), iy = int(fy);
  double tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const double top = lattice(ix, iy) * (1 - tx) + lattice(ix + 1, iy) * tx;
  const double bottom = lattice(ix, iy + 1) * (1 - tx) + lattice(ix + 1, iy + 1) * tx;
  return top * (1 - ty) + bottom * ty;
}

double Noise::fractal(double x, double y, int octaves) const {
  double sum = 0, weight = 1, total = 0;
  for (int i = 0; i < octaves; ++i) {
    sum += at(x, y) * weight;
    total += weight;
    x *= 2, y *= 2, weight /= 2;
  }
  return sum / total;
}

void Canvas::plot(std::int32_t x, std::int32_t y, TColor32 color) {
  if (x < 0 || y < 0 || x >= width() || y >= height()) return;
  TColor32& p = target_.Bits()[std::size_t(y) * std::size_t(width()) + std::size_t(x)];
  p = over(p, color);
}

TColor32 Canvas::pixel(std::int32_t x, std::int32_t y) const {
  x = std::clamp(x, 0, width() - 1);
  y = std::clamp(y, 0, height() - 1);
  return target_.Bits()[std::size_t(y) * std::size_t(width()) + std::size_t(x)];
}

void Canvas::span(std::int32_t x1, std::int32_t x2, std::int32_t y, TColor32 color) {
  if (y < 0 || y >= height()) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, width());
  TColor32* row = target_.Bits() + std::size_t(y) * std::size_t(width());
  for (std::int32_t x = x1; x < x2; ++x) row[x] = over(row[x], color);
}

void Canvas::verticalGradient(double top, double bottom, const std::vector<TColor32>& stops) {
  const int y1 = std::max(0, int(std::lround(top))),
            y2 = std::min(height(), int(std::lround(bottom)));
  if (stops.empty() || y2 <= y1) return;
  for (int y = y1; y < y2; ++y) {
    const double t = double(y - y1) / std::max(1, y2 - y1 - 1) * double(stops.size() - 1);
    const std::size_t i = std::min(std::size_t(t), stops.size() - 1);
    const TColor32 c = i + 1 < stops.size() ? mix(stops[i], stops[i + 1], t - double(i)) : stops[i];
    span(0, width(), y, c);
  }
}

void Canvas::rect(double x1, double y1, double x2, double y2, TColor32 color) {
  const int top = int(std::lround(y1)), bottom = int(std::lround(y2));
  for (int y = top; y < bottom; ++y) span(int(std::lround(x1)), int(std::lround(x2)), y, color);
}

void Canvas::ellipse(double cx, double cy, double rx, double ry, TColor32 color) {
  if (rx <= 0 || ry <= 0) return;
  const int top = int(std::floor(cy - ry)), bottom = int(std::ceil(cy + ry));
  for (int y = top; y <= bottom; ++y) {
    const double dy = (y + 0.5 - cy) / ry;
    if (dy * dy > 1) continue;
    const double half = rx * std::sqrt(1 - dy * dy);
    span(int(std::lround(cx - half)), int(std::lround(cx + half)), y, color);
  }
}

void Canvas::polygon(const std::vector<Point>& points, TColor32 color) {
  scanPolygon(points, height(), [&](int x1, int x2, int y) { span(x1, x2, y, color); });
}

void Canvas::shadedPolygon(const std::vector<Point>& points,
                           const std::function<TColor32(int x, int y)>& shader) {
  scanPolygon(points, height(), [&](int x1, int x2, int y) {
    for (int x = std::max(x1, 0); x < std::min(x2, width()); ++x) plot(x, y, shader(x, y));
  });
}

void Canvas::texturedPolygon(const std::vector<Point>& points, TColor32 color, const Noise& noise,
                             double scale, double strength) {
  shadedPolygon(points, [&](int x, int y) {
    return shade(color, 1 + (noise.fractal(x / scale, y / scale, 4) - 0.5) * 2 * strength);
  });
}

void Canvas::line(Point a, Point b, double width, TColor32 color) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) {
    circle(a.x, a.y, width / 2, color);
    return;
  }
  const double nx = -dy / length * width / 2, ny = dx / length * width / 2;
  polygon({{a.x + nx, a.y + ny}, {b.x + nx, b.y + ny}, {b.x - nx, b.y - ny}, {a.x - nx, a.y - ny}},
          color);
}

void Canvas::glow(double cx, double cy, double r, TColor32 color) {
  const int top = int(std::floor(cy - r)), bottom = int(std::ceil(cy + r));
  const int left = int(std::floor(cx - r)), right = int(std::ceil(cx + r));
  const double alpha = AlphaComponent(color);
  for (int y = top; y <= bottom; ++y) {
    for (int x = left; x <= right; ++x) {
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
      if (d >= 1) continue;
      const double falloff = (1 - d) * (1 - d);
      plot(x, y, withAlpha(color, clampByte(alpha * falloff)));
    }
  }
}

void Canvas::texture(double x1, double y1, double x2, double y2, const Noise& noise, double scale,
                     double strength) {
  const int top = std::max(0, int(y1)), bottom = std::min(height(), int(y2));
  const int left = std::max(0, int(x1)), right = std::min(width(), int(x2));
  for (int y = top; y < bottom; ++y) {
    TColor32* row = target_.Bits() + std::size_t(y) * std::size_t(width());
    for (int x = left; x < right; ++x) {
      const double n = noise.fractal(x / scale, y / scale, 4);
      row[x] = shade(row[x], 1 + (n - 0.5) * 2 * strength);
    }
  }
}

}  // namespace duduri::pack
