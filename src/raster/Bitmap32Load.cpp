// Loading a picture file into a surface. Kept apart from Bitmap32.cpp so that
// code which never loads files does not pull in the picture readers.

#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

void TBitmap32::LoadFromFile(const std::filesystem::path& path) {
  // Decoded in full before the surface is touched: a file that fails to load
  // leaves the surface as it was.
  const TPicture picture = LoadPictureFile(path);
  Assign(picture);
}

}  // namespace duduri
