#include "pieces/EdgeShape.h"

#include <algorithm>
#include <cmath>

namespace duduri {

std::uint64_t TShapeRandom::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double TShapeRandom::Uniform(double lo, double hi) {
  const double unit = double(Next() >> 11) * 0x1.0p-53;
  return lo + (hi - lo) * unit;
}

TKnobShape RandomKnobShape(TShapeRandom& random) {
  TKnobShape s;
  s.Position = random.Uniform(-0.05, 0.05);
  s.Size = random.Uniform(kKnobSizeMin, kKnobSizeMax);
  s.Lift = random.Uniform(-kKnobLiftMax, kKnobLiftMax);
  s.NeckSkew = random.Uniform(-0.02, 0.02);
  s.Tilt = random.Uniform(-0.1, 0.1);
  s.WaveStart = random.Uniform(-0.025, 0.025);
  s.WaveEnd = random.Uniform(-0.025, 0.025);
  s.TabUp = random.Coin();
  return s;
}

namespace {

struct TUV {
  double U = 0;
  double V = 0;
};

TUV bezier(const TUV& p0, const TUV& p1, const TUV& p2, const TUV& p3, double t) {
  const double a = (1 - t) * (1 - t) * (1 - t);
  const double b = 3 * (1 - t) * (1 - t) * t;
  const double c = 3 * (1 - t) * t * t;
  const double d = t * t * t;
  return {a * p0.U + b * p1.U + c * p2.U + d * p3.U, a * p0.V + b * p1.V + c * p2.V + d * p3.V};
}

// A bump that is 1 in the middle of a segment and flat at both of its ends,
// so that adding it keeps the joints smooth.
double bump(double t) {
  return 16 * t * t * (1 - t) * (1 - t);
}

}  // namespace

std::vector<TPointF> EdgeOutline(const TKnobShape& shape, int length, int knobScale, int half,
                                 double straightEnd) {
  const double s = knobScale;
  const double len = length;
  const double z = straightEnd;
  const double uc = len / 2 + shape.Position * s;
  const double t = shape.Size * s;
  const double c = shape.Lift * s;
  const double d = shape.NeckSkew * s;

  // The knob as three cubic curves: shoulder into the neck, the head, and
  // the neck out to the other shoulder. v grows towards the upper side.
  const TUV p0{z, 0};
  const TUV p1{std::max(z, uc - 0.3 * s), 0};
  const TUV p2{uc + d, -t + c};
  const TUV p3{uc - t, t + c};
  const TUV p4{uc - 2 * t - d, 3 * t + c};
  const TUV p5{uc + 2 * t - d, 3 * t + c};
  const TUV p6{uc + t, t + c};
  const TUV p7{uc + d, -t + c};
  const TUV p8{std::min(len - z, uc + 0.3 * s), 0};
  const TUV p9{len - z, 0};

  const double sign = shape.TabUp ? 1.0 : -1.0;
  std::vector<TPointF> out;
  auto emit = [&](TUV q) {
    const double v = q.V * sign;
    out.push_back({q.U + shape.Tilt * v, double(half) - v});
  };
  emit({0, 0});
  // Enough samples for steps well below a tenth of a pixel at any size.
  const int steps = std::max(64, int(std::ceil(s * 4)));
  for (int i = 0; i <= steps; ++i) {
    const double tt = double(i) / steps;
    TUV q = bezier(p0, p1, p2, p3, tt);
    q.V += shape.WaveStart * s * bump(tt);
    emit(q);
  }
  for (int i = 1; i <= steps; ++i) emit(bezier(p3, p4, p5, p6, double(i) / steps));
  for (int i = 1; i <= steps; ++i) {
    const double tt = double(i) / steps;
    TUV q = bezier(p6, p7, p8, p9, tt);
    q.V += shape.WaveEnd * s * bump(tt);
    emit(q);
  }
  emit({len, 0});
  return out;
}

}  // namespace duduri
