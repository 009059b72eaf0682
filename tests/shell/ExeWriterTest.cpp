#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "project/NewId.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/ExeWriter.h"
#include "shell/PeImageBuilder.h"
#include "shell/PeResources.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;
using testing::BuildIconFile;
using testing::BuildPeImage;
using testing::TPeOptions;

std::vector<std::byte> B(std::initializer_list<int> bytes) {
  std::vector<std::byte> out;
  for (int b : bytes) out.push_back(std::byte(b));
  return out;
}

std::uint32_t U32At(std::span<const std::byte> d, std::size_t at) {
  return std::uint32_t(d[at]) | std::uint32_t(d[at + 1]) << 8 | std::uint32_t(d[at + 2]) << 16 |
         std::uint32_t(d[at + 3]) << 24;
}

// The pieces of a written executable, found from its end.
struct TWritten {
  std::span<const std::byte> player, package, block;
};

TWritten Split(std::span<const std::byte> exe) {
  const std::size_t size = exe.size();
  EXPECT_EQ(U32At(exe, size - 4), 100100u);
  const std::uint32_t n = U32At(exe, size - 8);
  const std::size_t trailerEnd = size - 8 - n;
  EXPECT_EQ(U32At(exe, trailerEnd - 4), 250577u);
  const std::uint32_t o = U32At(exe, trailerEnd - 8);
  const std::uint32_t p = U32At(exe, trailerEnd - 12);
  EXPECT_EQ(std::size_t(o) + p + 12, trailerEnd);
  return {exe.first(o), exe.subspan(o, p), exe.subspan(trailerEnd, n)};
}

class ExeWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("duduri-exe-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    SetProjectRandomSource({});
    fs::remove_all(dir_);
  }
  fs::path Write(const std::string& name, std::span<const std::byte> bytes) {
    const fs::path path = dir_ / name;
    WriteFileAtomically(path, bytes);
    return path;
  }
  fs::path Picture(const std::string& name) {
    TBitmap32 bitmap;
    bitmap.SetSize(5, 3);
    bitmap.Clear(0xFF336699);
    const bool jpeg = name.ends_with(".jpg");
    return Write(name, jpeg ? EncodeJpeg(bitmap) : EncodeBmp(bitmap, 24));
  }
  fs::path dir_;
};

TEST_F(ExeWriter, BlockWithoutCarriedPictures) {
  const fs::path gif = Write("p.gif", B({'G', 'I', 'F', '8', '9', 'a'}));
  const std::vector<fs::path> files = {gif, dir_ / "notes.png"};
  EXPECT_EQ(BuildExtraImagesBlock(files, {}),
            B({0xA8, 0x0C, 0xA9, 0x0C, 0, 0, 0, 0, 8, 0, 0, 0, 0x04, 0x87, 0x01, 0}));
  EXPECT_EQ(ExtraImageFormatOf("a/B.BMP"), ifBMP);
  EXPECT_EQ(ExtraImageFormatOf("x.Jpg"), ifJPEG);
  EXPECT_FALSE(ExtraImageFormatOf("x.jpeg"));
}

TEST_F(ExeWriter, BlockRecords) {
  const fs::path bmp = Picture("a.bmp");
  const fs::path jpg = Picture("b.jpg");
  // The source repeats itself: the second picture may not reuse the first's id.
  int call = 0;
  SetProjectRandomSource([&](std::int32_t n) { return (call++ % 3 == 2 ? 8 : 4) % n; });
  const std::vector<fs::path> files = {bmp, jpg};
  const std::vector<std::int32_t> projectIds = {9, 65536};
  const std::vector<std::byte> block = BuildExtraImagesBlock(files, projectIds);

  ASSERT_EQ(U32At(block, block.size() - 4), 100100u);
  EXPECT_EQ(U32At(block, block.size() - 8), block.size() - 8);
  std::size_t at = 2;
  std::vector<std::uint32_t> ids;
  for (TImageFormat format : {ifBMP, ifJPEG}) {
    ASSERT_EQ(block[at], std::byte{0xAA});  // 3242
    const std::uint32_t size = U32At(block, at + 2);
    ids.push_back(U32At(block, at + 6));
    EXPECT_EQ(block[at + 10], std::byte{0});  // itPicture
    EXPECT_EQ(block[at + 11], std::byte(format));
    const std::span<const std::byte> data = std::span(block).subspan(at + 12, size);
    if (format == ifJPEG) {
      EXPECT_TRUE(std::ranges::equal(data, ReadFileBytes(jpg)));
    } else {
      const TPicture picture = DecodeBmp(data);
      EXPECT_EQ(picture.Width, 5);
      EXPECT_EQ(picture.Height, 3);
    }
    at += 12 + size;
  }
  EXPECT_EQ(std::vector<std::byte>(block.begin() + std::ptrdiff_t(at), block.end() - 8),
            B({0xA9, 0x0C, 0, 0, 0, 0}));
  EXPECT_EQ(ids[0], 5u);
  EXPECT_NE(ids[1], ids[0]);
  EXPECT_NE(ids[1], 9u);
  EXPECT_GE(ids[1], 1u);
  EXPECT_LE(ids[1], 65535u);

  // A picture file that does not decode stops the writer before any output.
  const fs::path broken = Write("c.bmp", B({'B', 'M', 1}));
  const std::vector<fs::path> bad = {broken};
  EXPECT_THROW(BuildExtraImagesBlock(bad, {}), EPictureError);
}

