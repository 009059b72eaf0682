// The files the player writes survive every failure of the write: a save
// that fails at any byte, a full disk, a failed flush or close, a failed
// rename, a crash between the write and the rename, a folder that refuses
// new files. Each time the previous file must still read back as it was,
// and no temporary file may be left beside it.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FaultShim.h"
#include "board/JigsawFile.h"
#include "project/HighScore.h"
#include "raster/Error.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

std::vector<char> readAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Files in the folder other than the ones named.
std::vector<fs::path> strays(const fs::path& folder, const std::vector<fs::path>& known) {
  std::vector<fs::path> result;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (std::find(known.begin(), known.end(), entry.path()) == known.end()) {
      result.push_back(entry.path());
    }
  }
  return result;
}

class FileFaults : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("duduri-faults-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    DisarmFault();
    fs::remove_all(folder_);
  }

  // A saved game of 4 x 3 pieces whose records differ from one save to the
  // next by `generation`.
  static TJigsawFile game(int generation) {
    TJigsawFile file;
    file.Columns = 4;
    file.Rows = 3;
    file.PieceScale = 2.5f;
    file.Ticks = 100 + generation;
    file.ExePath = "/usr/games/duduri";
    file.PictureId = 42;
    file.Level = 2;
    file.CheatCount = std::uint16_t(generation);
    file.Pieces.resize(12);
    for (std::size_t i = 0; i < file.Pieces.size(); ++i) {
      file.Pieces[i].X = std::int32_t(i * 10 + generation);
      file.Pieces[i].Y = std::int32_t(i * 7);
      file.Pieces[i].Width = 50;
      file.Pieces[i].Height = 40;
    }
    return file;
  }

  static THighScore scores(int generation) {
    THighScore s;
    for (int level = 0; level < 4; ++level) {
      for (int i = 0; i < 5; ++i) {
        s.Add({"player " + std::to_string(i) + "/" + std::to_string(generation),
               std::int32_t(60 * i + level + generation), std::uint8_t(level)});
      }
    }
    return s;
  }

  fs::path folder_;
};

// Every byte of a saved game: a short write there is carried on through; a
// full disk there fails the save and keeps the previous file.
TEST_F(FileFaults, SavedGameFailingAtAnyByteKeepsThePreviousFile) {
  const fs::path path = folder_ / "game.jsw";
  TJigsawFile first = game(1);
  first.SaveToFile(path);
  const std::vector<char> before = readAll(path);
  const std::size_t size = before.size();

  for (std::size_t offset = 0; offset <= size; ++offset) {
    SCOPED_TRACE("offset " + std::to_string(offset));
    ArmFault({TFault::NoSpace, "game.jsw", offset});
    TJigsawFile second = game(2);
    if (offset < size) {
      EXPECT_THROW(second.SaveToFile(path), EDuduriError);
      EXPECT_EQ(readAll(path), before);
    } else {
      second.SaveToFile(path);  // everything fits
    }
    DisarmFault();
    EXPECT_TRUE(strays(folder_, {path}).empty());
    TJigsawFile loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.CheatCount, offset < size ? 1 : 2);
    if (offset == size) break;
  }

  // A write that takes fewer bytes than asked is not an error.
  for (std::size_t offset : {std::size_t(0), std::size_t(1), size / 2, size - 1}) {
    ArmFault({TFault::ShortWrite, "game.jsw", offset});
    TJigsawFile third = game(3);
    third.SaveToFile(path);
    DisarmFault();
    TJigsawFile loaded;
    loaded.LoadFromFile(path);
    EXPECT_EQ(loaded.CheatCount, 3);
    EXPECT_EQ(loaded.Pieces.size(), 12u);
  }
}

TEST_F(FileFaults, HighScoresFailingAtAnyByteKeepThePreviousFile) {
  const fs::path path = folder_ / "highscorefile.dat";
  scores(1).SaveToFile(path);
  const std::vector<char> before = readAll(path);
  for (std::size_t offset = 0; offset < before.size(); ++offset) {
    SCOPED_TRACE("offset " + std::to_string(offset));
    ArmFault({TFault::NoSpace, "highscorefile.dat", offset});
    EXPECT_THROW(scores(2).SaveToFile(path), EDuduriError);
    DisarmFault();
    EXPECT_EQ(readAll(path), before);
    EXPECT_TRUE(strays(folder_, {path}).empty());
  }
  THighScore loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.EntryAt(0, 0).Name, scores(1).EntryAt(0, 0).Name);
}

// The steps after the bytes are out: flush, close and rename.
TEST_F(FileFaults, FailedFlushCloseOrRenameKeepsThePreviousFile) {
  const fs::path game_path = folder_ / "game.jsw";
  const fs::path score_path = folder_ / "highscorefile.dat";
  TJigsawFile first = game(1);
  first.SaveToFile(game_path);
  scores(1).SaveToFile(score_path);
  const std::vector<char> game_before = readAll(game_path);
  const std::vector<char> scores_before = readAll(score_path);

  for (TFault fault : {TFault::FsyncFails, TFault::CloseFails, TFault::RenameFails}) {
    ArmFault({fault, "game.jsw", 0});
    TJigsawFile second = game(2);
    EXPECT_THROW(second.SaveToFile(game_path), EDuduriError);
    EXPECT_EQ(FaultsFired(), 1);
    ArmFault({fault, "highscorefile.dat", 0});
    EXPECT_THROW(scores(2).SaveToFile(score_path), EDuduriError);
    EXPECT_EQ(FaultsFired(), 1);
    DisarmFault();
    EXPECT_EQ(readAll(game_path), game_before);
    EXPECT_EQ(readAll(score_path), scores_before);
    EXPECT_TRUE(strays(folder_, {game_path, score_path}).empty());
  }
}

// A process that dies after writing and before renaming leaves the old file
// whole; the next save goes through and replaces it.
TEST_F(FileFaults, CrashBetweenWriteAndRenameKeepsThePreviousFile) {
  const fs::path path = folder_ / "game.jsw";
  TJigsawFile first = game(1);
  first.SaveToFile(path);
  const std::vector<char> before = readAll(path);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ArmFault({TFault::CrashBeforeRename, "game.jsw", 0});
    TJigsawFile second = game(2);
    second.SaveToFile(path);
    _exit(0);  // not reached: the rename ends the process
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 3);
  EXPECT_EQ(readAll(path), before);

  TJigsawFile third = game(3);
  third.SaveToFile(path);
  TJigsawFile loaded;
  loaded.LoadFromFile(path);
  EXPECT_EQ(loaded.CheatCount, 3);
}

// A folder that refuses new files (a read-only medium, another owner) gives a
// clear error naming the file and leaves what is there.
TEST_F(FileFaults, FolderThatRefusesNewFilesReportsTheFile) {
  const fs::path path = folder_ / "highscorefile.dat";
  scores(1).SaveToFile(path);
  const std::vector<char> before = readAll(path);
  ArmFault({TFault::OpenDenied, "highscorefile.dat", 0});
  try {
    scores(2).SaveToFile(path);
    FAIL() << "the save went through";
  } catch (const EDuduriError& e) {
    EXPECT_NE(std::string(e.what()).find("highscorefile.dat"), std::string::npos) << e.what();
  }
  DisarmFault();
  EXPECT_EQ(readAll(path), before);
}

}  // namespace
}  // namespace duduri::test
