// duduri-pack icon DIR: draws the program's icon, a jigsaw piece showing a
// small landscape, as PNG files at the desktop's sizes and as SVG, laid out
// as a hicolor icon theme folder (DIR/48x48/apps/duduri.png, ...,
// DIR/scalable/apps/duduri.svg). The raster and the vector forms are made
// from the same numbers, so they show the same picture.

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "common/Args.h"
#include "common/Png.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

namespace fs = std::filesystem;

// The piece in a unit square: a body with a knob at the top and on the
// right and a blank (the hollow a neighbour's knob fits) on the left.
constexpr double kBodyLow = 0.20, kBodyHigh = 0.84;
constexpr double kKnob = 0.115, kBlank = 0.10;
constexpr double kOutline = 0.025;
constexpr double kMid = (kBodyLow + kBodyHigh) / 2;
constexpr int kSizes[] = {48, 64, 128, 256};
constexpr int kSubsamples = 4;

struct Rgb {
  double r, g, b;
};
constexpr Rgb kSkyTop{0.20, 0.45, 0.85}, kSkyLow{0.75, 0.88, 1.0}, kSun{1.0, 0.85, 0.30},
    kHill{0.25, 0.62, 0.25}, kNearHill{0.16, 0.45, 0.18}, kEdge{0.14, 0.12, 0.10};

double sq(double v) {
  return v * v;
}

// Inside the piece grown by `grow` (the outline is the piece grown a little).
bool insidePiece(double x, double y, double grow) {
  const double lo = kBodyLow - grow, hi = kBodyHigh + grow;
  const bool body = x >= lo && x <= hi && y >= lo && y <= hi;
  const bool top = sq(x - kMid) + sq(y - kBodyLow) <= sq(kKnob + grow);
  const bool right = sq(x - kBodyHigh) + sq(y - kMid) <= sq(kKnob + grow);
  const bool blank = sq(x - kBodyLow) + sq(y - kMid) <= sq(kBlank - grow);
  return (body || top || right) && !blank;
}

// The two hills' top lines.
double farHill(double x) {
  return 0.60 - 0.07 * std::sin(x * 7.0 + 0.4);
}
double nearHill(double x) {
  return 0.72 - 0.06 * std::sin(x * 5.0 + 2.2);
}
constexpr double kSunX = 0.62, kSunY = 0.36, kSunR = 0.085;

Rgb landscape(double x, double y) {
  if (y >= nearHill(x)) return kNearHill;
  if (y >= farHill(x)) return kHill;
  if (sq(x - kSunX) + sq(y - kSunY) <= sq(kSunR)) return kSun;
  const double t = std::clamp((y - 0.05) / 0.6, 0.0, 1.0);
  return {kSkyTop.r + (kSkyLow.r - kSkyTop.r) * t, kSkyTop.g + (kSkyLow.g - kSkyTop.g) * t,
          kSkyTop.b + (kSkyLow.b - kSkyTop.b) * t};
}

TBitmap32 drawIcon(int size) {
  TBitmap32 bitmap;
  bitmap.SetSize(size, size);
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      double r = 0, g = 0, b = 0, coverage = 0;
      for (int sy = 0; sy < kSubsamples; ++sy) {
        for (int sx = 0; sx < kSubsamples; ++sx) {
          const double x = (px + (sx + 0.5) / kSubsamples) / size;
          const double y = (py + (sy + 0.5) / kSubsamples) / size;
          Rgb c;
          if (insidePiece(x, y, 0)) {
            c = landscape(x, y);
          } else if (insidePiece(x, y, kOutline)) {
            c = kEdge;
          } else {
            continue;
          }
          r += c.r, g += c.g, b += c.b, coverage += 1;
        }
      }
      if (coverage == 0) continue;
      auto byte = [](double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
      const double n = kSubsamples * kSubsamples;
      bitmap.ScanLine(py)[px] =
          Color32(byte(r / coverage), byte(g / coverage), byte(b / coverage), byte(coverage / n));
    }
  }
  return bitmap;
}

std::string hex(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", int(std::lround(c.r * 255)),
                int(std::lround(c.g * 255)), int(std::lround(c.b * 255)));
  return text;
}

// A coordinate as SVG writes it: one decimal at most.
std::string number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", v);
  std::string s = text;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s;
}

