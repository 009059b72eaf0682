#pragma once
// PNG output for the command-line tools (the core itself writes only JPEG
// and BMP). Pixels keep their alpha, so sprites and shadows can be looked at
// as they are.

#include <filesystem>

#include "raster/Bitmap32.h"

namespace duduri {

// Writes the surface as an 8-bit RGBA PNG through a temporary file and a
// rename. Throws EPictureError for an empty surface or when writing fails.
void WritePng(const TBitmap32& bitmap, const std::filesystem::path& path);

}  // namespace duduri
