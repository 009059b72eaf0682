// The harbour at sunset and the tower at dusk: the two seaside scenes share
// the sea, boats and buildings drawn here.

#include <algorithm>
#include <cmath>

#include "PaintScenes.h"

namespace duduri::pack {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Façade colours of a southern harbour town.
const TColor32 kFacades[] = {
    Color32(222, 170, 80),  Color32(200, 90, 60),   Color32(70, 150, 150),  Color32(230, 150, 160),
    Color32(150, 190, 220), Color32(240, 215, 110), Color32(180, 120, 170), Color32(120, 170, 90),
    Color32(235, 235, 220), Color32(210, 120, 40),
};
const TColor32 kRoofs[] = {Color32(150, 50, 40), Color32(110, 60, 50), Color32(170, 80, 50),
                           Color32(80, 80, 100)};
const TColor32 kLitWindow = Color32(255, 215, 120);
const TColor32 kDarkWindow = Color32(45, 45, 75);

template <typename T, std::size_t N>
const T& pick(PaintRandom& random, const T (&items)[N]) {
  return items[std::size_t(random.between(0, int(N) - 1))];
}

void clouds(Canvas& c, PaintRandom& random, int count, double top, double bottom, TColor32 light,
            TColor32 dark) {
  for (int i = 0; i < count; ++i) {
    const double cx = random.range(0, c.width()), cy = random.range(top, bottom);
    const double size = random.range(0.03, 0.07) * c.width();
    const int puffs = random.between(5, 9);
    for (int p = 0; p < puffs; ++p) {
      const double px = cx + random.range(-1.6, 1.6) * size,
                   py = cy + random.range(-0.3, 0.3) * size;
      const double rx = size * random.range(0.6, 1.1), ry = rx * random.range(0.35, 0.55);
      c.ellipse(px, py + ry * 0.25, rx, ry, withAlpha(dark, 170));
      c.ellipse(px, py - ry * 0.15, rx * 0.85, ry * 0.8, withAlpha(light, 190));
    }
  }
}

// A house standing on `base`, with a roof, a grid of windows and a door.
void house(Canvas& c, PaintRandom& random, const Noise& noise, double x, double base, double w,
           double h) {
  const TColor32 wall = pick(random, kFacades);
  c.rect(x, base - h, x + w, base, wall);
  c.texture(x, base - h, x + w, base, noise, 6, 0.12);
  c.rect(x + w - w * 0.12, base - h, x + w, base, shade(wall, 0.8));  // the side in shadow
  const TColor32 roof = pick(random, kRoofs);
  if (random.chance(0.7)) {
    c.polygon(
        {{x - w * 0.08, base - h}, {x + w / 2, base - h - w * 0.45}, {x + w * 1.08, base - h}},
        roof);
    for (int r = 1; r < 5; ++r) {
      const double y = base - h - w * 0.45 * r / 5.0;
      c.line({x + w / 2 - w * 0.58 * (5 - r) / 5.0, y}, {x + w / 2 + w * 0.58 * (5 - r) / 5.0, y},
             1.2, shade(roof, 0.75));
    }
  } else {
    c.rect(x - 2, base - h - 6, x + w + 2, base - h, shade(roof, 1.2));
  }
  const int columns = std::max(1, int(w / 22)), rows = std::max(1, int((h - 30) / 28));
  const double ww = w / columns * 0.45, wh = std::min(18.0, h / rows * 0.5);
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < columns; ++col) {
      const double wx = x + (col + 0.5) * w / columns - ww / 2;
      const double wy = base - h + 10 + row * (h - 30) / rows;
      const bool lit = random.chance(0.45);
      c.rect(wx - 2, wy - 2, wx + ww + 2, wy + wh + 2, shade(wall, 0.6));
      c.rect(wx, wy, wx + ww, wy + wh, lit ? kLitWindow : kDarkWindow);
      c.line({wx + ww / 2, wy}, {wx + ww / 2, wy + wh}, 1, shade(wall, 0.5));
      if (random.chance(0.3)) {  // shutters
        const TColor32 shutter = pick(random, kFacades);
        c.rect(wx - ww * 0.45, wy, wx - 1, wy + wh, shade(shutter, 0.7));
        c.rect(wx + ww + 1, wy, wx + ww * 1.45, wy + wh, shade(shutter, 0.7));
      }
    }
  }
  const double dw = std::min(w * 0.25, 16.0);
  c.rect(x + w * 0.4, base - std::min(26.0, h * 0.3), x + w * 0.4 + dw, base, shade(wall, 0.35));
}

