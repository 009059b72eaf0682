#pragma once
// The process-wide pseudo-random source. Layouts, scatter positions and
// rotations all draw from this one generator so that a fixed seed reproduces
// a whole game; the values drawn are stored in saved games, the seed never is.
//
// The generator is xoshiro256** seeded through splitmix64; Random(n) reduces
// its output to 0..n-1 without modulo bias. Calls are serialised, so a worker
// thread drawing a number cannot corrupt the state.

#include <cstdint>

namespace duduri {

// A uniform integer in 0..n-1; 0 when n <= 0 (no value can be drawn then, and
// no state is consumed).
std::int32_t Random(std::int32_t n);

// Reseeds the generator from the clock (the sprite creator and the main
// window do this once each).
void Randomize();

// Reseeds the generator with a fixed value: the same seed gives the same
// sequence of Random results on every platform.
void RandSeed(std::uint64_t seed);

}  // namespace duduri
