#pragma once
// The executable overlay: a player executable carries its project package
// after its own image, found through a 12-byte trailer at the end of the
// file (i32 P, i32 O, i32 250577). An executable written with extra images
// has that block after the trailer, ending in its own length and the magic
// 100100; the trailer then ends where the block starts.
//
// A trailer whose numbers point outside the file means the executable has no
// project of its own; nothing here throws for a malformed file.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "project/ByteStream.h"

namespace duduri {

inline constexpr std::uint32_t kTrailerMagic = 250577;
inline constexpr std::uint32_t kExtraImagesMagic = 100100;
inline constexpr std::size_t kTrailerSize = 12;

struct TOverlayLayout {
  bool HasPackage = false;
  std::uint64_t PackageOffset = 0;  // O
  std::uint64_t PackageSize = 0;    // P
  bool HasExtraImages = false;
  std::uint64_t ExtraImagesOffset = 0;
  std::uint64_t ExtraImagesSize = 0;
  // The player's own part: the first O bytes with a package, else all.
  std::uint64_t PlayerImageSize = 0;
};

// Reads size bytes at offset into dest; returns false when it cannot.
using TReadAt = std::function<bool(std::uint64_t offset, std::size_t size, std::byte* dest)>;

TOverlayLayout FindOverlay(std::uint64_t fileSize, const TReadAt& readAt);
TOverlayLayout FindOverlay(TByteSpan file);
// Opens the file read-only and looks at its end; a file that cannot be
// opened has no overlay (PlayerImageSize 0).
TOverlayLayout FindOverlay(const std::filesystem::path& file);

// The package of an executable, or nothing when it carries none.
std::optional<TBytes> ReadOverlayPackage(const std::filesystem::path& file);
std::optional<TByteSpan> OverlayPackage(TByteSpan file);

// The running player's own file.
std::filesystem::path OwnExecutablePath();
// The running player's own package, or nothing.
std::optional<TBytes> ReadOwnPackage();

// Player image, then the package, then the trailer (P, O = image length,
// 250577). Throws when either part is too large for the trailer's fields.
TBytes BuildOverlayExecutable(TByteSpan playerImage, TByteSpan package);
// The player part of an executable file (without any appended data).
TBytes ReadPlayerImage(const std::filesystem::path& file);

}  // namespace duduri
