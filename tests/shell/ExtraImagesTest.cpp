#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "project/Overlay.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/ExeWriter.h"
#include "shell/ExtraImages.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

struct TBlock {
  std::vector<std::byte> data;
  TBlock& U16(std::uint32_t v) {
    data.push_back(std::byte(v));
    data.push_back(std::byte(v >> 8));
    return *this;
  }
  TBlock& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  TBlock& Raw(std::span<const std::byte> bytes) {
    data.insert(data.end(), bytes.begin(), bytes.end());
    return *this;
  }
  TBlock& Image(std::int32_t id, int type, int format, std::span<const std::byte> bytes) {
    U16(3242).U32(std::uint32_t(bytes.size())).U32(std::uint32_t(id));
    data.push_back(std::byte(type));
    data.push_back(std::byte(format));
    return Raw(bytes);
  }
  TBlock& End() { return U16(3241).U32(0); }
};

std::vector<std::byte> SmallBmp() {
  TBitmap32 bitmap;
  bitmap.SetSize(6, 4);
  bitmap.Clear(0xFF20A040);
  return EncodeBmp(bitmap, 24);
}

// A project with two pictures and two backgrounds, the second background
// selected.
void FillProject(TJigsawProject2& project) {
  project.Pictures.clear();
  project.PieceCountRanges.clear();
  project.AddPictureEntry(TPictureKind::pkPicture, 5).Name = "five";
  project.AddPictureEntry(TPictureKind::pkBackground, 65536).Name = "bg1";
  project.AddPictureEntry(TPictureKind::pkPicture, 7).Name = "seven";
  project.AddPictureEntry(TPictureKind::pkBackground, 131072).Name = "bg2";
  project.CurrentBackgroundIndex = 3;
}

TEST(ExtraImages, ReadsTheBlock) {
  const std::vector<std::byte> bmp = SmallBmp();
  const std::vector<std::byte> skipped(10, std::byte{0x77});
  TBlock block;
  block.U16(3240).Image(11, 0, 0, bmp).U16(4000).U32(10).Raw(skipped).Image(12, 1, 1, bmp).End();
  TExtJigsawImages images;
  images.ReadFromStream(block.data);
  ASSERT_EQ(images.Count(), 2u);
  EXPECT_EQ(images.Items[0].ImageID, 11);
  EXPECT_EQ(images.Items[0].ImgFormat, ifBMP);
  EXPECT_EQ(images.Items[0].Stream, bmp);
  EXPECT_EQ(images.Items[1].ImgType, itWallpaper);
  EXPECT_EQ(images.Items[1].ImgFormat, ifJPEG);

  // Sizes past the end stop reading; what came before stays.
  std::vector<std::byte> cut = TBlock().U16(3240).Image(1, 0, 0, bmp).Image(2, 0, 0, bmp).data;
  cut.resize(cut.size() - 1);
  images.ReadFromStream(cut);
  EXPECT_EQ(images.Count(), 1u);
  images.ReadFromStream(TBlock().U16(3240).U16(4000).U32(0xFFFFFFFF).data);
  EXPECT_TRUE(images.Empty());
  images.ReadFromStream(TBlock().U16(3240).U16(3242).U32(0xFFFFFFF0).U32(1).U16(0).data);
  EXPECT_TRUE(images.Empty());
  // Not a block at all, or no end tag.
  images.ReadFromStream(TBlock().U16(3239).Image(1, 0, 0, bmp).data);
  EXPECT_TRUE(images.Empty());
  images.ReadFromStream(TBlock().U16(3240).Image(1, 0, 0, bmp).data);
  EXPECT_EQ(images.Count(), 1u);
}

TEST(ExtraImages, EmptyBlockLeavesTheProject) {
  TJigsawProject2 project;
  FillProject(project);
  TExtJigsawImages images;
  images.ReadFromStream(TBlock().U16(3240).End().data);
  EXPECT_TRUE(images.Empty());
  images.AssignTo(project);
  EXPECT_EQ(project.Pictures.size(), 4u);
  EXPECT_EQ(project.CurrentBackgroundIndex, 3);
}

