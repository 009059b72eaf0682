#pragma once
// Picture files in the core: a decoded picture (what the platform's bitmap
// type is to the rest of the system) and the readers and writers for the
// formats a project carries. Readers take bytes from outside: every size is
// checked before anything is allocated, and every failure is an
// EPictureError whose message names the format.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "raster/Color32.h"

namespace duduri {

class TBitmap32;

// Pictures larger than this are refused before any pixel memory is taken.
inline constexpr std::int32_t kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t(1) << 28;

enum class TPictureFormat { pfUnknown, pfBMP, pfJPEG, pfPNG, pfGIF, pfWEBP };

// A decoded picture. Pixels are ARGB like TColor32; their alpha byte is
// meaningful only when BitsPerPixel is 32 (a 32-bit bitmap file's fourth
// byte) — for every other depth Assign gives alpha 255.
struct TPicture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  int BitsPerPixel = 24;
  std::vector<TColor32> Pixels;  // Width * Height, top row first
  bool Transparent = false;      // pixels whose RGB equals TransparentColor get alpha 0
  TColor32 TransparentColor = 0; // RGB only
  TPictureFormat Format = TPictureFormat::pfUnknown;
};

// Throws EPictureError when width or height is out of the bounds above.
void CheckPictureSize(std::int64_t width, std::int64_t height, const char* format);

// Takes the pixel block of a width x height picture, or throws EPictureError
// ("Not enough memory ...") when it cannot be had. `reserveOnly` leaves the
// vector empty with the capacity taken, for readers that fill it row by row.
void AllocatePicturePixels(std::vector<TColor32>& pixels, std::int32_t width,
                           std::int32_t height, const char* format, bool reserveOnly = false);

// Recognises a picture by its first bytes, whatever the file is called.
TPictureFormat DetectPictureFormat(std::span<const std::byte> data);

// Reads only the size from a JPEG or BMP header (no pixels are decoded).
struct TPictureSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};
TPictureSize ReadPictureSize(std::span<const std::byte> data);
TPictureSize ReadJpegSize(std::span<const std::byte> data);
TPictureSize ReadBmpSize(std::span<const std::byte> data);

TPicture DecodeJpeg(std::span<const std::byte> data);
// Decodes at eighths/8 of the picture's size (1..8; the decoder rounds the
// sides up), which costs a fraction of the whole when much less is wanted.
TPicture DecodeJpegScaled(std::span<const std::byte> data, int eighths);
TPicture DecodeBmp(std::span<const std::byte> data);
// Picks the decoder by content (JPEG or BMP).
TPicture DecodePicture(std::span<const std::byte> data);
TPicture LoadPictureFile(const std::filesystem::path& path);

// quality 1..100. Alpha is dropped (JPEG has none).
std::vector<std::byte> EncodeJpeg(const TBitmap32& bitmap, int quality = 90);
// bitsPerPixel 24 or 32; written bottom-up, BI_RGB.
std::vector<std::byte> EncodeBmp(const TBitmap32& bitmap, int bitsPerPixel = 24);

std::vector<std::byte> ReadFileBytes(const std::filesystem::path& path);
// Writes through a temporary file in the same folder and renames it over the
// target, so a failed write never leaves a partial file behind.
void WriteFileAtomically(const std::filesystem::path& path, std::span<const std::byte> data);

}  // namespace duduri
