#pragma once
// The scenes `duduri-pack paint` can draw. Each fills the whole canvas,
// scales with its size and depends on nothing but the seed, so the bundled
// pictures can be made again exactly. They are busy on purpose: every part of
// a picture should look different, or jigsaw pieces cannot be told apart.

#include <cstdint>
#include <string_view>

#include "PaintCanvas.h"

namespace duduri::pack {

// A harbour town at sunset: sky, sun, clouds, houses with windows, a quay,
// a lighthouse, boats with sails and their reflections in a striped sea.
void paintHarbour(Canvas& canvas, std::uint64_t seed);
// Hills, mountains, fields, trees, a cottage, a path and a meadow of flowers.
void paintMeadow(Canvas& canvas, std::uint64_t seed);
// A stained-glass window: irregular coloured panes in lead, around a rosette.
void paintMosaic(Canvas& canvas, std::uint64_t seed);
// A castle tower on a cliff by the sea at dusk, best in portrait format.
void paintTower(Canvas& canvas, std::uint64_t seed);

// Draws `scene` and returns true, or returns false for an unknown name.
bool paintScene(std::string_view scene, Canvas& canvas, std::uint64_t seed);

}  // namespace duduri::pack
