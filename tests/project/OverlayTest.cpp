// Finding the package inside an executable, and writing one.

#include <gtest/gtest.h>

#include "project/Overlay.h"

namespace duduri {
namespace {

TBytes bytesOf(std::size_t n, std::uint8_t value) {
  return TBytes(n, std::byte{value});
}

TBytes withExtraImages(TBytes exe, std::size_t blockSize) {
  TByteWriter w;
  w.Bytes(exe);
  w.Bytes(bytesOf(blockSize, 0x77));
  w.U32(std::uint32_t(blockSize));
  w.U32(kExtraImagesMagic);
  return w.Take();
}

TEST(Overlay, PackageIsFoundThroughTheTrailer) {
  const TBytes player = bytesOf(1000, 0x90);
  const TBytes package = bytesOf(300, 0xAB);
  const TBytes exe = BuildOverlayExecutable(player, package);
  ASSERT_EQ(exe.size(), 1312u);
  const TOverlayLayout layout = FindOverlay(exe);
  ASSERT_TRUE(layout.HasPackage);
  EXPECT_EQ(layout.PackageOffset, 1000u);
  EXPECT_EQ(layout.PackageSize, 300u);
  EXPECT_EQ(layout.PlayerImageSize, 1000u);
  EXPECT_FALSE(layout.HasExtraImages);
  const auto found = OverlayPackage(exe);
  ASSERT_TRUE(found);
  EXPECT_TRUE(std::equal(found->begin(), found->end(), package.begin(), package.end()));
}

TEST(Overlay, TrailerIsFoundInFrontOfAnExtraImagesBlock) {
  const TBytes exe = withExtraImages(BuildOverlayExecutable(bytesOf(64, 1), bytesOf(10, 2)), 40);
  const TOverlayLayout layout = FindOverlay(exe);
  ASSERT_TRUE(layout.HasPackage);
  EXPECT_EQ(layout.PackageOffset, 64u);
  EXPECT_EQ(layout.PackageSize, 10u);
  EXPECT_TRUE(layout.HasExtraImages);
  EXPECT_EQ(layout.ExtraImagesOffset, 64u + 10u + 12u);
  EXPECT_EQ(layout.ExtraImagesSize, 40u);
}

TEST(Overlay, TrailersPointingOutsideTheFileMeanNoProject) {
  auto trailer = [](std::uint32_t p, std::uint32_t o) {
    TByteWriter w;
    w.Bytes(bytesOf(100, 0));
    w.U32(p);
    w.U32(o);
    w.U32(kTrailerMagic);
    return w.Take();
  };
  EXPECT_TRUE(FindOverlay(trailer(100, 0)).HasPackage);
  EXPECT_FALSE(FindOverlay(trailer(101, 0)).HasPackage);
  EXPECT_FALSE(FindOverlay(trailer(1, 100)).HasPackage);
  EXPECT_FALSE(FindOverlay(trailer(0xFFFFFFFF, 0xFFFFFFFF)).HasPackage);
  EXPECT_EQ(FindOverlay(trailer(101, 0)).PlayerImageSize, 112u);
  // An extra-images length larger than the file, and files too short.
  TBytes bad = trailer(10, 0);
  TByteWriter w;
  w.Bytes(bad);
  w.U32(100000);
  w.U32(kExtraImagesMagic);
  EXPECT_FALSE(FindOverlay(w.Data()).HasPackage);
  EXPECT_FALSE(FindOverlay(bytesOf(3, 0)).HasPackage);
  EXPECT_FALSE(FindOverlay(TBytes{}).HasPackage);
  // A plain executable without appended data is all player.
  EXPECT_EQ(FindOverlay(bytesOf(50, 0x90)).PlayerImageSize, 50u);
}

TEST(Overlay, FilesOnDiskAndThePlayerImage) {
  const auto dir = std::filesystem::temp_directory_path();
  const auto file =
      dir / ("duduri-overlay-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  const TBytes exe = withExtraImages(BuildOverlayExecutable(bytesOf(128, 5), bytesOf(20, 6)), 16);
  {
    std::FILE* f = std::fopen(file.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(exe.data(), 1, exe.size(), f);
    std::fclose(f);
  }
  const auto package = ReadOverlayPackage(file);
  ASSERT_TRUE(package);
  EXPECT_EQ(*package, bytesOf(20, 6));
  EXPECT_EQ(ReadPlayerImage(file), bytesOf(128, 5));
  std::filesystem::remove(file);
  EXPECT_FALSE(ReadOverlayPackage(file));
  // The test program itself carries no project.
  EXPECT_FALSE(ReadOwnPackage());
}

}  // namespace
}  // namespace duduri
