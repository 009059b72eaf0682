// The skins, skin buttons and banners of the sample projects (SkinKit.h).

#include <algorithm>
#include <cmath>

#include "PaintScenes.h"
#include "SkinKit.h"

namespace duduri::pack::kit {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Palette {
  TColor32 light, mid, dark, inset, accent;
};

Palette paletteOf(const SkinGeometry& skin) {
  if (skin.name == kJade.name) {
    return {Color32(120, 200, 150), Color32(46, 130, 86), Color32(16, 64, 40), Color32(10, 36, 24),
            Color32(230, 250, 235)};
  }
  return {Color32(236, 184, 96), Color32(190, 128, 48), Color32(110, 64, 18), Color32(52, 30, 10),
          Color32(255, 236, 170)};
}

// A rounded rectangle as a polygon, the corners as arcs of `r`.
std::vector<Point> roundedRect(double x1, double y1, double x2, double y2, double r) {
  std::vector<Point> p;
  const double cx[4] = {x2 - r, x1 + r, x1 + r, x2 - r};
  const double cy[4] = {y1 + r, y1 + r, y2 - r, y2 - r};
  for (int corner = 0; corner < 4; ++corner) {
    for (int i = 0; i <= 12; ++i) {
      const double a = (corner * 90 + i * 7.5) * kPi / 180;
      p.push_back({cx[corner] + r * std::cos(a), cy[corner] - r * std::sin(a)});
    }
  }
  return p;
}

// How far (x, y) lies inside a rounded rectangle (negative: outside).
double insideRounded(double x, double y, double x1, double y1, double x2, double y2, double r) {
  const double qx = std::max({x1 + r - x, x - (x2 - r), 0.0});
  const double qy = std::max({y1 + r - y, y - (y2 - r), 0.0});
  const double corner = r - std::hypot(qx, qy);
  const double edge = std::min({x - x1, x2 - x, y - y1, y2 - y});
  return std::min(corner, edge);
}

// The frame's metal: a vertical gradient lightened and darkened by noise.
void frameFill(Canvas& c, const std::vector<Point>& outline, const Palette& p, const Noise& noise) {
  const double h = c.height();
  c.shadedPolygon(outline, [&](int x, int y) {
    const double t = y / h;
    const TColor32 base = t < 0.5 ? mix(p.light, p.mid, t * 2) : mix(p.mid, p.dark, (t - 0.5) * 2);
    const double n = noise.fractal(x / 40.0, y / 9.0, 4);
    return shade(base, 0.86 + 0.28 * n);
  });
}

// A sunken panel: dark inside, a light lower-right and a dark upper-left edge.
void inset(Canvas& c, const Box& b, int margin, const Palette& p) {
  const double x1 = b.left - margin, y1 = b.top - margin;
  const double x2 = b.left + b.width + margin, y2 = b.top + b.height + margin;
  c.rect(x1 - 2, y1 - 2, x2 + 2, y2 + 2, shade(p.dark, 0.7));
  c.rect(x1, y1, x2 + 2, y2 + 2, shade(p.light, 1.1));
  c.rect(x1, y1, x2, y2, p.inset);
}

// A jigsaw piece: a square with a knob on two sides.
void pieceEmblem(Canvas& c, double cx, double cy, double s, TColor32 color) {
  c.rect(cx - s, cy - s, cx + s, cy + s, color);
  c.circle(cx + s + s * 0.35, cy, s * 0.45, color);
  c.circle(cx, cy - s - s * 0.35, s * 0.45, color);
}

void paintAmber(Canvas& c, const SkinGeometry& g, std::uint64_t seed) {
  const Palette p = paletteOf(g);
  const Noise noise(seed);
  const std::vector<Point> body = roundedRect(0, 24, g.width, g.height, 44);
  const std::vector<Point> tab = roundedRect(260, 0, 540, 76, 26);
  frameFill(c, body, p, noise);
  frameFill(c, tab, p, noise);
  // A bright rim just inside the outline.
  const std::vector<Point> rim = roundedRect(6, 30, g.width - 6, g.height - 6, 38);
  c.shadedPolygon(rim, [&](int x, int y) {
    return insideRounded(x + 0.5, y + 0.5, 6, 30, g.width - 6, g.height - 6, 38) < 2
               ? withAlpha(p.accent, 150)
               : 0u;
  });
  pieceEmblem(c, 392, 38, 14, p.dark);
  pieceEmblem(c, 390, 36, 14, p.accent);
  inset(c, g.board, 4, p);
  inset(c, g.clock, 2, p);
  inset(c, {g.bannerLeft, g.bannerTop, kBannerWidth, kBannerHeight}, 3, p);
  for (int left : g.buttonLeft) {
    c.rect(left - 2, g.buttonTop - 2, left + kButtonSide + 2, g.buttonTop + kButtonSide + 2,
           withAlpha(p.dark, 90));
  }
}

void paintJade(Canvas& c, const SkinGeometry& g, std::uint64_t seed) {
  const Palette p = paletteOf(g);
  const Noise noise(seed + 7);
  const std::vector<Point> body = roundedRect(0, 0, g.width, g.height, 100);
  frameFill(c, body, p, noise);
  // Leaves along the frame, light on dark.
  PaintRandom random(seed);
  for (int i = 0; i < 60; ++i) {
    const double t = random.unit();
    const double x = 40 + t * (g.width - 80);
    const double y = random.chance(0.5) ? random.range(90, 104) : random.range(g.height - 20, g.height - 8);
    c.ellipse(x, y, random.range(4, 9), random.range(2, 4), withAlpha(p.accent, 70));
  }
  inset(c, g.board, 4, p);
  inset(c, {g.bannerLeft, g.bannerTop, kBannerWidth, kBannerHeight}, 3, p);
  inset(c, g.clock, 2, p);
  // The porthole: a ring, and black inside it, so the window has a hole.
  const double hx = 340, hy = 66;
  c.circle(hx, hy, 26, p.dark);
  c.circle(hx, hy, 23, p.accent);
  c.circle(hx, hy, 18, Color32(0, 0, 0));
  pieceEmblem(c, 268, 66, 11, p.accent);
}

// Coverage of the rounded button square at a pixel, 0..1, with a one-pixel
// soft edge.
double buttonCoverage(int x, int y) {
  const double d = insideRounded(x + 0.5, y + 0.5, 0, 0, kButtonSide, kButtonSide, 9);
  return std::clamp(d + 0.5, 0.0, 1.0);
}

void drawIcon(Canvas& c, Icon icon, double ox, double oy, TColor32 ink, TColor32 ground) {
  const double cx = 20 + ox, cy = 20 + oy;
  switch (icon) {
    case Icon::iNew:
      pieceEmblem(c, cx - 2, cy + 2, 8, ink);
      break;
    case Icon::iShow:
      c.ellipse(cx, cy, 13, 8, ink);
      c.ellipse(cx, cy, 10, 5.5, ground);
      c.circle(cx, cy, 4.5, ink);
      break;
    case Icon::iPause:
      c.rect(cx - 8, cy - 9, cx - 3, cy + 9, ink);
      c.rect(cx + 3, cy - 9, cx + 8, cy + 9, ink);
      break;
    case Icon::iSkin:
      c.circle(cx, cy, 12, ink);
      c.circle(cx - 5, cy - 4, 3, Color32(220, 60, 60));
      c.circle(cx + 4, cy - 5, 3, Color32(60, 120, 220));
      c.circle(cx + 5, cy + 4, 3, Color32(60, 170, 80));
      c.circle(cx - 3, cy + 6, 2.5, ground);
      break;
    case Icon::iExit:
      c.line({cx - 8, cy - 8}, {cx + 8, cy + 8}, 4, ink);
      c.line({cx + 8, cy - 8}, {cx - 8, cy + 8}, 4, ink);
      break;
  }
}

}  // namespace

