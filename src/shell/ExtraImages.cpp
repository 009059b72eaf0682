#include "shell/ExtraImages.h"

#include <algorithm>
#include <optional>
#include <string>

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

// Bytes of a 3242 record's payload before its picture data.
constexpr std::size_t kImageHeaderBytes = 6;
constexpr std::size_t kRecordHeaderBytes = 6;

std::uint16_t GetU16(std::span<const std::byte> data, std::size_t at) {
  return std::uint16_t(std::uint16_t(data[at]) | std::uint16_t(data[at + 1]) << 8);
}

std::uint32_t GetU32(std::span<const std::byte> data, std::size_t at) {
  return std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
         std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24;
}

}  // namespace

std::vector<std::byte> TExtJigsawImage::ToJpeg() const {
  if (ImgFormat == ifJPEG) return Stream;
  const TPicture picture = DecodeBmp(Stream);
  TBitmap32 bitmap;
  bitmap.Assign(picture);
  return EncodeJpeg(bitmap);
}

void TExtJigsawImages::ReadFromStream(std::span<const std::byte> block) {
  Items.clear();
  if (block.size() < 2 || GetU16(block, 0) != kExtraImagesStartTag) return;
  std::size_t position = 2;
  while (block.size() - position >= kRecordHeaderBytes) {
    const std::uint16_t tag = GetU16(block, position);
    const std::uint64_t size = GetU32(block, position + 2);
    position += kRecordHeaderBytes;
    const std::size_t left = block.size() - position;
    if (tag == kExtraImagesEndTag) break;
    if (tag != kExtraImageTag) {
      if (size > left) break;
      position += std::size_t(size);
      continue;
    }
    // The size counts the picture data only, not the id and the two type
    // bytes in front of it.
    if (left < kImageHeaderBytes || size > left - kImageHeaderBytes) break;
    TExtJigsawImage image;
    image.ImageID = std::int32_t(GetU32(block, position));
    image.ImgType = block[position + 4] == std::byte{1} ? itWallpaper : itPicture;
    image.ImgFormat = block[position + 5] == std::byte{1} ? ifJPEG : ifBMP;
    position += kImageHeaderBytes;
    image.Stream.assign(block.begin() + std::ptrdiff_t(position),
                        block.begin() + std::ptrdiff_t(position + size));
    position += std::size_t(size);
    Items.push_back(std::move(image));
  }
}

void TExtJigsawImages::AssignTo(TJigsawProject2& project) const {
  // Every image is converted before the project is touched: images that do
  // not decode are left out, and when none is left the project keeps its
  // own pictures rather than being left with none.
  struct TConverted {
    std::size_t Position;
    std::vector<std::byte> Jpeg;
  };
  std::vector<TConverted> converted;
  for (std::size_t i = 0; i < Items.size(); ++i) {
    try {
      converted.push_back({i, Items[i].ToJpeg()});
    } catch (const EDuduriError&) {
    }
  }
  if (converted.empty()) return;

  std::vector<TBMPData>& pictures = project.Pictures;
  const std::int32_t background = project.CurrentBackgroundIndex;
  const bool backgroundInList = background >= 0 && std::size_t(background) < pictures.size();
  std::optional<std::int32_t> newBackground;
  std::vector<TBMPData> kept;
  std::vector<std::int32_t> removed;
  for (std::size_t i = 0; i < pictures.size(); ++i) {
    if (pictures[i].ID <= 0xFFFF) {  // every playable picture goes
      removed.push_back(pictures[i].ID);
      continue;
    }
    if (backgroundInList && i == std::size_t(background)) newBackground = std::int32_t(kept.size());
    kept.push_back(std::move(pictures[i]));
  }
  pictures = std::move(kept);
  if (newBackground) project.CurrentBackgroundIndex = *newBackground;
  project.CountPictures();
  // The per-picture records of the removed pictures go with them, so that an
  // image given one of their ids never takes over their range or layout.
  const auto wasRemoved = [&](std::int32_t id) {
    return std::find(removed.begin(), removed.end(), id) != removed.end();
  };
  std::erase_if(project.PieceCountRanges, [&](const auto& r) { return wasRemoved(r.PictureID); });
  std::erase_if(project.PictureLayouts, [&](const auto& l) { return wasRemoved(l.PictureID); });
  std::erase_if(project.PieceValues, [&](const auto& v) { return wasRemoved(v.PictureID); });

  for (TConverted& image : converted) {
    const TExtJigsawImage& item = Items[image.Position];
    const bool wallpaper = item.ImgType == itWallpaper;
    std::int32_t id = item.ImageID;
    // An id of the wrong kind, or one already taken (a damaged block may
    // repeat ids), gets a fresh one so that every image stays its own picture.
    const bool fits = wallpaper ? id != 0 && IsBackgroundId(id) : IsPictureId(id);
    const bool taken = std::any_of(pictures.begin(), pictures.end(),
                                   [&](const TBMPData& p) { return p.ID == id; });
    if (!fits || taken) id = 0;
    TBMPData& record = project.AddPictureEntry(
        wallpaper ? TPictureKind::pkBackground : TPictureKind::pkPicture, id);
    record.Name = "Image#" + std::to_string(image.Position);
    record.Data = std::move(image.Jpeg);
    if (auto* range = project.FindPieceCountRange(record.ID)) {
      range->MinPieces = 0;
      range->MaxPieces = 24;
    }
  }
}

}  // namespace duduri