void boat(Canvas& c, PaintRandom& random, double x, double waterline, double length,
          const TColor32 reflectionBase) {
  const TColor32 hull = pick(random, kFacades);
  const double depth = length * 0.18;
  const std::vector<Point> hullShape = {{x, waterline - depth},
                                        {x + length, waterline - depth * 1.3},
                                        {x + length * 0.85, waterline},
                                        {x + length * 0.1, waterline}};
  // Reflection first, broken into stripes by the waves.
  for (double y = waterline; y < waterline + depth * 2.2; y += 3) {
    const double wobble = std::sin(y * 0.9) * length * 0.03;
    c.rect(x + length * 0.1 + wobble, y, x + length * 0.85 + wobble, y + 2,
           withAlpha(mix(hull, reflectionBase, 0.55), 150));
  }
  c.polygon(hullShape, hull);
  c.line({x, waterline - depth}, {x + length, waterline - depth * 1.3}, std::max(2.0, depth * 0.2),
         shade(hull, 0.6));
  c.rect(x + length * 0.25, waterline - depth * 2, x + length * 0.55, waterline - depth * 1.05,
         Color32(235, 230, 215));
  c.rect(x + length * 0.3, waterline - depth * 1.8, x + length * 0.36, waterline - depth * 1.4,
         kDarkWindow);
  c.rect(x + length * 0.42, waterline - depth * 1.8, x + length * 0.48, waterline - depth * 1.4,
         kDarkWindow);
  if (random.chance(0.75)) {
    const double mast = x + length * 0.6, top = waterline - length * random.range(0.9, 1.3);
    c.line({mast, waterline - depth}, {mast, top}, std::max(1.5, length * 0.02),
           Color32(90, 60, 40));
    const TColor32 sail = random.chance(0.5) ? Color32(245, 240, 225) : pick(random, kFacades);
    const std::vector<Point> main = {{mast + 2, top + 4},
                                     {mast + 2, waterline - depth * 1.6},
                                     {mast + length * 0.45, waterline - depth * 1.6}};
    c.polygon(main, sail);
    for (int s = 1; s < 4; ++s) {
      const double y = top + (waterline - depth * 1.6 - top) * s / 4.0;
      const double reach = length * 0.45 * (y - top) / (waterline - depth * 1.6 - top);
      c.line({mast + 2, y}, {mast + 2 + reach, y}, 1.5, shade(sail, 0.8));
    }
    c.polygon({{mast - 2, top + 8},
               {mast - 2, waterline - depth * 1.5},
               {mast - length * 0.35, waterline - depth * 1.5}},
              shade(sail, 0.9));
    c.line({mast, top}, {mast + 10, top + 4}, 2, pick(random, kRoofs));  // pennant
  }
}

