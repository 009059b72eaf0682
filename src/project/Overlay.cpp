#include "project/Overlay.h"

#include <cstring>
#include <fstream>
#include <limits>

#include "raster/Picture.h"

namespace duduri {

namespace {

bool readU32(const TReadAt& readAt, std::uint64_t offset, std::uint32_t& value) {
  std::byte b[4];
  if (!readAt(offset, 4, b)) return false;
  value = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
          (std::uint32_t(b[3]) << 24);
  return true;
}

}  // namespace

TOverlayLayout FindOverlay(std::uint64_t fileSize, const TReadAt& readAt) {
  TOverlayLayout layout;
  layout.PlayerImageSize = fileSize;
  std::uint32_t last = 0;
  if (fileSize < 4 || !readU32(readAt, fileSize - 4, last)) return layout;

  std::uint64_t trailerEnd = fileSize;
  if (last == kExtraImagesMagic) {
    std::uint32_t blockSize = 0;
    if (fileSize < 8 || !readU32(readAt, fileSize - 8, blockSize)) return layout;
    if (blockSize > fileSize - 8) return layout;
    trailerEnd = fileSize - 8 - blockSize;
    layout.HasExtraImages = true;
    layout.ExtraImagesOffset = trailerEnd;
    layout.ExtraImagesSize = blockSize;
  }
  std::uint32_t magic = 0, p = 0, o = 0;
  if (trailerEnd < kTrailerSize || !readU32(readAt, trailerEnd - 4, magic) ||
      magic != kTrailerMagic || !readU32(readAt, trailerEnd - 8, o) ||
      !readU32(readAt, trailerEnd - 12, p))
    return layout;
  const std::uint64_t trailerStart = trailerEnd - kTrailerSize;
  // The package lies between the player image and its trailer.
  if (std::uint64_t(o) > trailerStart || std::uint64_t(p) > trailerStart - o) return layout;
  layout.HasPackage = true;
  layout.PackageOffset = o;
  layout.PackageSize = p;
  layout.PlayerImageSize = o;
  return layout;
}

TOverlayLayout FindOverlay(TByteSpan file) {
  return FindOverlay(file.size(), [&](std::uint64_t offset, std::size_t size, std::byte* dest) {
    if (offset > file.size() || size > file.size() - offset) return false;
    std::memcpy(dest, file.data() + offset, size);
    return true;
  });
}

TOverlayLayout FindOverlay(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  if (end < 0) return {};
  return FindOverlay(std::uint64_t(end),
                     [&](std::uint64_t offset, std::size_t size, std::byte* dest) {
                       in.clear();
                       in.seekg(std::streamoff(offset));
                       in.read(reinterpret_cast<char*>(dest), std::streamsize(size));
                       return bool(in) && std::size_t(in.gcount()) == size;
                     });
}

std::optional<TByteSpan> OverlayPackage(TByteSpan file) {
  const TOverlayLayout layout = FindOverlay(file);
  if (!layout.HasPackage) return std::nullopt;
  return file.subspan(std::size_t(layout.PackageOffset), std::size_t(layout.PackageSize));
}

std::optional<TBytes> ReadOverlayPackage(const std::filesystem::path& file) {
  const TOverlayLayout layout = FindOverlay(file);
  if (!layout.HasPackage) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  TBytes package(std::size_t(layout.PackageSize));
  in.seekg(std::streamoff(layout.PackageOffset));
  in.read(reinterpret_cast<char*>(package.data()), std::streamsize(package.size()));
  if (!in) return std::nullopt;
  return package;
}

std::filesystem::path OwnExecutablePath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path("/proc/self/exe") : exe;
}

std::optional<TBytes> ReadOwnPackage() {
  return ReadOverlayPackage("/proc/self/exe");
}

TBytes BuildOverlayExecutable(TByteSpan playerImage, TByteSpan package) {
  constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
  if (playerImage.size() > kMax || package.size() > kMax - playerImage.size())
    throw EDuduriError("The executable is too large to carry a project.");
  TByteWriter out;
  out.Bytes(playerImage);
  out.Bytes(package);
  out.U32(std::uint32_t(package.size()));
  out.U32(std::uint32_t(playerImage.size()));
  out.U32(kTrailerMagic);
  return out.Take();
}

TBytes ReadPlayerImage(const std::filesystem::path& file) {
  TBytes bytes = ReadFileBytes(file);
  const TOverlayLayout layout = FindOverlay(bytes);
  bytes.resize(std::size_t(layout.PlayerImageSize));
  return bytes;
}

}  // namespace duduri
