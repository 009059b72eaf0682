// JPEG: round trips through the encoder, the colour spaces and progressive
// files that other writers produce (made here with libjpeg itself), and
// damaged or hostile files that must fail with a clear error.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
// clang-format off
#include <jpeglib.h>
// clang-format on

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

struct JpegRecipe {
  int width = 8;
  int height = 8;
  J_COLOR_SPACE input = JCS_RGB;
  int components = 3;
  J_COLOR_SPACE stored = JCS_UNKNOWN;  // JCS_UNKNOWN: libjpeg's default for the input
  bool adobeMarker = true;             // only looked at for CMYK and YCCK
  bool progressive = false;
  std::vector<jpeg_scan_info> scans;  // a custom scan script when not empty
  int quality = 95;
};

// Writes `samples` (width * height * components bytes) as a JPEG file.
std::vector<std::byte> makeJpeg(const JpegRecipe& recipe, const std::vector<std::uint8_t>& samples) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr err{};
  cinfo.err = jpeg_std_error(&err);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = JDIMENSION(recipe.width);
  cinfo.image_height = JDIMENSION(recipe.height);
  cinfo.input_components = recipe.components;
  cinfo.in_color_space = recipe.input;
  jpeg_set_defaults(&cinfo);
  if (recipe.stored != JCS_UNKNOWN) jpeg_set_colorspace(&cinfo, recipe.stored);
  if (recipe.stored == JCS_CMYK || recipe.stored == JCS_YCCK) {
    cinfo.write_Adobe_marker = recipe.adobeMarker ? TRUE : FALSE;
  }
  jpeg_set_quality(&cinfo, recipe.quality, TRUE);
  if (recipe.progressive) jpeg_simple_progression(&cinfo);
  if (!recipe.scans.empty()) {
    cinfo.scan_info = recipe.scans.data();
    cinfo.num_scans = int(recipe.scans.size());
  }
  jpeg_start_compress(&cinfo, TRUE);
  const std::size_t stride = std::size_t(recipe.width) * std::size_t(recipe.components);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * stride);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::vector<std::byte> out(reinterpret_cast<std::byte*>(buffer),
                             reinterpret_cast<std::byte*>(buffer) + size);
  std::free(buffer);
  return out;
}

// A smooth picture: JPEG keeps it close, so comparisons can be tight.
TBitmap32 gradient(std::int32_t w, std::int32_t h) {
  TBitmap32 bitmap;
  bitmap.SetSize(w, h);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      bitmap.Bits()[y * w + x] =
          Color32(std::uint8_t(40 + x * 150 / std::max(w, 32)),
                  std::uint8_t(60 + y * 120 / std::max(h, 32)),
                  std::uint8_t(200 - (x + y) * 100 / std::max(w + h, 64)), 7);
    }
  }
  return bitmap;
}