void paintSkin(Canvas& canvas, const SkinGeometry& skin, std::uint64_t seed) {
  if (skin.name == kJade.name) {
    paintJade(canvas, skin, seed);
  } else {
    paintAmber(canvas, skin, seed);
  }
}

void paintButton(TBitmap32& target, const SkinGeometry& skin, Icon icon, Face face) {
  const Palette p = paletteOf(skin);
  target.SetSize(kButtonSide, kButtonSide);
  target.Clear(0xFF000000);
  Canvas c(target);
  const double lift = face == Face::fHover ? 1.18 : face == Face::fPressed ? 0.72 : 1.0;
  const TColor32 top = shade(p.light, lift), bottom = shade(p.dark, lift);
  for (int y = 0; y < kButtonSide; ++y) {
    const double t = double(y) / (kButtonSide - 1);
    c.span(0, kButtonSide, y, face == Face::fPressed ? mix(bottom, top, t) : mix(top, bottom, t));
  }
  if (face == Face::fHover) c.glow(20, 14, 22, withAlpha(p.accent, 120));
  const double shift = face == Face::fPressed ? 1 : 0;
  const TColor32 ground = face == Face::fPressed ? mix(bottom, top, 0.5) : mix(top, bottom, 0.5);
  drawIcon(c, icon, shift + 1, shift + 1, withAlpha(p.inset, 140), ground);
  drawIcon(c, icon, shift, shift, p.accent, ground);
  for (int y = 0; y < kButtonSide; ++y) {
    TColor32* row = target.ScanLine(y);
    for (int x = 0; x < kButtonSide; ++x) {
      const double edge = insideRounded(x + 0.5, y + 0.5, 0, 0, kButtonSide, kButtonSide, 9);
      if (edge >= 0.5 && edge < 2.5) row[x] = shade(row[x], face == Face::fPressed ? 0.6 : 1.3);
      const auto a = std::uint8_t(std::lround(255 * buttonCoverage(x, y)));
      row[x] = (row[x] & 0x00FFFFFFu) | (TColor32(a) << 24);
    }
  }
}

void paintBanner(TBitmap32& target, int which, std::uint64_t seed) {
  // The scene is painted at the banner's width and cut to a strip through
  // its middle, where each scene is busiest.
  TBitmap32 scene;
  scene.SetSize(kBannerWidth, kBannerWidth * 3 / 4);
  scene.Clear(0xFF000000);
  Canvas sc(scene);
  static constexpr const char* kScenes[] = {"harbour", "meadow", "mosaic"};
  paintScene(kScenes[std::clamp(which, 0, 2)], sc, seed);
  target.SetSize(kBannerWidth, kBannerHeight);
  const int from = which == 1 ? scene.Height() / 2 : scene.Height() / 3;
  for (int y = 0; y < kBannerHeight; ++y) {
    std::copy_n(scene.ScanLine(from + y), kBannerWidth, target.ScanLine(y));
  }
  Canvas c(target);
  c.rect(0, 0, kBannerWidth, 2, Color32(255, 255, 255, 200));
  c.rect(0, kBannerHeight - 2, kBannerWidth, kBannerHeight, Color32(0, 0, 0, 160));
  c.rect(0, 0, 2, kBannerHeight, Color32(255, 255, 255, 200));
  c.rect(kBannerWidth - 2, 0, kBannerWidth, kBannerHeight, Color32(0, 0, 0, 160));
}

}  // namespace duduri::pack::kit