// The piece's outline as shapes in a 256-unit square: body and knobs in
// white, the blank in black, for use as a mask.
std::string pieceMask(const char* id, double grow) {
  auto u = [](double v) { return number(v * 256); };
  const double lo = kBodyLow - grow, side = kBodyHigh - kBodyLow + 2 * grow;
  std::string s = std::string("    <mask id=\"") + id + "\" maskUnits=\"userSpaceOnUse\">\n";
  s += "      <rect x=\"" + u(lo) + "\" y=\"" + u(lo) + "\" width=\"" + u(side) + "\" height=\"" +
       u(side) + "\" fill=\"#fff\"/>\n";
  s += "      <circle cx=\"" + u(kMid) + "\" cy=\"" + u(kBodyLow) + "\" r=\"" + u(kKnob + grow) +
       "\" fill=\"#fff\"/>\n";
  s += "      <circle cx=\"" + u(kBodyHigh) + "\" cy=\"" + u(kMid) + "\" r=\"" + u(kKnob + grow) +
       "\" fill=\"#fff\"/>\n";
  s += "      <circle cx=\"" + u(kBodyLow) + "\" cy=\"" + u(kMid) + "\" r=\"" + u(kBlank - grow) +
       "\" fill=\"#000\"/>\n";
  return s + "    </mask>\n";
}

std::string hillPath(double (*hill)(double)) {
  std::string d = "M0,256";
  for (int i = 0; i <= 64; ++i) {
    const double x = i / 64.0;
    d += " L" + std::to_string(int(std::lround(x * 256))) + "," +
         std::to_string(int(std::lround(hill(x) * 256)));
  }
  return d + " L256,256 Z";
}

std::string drawSvg() {
  std::string s =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
      "viewBox=\"0 0 256 256\">\n  <defs>\n";
  s += "    <linearGradient id=\"sky\" x1=\"0\" y1=\"" + std::to_string(int(0.05 * 256)) +
       "\" x2=\"0\" y2=\"" + std::to_string(int(0.65 * 256)) +
       "\" gradientUnits=\"userSpaceOnUse\">\n      <stop offset=\"0\" stop-color=\"" +
       hex(kSkyTop) + "\"/>\n      <stop offset=\"1\" stop-color=\"" + hex(kSkyLow) +
       "\"/>\n    </linearGradient>\n";
  s += pieceMask("piece", 0) + pieceMask("outline", kOutline) + "  </defs>\n";
  s +=
      "  <rect width=\"256\" height=\"256\" fill=\"" + hex(kEdge) + "\" mask=\"url(#outline)\"/>\n";
  s += "  <g mask=\"url(#piece)\">\n    <rect width=\"256\" height=\"256\" fill=\"url(#sky)\"/>\n";
  s += "    <circle cx=\"" + number(kSunX * 256) + "\" cy=\"" + number(kSunY * 256) + "\" r=\"" +
       number(kSunR * 256) + "\" fill=\"" + hex(kSun) + "\"/>\n";
  s += "    <path d=\"" + hillPath(farHill) + "\" fill=\"" + hex(kHill) + "\"/>\n";
  s += "    <path d=\"" + hillPath(nearHill) + "\" fill=\"" + hex(kNearHill) + "\"/>\n  </g>\n";
  return s + "</svg>\n";
}

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args) || args.size() != 1) {
    std::fputs(
        "usage: duduri-pack icon DIR\n\n"
        "Draws the program's icon into DIR as a hicolor icon theme folder:\n"
        "DIR/NxN/apps/duduri.png for N = 48, 64, 128 and 256, and\n"
        "DIR/scalable/apps/duduri.svg.\n",
        args.size() == 1 ? stdout : stderr);
    return args.size() == 1 ? 0 : 2;
  }
  const fs::path dir = args[0];
  for (int size : kSizes) {
    const fs::path folder = dir / (std::to_string(size) + "x" + std::to_string(size)) / "apps";
    fs::create_directories(folder);
    WritePng(drawIcon(size), folder / "duduri.png");
  }
  const fs::path scalable = dir / "scalable" / "apps";
  fs::create_directories(scalable);
  const std::string svg = drawSvg();
  WriteFileAtomically(scalable / "duduri.svg",
                      std::span(reinterpret_cast<const std::byte*>(svg.data()), svg.size()));
  return 0;
}

}  // namespace

DUDURI_SUBCOMMAND(icon, "icon", "draw the program's icon as PNG and SVG files", run);

}  // namespace duduri::pack