TEST_F(ExeWriter, PlayerImage) {
  const std::vector<std::byte> player = B({0x7F, 'E', 'L', 'F', 1, 2, 3, 4, 5});
  EXPECT_EQ(PlayerImageOf(player).size(), player.size());

  const std::vector<std::byte> package = B({0xAD, 0xDE, 0, 0, 9, 9});
  const std::vector<std::byte> block = BuildExtraImagesBlock({}, {});
  const std::vector<std::byte> withBlock = ComposeExecutable(player, package, block);
  EXPECT_EQ(PlayerImageOf(withBlock).size(), player.size());
  const std::vector<std::byte> projectOnly = ComposeExecutable(player, package, {});
  EXPECT_EQ(PlayerImageOf(projectOnly).size(), player.size());

  // Trailers that do not hold together leave the whole file as the player.
  std::vector<std::byte> hugeN = withBlock;
  testing::Put32(hugeN, hugeN.size() - 8, 0xFFFFFFF0u);
  EXPECT_EQ(PlayerImageOf(hugeN).size(), hugeN.size());
  std::vector<std::byte> hugeO = projectOnly;
  testing::Put32(hugeO, hugeO.size() - 8, 0x7FFFFFFF);
  EXPECT_EQ(PlayerImageOf(hugeO).size(), hugeO.size());
  EXPECT_EQ(PlayerImageOf(B({0xD1, 0xD2, 3, 0})).size(), 4u);
  EXPECT_EQ(PlayerImageOf({}).size(), 0u);
}

TEST_F(ExeWriter, WritesOneProjectAndOneBlock) {
  const std::vector<std::byte> elf = B({0x7F, 'E', 'L', 'F', 2, 1, 1, 0, 0, 0, 0, 0});
  const std::vector<std::byte> oldPackage = B({0xAD, 0xDE, 0, 0, 1});
  const fs::path gif = Write("p.gif", B({'G', 'I', 'F'}));
  const std::vector<fs::path> gifOnly = {gif};
  // A running player that already carries a project and extra images.
  const fs::path running =
      Write("player", ComposeExecutable(elf, oldPackage, BuildExtraImagesBlock(gifOnly, {})));

  const std::vector<std::byte> package = B({0xAD, 0xDE, 0, 0, 7, 7, 7});
  TExeProjectInfo project;
  project.Icon = BuildIconFile({{0, 744, 1}});  // an ELF player has no icon to replace
  const std::vector<fs::path> pictures = {Picture("a.bmp")};
  const fs::path out = dir_ / "out.exe";
  WriteExecutable(package, project, pictures, out, running);

  const std::vector<std::byte> written = ReadFileBytes(out);
  const TWritten parts = Split(written);
  EXPECT_TRUE(std::ranges::equal(parts.player, elf));
  EXPECT_TRUE(std::ranges::equal(parts.package, package));
  EXPECT_EQ(parts.block[2], std::byte{0xAA});  // the new picture, not the old block
  EXPECT_EQ(PlayerImageOf(written).size(), elf.size());

  struct stat info {};
  ASSERT_EQ(::stat(out.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0111, (info.st_mode & 0444) >> 2);
  EXPECT_NE(info.st_mode & 0100, 0u);

  // A player without appended data is copied whole: O is its length.
  const fs::path bare = Write("bare", elf);
  WriteExecutable(package, project, gifOnly, out, bare);
  const std::vector<std::byte> fromBare = ReadFileBytes(out);
  EXPECT_EQ(Split(fromBare).player.size(), elf.size());
}

TEST_F(ExeWriter, ReplacesTheIconOfAPortableExecutable) {
  TPeOptions options;
  options.Icons = {{1, 744, 0x11}};
  const std::vector<std::byte> pe = BuildPeImage(options);
  const fs::path running = Write("player.exe", pe);
  const std::vector<std::byte> package = B({0xAD, 0xDE, 0, 0});
  const fs::path out = dir_ / "out.exe";

  TExeProjectInfo project;
  project.Icon = BuildIconFile({{0, 296, 0x22}, {0, 744, 0x33}});
  WriteExecutable(package, project, {}, out, running);
  std::vector<std::byte> expected = pe;
  ReplaceIcon(expected, project.Icon, 1, "x");
  const std::vector<std::byte> written = ReadFileBytes(out);
  EXPECT_TRUE(std::ranges::equal(Split(written).player, expected));

  // No image of the same size: the error comes after a complete file with
  // the player's own icon.
  project.Icon = BuildIconFile({{0, 296, 0x22}});
  try {
    WriteExecutable(package, project, {}, out, running);
    ADD_FAILURE() << "no error";
  } catch (const EResourceError& e) {
    EXPECT_STREQ(e.what(), "No matching icon.");
  }
  const std::vector<std::byte> withoutIcon = ReadFileBytes(out);
  EXPECT_TRUE(std::ranges::equal(Split(withoutIcon).player, pe));
}

}  // namespace
}  // namespace duduri
