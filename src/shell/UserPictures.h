#pragma once
// Picture files of the user's own: a photograph opened for play, dropped on
// the window, or carried into a project or a new executable.
//
// The core reads JPEG and BMP itself. Other kinds (PNG, GIF, WebP, and
// whatever else the toolkit's image readers know) are decoded by a
// TPictureDecoder that the window supplies, so the core stays free of the
// toolkit; without one they are refused with a message that says so.
//
// Every picture is turned upright by its EXIF orientation here, once, and a
// picture with transparency is laid on white (a jigsaw has no see-through
// parts, and JPEG keeps no alpha). Failures are EPictureError whose message
// names the file and the reason, ready for a message box.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <span>
#include <vector>

#include "project/ByteStream.h"
#include "raster/Picture.h"
#include "shell/ExtraImages.h"

namespace duduri {

// Decodes a picture the core has no reader for; throws EDuduriError (with a
// message naming the format) when it cannot.
using TPictureDecoder = std::function<TPicture(std::span<const std::byte>)>;

// True when the bytes start like a picture file of a kind the player can be
// asked to play (JPEG, BMP, PNG, GIF or WebP).
bool LooksLikePicture(std::span<const std::byte> data);

// Decodes the bytes of a picture file (`name` is used in messages), turned
// upright and opaque. Throws EPictureError.
TPicture DecodeUserPicture(std::span<const std::byte> data, const std::string& name,
                           const TPictureDecoder& decoder);

// Reads and decodes a picture file. A folder, a missing file, a file over
// the size bounds, a truncated or unknown picture: EPictureError naming the
// file and the reason.
TPicture LoadUserPicture(const std::filesystem::path& file, const TPictureDecoder& decoder);

// The picture as a project stores it: JPEG bytes. A JPEG that needs no turn
// is kept byte for byte; anything else is decoded, turned and encoded.
TBytes UserPictureAsJpeg(const std::filesystem::path& file, const TPictureDecoder& decoder);

// A picture as an extra-images record carries it (format and file bytes).
struct TCarriedPicture {
  TImageFormat Format = ifJPEG;
  TBytes Data;
};

// The picture files as a new executable carries them: a BMP stays a bitmap
// file (read and written again), a JPEG stays as it is unless its EXIF
// orientation asks for a turn, and any other picture the decoder reads is
// stored as JPEG, since the block carries only those two kinds. Throws
// EPictureError for a file that is no picture.
std::vector<TCarriedPicture> CarryPictures(std::span<const std::filesystem::path> files,
                                           const TPictureDecoder& decoder);

}  // namespace duduri
