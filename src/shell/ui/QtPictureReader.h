#pragma once
// The pictures the core has no reader for (PNG, GIF, WebP and whatever other
// image plugins are installed), decoded through Qt's image readers. No Qt
// type appears here, so duduri-pack can use it too; it needs no
// QGuiApplication.
//
// The size is checked against the core's bounds before any pixel is
// decoded, EXIF orientation is left to the core (the picture comes back as
// stored), and failures are EPictureError whose message names the format.

#include <cstddef>
#include <span>

#include "raster/Picture.h"

namespace duduri {

TPicture DecodeWithQt(std::span<const std::byte> data);

}  // namespace duduri
