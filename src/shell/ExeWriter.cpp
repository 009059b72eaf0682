#include "shell/ExeWriter.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <limits>
#include <string>

#include "project/NewId.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"
#include "shell/PeResources.h"

namespace duduri {

namespace {

constexpr std::uint32_t kIconNameId = 1;

void AppendU16(std::vector<std::byte>& out, std::uint16_t value) {
  out.push_back(std::byte(value & 0xFF));
  out.push_back(std::byte(value >> 8));
}

void AppendU32(std::vector<std::byte>& out, std::uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(std::byte(value >> shift));
}

void PatchU32(std::vector<std::byte>& out, std::size_t at, std::uint32_t value) {
  for (int k = 0; k < 4; ++k) out[at + std::size_t(k)] = std::byte(value >> (8 * k));
}

std::uint32_t CheckedU32(std::size_t size, const char* what) {
  if (size > std::numeric_limits<std::uint32_t>::max()) {
    throw EDuduriError(std::string("The ") + what + " is too large for an executable.");
  }
  return std::uint32_t(size);
}

// The picture file as the record stores it: a bitmap is loaded and saved
// again as a complete bitmap file, a JPEG file is checked and kept as it is.
std::vector<std::byte> PictureData(const std::filesystem::path& file, TImageFormat format) {
  std::vector<std::byte> bytes = ReadFileBytes(file);
  if (format == ifJPEG) {
    DecodeJpeg(bytes);
    return bytes;
  }
  const TPicture picture = DecodeBmp(bytes);
  TBitmap32 bitmap;
  bitmap.Assign(picture);
  return EncodeBmp(bitmap, picture.BitsPerPixel == 32 ? 32 : 24);
}

// Execute permission wherever the file may be read, as for any program the
// user makes.
void MakeExecutable(const std::filesystem::path& file) {
  struct stat info {};
  if (::stat(file.c_str(), &info) != 0) {
    throw EDuduriError("Cannot make \"" + file.string() + "\" executable.");
  }
  const mode_t mode = info.st_mode & 07777;
  const mode_t withExecute = mode | ((mode & 0444) >> 2);
  if (withExecute != mode && ::chmod(file.c_str(), withExecute) != 0) {
    throw EDuduriError("Cannot make \"" + file.string() + "\" executable.");
  }
}

}  // namespace

std::optional<TImageFormat> ExtraImageFormatOf(const std::filesystem::path& file) {
  std::string extension = file.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (extension == ".bmp") return ifBMP;
  if (extension == ".jpg") return ifJPEG;
  return std::nullopt;
}

std::vector<std::byte> BuildExtraImagesBlock(std::span<const std::filesystem::path> pictureFiles,
                                             std::span<const std::int32_t> projectPictureIds) {
  std::vector<TCarriedPicture> pictures;
  for (const std::filesystem::path& file : pictureFiles) {
    const std::optional<TImageFormat> format = ExtraImageFormatOf(file);
    if (format) pictures.push_back({*format, PictureData(file, *format)});
  }
  return BuildCarriedImagesBlock(pictures, projectPictureIds);
}

std::vector<std::byte> BuildCarriedImagesBlock(std::span<const TCarriedPicture> pictures,
                                               std::span<const std::int32_t> projectPictureIds) {
  std::vector<std::byte> block;
  AppendU16(block, kExtraImagesStartTag);
  std::vector<std::int32_t> taken;
  for (const TCarriedPicture& picture : pictures) {
    // Two extra pictures with one id would be one picture to the project.
    const std::int32_t id = DrawPictureId([&](std::int32_t candidate) {
      return std::find(projectPictureIds.begin(), projectPictureIds.end(), candidate) !=
                 projectPictureIds.end() ||
             std::find(taken.begin(), taken.end(), candidate) != taken.end();
    });
    taken.push_back(id);
    AppendU16(block, kExtraImageTag);
    const std::size_t sizeField = block.size();
    AppendU32(block, 0);
    AppendU32(block, std::uint32_t(id));
    block.push_back(std::byte(itPicture));
    block.push_back(std::byte(picture.Format));
    block.insert(block.end(), picture.Data.begin(), picture.Data.end());
    PatchU32(block, sizeField, CheckedU32(picture.Data.size(), "picture"));
  }
  AppendU16(block, kExtraImagesEndTag);
  AppendU32(block, 0);
  AppendU32(block, CheckedU32(block.size(), "extra-images block"));
  AppendU32(block, kExtraImagesMagic);
  return block;
}

std::span<const std::byte> PlayerImageOf(std::span<const std::byte> executable) {
  return executable.first(std::size_t(FindOverlay(executable).PlayerImageSize));
}

std::vector<std::byte> ComposeExecutable(std::span<const std::byte> playerImage,
                                         std::span<const std::byte> package,
                                         std::span<const std::byte> extraImagesBlock) {
  std::vector<std::byte> out = BuildOverlayExecutable(playerImage, package);
  out.insert(out.end(), extraImagesBlock.begin(), extraImagesBlock.end());
  return out;
}

namespace {

void writeWithBlock(std::span<const std::byte> package, const TExeProjectInfo& project,
                    const std::vector<std::byte>& block, const std::filesystem::path& outputFile,
                    const std::filesystem::path& runningExecutable) {
  const std::vector<std::byte> running = ReadFileBytes(runningExecutable);
  const std::span<const std::byte> player = PlayerImageOf(running);
  std::vector<std::byte> image = ComposeExecutable(player, package, block);

  // The icon is replaced in a copy, so that a failed replacement leaves a
  // complete file with the player's own icon, written once.
  std::vector<std::byte> withIcon;
  std::optional<EResourceError> iconError;
  if (!project.Icon.empty() && !IsElfImage(image)) {
    withIcon = image;
    try {
      ReplaceIcon(withIcon, project.Icon, kIconNameId, outputFile.string());
    } catch (const EResourceError& e) {
      iconError = e;
      withIcon.clear();
    }
  }
  WriteFileAtomically(outputFile, withIcon.empty() ? image : withIcon);
  MakeExecutable(outputFile);
  if (iconError) throw *iconError;
}

}  // namespace

void WriteExecutable(std::span<const std::byte> package, const TExeProjectInfo& project,
                     std::span<const std::filesystem::path> pictureFiles,
                     const std::filesystem::path& outputFile,
                     const std::filesystem::path& runningExecutable) {
  writeWithBlock(package, project, BuildExtraImagesBlock(pictureFiles, project.PictureIds),
                 outputFile, runningExecutable);
}

void WriteExecutableCarrying(std::span<const std::byte> package, const TExeProjectInfo& project,
                             std::span<const TCarriedPicture> pictures,
                             const std::filesystem::path& outputFile,
                             const std::filesystem::path& runningExecutable) {
  writeWithBlock(package, project, BuildCarriedImagesBlock(pictures, project.PictureIds),
                 outputFile, runningExecutable);
}

TExeProjectInfo ExeProjectInfoOf(const TJigsawProject2& project) {
  TExeProjectInfo info;
  for (const TBMPData& picture : project.Pictures) info.PictureIds.push_back(picture.ID);
  info.Icon = project.Icon;
  return info;
}

void WriteExecutable(std::span<const std::byte> package, const TJigsawProject2& project,
                     std::span<const std::filesystem::path> pictureFiles,
                     const std::filesystem::path& outputFile,
                     const std::filesystem::path& runningExecutable) {
  WriteExecutable(package, ExeProjectInfoOf(project), pictureFiles, outputFile, runningExecutable);
}

}  // namespace duduri
