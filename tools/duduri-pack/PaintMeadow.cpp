// The meadow and the stained-glass mosaic, and the lookup of scenes by name.

#include <algorithm>
#include <cmath>
#include <limits>

#include "PaintScenes.h"

namespace duduri::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The height of a rolling hill at x: a few waves plus noise.
double hillLine(const Noise& noise, double x, double base, double amplitude, double phase) {
  return base -
         amplitude *
             (0.5 + 0.3 * std::sin(x * 0.004 + phase) + 0.2 * std::sin(x * 0.011 + phase * 2.3)) -
         noise.at(x / 60, phase * 3) * amplitude * 0.5;
}

std::vector<Point> hillShape(const Noise& noise, double width, double bottom, double base,
                             double amplitude, double phase) {
  std::vector<Point> shape{{-1, bottom}};
  for (double x = -1; x <= width + 6; x += 6)
    shape.push_back({x, hillLine(noise, x, base, amplitude, phase)});
  shape.push_back({width + 6, bottom});
  return shape;
}

void deciduousTree(Canvas& c, PaintRandom& random, double x, double ground, double size) {
  c.line({x, ground}, {x, ground - size * 0.9}, size * 0.14, Color32(90, 60, 40));
  const double hue = random.range(80, 130);
  for (int i = 0; i < 14; ++i) {
    const double px = x + random.range(-0.5, 0.5) * size,
                 py = ground - size * random.range(0.8, 1.4);
    c.circle(px, py, size * random.range(0.25, 0.4), hsv(hue, 0.65, random.range(0.3, 0.5)));
  }
  for (int i = 0; i < 8; ++i) {  // sunlit leaves on the upper left
    const double px = x - random.range(0, 0.4) * size, py = ground - size * random.range(1.1, 1.45);
    c.circle(px, py, size * random.range(0.12, 0.2), hsv(hue - 10, 0.6, random.range(0.6, 0.8)));
  }
}

void conifer(Canvas& c, PaintRandom& random, double x, double ground, double size) {
  c.rect(x - size * 0.05, ground - size * 0.2, x + size * 0.05, ground, Color32(80, 50, 35));
  const TColor32 green = hsv(random.range(130, 160), 0.6, random.range(0.25, 0.4));
  for (int tier = 0; tier < 4; ++tier) {
    const double y = ground - size * (0.15 + tier * 0.25), half = size * (0.32 - tier * 0.06);
    c.polygon({{x - half, y}, {x, y - size * 0.45}, {x + half, y}}, shade(green, 1 + tier * 0.1));
  }
}

void cottage(Canvas& c, const Noise& noise, double x, double ground, double w) {
  const double h = w * 0.55;
  c.rect(x, ground - h, x + w, ground, Color32(240, 235, 220));
  c.texture(x, ground - h, x + w, ground, noise, 3, 0.08);
  c.rect(x + w * 0.7, ground - h * 1.55, x + w * 0.8, ground - h, Color32(130, 70, 60));
  for (int i = 0; i < 6; ++i) {  // smoke
    c.circle(x + w * 0.75 + i * w * 0.06, ground - h * (1.7 + i * 0.25), w * (0.04 + i * 0.015),
             Color32(220, 220, 225, std::uint8_t(160 - i * 22)));
  }
  c.polygon(
      {{x - w * 0.08, ground - h}, {x + w * 0.5, ground - h * 1.75}, {x + w * 1.08, ground - h}},
      Color32(180, 50, 40));
  for (int r = 1; r < 6; ++r) {
    const double y = ground - h - h * 0.75 * r / 6;
    const double half = w * 0.58 * (6 - r) / 6;
    c.line({x + w * 0.5 - half, y}, {x + w * 0.5 + half, y}, 1.5, Color32(130, 35, 30));
  }
  c.rect(x + w * 0.42, ground - h * 0.55, x + w * 0.58, ground, Color32(90, 140, 70));
  for (double wx : {x + w * 0.12, x + w * 0.7}) {
    c.rect(wx, ground - h * 0.7, wx + w * 0.18, ground - h * 0.35, Color32(70, 110, 160));
    c.line({wx + w * 0.09, ground - h * 0.7}, {wx + w * 0.09, ground - h * 0.35}, 1.5,
           Color32(250, 250, 250));
    c.line({wx, ground - h * 0.52}, {wx + w * 0.18, ground - h * 0.52}, 1.5,
           Color32(250, 250, 250));
  }
}