// Rows of short strokes: light on the crests, dark in the troughs, longer
// and further apart towards the viewer.
void waves(Canvas& c, PaintRandom& random, double top, double bottom, TColor32 light, TColor32 dark,
           double sunX, TColor32 sunColour) {
  for (double y = top; y < bottom; y += 2 + (y - top) / (bottom - top) * 5) {
    const double depth = (y - top) / (bottom - top);
    const int strokes = int(c.width() / (14 + depth * 30));
    for (int i = 0; i < strokes; ++i) {
      const double x = random.range(-20, c.width());
      const double len = random.range(8, 30) * (0.5 + depth * 2);
      const bool crest = random.chance(0.55);
      c.line({x, y}, {x + len, y + random.range(-0.5, 0.5)}, 1 + depth * 2.5,
             withAlpha(crest ? light : dark, std::uint8_t(110 + depth * 90)));
    }
    // The sun's glitter path widens towards the viewer.
    const double half = c.width() * (0.02 + depth * 0.12);
    for (int i = 0; i < 3 + int(depth * 6); ++i) {
      const double x = sunX + random.range(-half, half);
      const double len = random.range(6, 20) * (0.5 + depth * 1.5);
      c.line({x, y}, {x + len, y}, 1 + depth * 2,
             withAlpha(sunColour, std::uint8_t(150 + depth * 80)));
    }
  }
}

void bird(Canvas& c, double x, double y, double span, TColor32 colour) {
  c.line({x - span, y - span * 0.35}, {x, y}, std::max(1.2, span * 0.15), colour);
  c.line({x, y}, {x + span, y - span * 0.4}, std::max(1.2, span * 0.15), colour);
}

}  // namespace