int channelDistance(TColor32 a, TColor32 b) {
  int worst = 0;
  for (int shift : {0, 8, 16, 24}) {
    worst = std::max(worst, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
  }
  return worst;
}

void expectInvalidJpeg(std::span<const std::byte> bytes, const std::string& fragment = "") {
  try {
    DecodeJpeg(bytes);
    FAIL() << "decoded a file that should fail";
  } catch (const EPictureError& e) {
    EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

TEST(Jpeg, RoundTripsOddSizesOpaque) {
  for (auto [w, h] : {std::pair{1, 1}, {3, 5}, {17, 13}, {16, 16}, {1, 40}, {65, 2}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    const TBitmap32 source = gradient(w, h);
    const std::vector<std::byte> file = EncodeJpeg(source, 95);
    EXPECT_EQ(DetectPictureFormat(file), TPictureFormat::pfJPEG);
    EXPECT_EQ(ReadPictureSize(file).Width, w);
    EXPECT_EQ(ReadPictureSize(file).Height, h);
    const TPicture p = DecodeJpeg(file);
    ASSERT_EQ(p.Width, w);
    ASSERT_EQ(p.Height, h);
    EXPECT_EQ(p.Format, TPictureFormat::pfJPEG);
    ASSERT_EQ(p.Pixels.size(), source.PixelCount());
    // A swapped channel or a flipped row would be far outside both bounds.
    int worst = 0;
    double total = 0;
    for (std::size_t i = 0; i < p.Pixels.size(); ++i) {
      EXPECT_EQ(AlphaComponent(p.Pixels[i]), 255);  // the source's alpha is not stored
      const int d = channelDistance(p.Pixels[i] | 0xFF000000, source.Bits()[i] | 0xFF000000);
      worst = std::max(worst, d);
      total += d;
    }
    EXPECT_LE(worst, 12);
    EXPECT_LE(total / double(p.Pixels.size()), 4.0);
  }
}

TEST(Jpeg, QualityIsClampedAndEmptyIsRefused) {
  const TBitmap32 source = gradient(8, 8);
  EXPECT_EQ(DecodeJpeg(EncodeJpeg(source, 0)).Width, 8);
  EXPECT_EQ(DecodeJpeg(EncodeJpeg(source, 1000)).Width, 8);
  EXPECT_LT(EncodeJpeg(source, 5).size(), EncodeJpeg(source, 100).size());
  TBitmap32 empty;
  EXPECT_THROW(EncodeJpeg(empty), EPictureError);
}

TEST(Jpeg, GrayscaleGivesEqualChannels) {
  JpegRecipe recipe;
  recipe.width = 5, recipe.height = 3, recipe.input = JCS_GRAYSCALE, recipe.components = 1;
  recipe.quality = 100;
  std::vector<std::uint8_t> samples(15, 180);
  const TPicture p = DecodeJpeg(makeJpeg(recipe, samples));
  ASSERT_EQ(p.Pixels.size(), 15u);
  for (TColor32 c : p.Pixels) EXPECT_LE(channelDistance(c, Color32(180, 180, 180)), 1);
}

TEST(Jpeg, CmykPlainAdobeInvertedAndYcck) {
  // Cyan plus a little black: red light is taken away, blue and green mostly kept.
  const std::uint8_t c = 255, m = 0, y = 0, k = 51;
  const TColor32 expected = Color32(0, 204, 204);
  JpegRecipe recipe;
  recipe.width = 9, recipe.height = 7, recipe.input = JCS_CMYK, recipe.components = 4;
  recipe.quality = 100;
  std::vector<std::uint8_t> plain, inverted;
  for (int i = 0; i < 63; ++i) {
    plain.insert(plain.end(), {c, m, y, k});
    inverted.insert(inverted.end(), {std::uint8_t(255 - c), std::uint8_t(255 - m),
                                     std::uint8_t(255 - y), std::uint8_t(255 - k)});
  }
  recipe.stored = JCS_CMYK;
  recipe.adobeMarker = false;
  for (TColor32 px : DecodeJpeg(makeJpeg(recipe, plain)).Pixels) {
    EXPECT_LE(channelDistance(px, expected), 2);
  }
  recipe.adobeMarker = true;  // Adobe's applications store the inks inverted
  for (TColor32 px : DecodeJpeg(makeJpeg(recipe, inverted)).Pixels) {
    EXPECT_LE(channelDistance(px, expected), 2);
  }
  recipe.stored = JCS_YCCK;
  for (TColor32 px : DecodeJpeg(makeJpeg(recipe, inverted)).Pixels) {
    EXPECT_LE(channelDistance(px, expected), 3);
  }
}

std::vector<std::uint8_t> rgbSamples(int w, int h) {
  std::vector<std::uint8_t> s;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      s.insert(s.end(), {std::uint8_t(x * 255 / w), std::uint8_t(y * 255 / h), 128});
    }
  }
  return s;
}

TEST(Jpeg, ProgressiveDecodesLikeBaseline) {
  JpegRecipe recipe;
  recipe.width = 37, recipe.height = 21;
  const std::vector<std::uint8_t> samples = rgbSamples(recipe.width, recipe.height);
  const TPicture baseline = DecodeJpeg(makeJpeg(recipe, samples));
  recipe.progressive = true;
  const TPicture progressive = DecodeJpeg(makeJpeg(recipe, samples));
  ASSERT_EQ(progressive.Pixels.size(), baseline.Pixels.size());
  for (std::size_t i = 0; i < baseline.Pixels.size(); ++i) {
    ASSERT_LE(channelDistance(progressive.Pixels[i], baseline.Pixels[i]), 1) << i;
  }
}

TEST(Jpeg, TruncatedFilesFailWhereverTheyAreCut) {
  JpegRecipe recipe;
  recipe.width = 40, recipe.height = 40;
  const std::vector<std::uint8_t> samples = rgbSamples(40, 40);
  for (bool progressive : {false, true}) {
    recipe.progressive = progressive;
    const std::vector<std::byte> whole = makeJpeg(recipe, samples);
    ASSERT_NO_THROW(DecodeJpeg(whole));
    for (std::size_t cut = 0; cut + 1 < whole.size(); cut += 1 + cut / 8) {
      SCOPED_TRACE(std::to_string(cut) + (progressive ? " progressive" : " baseline"));
      expectInvalidJpeg(std::span(whole).first(cut));
    }
    expectInvalidJpeg(std::span(whole).first(whole.size() - 2));  // only the end marker gone
  }
}

TEST(Jpeg, SizeIsReadFromTheHeaderAlone) {
  JpegRecipe recipe;
  recipe.width = 30, recipe.height = 20;
  const std::vector<std::byte> whole = makeJpeg(recipe, rgbSamples(30, 20));
  // Cut just after the start-of-scan header: the frame is known, no pixel is.
  std::size_t sos = 2;
  while (sos + 1 < whole.size() &&
         !(whole[sos] == std::byte(0xFF) && whole[sos + 1] == std::byte(0xDA))) {
    ++sos;
  }
  ASSERT_LT(sos + 16, whole.size());
  const auto head = std::span(whole).first(sos + 16);
  const TPictureSize size = ReadPictureSize(head);
  EXPECT_EQ(size.Width, 30);
  EXPECT_EQ(size.Height, 20);
  expectInvalidJpeg(head);
  EXPECT_THROW(ReadPictureSize(std::span(whole).first(20)), EPictureError);
}

// Finds the start-of-frame segment and rewrites the size it claims.
std::vector<std::byte> withClaimedSize(std::vector<std::byte> file, std::uint16_t w,
                                       std::uint16_t h) {
  for (std::size_t i = 2; i + 9 < file.size(); ++i) {
    const unsigned marker = std::to_integer<unsigned>(file[i + 1]);
    if (file[i] == std::byte(0xFF) && (marker == 0xC0 || marker == 0xC2)) {
      file[i + 5] = std::byte(h >> 8), file[i + 6] = std::byte(h & 0xFF);
      file[i + 7] = std::byte(w >> 8), file[i + 8] = std::byte(w & 0xFF);
      return file;
    }
  }
  ADD_FAILURE() << "no frame header";
  return file;
}

TEST(Jpeg, OversizedAndMemoryHungryHeadersAreRefused) {
  JpegRecipe recipe;
  const std::vector<std::byte> small = makeJpeg(recipe, rgbSamples(8, 8));
  expectInvalidJpeg(withClaimedSize(small, 20000, 20000), "too large");
  expectInvalidJpeg(withClaimedSize(small, 65000, 16), "too large");
  EXPECT_EQ(ReadPictureSize(withClaimedSize(small, 20000, 30000)).Height, 30000);
  expectInvalidJpeg(withClaimedSize(small, 0, 8));

  // A progressive file keeps every coefficient of the picture in memory:
  // about 770 MB for 16000 x 16000, claimed by a file of a few hundred bytes.
  recipe.progressive = true;
  const std::vector<std::byte> progressive = makeJpeg(recipe, rgbSamples(8, 8));
  expectInvalidJpeg(withClaimedSize(progressive, 16000, 16000), "store");
}

TEST(Jpeg, TooManyScansAreRefused) {
  // A valid but absurd progression: 63 single-coefficient bands, each sent
  // in nine successive-approximation steps.
  JpegRecipe recipe;
  recipe.input = JCS_GRAYSCALE, recipe.components = 1;
  recipe.scans.push_back(jpeg_scan_info{1, {0}, 0, 0, 0, 0});
  for (int k = 1; k < 64; ++k) {
    recipe.scans.push_back(jpeg_scan_info{1, {0}, k, k, 0, 8});
    for (int al = 7; al >= 0; --al) recipe.scans.push_back(jpeg_scan_info{1, {0}, k, k, al + 1, al});
  }
  ASSERT_GT(recipe.scans.size(), 500u);
  expectInvalidJpeg(makeJpeg(recipe, std::vector<std::uint8_t>(64, 99)), "scans");
  recipe.scans.resize(1 + 9 * 20);  // the first twenty bands: still a usable picture
  EXPECT_EQ(DecodeJpeg(makeJpeg(recipe, std::vector<std::uint8_t>(64, 99))).Width, 8);
}

TEST(Jpeg, CorruptBytesNeverCrash) {
  JpegRecipe recipe;
  recipe.width = 24, recipe.height = 24;
  for (bool progressive : {false, true}) {
    recipe.progressive = progressive;
    const std::vector<std::byte> whole = makeJpeg(recipe, rgbSamples(24, 24));
    int failures = 0;
    for (std::size_t i = 2; i < whole.size(); i += 3) {
      for (unsigned flip : {0x01u, 0x80u, 0xFFu}) {
        std::vector<std::byte> damaged = whole;
        damaged[i] ^= std::byte(flip);
        try {
          const TPicture p = DecodeJpeg(damaged);
          EXPECT_EQ(p.Pixels.size(), std::size_t(p.Width) * std::size_t(p.Height));
        } catch (const EPictureError&) {
          ++failures;
        }
      }
    }
    EXPECT_GT(failures, 0);
  }
}

}  // namespace
}  // namespace duduri