// Nearest and second-nearest seed of a jittered grid, searched in the 5 x 5
// cells around a point.
struct Cells {
  int columns = 0, rows = 0;
  double size = 0;
  std::vector<Point> seeds;
  std::vector<TColor32> colours;

  struct Hit {
    std::size_t nearest = 0;
    double d1 = std::numeric_limits<double>::max(), d2 = std::numeric_limits<double>::max();
  };
  Hit find(double x, double y) const {
    Hit hit;
    const int cx = int(x / size), cy = int(y / size);
    for (int gy = cy - 2; gy <= cy + 2; ++gy) {
      for (int gx = cx - 2; gx <= cx + 2; ++gx) {
        if (gx < 0 || gy < 0 || gx >= columns || gy >= rows) continue;
        const std::size_t i = std::size_t(gy * columns + gx);
        const double d = std::hypot(seeds[i].x - x, seeds[i].y - y);
        if (d < hit.d1) {
          hit.d2 = hit.d1, hit.d1 = d, hit.nearest = i;
        } else if (d < hit.d2) {
          hit.d2 = d;
        }
      }
    }
    return hit;
  }
};

}  // namespace

void paintMeadow(Canvas& c, std::uint64_t seed) {
  PaintRandom random(seed);
  const Noise noise(seed ^ 0x3EAD0u);
  const double W = c.width(), H = c.height();

  c.verticalGradient(0, H * 0.55,
                     {Color32(60, 120, 205), Color32(120, 175, 230), Color32(200, 225, 240)});
  c.glow(W * 0.15, H * 0.1, H * 0.3, Color32(255, 250, 200, 160));
  c.circle(W * 0.15, H * 0.1, H * 0.05, Color32(255, 250, 215));
  for (int i = 0; i < 8; ++i) {
    const double cx = random.range(0, W), cy = random.range(H * 0.05, H * 0.28),
                 s = random.range(25, 55);
    for (int p = 0; p < 7; ++p) {
      const double px = cx + random.range(-1.8, 1.8) * s, py = cy + random.range(-0.3, 0.3) * s;
      c.ellipse(px, py + s * 0.15, s * 0.9, s * 0.4, Color32(190, 200, 220, 200));
      c.ellipse(px, py, s * 0.8, s * 0.38, Color32(255, 255, 255, 220));
    }
  }

  // Mountains with snow, far and near.
  for (int layer = 0; layer < 2; ++layer) {
    const double base = H * (0.42 + layer * 0.04), height = H * (0.22 - layer * 0.06);
    std::vector<Point> ridge{{0, base + 40}};
    for (double x = 0; x <= W + 8; x += 8) {
      const double n = noise.fractal(x / (200 - layer * 60), 10.5 + layer, 4);
      ridge.push_back({x, base - height * n * 1.4});
    }
    ridge.push_back({W + 8, base + 40});
    const TColor32 rock = layer == 0 ? Color32(130, 145, 185) : Color32(95, 115, 150);
    c.texturedPolygon(ridge, rock, noise, 12, 0.12);
    // Snow: down from the ridge by a share of how far the peak rises above
    // the snow line, so it thins out towards the saddles.
    const double snowLine = base - height * 0.5;
    std::vector<Point> snow;
    for (std::size_t i = 1; i + 1 < ridge.size(); ++i) snow.push_back(ridge[i]);
    for (std::size_t i = ridge.size() - 2; i >= 1; --i) {
      const double above = std::max(0.0, snowLine - ridge[i].y);
      snow.push_back(
          {ridge[i].x, ridge[i].y + above * (0.45 + 0.3 * noise.at(ridge[i].x / 15, 4.5))});
    }
    c.polygon(snow, Color32(245, 248, 255, 235));
  }

  // Rolling hills, far to near, each a different green with its own texture.
  const TColor32 greens[] = {Color32(120, 160, 90), Color32(150, 185, 70), Color32(95, 150, 60),
                             Color32(70, 130, 50)};
  for (int layer = 0; layer < 4; ++layer) {
    const double base = H * (0.55 + layer * 0.09), amplitude = H * (0.12 - layer * 0.015);
    c.texturedPolygon(hillShape(noise, W, H, base, amplitude, layer * 1.7), greens[layer], noise,
                      8 + layer * 4, 0.1 + layer * 0.03);
    if (layer == 1) {  // patchwork fields on the second hill
      const TColor32 fields[] = {Color32(235, 205, 60), Color32(150, 110, 70),
                                 Color32(175, 200, 90), Color32(200, 170, 100),
                                 Color32(120, 170, 60)};
      for (int f = 0; f < 7; ++f) {
        const double x1 = W * (0.05 + f * 0.13), x2 = x1 + W * random.range(0.08, 0.12);
        const TColor32 colour = fields[f % 5];
        for (double x = x1; x < x2; x += 1) {
          const double y = hillLine(noise, x, base, amplitude, layer * 1.7) + 6;
          c.rect(x, y, x + 1, y + H * 0.08, colour);
          for (double fy = y + 3; fy < y + H * 0.08; fy += 7) {  // furrows
            c.plot(int(x), int(fy), shade(colour, 0.75));
          }
        }
      }
    }
    for (int t = 0; t < 6 + layer * 2; ++t) {  // trees along the crest
      const double x = random.range(0, W);
      if (layer >= 2 && x > W * 0.55 && x < W * 0.8) continue;  // keep the cottage in view
      const double ground = hillLine(noise, x, base, amplitude, layer * 1.7) + 4;
      const double size = H * (0.03 + layer * 0.02);
      if (random.chance(0.4)) {
        conifer(c, random, x, ground, size * 1.4);
      } else {
        deciduousTree(c, random, x, ground, size);
      }
    }
    if (layer == 2) {
      const double x = W * 0.62;
      cottage(c, noise, x, hillLine(noise, x + W * 0.05, base, amplitude, layer * 1.7) + 10,
              W * 0.11);
      for (double fx = W * 0.3; fx < W * 0.58; fx += W * 0.02) {  // fence
        const double y = hillLine(noise, fx, base, amplitude, layer * 1.7) + 22;
        c.rect(fx, y - 16, fx + 3, y, Color32(110, 80, 50));
        c.line({fx, y - 12},
               {fx + W * 0.02, hillLine(noise, fx + W * 0.02, base, amplitude, layer * 1.7) + 10},
               2, Color32(140, 105, 70));
      }
    }
  }

  // A sandy path winding to the cottage.
  std::vector<Point> left, right;
  for (double y = H; y > H * 0.78; y -= 4) {
    const double t = (H - y) / (H * 0.22);
    const double centre = W * (0.45 + 0.2 * t) + std::sin(t * kPi * 1.5) * W * 0.08;
    const double half = W * (0.07 * (1 - t) + 0.01);
    left.push_back({centre - half, y});
    right.push_back({centre + half, y});
  }
  left.insert(left.end(), right.rbegin(), right.rend());
  c.polygon(left, Color32(215, 190, 140));
  c.texture(0, H * 0.78, W, H, noise, 2.5, 0.12);

  // Flowers: patches of one kind, more and larger towards the viewer.
  const double kinds[][3] = {{0, 0.9, 0.95}, {50, 0.9, 1.0},   {280, 0.5, 0.85},
                             {0, 0, 1.0},    {320, 0.6, 0.95}, {200, 0.6, 0.95}};
  for (int patch = 0; patch < 26; ++patch) {
    const double px = random.range(0, W), py = random.range(H * 0.66, H);
    const auto& kind = kinds[random.between(0, 5)];
    const int count = random.between(40, 110);
    for (int i = 0; i < count; ++i) {
      const double x = px + random.range(-1, 1) * W * 0.07, y = py + random.range(-1, 1) * H * 0.04;
      if (y < H * 0.64 || y >= H) continue;
      const double size = 1.2 + (y - H * 0.64) / (H * 0.36) * 5;
      c.line({x, y}, {x + random.range(-1, 1), y + size * 2.2}, std::max(1.0, size * 0.3),
             Color32(50, 110, 40));
      const TColor32 petal =
          hsv(kind[0] + random.range(-8, 8), kind[1], kind[2] * random.range(0.85, 1.0));
      c.circle(x, y, size, petal);
      c.circle(x, y, size * 0.35, kind[1] < 0.1 ? Color32(240, 200, 40) : shade(petal, 0.5));
    }
  }
  for (int i = 0; i < int(W * 1.2); ++i) {  // grass blades in front
    const double x = random.range(0, W), y = H - random.range(0, H * 0.07);
    c.line({x, y}, {x + random.range(-6, 6), y - random.range(10, 30)}, 1.3,
           hsv(random.range(85, 125), 0.7, random.range(0.35, 0.7)));
  }
}

