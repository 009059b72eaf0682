#pragma once
// The geometry of one jigsaw edge: a classic knob (a round head on a
// narrower neck, flanked by gently curved shoulders) between two straight
// ends, as a polyline in the pixel frame of an edge strip.
//
// The strip frame: x runs along the edge from 0 to Length, y across it from
// 0 to 2 * Half, and the edge line is y = Half. The side below the line
// (y > Half) is the "lower" side: the lower piece of a horizontal edge, the
// right piece of a vertical one (whose strip is the template transposed).

#include <cstdint>
#include <vector>

namespace duduri {

struct TPointF {
  double X = 0;
  double Y = 0;
};

// Random variety of one knob. Lengths are in units of the knob scale (the
// shorter side of the piece cell).
struct TKnobShape {
  double Position = 0;   // knob centre's offset from the middle of the edge
  double Size = 0.095;   // neck height; the head rises to about 2.5 times this
  double Lift = 0;       // shift of the whole knob across the edge
  double NeckSkew = 0;   // asymmetry of the neck's inner control points
  double Tilt = 0;       // lean of the head along the edge (a shear)
  double WaveStart = 0;  // bulge of the shoulder before the knob
  double WaveEnd = 0;    // bulge of the shoulder after it
  bool TabUp = true;     // the knob belongs to the lower side and reaches into the upper one
};

// Deterministic generator for shapes (splitmix64), so that a seed gives the
// same template set on every platform.
class TShapeRandom {
 public:
  explicit TShapeRandom(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  double Uniform(double lo, double hi);  // in [lo, hi)
  bool Coin() { return (Next() >> 63) != 0; }

 private:
  std::uint64_t state_;
};

// Ranges of the random variety, in units of the knob scale.
inline constexpr double kKnobSizeMin = 0.085;
inline constexpr double kKnobSizeMax = 0.105;
inline constexpr double kKnobLiftMax = 0.015;
// The furthest a knob can reach from the edge line, in knob-scale units.
inline constexpr double kKnobReach = 2.5 * kKnobSizeMax + kKnobLiftMax;

TKnobShape RandomKnobShape(TShapeRandom& random);

// The edge as a polyline from (0, half) to (length, half). The first and last
// `straightEnd` pixels lie exactly on the edge line so that edges meet
// cleanly at the corners of a cell.
std::vector<TPointF> EdgeOutline(const TKnobShape& shape, int length, int knobScale, int half,
                                 double straightEnd);

}  // namespace duduri
