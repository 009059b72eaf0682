#pragma once
// The writer of new puzzle executables: a copy of the running player with a
// project package and the user's pictures appended.
//
// Written file, in order: the player image (O bytes), the project package
// (P bytes), u32 P, u32 O, u32 250577, the extra-images block (N bytes),
// u32 N, u32 100100. When the project has an icon and the player is a
// portable executable, the player's icon 1 is then overwritten with the
// project icon's image of the same byte size. A Linux player is an ELF file
// without icon resources; there the icon step is skipped.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "project/Overlay.h"
#include "shell/ExtraImages.h"
#include "shell/UserPictures.h"

namespace duduri {

class TJigsawProject2;

// What a picture file becomes by its extension (lower-cased): ".bmp" a
// bitmap, ".jpg" a JPEG; any other kind is not carried.
std::optional<TImageFormat> ExtraImageFormatOf(const std::filesystem::path& file);

// The extra-images block for `pictureFiles`, followed by N and 100100. Each
// ".bmp" or ".jpg" file becomes one itPicture record with a fresh id 1..65535
// from the project's random source, used neither by the project nor by the
// files before it. Bitmaps are decoded and written again as a complete 24- or
// 32-bit bitmap file; JPEG files are checked by decoding and copied
// unchanged; other files add nothing. Throws the picture readers' errors.
std::vector<std::byte> BuildExtraImagesBlock(std::span<const std::filesystem::path> pictureFiles,
                                             std::span<const std::int32_t> projectPictureIds);

// The same block for pictures already in the form a record carries (see
// CarryPictures, which also takes pictures of other kinds, stored as JPEG).
std::vector<std::byte> BuildCarriedImagesBlock(std::span<const TCarriedPicture> pictures,
                                               std::span<const std::int32_t> projectPictureIds);

// The part of an executable before its appended data: the first O bytes
// when it ends with a project trailer (after an extra-images block or not)
// that holds together (see FindOverlay), else the whole file.
std::span<const std::byte> PlayerImageOf(std::span<const std::byte> executable);

// Player image, package, trailer and the block (which already ends with N
// and the outer magic). Throws EDuduriError when a part is too large for
// the trailer's 32-bit fields.
std::vector<std::byte> ComposeExecutable(std::span<const std::byte> playerImage,
                                         std::span<const std::byte> package,
                                         std::span<const std::byte> extraImagesBlock);

// What the writer takes from the project.
struct TExeProjectInfo {
  std::vector<std::int32_t> PictureIds;  // ids of every project picture
  std::vector<std::byte> Icon;           // icon file; empty when the project has none
};
TExeProjectInfo ExeProjectInfoOf(const TJigsawProject2& project);

// Builds the block, reads the player image of `runningExecutable`, and
// writes `outputFile` through a temporary file (an existing file is
// replaced only once the new one is complete), with the execute permission
// bits set wherever the read bits are. Then replaces the icon: when that
// fails, the file has been written without it and EResourceError is thrown.
// Picture and file errors propagate before anything is written.
void WriteExecutable(std::span<const std::byte> package, const TExeProjectInfo& project,
                     std::span<const std::filesystem::path> pictureFiles,
                     const std::filesystem::path& outputFile,
                     const std::filesystem::path& runningExecutable);
void WriteExecutable(std::span<const std::byte> package, const TJigsawProject2& project,
                     std::span<const std::filesystem::path> pictureFiles,
                     const std::filesystem::path& outputFile,
                     const std::filesystem::path& runningExecutable);
// As above with the pictures already converted (CarryPictures).
void WriteExecutableCarrying(std::span<const std::byte> package, const TExeProjectInfo& project,
                             std::span<const TCarriedPicture> pictures,
                             const std::filesystem::path& outputFile,
                             const std::filesystem::path& runningExecutable);

}  // namespace duduri