void paintMosaic(Canvas& c, std::uint64_t seed) {
  PaintRandom random(seed);
  const Noise noise(seed ^ 0x6A55u);
  const double W = c.width(), H = c.height();
  const double cx = W / 2, cy = H / 2, rosette = std::min(W, H) * 0.3;

  Cells cells;
  cells.size = std::max(16.0, std::min(W, H) / 14);
  cells.columns = int(W / cells.size) + 1;
  cells.rows = int(H / cells.size) + 1;
  for (int gy = 0; gy < cells.rows; ++gy) {
    for (int gx = 0; gx < cells.columns; ++gx) {
      const Point p{(gx + random.range(0.1, 0.9)) * cells.size,
                    (gy + random.range(0.1, 0.9)) * cells.size};
      // Hue turns around the centre; inside the rosette it follows twelve petals.
      const double angle = std::atan2(p.y - cy, p.x - cx), radius = std::hypot(p.x - cx, p.y - cy);
      double hue = angle * 180 / kPi + radius * 0.4 + random.range(-25, 25);
      double saturation = random.range(0.65, 0.95), value = random.range(0.55, 0.95);
      if (radius < rosette) {
        const double petal = std::cos(angle * 12) * 0.5 + 0.5;
        hue = radius < rosette * 0.25 ? 50 : (petal > 0.5 ? 350 : 220) + random.range(-15, 15);
        value = 0.7 + petal * 0.25;
      }
      cells.seeds.push_back(p);
      cells.colours.push_back(hsv(hue, saturation, value));
    }
  }

  const double lead = std::max(2.0, cells.size * 0.08);
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const double radius = std::hypot(x - cx, y - cy);
      const Cells::Hit hit = cells.find(x + 0.5, y + 0.5);
      const bool ring = std::abs(radius - rosette) < lead * 1.2;
      const bool spoke =
          radius < rosette && radius > rosette * 0.12 &&
          std::abs(std::sin(std::atan2(y - cy, x - cx) * 6)) * radius / 6 < lead * 0.4;
      if (hit.d2 - hit.d1 < lead || ring || spoke) {
        const double highlight = noise.at(x / 6.0, y / 6.0);
        c.plot(x, y, mix(Color32(35, 32, 30), Color32(95, 90, 85), highlight * 0.6));
        continue;
      }
      // Glass: brighter towards each pane's middle, with ripples in it.
      const double centre = 1 - std::min(1.0, hit.d1 / (cells.size * 0.8));
      const double ripple = noise.fractal(x / 9.0, y / 9.0, 3);
      c.plot(x, y, shade(cells.colours[hit.nearest], 0.7 + centre * 0.35 + (ripple - 0.5) * 0.35));
    }
  }
  // A border of small square tiles.
  const double tile = std::max(6.0, std::min(W, H) / 40);
  for (double x = 0; x < W; x += tile) {
    for (double y : {0.0, H - tile}) {
      c.rect(x + 1, y + 1, x + tile - 1, y + tile - 1, hsv(x * 0.7 + y, 0.8, 0.85));
    }
  }
  for (double y = tile; y < H - tile; y += tile) {
    for (double x : {0.0, W - tile}) {
      c.rect(x + 1, y + 1, x + tile - 1, y + tile - 1, hsv(y * 0.7 + x, 0.8, 0.85));
    }
  }
}

bool paintScene(std::string_view scene, Canvas& canvas, std::uint64_t seed) {
  if (scene == "harbour") {
    paintHarbour(canvas, seed);
  } else if (scene == "meadow") {
    paintMeadow(canvas, seed);
  } else if (scene == "mosaic") {
    paintMosaic(canvas, seed);
  } else if (scene == "tower") {
    paintTower(canvas, seed);
  } else {
    return false;
  }
  return true;
}

}  // namespace duduri::pack
