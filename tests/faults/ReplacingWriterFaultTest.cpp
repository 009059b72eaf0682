// The writer behind the save-game and save-picture commands under injected
// faults: every failure keeps the previous file and leaves nothing beside
// it, and each is told apart as the player reports it — the file could not
// be made or put in place ("Unable to save ..."), or writing it stopped part
// of the way ("Write Stream Error").

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "FaultShim.h"
#include "raster/Picture.h"
#include "shell/FileWriting.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

class ReplacingWriter : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("duduri-replacing-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    WriteFileReplacing(path(), before_);
  }
  void TearDown() override {
    DisarmFault();
    fs::remove_all(folder_);
  }
  fs::path path() const { return folder_ / "shot.bmp"; }
  void expectUntouched() {
    EXPECT_EQ(ReadFileBytes(path()), before_);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
  }

  const std::vector<std::byte> before_ = std::vector<std::byte>(300, std::byte{1});
  const std::vector<std::byte> after_ = std::vector<std::byte>(500, std::byte{2});
  fs::path folder_;
};

TEST_F(ReplacingWriter, EachFailureKeepsThePreviousFileAndIsToldApart) {
  for (std::size_t offset : {std::size_t(0), std::size_t(1), std::size_t(250), std::size_t(499)}) {
    ArmFault({TFault::NoSpace, "shot.bmp", offset});
    EXPECT_THROW(WriteFileReplacing(path(), after_), EFileWriteError) << offset;
    DisarmFault();
    expectUntouched();
  }
  for (TFault fault : {TFault::FsyncFails, TFault::CloseFails}) {
    ArmFault({fault, "shot.bmp", 0});
    EXPECT_THROW(WriteFileReplacing(path(), after_), EFileWriteError);
    DisarmFault();
    expectUntouched();
  }
  for (TFault fault : {TFault::RenameFails, TFault::OpenDenied}) {
    ArmFault({fault, "shot.bmp", 0});
    try {
      WriteFileReplacing(path(), after_);
      ADD_FAILURE() << "the write went through";
    } catch (const EFileCreateError& e) {
      EXPECT_NE(std::string(e.what()).find("shot.bmp"), std::string::npos) << e.what();
    }
    DisarmFault();
    expectUntouched();
  }
  // A write that takes fewer bytes than asked is carried on.
  ArmFault({TFault::ShortWrite, "shot.bmp", 100});
  WriteFileReplacing(path(), after_);
  DisarmFault();
  EXPECT_EQ(ReadFileBytes(path()), after_);
}

}  // namespace
}  // namespace duduri::test
