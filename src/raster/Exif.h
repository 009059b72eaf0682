#pragma once
// The orientation a camera records in a picture's EXIF data (TIFF tag 0x0112),
// and turning a decoded picture so that it shows the way it was taken.
//
// A phone held upright stores its sensor's rows sideways and says so with
// orientation 6; a picture opened for play or carried into a project is
// turned once, at that moment. Pictures already inside a project are never
// turned again: they decode exactly as stored.
//
// The reader looks in a JPEG's APP1 "Exif" segment, a PNG's eXIf chunk and a
// WebP's EXIF chunk. It never throws: a missing, damaged or truncated EXIF
// block means orientation 1 (as stored), because a broken tag must not keep
// a photograph from being played. Every offset and count in the block is
// checked against the bytes that remain before it is followed.

#include <cstddef>
#include <span>

#include "raster/Picture.h"

namespace duduri {

// EXIF orientations 1 to 8: how the stored rows must be turned or mirrored.
enum TExifOrientation : int {
  eoUpright = 1,
  eoMirrored = 2,         // mirrored left to right
  eoUpsideDown = 3,       // a half turn
  eoMirroredFlipped = 4,  // mirrored top to bottom
  eoTransposed = 5,       // mirrored along the main diagonal
  eoTurnedLeft = 6,       // shows upright after a quarter turn clockwise
  eoTransverse = 7,       // mirrored along the other diagonal
  eoTurnedRight = 8,      // shows upright after a quarter turn anticlockwise
};

// The orientation of a picture file's bytes, eoUpright when it has none.
TExifOrientation ReadExifOrientation(std::span<const std::byte> file);

// The orientation of a TIFF structure (what follows "Exif\0\0"), eoUpright
// when it has none or is damaged.
TExifOrientation ReadTiffOrientation(std::span<const std::byte> tiff);

// The picture turned upright: for orientations 5 to 8 width and height swap.
// Everything but the pixels and the size is kept.
TPicture OrientPicture(const TPicture& picture, TExifOrientation orientation);

}  // namespace duduri