void paintHarbour(Canvas& c, std::uint64_t seed) {
  PaintRandom random(seed);
  const Noise noise(seed ^ 0x5EA5u);
  const double W = c.width(), H = c.height();
  const double horizon = H * 0.52;

  c.verticalGradient(0, horizon + 1,
                     {Color32(35, 25, 85), Color32(110, 45, 120), Color32(220, 95, 95),
                      Color32(250, 160, 70), Color32(255, 220, 140)});
  c.texture(0, 0, W, horizon, noise, 40, 0.05);
  const double sunX = W * 0.64, sunY = horizon - H * 0.07;
  c.glow(sunX, sunY, H * 0.35, Color32(255, 210, 140, 150));
  c.circle(sunX, sunY, H * 0.055, Color32(255, 236, 170));
  clouds(c, random, 9, H * 0.05, H * 0.33, Color32(255, 180, 150), Color32(130, 60, 110));
  for (int i = 0; i < 14; ++i) {
    bird(c, random.range(0, W), random.range(H * 0.08, H * 0.4), random.range(4, 10),
         Color32(50, 30, 60));
  }

  // Far hills across the bay.
  std::vector<Point> hills{{0, horizon}};
  for (double x = 0; x <= W; x += 8) {
    hills.push_back({x, horizon - H * 0.05 - noise.fractal(x / 120, 3.5, 3) * H * 0.08});
  }
  hills.push_back({W, horizon});
  c.texturedPolygon(hills, Color32(105, 65, 115), noise, 10, 0.1);

  c.verticalGradient(
      horizon, H,
      {Color32(200, 120, 120), Color32(60, 70, 140), Color32(30, 50, 110), Color32(15, 30, 75)});
  waves(c, random, horizon + 2, H, Color32(150, 160, 220), Color32(15, 25, 70), sunX,
        Color32(255, 200, 110));

  // The town on its quay to the left, a church tower among the houses.
  const double quayTop = horizon + H * 0.09, quayBottom = horizon + H * 0.15;
  const double townRight = W * 0.47;
  c.rect(W * 0.17, quayTop - H * 0.36, W * 0.21, quayTop, Color32(225, 200, 160));
  c.texture(W * 0.17, quayTop - H * 0.36, W * 0.21, quayTop, noise, 5, 0.15);
  c.polygon({{W * 0.165, quayTop - H * 0.36},
             {W * 0.19, quayTop - H * 0.45},
             {W * 0.215, quayTop - H * 0.36}},
            Color32(90, 130, 110));
  c.circle(W * 0.19, quayTop - H * 0.32, W * 0.012, Color32(250, 250, 240));
  c.line({W * 0.19, quayTop - H * 0.32}, {W * 0.19, quayTop - H * 0.335}, 2, Color32(30, 30, 30));
  for (double x = -10; x < townRight;) {
    const double w = random.range(0.045, 0.085) * W, h = random.range(0.11, 0.22) * H;
    house(c, random, noise, x, quayTop, w, h);
    x += w + random.range(-4, 3);
  }
  c.rect(0, quayTop, townRight + W * 0.03, quayBottom, Color32(150, 130, 110));
  for (double y = quayTop; y < quayBottom; y += 9) {  // stone courses
    const double offset = std::fmod((y - quayTop) / 9, 2) * 11;
    for (double x = -offset; x < townRight + W * 0.03; x += 22) {
      c.rect(x + 1, y + 1, x + 21, y + 8, shade(Color32(160, 140, 115), random.range(0.75, 1.15)));
    }
  }
  for (int i = 0; i < 6; ++i) {  // bollards
    const double x = W * 0.03 + i * W * 0.07;
    c.rect(x, quayTop - 10, x + 7, quayTop, Color32(40, 40, 45));
  }

  // Jetty and lighthouse to the right.
  const double jettyY = horizon + H * 0.06;
  c.rect(W * 0.78, jettyY, W, jettyY + H * 0.025, Color32(120, 100, 90));
  c.texture(W * 0.78, jettyY, W, jettyY + H * 0.025, noise, 4, 0.2);
  const double lx = W * 0.86, lw = W * 0.045, lTop = jettyY - H * 0.3;
  for (int band = 0; band < 6; ++band) {
    const double y1 = lTop + band * (jettyY - lTop) / 6,
                 y2 = lTop + (band + 1) * (jettyY - lTop) / 6;
    const double inset = (y1 - lTop) / (jettyY - lTop) * -lw * 0.15;
    c.rect(lx + inset, y1, lx + lw - inset, y2,
           band % 2 ? Color32(240, 240, 235) : Color32(200, 40, 45));
  }
  c.rect(lx - lw * 0.2, lTop - H * 0.05, lx + lw * 1.2, lTop, Color32(40, 40, 50));
  c.glow(lx + lw / 2, lTop - H * 0.03, H * 0.12, Color32(255, 240, 160, 200));
  c.rect(lx, lTop - H * 0.045, lx + lw, lTop - H * 0.01, Color32(255, 245, 190));
  c.polygon({{lx - lw * 0.25, lTop - H * 0.05},
             {lx + lw / 2, lTop - H * 0.09},
             {lx + lw * 1.25, lTop - H * 0.05}},
            Color32(180, 30, 40));

  // Boats, further ones first.
  // Each boat gets its own slot across the bay so that they do not pile up.
  const int slots[] = {4, 1, 6, 2, 5, 0, 3, 7};
  for (int i = 0; i < 8; ++i) {
    const double depth = (i + random.unit()) / 8.0;
    const double waterline = horizon + H * (0.05 + depth * 0.4);
    const double length = W * (0.04 + depth * 0.1);
    const double x = W * (0.3 + (slots[i] + random.range(0.1, 0.9)) * 0.65 / 8);
    boat(c, random, x - length / 2, waterline, length, Color32(40, 50, 110));
  }

  // A wooden pier in the foreground, lower left.
  c.polygon({{0, H * 0.86}, {W * 0.3, H * 0.9}, {W * 0.3, H}, {0, H}}, Color32(120, 80, 50));
  for (double x = 0; x < W * 0.3; x += W * 0.022) {
    c.line({x, H * 0.86 + x / (W * 0.3) * H * 0.04}, {x, H}, 2, Color32(70, 45, 30));
  }
  c.texture(0, H * 0.86, W * 0.3, H, noise, 3, 0.25);
  for (int i = 0; i < 3; ++i) {
    const double x = W * (0.06 + i * 0.1);
    c.rect(x, H * 0.8, x + W * 0.018, H, Color32(90, 60, 40));
    c.rect(x - 2, H * 0.8, x + W * 0.018 + 2, H * 0.81, Color32(60, 40, 25));
  }
  c.line({W * 0.06, H * 0.83}, {W * 0.16, H * 0.845}, 3, Color32(200, 180, 120));  // rope
  c.line({W * 0.16, H * 0.845}, {W * 0.26, H * 0.83}, 3, Color32(200, 180, 120));
}

