// Pictures by content, the size limits, and the file helpers every reader
// and writer goes through.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "raster/Bitmap32.h"
#include "raster/Error.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

std::vector<std::byte> bytesOf(std::initializer_list<unsigned> values) {
  std::vector<std::byte> out;
  for (unsigned v : values) out.push_back(std::byte(v));
  return out;
}

std::string errorOf(auto&& action) {
  try {
    action();
  } catch (const EPictureError& e) {
    return e.what();
  }
  return "(no error)";
}

// A folder of its own per test, removed afterwards.
class PictureFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() /
              (std::string("duduri-picture-") + info->name() + "-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TBitmap32 solid(std::int32_t w, std::int32_t h, TColor32 color) {
  TBitmap32 bitmap;
  bitmap.SetSize(w, h);
  bitmap.Clear(color);
  return bitmap;
}

TEST(Picture, FormatIsRecognisedByContent) {
  EXPECT_EQ(DetectPictureFormat(bytesOf({0xFF, 0xD8, 0xFF, 0xE0})), TPictureFormat::pfJPEG);
  EXPECT_EQ(DetectPictureFormat(bytesOf({'B', 'M'})), TPictureFormat::pfBMP);
  EXPECT_EQ(DetectPictureFormat(bytesOf({0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0})),
            TPictureFormat::pfPNG);
  EXPECT_EQ(DetectPictureFormat(bytesOf({'G', 'I', 'F', '8', '9', 'a'})), TPictureFormat::pfGIF);
  EXPECT_EQ(DetectPictureFormat(bytesOf({'G', 'I', 'F', '8', '7', 'a'})), TPictureFormat::pfGIF);
  for (auto unknown : {bytesOf({}), bytesOf({0xFF, 0xD8}), bytesOf({'B'}),
                       bytesOf({'G', 'I', 'F', '8', '8', 'a'}), bytesOf({0x89, 'P', 'N', 'G'})}) {
    EXPECT_EQ(DetectPictureFormat(unknown), TPictureFormat::pfUnknown);
  }
}

