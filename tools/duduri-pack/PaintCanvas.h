#pragma once
// Painting primitives for `duduri-pack paint`: the bundled pictures are
// drawn by this code, so they are the project's own and can be made again.
// Everything is deterministic for a given seed: the generator is our own
// (std distributions differ between standard libraries) and shapes are
// filled with plain double arithmetic, so only a C library that rounds sin
// or hypot differently can change a pixel value here and there.

#include <cstdint>
#include <functional>
#include <vector>

#include "raster/Bitmap32.h"

namespace duduri::pack {

// splitmix64: small, fast and the same everywhere.
class PaintRandom {
 public:
  explicit PaintRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next();
  double unit();                          // [0, 1)
  double range(double low, double high);  // [low, high)
  int between(int low, int high);         // [low, high] inclusive
  bool chance(double probability) { return unit() < probability; }

 private:
  std::uint64_t state_;
};

struct Point {
  double x = 0;
  double y = 0;
};

// Colour helpers. Colours are TColor32; alpha is used as the painting opacity.
TColor32 mix(TColor32 a, TColor32 b, double t);  // t = 0 gives a, 1 gives b
TColor32 withAlpha(TColor32 c, std::uint8_t alpha);
TColor32 shade(TColor32 c, double factor);  // < 1 darker, > 1 lighter
TColor32 hsv(double hueDegrees, double saturation, double value);

// Smooth value noise in [0, 1], repeatable for a seed.
class Noise {
 public:
  explicit Noise(std::uint64_t seed);
  double at(double x, double y) const;
  // Sum of octaves, each twice as fine and half as strong.
  double fractal(double x, double y, int octaves) const;

 private:
  double lattice(int x, int y) const;
  std::vector<std::uint8_t> permutation_;
};

// A painter over a surface: every primitive is clipped to the surface and
// blends by the colour's alpha.
class Canvas {
 public:
  explicit Canvas(TBitmap32& target) : target_(target) {}
  std::int32_t width() const { return target_.Width(); }
  std::int32_t height() const { return target_.Height(); }

  void plot(std::int32_t x, std::int32_t y, TColor32 color);
  TColor32 pixel(std::int32_t x, std::int32_t y) const;
  void span(std::int32_t x1, std::int32_t x2, std::int32_t y, TColor32 color);  // [x1, x2)

  void verticalGradient(double top, double bottom, const std::vector<TColor32>& stops);
  void rect(double x1, double y1, double x2, double y2, TColor32 color);
  void ellipse(double cx, double cy, double rx, double ry, TColor32 color);
  void circle(double cx, double cy, double r, TColor32 color) { ellipse(cx, cy, r, r, color); }
  // Even-odd fill, so self-crossing outlines make holes as expected.
  void polygon(const std::vector<Point>& points, TColor32 color);
  // The same area, each pixel painted with shader(x, y).
  void shadedPolygon(const std::vector<Point>& points,
                     const std::function<TColor32(int x, int y)>& shader);
  // The same area in `color`, lightened and darkened by the noise.
  void texturedPolygon(const std::vector<Point>& points, TColor32 color, const Noise& noise,
                       double scale, double strength);
  void line(Point a, Point b, double width, TColor32 color);
  // A soft glow: opacity falls from the colour's alpha at the centre to 0 at r.
  void glow(double cx, double cy, double r, TColor32 color);
  // Darkens or lightens each pixel of a rectangle by the noise, for texture.
  void texture(double x1, double y1, double x2, double y2, const Noise& noise, double scale,
               double strength);

 private:
  TBitmap32& target_;
};

}  // namespace duduri::pack