TEST(ExtraImages, BitmapBecomesTheOnlyPlayablePicture) {
  TJigsawProject2 project;
  FillProject(project);
  TExtJigsawImages images;
  images.ReadFromStream(TBlock().U16(3240).Image(300, 0, 0, SmallBmp()).End().data);
  images.AssignTo(project);

  ASSERT_EQ(project.Pictures.size(), 3u);
  EXPECT_EQ(project.Pictures[0].ID, 65536);
  EXPECT_EQ(project.Pictures[1].ID, 131072);
  EXPECT_EQ(project.CurrentBackgroundIndex, 1);  // still the second background
  const TBMPData& picture = project.Pictures[2];
  EXPECT_EQ(picture.ID, 300);
  EXPECT_EQ(picture.Name, "Image#0");
  EXPECT_EQ(DetectPictureFormat(picture.Data), TPictureFormat::pfJPEG);
  EXPECT_EQ(DecodeJpeg(picture.Data).Width, 6);
  const auto* range = project.FindPieceCountRange(300);
  ASSERT_NE(range, nullptr);
  EXPECT_EQ(range->MinPieces, 0);
  EXPECT_EQ(range->MaxPieces, 24);
  EXPECT_EQ(project.PictureCount, 1);
  EXPECT_EQ(project.BackgroundCount, 2);
}

TEST(ExtraImages, DamagedImagesAreLeftOut) {
  const std::vector<std::byte> bmp = SmallBmp();
  const std::vector<std::byte> junk(20, std::byte{1});
  TJigsawProject2 project;
  FillProject(project);
  TExtJigsawImages images;
  // Nothing decodes: the project keeps its own pictures.
  images.ReadFromStream(TBlock().U16(3240).Image(3, 0, 0, junk).End().data);
  images.AssignTo(project);
  EXPECT_EQ(project.Pictures.size(), 4u);

  // A repeated id, an id of the wrong kind, and one undecodable image.
  images.ReadFromStream(TBlock()
                            .U16(3240)
                            .Image(40, 0, 0, bmp)
                            .Image(40, 0, 0, bmp)
                            .Image(0x20000, 0, 0, bmp)
                            .Image(41, 0, 0, junk)
                            .End()
                            .data);
  images.AssignTo(project);
  ASSERT_EQ(project.Pictures.size(), 5u);
  std::vector<std::int32_t> ids;
  for (std::size_t i = 2; i < 5; ++i) {
    EXPECT_TRUE(IsPictureId(project.Pictures[i].ID));
    EXPECT_EQ(project.Pictures[i].Name, "Image#" + std::to_string(i - 2));
    for (std::int32_t id : ids) EXPECT_NE(id, project.Pictures[i].ID);
    ids.push_back(project.Pictures[i].ID);
  }
}

// A written executable, found again the way the player finds its own: the
// package at the trailer, the block after it, the picture in place of the
// project's own.
TEST(ExtraImages, WrittenExecutableReadsBack) {
  const fs::path dir = fs::temp_directory_path() / ("duduri-extra-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const fs::path bmp = dir / "mine.bmp";
  WriteFileAtomically(bmp, SmallBmp());
  const std::vector<std::byte> elf = {std::byte{0x7F}, std::byte{'E'}, std::byte{'L'},
                                      std::byte{'F'}};
  const fs::path player = dir / "player";
  WriteFileAtomically(player, elf);
  const std::vector<std::byte> package = {std::byte{0xAD}, std::byte{0xDE}, std::byte{0},
                                          std::byte{0}, std::byte{42}};
  TJigsawProject2 project;
  FillProject(project);
  const std::vector<fs::path> pictures = {bmp};
  const fs::path out = dir / "game";
  WriteExecutable(package, project, pictures, out, player);

  const std::vector<std::byte> written = ReadFileBytes(out);
  const TOverlayLayout layout = FindOverlay(std::span<const std::byte>(written));
  ASSERT_TRUE(layout.HasPackage);
  ASSERT_TRUE(layout.HasExtraImages);
  EXPECT_TRUE(std::ranges::equal(
      std::span(written).subspan(layout.PackageOffset, layout.PackageSize), package));
  TExtJigsawImages images;
  images.ReadFromStream(
      std::span(written).subspan(layout.ExtraImagesOffset, layout.ExtraImagesSize));
  ASSERT_EQ(images.Count(), 1u);
  EXPECT_NE(images.Items[0].ImageID, 5);
  EXPECT_NE(images.Items[0].ImageID, 7);
  images.AssignTo(project);
  EXPECT_EQ(project.PictureCount, 1);
  EXPECT_EQ(project.Pictures.back().Name, "Image#0");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace duduri
