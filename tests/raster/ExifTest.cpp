// EXIF orientation: found in each container that carries it, read in both
// byte orders, damaged blocks taken as upright, and the eight turns.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Exif.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

using Bytes = std::vector<std::byte>;

void append(Bytes& out, const std::string& text) {
  for (char c : text) out.push_back(std::byte(static_cast<unsigned char>(c)));
}
void appendBE(Bytes& out, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) out.push_back(std::byte((v >> (8 * i)) & 0xFF));
}
void appendLE(Bytes& out, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(std::byte((v >> (8 * i)) & 0xFF));
}

// A TIFF structure whose first directory holds `entries` (tag, type, count,
// value) with the orientation among them.
Bytes tiff(bool little, std::vector<std::array<std::uint32_t, 4>> entries) {
  Bytes t;
  auto put = [&](std::uint32_t v, int n) { little ? appendLE(t, v, n) : appendBE(t, v, n); };
  append(t, little ? std::string("II*\0", 4) : std::string("MM\0*", 4));
  put(8, 4);
  put(std::uint32_t(entries.size()), 2);
  for (const auto& e : entries) {
    put(e[0], 2);
    put(e[1], 2);
    put(e[2], 4);
    put(e[3], 2);  // a SHORT sits in the first two bytes of the value field
    put(0, 2);
  }
  put(0, 4);
  return t;
}

Bytes orientationTiff(std::uint32_t value, bool little = true) {
  // A resolution entry before it, as cameras write.
  return tiff(little, {{0x011A, 5, 1, 0}, {0x0112, 3, 1, value}});
}