void paintTower(Canvas& c, std::uint64_t seed) {
  PaintRandom random(seed);
  const Noise noise(seed ^ 0x70E7u);
  const double W = c.width(), H = c.height();
  const double horizon = H * 0.7;

  c.verticalGradient(0, horizon + 1,
                     {Color32(12, 15, 55), Color32(45, 40, 115), Color32(140, 70, 140),
                      Color32(235, 120, 100), Color32(255, 190, 110)});
  for (int i = 0; i < int(W * H / 2500); ++i) {
    const double x = random.range(0, W), y = random.range(0, horizon * 0.55);
    const double bright = random.range(0.4, 1.0) * (1 - y / horizon);
    c.plot(int(x), int(y), withAlpha(Color32(255, 255, 230), std::uint8_t(255 * bright)));
    if (random.chance(0.08)) c.glow(x, y, 4, Color32(255, 255, 220, 160));
  }
  // A crescent moon: inside one disc, outside a second one.
  const double mx = W * 0.76, my = H * 0.13, mr = W * 0.06;
  c.glow(mx, my, mr * 3, Color32(255, 240, 200, 70));
  for (int y = int(my - mr); y <= int(my + mr); ++y) {
    for (int x = int(mx - mr); x <= int(mx + mr); ++x) {
      const bool inside = std::hypot(x - mx, y - my) < mr;
      const bool shadowed = std::hypot(x - mx - mr * 0.45, y - my + mr * 0.2) < mr * 0.9;
      if (inside && !shadowed) c.plot(x, y, Color32(255, 245, 205));
    }
  }
  clouds(c, random, 5, H * 0.3, H * 0.55, Color32(250, 150, 140), Color32(90, 50, 110));

  c.verticalGradient(horizon, H,
                     {Color32(190, 110, 120), Color32(40, 50, 110), Color32(10, 20, 60)});
  waves(c, random, horizon + 2, H, Color32(120, 130, 200), Color32(5, 15, 45), W * 0.76,
        Color32(255, 235, 190));

  // The cliff, rising from the sea on the left.
  std::vector<Point> cliff{{0, H}};
  for (double y = H; y >= H * 0.52; y -= 6) {
    const double t = (H - y) / (H * 0.48);
    cliff.push_back({W * (0.72 - t * 0.12) + (noise.at(y / 30, 1.5) - 0.5) * W * 0.1, y});
  }
  cliff.push_back({0, H * 0.52});
  // Layers of rock in several colours, tilted a little, with fine grain.
  const TColor32 strata[] = {Color32(125, 95, 80),  Color32(160, 130, 100), Color32(100, 85, 90),
                             Color32(140, 105, 70), Color32(175, 150, 125), Color32(110, 100, 80)};
  c.shadedPolygon(cliff, [&](int x, int y) {
    const double band = (y + x * 0.18) / (H * 0.035) + noise.at(x / 90.0, y / 60.0) * 2.5;
    const std::size_t i = std::size_t(std::abs(int(band))) % std::size(strata);
    const TColor32 rock =
        mix(strata[i], strata[(i + 1) % std::size(strata)], band - std::floor(band));
    return shade(rock, 0.75 + noise.fractal(x / 7.0, y / 7.0, 3) * 0.5);
  });
  for (int i = 0; i < 45; ++i) {  // ledges and cracks
    const double y = random.range(H * 0.56, H * 0.98), x = random.range(0, W * 0.5);
    c.line({x, y}, {x + random.range(20, 70), y + random.range(-6, 6)}, random.range(1.5, 3.5),
           Color32(60, 45, 45, 200));
  }
  for (int i = 0; i < 22; ++i) {  // bushes and flowers clinging to the rock
    const double x = random.range(W * 0.02, W * 0.5), y = random.range(H * 0.58, H * 0.95);
    const double size = random.range(6, 16);
    for (int leaf = 0; leaf < 9; ++leaf) {
      c.circle(x + random.range(-1, 1) * size, y + random.range(-0.5, 0.5) * size,
               size * random.range(0.3, 0.55),
               hsv(random.range(85, 140), 0.6, random.range(0.3, 0.6)));
    }
    if (random.chance(0.6)) {
      const TColor32 bloom = hsv(random.range(0, 360), 0.7, 1.0);
      for (int f = 0; f < 6; ++f) {
        c.circle(x + random.range(-1, 1) * size, y + random.range(-0.5, 0.5) * size, 2, bloom);
      }
    }
  }
  // Steps cut into the cliff, zigzagging down to a landing stage.
  Point from{W * 0.42, H * 0.54};
  for (int leg = 0; leg < 6; ++leg) {
    const Point to{leg % 2 ? W * 0.42 : W * 0.12, from.y + H * 0.065};
    c.line(from, to, 9, Color32(205, 185, 150));
    for (int s = 0; s < 12; ++s) {
      const double t = s / 12.0;
      const Point p{from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t};
      c.line({p.x, p.y - 4}, {p.x, p.y + 4}, 1.5, Color32(120, 100, 80));
    }
    from = to;
  }
  c.rect(W * 0.3, H * 0.93, W * 0.66, H * 0.945, Color32(120, 80, 50));
  for (double x = W * 0.31; x < W * 0.66; x += W * 0.05) {
    c.rect(x, H * 0.945, x + 5, H, Color32(80, 55, 35));
  }
  for (int i = 0; i < 160; ++i) {  // foam where the sea meets the rock
    const double y = random.range(horizon, H);
    const double t = (H - y) / (H * 0.48);
    const double x = W * (0.72 - t * 0.12) + (noise.at(y / 30, 1.5) - 0.5) * W * 0.1;
    c.line({x - random.range(0, 12), y}, {x + random.range(4, 24), y}, random.range(1.5, 3),
           Color32(235, 240, 255, 170));
  }
  std::vector<Point> grass{{0, H * 0.52}};
  for (double x = 0; x <= W * 0.62; x += 5) {
    grass.push_back({x, H * 0.515 - noise.at(x / 25, 7.5) * H * 0.015});
  }
  grass.push_back({W * 0.6, H * 0.545});
  grass.push_back({0, H * 0.55});
  c.texturedPolygon(grass, Color32(70, 120, 60), noise, 3, 0.3);

  // The tower, shaded as a cylinder, with courses of stone.
  const double tx = W * 0.2, tw = W * 0.26, top = H * 0.2, base = H * 0.53;
  for (int x = int(tx); x < int(tx + tw); ++x) {
    const double t = (x - tx) / tw;
    const double light = 0.55 + 0.6 * std::sin(t * kPi) * (1 - t * 0.5);
    c.rect(x, top, x + 1, base, shade(Color32(190, 160, 130), light));
  }
  for (double y = top; y < base; y += 12) {
    c.line({tx, y}, {tx + tw, y}, 1, Color32(80, 60, 50, 150));
    const double offset = std::fmod((y - top) / 12, 2) * 14;
    for (double x = tx + offset; x < tx + tw; x += 28)
      c.line({x, y}, {x, y + 12}, 1, Color32(80, 60, 50, 120));
  }
  c.texture(tx, top, tx + tw, base, noise, 5, 0.12);
  for (int i = 0; i < 5; ++i) {  // battlements
    const double bx = tx - tw * 0.06 + i * tw * 1.12 / 4.5;
    c.rect(bx, top - H * 0.035, bx + tw * 0.14, top, Color32(170, 140, 115));
  }
  c.rect(tx - tw * 0.06, top, tx + tw * 1.06, top + H * 0.015, Color32(120, 95, 80));
  for (int row = 0; row < 4; ++row) {  // windows, some lit
    const double wy = top + H * 0.05 + row * H * 0.07;
    const double wx = tx + tw * (row % 2 ? 0.55 : 0.3);
    const bool lit = row != 2;
    if (lit) c.glow(wx + tw * 0.06, wy + H * 0.02, W * 0.08, Color32(255, 200, 100, 120));
    c.ellipse(wx + tw * 0.06, wy, tw * 0.06, H * 0.012, lit ? kLitWindow : kDarkWindow);
    c.rect(wx, wy, wx + tw * 0.12, wy + H * 0.035, lit ? kLitWindow : kDarkWindow);
    c.line({wx + tw * 0.06, wy - H * 0.01}, {wx + tw * 0.06, wy + H * 0.035}, 2,
           Color32(60, 40, 30));
  }
  c.rect(tx + tw * 0.4, base - H * 0.06, tx + tw * 0.6, base, Color32(70, 45, 30));
  c.ellipse(tx + tw * 0.5, base - H * 0.06, tw * 0.1, H * 0.02, Color32(70, 45, 30));
  // Ivy climbing the shaded side.
  for (int i = 0; i < 900; ++i) {
    const double y = base - std::pow(random.unit(), 1.6) * (base - top) * 0.8;
    const double x = tx + random.range(0, tw * 0.35) * (1 - (base - y) / (base - top));
    c.circle(x, y, random.range(1.5, 3.5),
             hsv(random.range(90, 140), 0.7, random.range(0.3, 0.65)));
  }
  // Turret and flag.
  const double rx = tx + tw * 0.55, rw = tw * 0.3, rTop = top - H * 0.1;
  c.rect(rx, rTop, rx + rw, top - H * 0.035, Color32(175, 145, 120));
  c.texture(rx, rTop, rx + rw, top - H * 0.035, noise, 4, 0.15);
  c.polygon({{rx - rw * 0.15, rTop}, {rx + rw / 2, rTop - H * 0.09}, {rx + rw * 1.15, rTop}},
            Color32(50, 70, 140));
  for (int r = 1; r < 6; ++r) {
    const double y = rTop - H * 0.09 * (1 - r / 6.0);
    c.line({rx + rw / 2 - rw * 0.65 * r / 6, y}, {rx + rw / 2 + rw * 0.65 * r / 6, y}, 1.5,
           Color32(30, 45, 100));
  }
  const double pole = rx + rw / 2;
  c.line({pole, rTop - H * 0.09}, {pole, rTop - H * 0.14}, 2, Color32(40, 30, 30));
  for (int s = 0; s < 3; ++s) {
    const double y = rTop - H * 0.14 + s * H * 0.008;
    c.polygon({{pole, y},
               {pole + W * 0.08, y + H * 0.004 + std::sin(s) * 2},
               {pole + W * 0.08, y + H * 0.012},
               {pole, y + H * 0.008}},
              s == 1 ? Color32(250, 220, 60) : Color32(200, 40, 50));
  }

  // A wall running down the cliff, boats with lanterns, birds.
  for (int i = 0; i < 8; ++i) {
    const double x = W * 0.03 + i * W * 0.024;
    c.rect(x, H * 0.5, x + W * 0.018, H * 0.53, Color32(160, 130, 110));
  }
  c.rect(0, H * 0.51, W * 0.21, H * 0.54, Color32(150, 120, 100));
  for (int i = 0; i < 5; ++i) {
    const double depth = (i + random.unit()) / 5.0;
    const double length = W * (0.07 + depth * 0.14);
    const double x = random.range(W * 0.55, W * 0.95) - length / 2;
    const double waterline = horizon + H * (0.03 + depth * 0.24);
    boat(c, random, x, waterline, length, Color32(20, 30, 80));
    c.glow(x + length * 0.3, waterline - length * 0.3, length * 0.25, Color32(255, 220, 130, 170));
  }
  for (int i = 0; i < 10; ++i) {
    bird(c, random.range(W * 0.3, W), random.range(H * 0.2, H * 0.5), random.range(5, 12),
         Color32(30, 20, 40));
  }
}

}  // namespace duduri::pack