TEST(Picture, DecodePicturePicksTheReaderByContent) {
  const TBitmap32 source = solid(3, 2, 0xFF336699);
  const TPicture bmp = DecodePicture(EncodeBmp(source));
  EXPECT_EQ(bmp.Format, TPictureFormat::pfBMP);
  EXPECT_EQ(bmp.Pixels, std::vector<TColor32>(6, 0xFF336699));
  const TPicture jpeg = DecodePicture(EncodeJpeg(source));
  EXPECT_EQ(jpeg.Format, TPictureFormat::pfJPEG);
  EXPECT_EQ(jpeg.Width, 3);

  for (auto other :
       {bytesOf({0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 13}),
        bytesOf({'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}), bytesOf({1, 2, 3}), bytesOf({})}) {
    EXPECT_NE(errorOf([&] { DecodePicture(other); }).find("Unsupported picture format"),
              std::string::npos);
    EXPECT_THROW(ReadPictureSize(other), EPictureError);
  }
}

TEST(Picture, SizeLimits) {
  EXPECT_NO_THROW(CheckPictureSize(1, 1, "BMP"));
  EXPECT_NO_THROW(CheckPictureSize(kMaxPictureSide, kMaxPictureSide, "BMP"));
  EXPECT_EQ(errorOf([] { CheckPictureSize(16385, 1, "JPEG"); }),
            "JPEG picture too large: 16385x1 (at most 16384 on a side and 268435456 pixels)");
  EXPECT_THROW(CheckPictureSize(1, 16385, "BMP"), EPictureError);
  EXPECT_THROW(CheckPictureSize(std::int64_t(1) << 40, std::int64_t(1) << 40, "BMP"),
               EPictureError);
  EXPECT_EQ(errorOf([] { CheckPictureSize(0, 5, "BMP"); }), "Invalid BMP picture: size 0x5");
  EXPECT_THROW(CheckPictureSize(5, -1, "BMP"), EPictureError);
}

TEST_F(PictureFiles, LoadingGoesByContentNotByName) {
  const fs::path misnamed = folder_ / "holiday.bmp";
  const std::vector<std::byte> jpeg = EncodeJpeg(solid(7, 5, 0xFF808080));
  WriteFileAtomically(misnamed, jpeg);
  const TPicture p = LoadPictureFile(misnamed);
  EXPECT_EQ(p.Format, TPictureFormat::pfJPEG);
  EXPECT_EQ(p.Width, 7);
  EXPECT_EQ(ReadFileBytes(misnamed), jpeg);

  TBitmap32 loaded;
  loaded.LoadFromFile(misnamed);
  EXPECT_EQ(loaded.Width(), 7);
  EXPECT_EQ(loaded.Height(), 5);

  // A damaged file names itself in the message as well as its format.
  WriteFileAtomically(misnamed, std::span(jpeg).first(jpeg.size() / 2));
  const std::string message = errorOf([&] { LoadPictureFile(misnamed); });
  EXPECT_NE(message.find("holiday.bmp"), std::string::npos) << message;
  EXPECT_NE(message.find("JPEG"), std::string::npos) << message;
}

TEST_F(PictureFiles, ReadingMissingFoldersAndOversizedFilesFails) {
  EXPECT_NE(errorOf([&] { ReadFileBytes(folder_ / "missing.jpg"); }).find("missing.jpg"),
            std::string::npos);
  EXPECT_THROW(ReadFileBytes(folder_), EPictureError);
  EXPECT_THROW(LoadPictureFile(folder_ / "missing.jpg"), EPictureError);

  // A sparse file takes no disk space but reports its full size.
  const fs::path huge = folder_ / "huge.bmp";
  { std::ofstream(huge) << 'B'; }
  fs::resize_file(huge, std::uintmax_t(600) << 20);
  EXPECT_NE(errorOf([&] { ReadFileBytes(huge); }).find("too large"), std::string::npos);

  const fs::path empty = folder_ / "empty.jpg";
  { std::ofstream{empty}; }
  EXPECT_TRUE(ReadFileBytes(empty).empty());
  EXPECT_NE(errorOf([&] { LoadPictureFile(empty); }).find("Unsupported"), std::string::npos);
}

TEST_F(PictureFiles, AtomicWriteCreatesReplacesAndKeepsPermissions) {
  const fs::path target = folder_ / "picture.bmp";
  WriteFileAtomically(target, bytesOf({1, 2, 3}));
  EXPECT_EQ(ReadFileBytes(target), bytesOf({1, 2, 3}));
  ::chmod(target.c_str(), 0640);
  WriteFileAtomically(target, bytesOf({4, 5}));
  EXPECT_EQ(ReadFileBytes(target), bytesOf({4, 5}));
  struct stat info {};
  ASSERT_EQ(::stat(target.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(entries(), std::vector<std::string>{"picture.bmp"});
}

TEST_F(PictureFiles, FailedWriteLeavesTheOldFileAndNoLitter) {
  const fs::path target = folder_ / "saved.jpg";
  WriteFileAtomically(target, bytesOf({9, 9, 9}));

  // A file-size limit makes the write itself fail part way, as a full disk would.
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const std::vector<std::byte> big(100000, std::byte{7});
  const std::string message = errorOf([&] { WriteFileAtomically(target, big); });
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_NE(message.find("saved.jpg"), std::string::npos) << message;
  EXPECT_EQ(ReadFileBytes(target), bytesOf({9, 9, 9}));
  EXPECT_EQ(entries(), std::vector<std::string>{"saved.jpg"});

  // A folder that does not exist: nothing is created anywhere.
  EXPECT_THROW(WriteFileAtomically(folder_ / "no" / "such.jpg", bytesOf({1})), EPictureError);
  EXPECT_EQ(entries(), std::vector<std::string>{"saved.jpg"});
}

// The pictures shipped with the game and the fuzzers' seed files are all
// meant to be valid: a reader change that rejects one of them is a regression.
TEST(Picture, BundledPicturesAndSeedFilesDecode) {
  const fs::path source = DUDURI_SOURCE_DIR;
  const std::pair<const char*, TPictureSize> bundled[] = {{"harbour.jpg", {1024, 768}},
                                                          {"meadow.jpg", {1024, 768}},
                                                          {"mosaic.jpg", {800, 600}},
                                                          {"tower.jpg", {768, 1024}}};
  for (const auto& [name, size] : bundled) {
    SCOPED_TRACE(name);
    const TPicture p = LoadPictureFile(source / "data" / name);
    EXPECT_EQ(p.Width, size.Width);
    EXPECT_EQ(p.Height, size.Height);
  }
  // The corpora hold what fuzzing found besides the hand-made seeds: every
  // file either decodes whole or is refused with a reader's error.
  int seeds = 0;
  for (const char* folder : {"fuzz/corpus/bmp", "fuzz/corpus/jpeg"}) {
    for (const auto& entry : fs::directory_iterator(source / folder)) {
      SCOPED_TRACE(entry.path().string());
      try {
        const TPicture p = LoadPictureFile(entry.path());
        EXPECT_EQ(p.Pixels.size(), std::size_t(p.Width) * std::size_t(p.Height));
        ++seeds;
      } catch (const EDuduriError&) {
      }
    }
  }
  EXPECT_GE(seeds, 20);
}

}  // namespace
}  // namespace duduri