// A JPEG file made by the encoder with an APP1 Exif segment after SOI (and,
// optionally, an APP0 before it).
Bytes jpegWithExif(const Bytes& tiffData, bool app0First = true) {
  TBitmap32 bitmap;
  bitmap.SetSize(4, 2);
  bitmap.Clear(0xFF336699);
  const Bytes jpeg = EncodeJpeg(bitmap);
  Bytes out(jpeg.begin(), jpeg.begin() + 2);
  if (app0First) {
    appendBE(out, 0xFFE0, 2);
    appendBE(out, 7, 2);
    append(out, std::string("JFIF\0", 5));
  }
  appendBE(out, 0xFFE1, 2);
  appendBE(out, std::uint32_t(2 + 6 + tiffData.size()), 2);
  append(out, std::string("Exif\0\0", 6));
  out.insert(out.end(), tiffData.begin(), tiffData.end());
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

TEST(ExifOrientation, FoundInJpegPngAndWebpInBothByteOrders) {
  for (bool little : {true, false}) {
    for (std::uint32_t value = 1; value <= 8; ++value) {
      EXPECT_EQ(ReadExifOrientation(jpegWithExif(orientationTiff(value, little))), int(value));
    }
  }
  // The JPEG still decodes with the segment in it.
  EXPECT_EQ(DecodeJpeg(jpegWithExif(orientationTiff(6))).Width, 4);

  Bytes png;
  append(png, "\x89PNG\r\n\x1a\n");
  appendBE(png, 13, 4);
  append(png, "IHDR");
  png.resize(png.size() + 13 + 4);  // header fields and CRC: not looked at
  const Bytes t = orientationTiff(8, false);
  appendBE(png, std::uint32_t(t.size()), 4);
  append(png, "eXIf");
  png.insert(png.end(), t.begin(), t.end());
  appendBE(png, 0, 4);
  EXPECT_EQ(ReadExifOrientation(png), eoTurnedRight);

  Bytes webp;
  append(webp, "RIFF");
  appendLE(webp, 0, 4);
  append(webp, "WEBP");
  append(webp, "VP8X");
  appendLE(webp, 9, 4);  // an odd size: one byte of padding follows
  webp.resize(webp.size() + 10);
  Bytes exif;
  append(exif, std::string("Exif\0\0", 6));  // some writers keep the prefix
  const Bytes t3 = orientationTiff(3);
  exif.insert(exif.end(), t3.begin(), t3.end());
  append(webp, "EXIF");
  appendLE(webp, std::uint32_t(exif.size()), 4);
  webp.insert(webp.end(), exif.begin(), exif.end());
  EXPECT_EQ(ReadExifOrientation(webp), eoUpsideDown);
}

TEST(ExifOrientation, MissingOrDamagedDataMeansUpright) {
  TBitmap32 bitmap;
  bitmap.SetSize(2, 2);
  EXPECT_EQ(ReadExifOrientation(EncodeJpeg(bitmap)), eoUpright);  // no EXIF at all
  EXPECT_EQ(ReadExifOrientation(EncodeBmp(bitmap)), eoUpright);
  EXPECT_EQ(ReadExifOrientation({}), eoUpright);

  EXPECT_EQ(ReadExifOrientation(jpegWithExif(orientationTiff(0))), eoUpright);
  EXPECT_EQ(ReadExifOrientation(jpegWithExif(orientationTiff(9))), eoUpright);
  // The tag with the wrong type or count is not believed.
  EXPECT_EQ(ReadExifOrientation(jpegWithExif(tiff(true, {{0x0112, 4, 1, 6}}))), eoUpright);
  EXPECT_EQ(ReadExifOrientation(jpegWithExif(tiff(true, {{0x0112, 3, 2, 6}}))), eoUpright);

  Bytes t = orientationTiff(6);
  t[4] = std::byte(0xF0);  // first directory far past the end
  EXPECT_EQ(ReadTiffOrientation(t), eoUpright);
  t = orientationTiff(6);
  t[8] = std::byte(0xFF);  // more entries than the block holds
  EXPECT_EQ(ReadTiffOrientation(t), eoUpright);
  t = orientationTiff(6);
  t.resize(t.size() - 10);  // the orientation entry cut in half
  EXPECT_EQ(ReadTiffOrientation(t), eoUpright);

  // A JPEG whose Exif segment claims more bytes than the file has.
  Bytes cut = jpegWithExif(orientationTiff(6), false);
  cut.resize(30);
  EXPECT_EQ(ReadExifOrientation(cut), eoUpright);
  Bytes lying = jpegWithExif(orientationTiff(6), false);
  lying[4] = std::byte(0xFF);
  lying[5] = std::byte(0xFF);
  EXPECT_EQ(ReadExifOrientation(lying), eoUpright);
}

TEST(ExifOrientation, EachOrientationTurnsTheStoredRowsUpright) {
  // Stored 3 x 2:  a b c / d e f.
  TPicture stored;
  stored.Width = 3, stored.Height = 2;
  stored.Pixels = {'a', 'b', 'c', 'd', 'e', 'f'};
  struct Case {
    TExifOrientation orientation;
    int width;
    std::vector<TColor32> upright;
  };
  const Case cases[] = {
      {eoUpright, 3, {'a', 'b', 'c', 'd', 'e', 'f'}},
      {eoMirrored, 3, {'c', 'b', 'a', 'f', 'e', 'd'}},
      {eoUpsideDown, 3, {'f', 'e', 'd', 'c', 'b', 'a'}},
      {eoMirroredFlipped, 3, {'d', 'e', 'f', 'a', 'b', 'c'}},
      {eoTransposed, 2, {'a', 'd', 'b', 'e', 'c', 'f'}},
      // A phone held upright: the stored top row is the picture's right side.
      {eoTurnedLeft, 2, {'d', 'a', 'e', 'b', 'f', 'c'}},
      {eoTransverse, 2, {'f', 'c', 'e', 'b', 'd', 'a'}},
      {eoTurnedRight, 2, {'c', 'f', 'b', 'e', 'a', 'd'}},
  };
  for (const Case& c : cases) {
    const TPicture out = OrientPicture(stored, c.orientation);
    EXPECT_EQ(out.Width, c.width) << int(c.orientation);
    EXPECT_EQ(out.Height, 6 / c.width) << int(c.orientation);
    EXPECT_EQ(out.Pixels, c.upright) << int(c.orientation);
  }
}

}  // namespace
}  // namespace duduri
