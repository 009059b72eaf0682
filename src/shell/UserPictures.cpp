// Reading the user's own pictures: the core's readers for JPEG and BMP, the
// window's decoder for the rest, then the EXIF turn and the white backing.

#include "shell/UserPictures.h"

#include <system_error>

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Exif.h"

namespace duduri {

namespace {

// Photographs are re-encoded only when they must be; then at a quality
// that keeps a camera picture's detail.
constexpr int kCarriedJpegQuality = 92;

[[noreturn]] void failFor(const std::string& name, const std::string& reason) {
  throw EPictureError("Cannot open \"" + name + "\": " + reason);
}

// Transparent and half-transparent pixels over white, alpha 255 after.
void layOnWhite(TPicture& picture) {
  if (picture.BitsPerPixel != 32) return;
  for (TColor32& p : picture.Pixels) {
    const unsigned a = AlphaComponent(p);
    auto over = [a](unsigned c) { return std::uint8_t((c * a + 255 * (255 - a) + 127) / 255); };
    p = Color32(over(RedComponent(p)), over(GreenComponent(p)), over(BlueComponent(p)));
  }
  picture.BitsPerPixel = 24;
  picture.Transparent = false;
}

TBytes encodeJpeg(const TPicture& picture) {
  TBitmap32 bitmap;
  bitmap.Assign(picture);
  return EncodeJpeg(bitmap, kCarriedJpegQuality);
}

TBytes readFor(const std::filesystem::path& file) {
  const std::string name = file.filename().string();
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) failFor(name, "it is a folder, not a picture.");
  if (!std::filesystem::exists(file, ec)) failFor(name, "there is no such file.");
  try {
    return ReadFileBytes(file);
  } catch (const EPictureError& e) {
    failFor(name, e.what());
  }
}

}  // namespace

bool LooksLikePicture(std::span<const std::byte> data) {
  return DetectPictureFormat(data) != TPictureFormat::pfUnknown;
}

TPicture DecodeUserPicture(std::span<const std::byte> data, const std::string& name,
                           const TPictureDecoder& decoder) {
  if (data.empty()) failFor(name, "the file is empty.");
  const TPictureFormat format = DetectPictureFormat(data);
  TPicture picture;
  try {
    if (format == TPictureFormat::pfJPEG || format == TPictureFormat::pfBMP) {
      picture = DecodePicture(data);
    } else if (format == TPictureFormat::pfUnknown) {
      failFor(name,
              "it is not a picture of a kind the player knows (JPEG, BMP, PNG, GIF or "
              "WebP).");
    } else if (!decoder) {
      failFor(name, "only JPEG and BMP pictures can be read here.");
    } else {
      picture = decoder(data);
    }
  } catch (const EPictureError& e) {
    const std::string what = e.what();
    if (what.rfind("Cannot open \"", 0) == 0) throw;
    failFor(name, what);
  } catch (const EDuduriError& e) {
    failFor(name, e.what());
  }
  // A decoder is outside code: its size must obey the same bounds.
  CheckPictureSize(picture.Width, picture.Height, "Decoded");
  if (picture.Pixels.size() != std::size_t(picture.Width) * std::size_t(picture.Height)) {
    failFor(name, "the picture decoded to the wrong number of pixels.");
  }
  layOnWhite(picture);
  const TExifOrientation orientation = ReadExifOrientation(data);
  if (orientation == eoUpright) return picture;
  return OrientPicture(picture, orientation);
}

TPicture LoadUserPicture(const std::filesystem::path& file, const TPictureDecoder& decoder) {
  const TBytes bytes = readFor(file);
  return DecodeUserPicture(bytes, file.filename().string(), decoder);
}

TBytes UserPictureAsJpeg(const std::filesystem::path& file, const TPictureDecoder& decoder) {
  TBytes bytes = readFor(file);
  const std::string name = file.filename().string();
  if (DetectPictureFormat(bytes) == TPictureFormat::pfJPEG &&
      ReadExifOrientation(bytes) == eoUpright) {
    // Decoded once, so that a damaged file is refused now and not when it
    // is played.
    DecodeUserPicture(bytes, name, decoder);
    return bytes;
  }
  return encodeJpeg(DecodeUserPicture(bytes, name, decoder));
}

std::vector<TCarriedPicture> CarryPictures(std::span<const std::filesystem::path> files,
                                           const TPictureDecoder& decoder) {
  std::vector<TCarriedPicture> carried;
  for (const std::filesystem::path& file : files) {
    const TBytes bytes = readFor(file);
    const TPicture picture = DecodeUserPicture(bytes, file.filename().string(), decoder);
    const TPictureFormat format = DetectPictureFormat(bytes);
    if (format == TPictureFormat::pfBMP) {
      // As the bitmap was stored, its fourth byte of alpha included; the
      // decode above has already refused a damaged file.
      const TPicture stored = DecodeBmp(bytes);
      TBitmap32 bitmap;
      bitmap.Assign(stored);
      carried.push_back({ifBMP, EncodeBmp(bitmap, stored.BitsPerPixel == 32 ? 32 : 24)});
    } else if (format == TPictureFormat::pfJPEG && ReadExifOrientation(bytes) == eoUpright) {
      carried.push_back({ifJPEG, bytes});
    } else {
      carried.push_back({ifJPEG, encodeJpeg(picture)});
    }
  }
  return carried;
}

}  // namespace duduri
