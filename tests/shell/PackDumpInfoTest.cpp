// duduri-pack dump and info on the files the player reads and writes, as
// scripts use them: the exit status says whether the file was read, the
// reader's message goes to standard error, and the extension picks the
// reader when the content is not recognised. Skipped when the tool has not
// been built beside the tests.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "TestProject.h"
#include "board/JigsawFile.h"
#include "project/HighScore.h"
#include "raster/Picture.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(DUDURI_BINARY_DIR) / "bin" / "duduri-pack";

class PackDumpInfo : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kTool)) GTEST_SKIP() << "duduri-pack not built";
    dir_ = fs::temp_directory_path() / ("duduri-dumpinfo-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  struct TRun {
    int status;
    std::string out;
    std::string err;
  };
  TRun run(const std::string& command, const std::string& file) {
    const std::string line = "cd '" + dir_.string() + "' && '" + kTool.string() + "' " + command +
                             " '" + file + "' >out.txt 2>err.txt";
    const int status = std::system(line.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text("out.txt"), text("err.txt")};
  }
  std::string text(const std::string& name) {
    std::ifstream in(dir_ / name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void write(const std::string& name, const TBytes& bytes) {
    WriteFileAtomically(dir_ / name, bytes);
  }

  fs::path dir_;
};

TBytes savedGame() {
  TJigsawFile game;
  game.Columns = 2;
  game.Rows = 1;
  game.PictureId = 3;
  game.Ticks = 75;
  game.CheatCount = 2;
  game.Pieces.resize(2);
  game.Pieces[1].Placed = 1;
  return game.SaveToBytes();
}

TEST_F(PackDumpInfo, FilesThatReadGiveStatusZero) {
  write("game.jsw", savedGame());
  THighScore scores;
  scores.Add({"Ann", 61, 0});
  write("scores.dat", scores.SaveToBytes());
  write("puzzle.pzp", MakeTestPackage({.Pictures = 1}));
  for (const char* command : {"dump", "info"}) {
    for (const char* file : {"game.jsw", "scores.dat", "puzzle.pzp"}) {
      const TRun r = run(command, file);
      EXPECT_EQ(r.status, 0) << command << " " << file << ": " << r.err;
      EXPECT_TRUE(r.err.empty()) << r.err;
    }
  }
  EXPECT_NE(run("info", "game.jsw").out.find("clock: 00:01:15"), std::string::npos);
  EXPECT_NE(run("info", "game.jsw").out.find("pieces joined: 1 of 2"), std::string::npos);
  EXPECT_NE(run("info", "scores.dat").out.find("Ann"), std::string::npos);
  EXPECT_NE(run("dump", "game.jsw").out.find("\"cheatCount\": 2"), std::string::npos);
}

TEST_F(PackDumpInfo, FilesThatDoNotReadGiveTheReadersMessage) {
  TBytes cut = savedGame();
  cut.resize(cut.size() - 10);
  write("cut.jsw", cut);
  write("other.jsw", TBytes(40, std::byte{0x42}));
  write("other.dat", TBytes(40, std::byte{0x42}));
  THighScore table;
  table.Add({"Ann", 61, 0});
  TBytes scores = table.SaveToBytes();
  scores.resize(scores.size() - 6);
  write("cut.dat", scores);
  for (const char* command : {"dump", "info"}) {
    const TRun cutGame = run(command, "cut.jsw");
    EXPECT_EQ(cutGame.status, 1) << command;
    EXPECT_TRUE(cutGame.out.empty()) << cutGame.out;  // no JSON with an "error" in it
    EXPECT_NE(cutGame.err.find("cut.jsw: Error"), std::string::npos) << cutGame.err;

    const TRun other = run(command, "other.jsw");
    EXPECT_EQ(other.status, 1);
    EXPECT_NE(other.err.find("File:other.jsw is not a jigsaw file"), std::string::npos)
        << other.err;

    EXPECT_EQ(run(command, "other.dat").status, 1);
    EXPECT_NE(text("err.txt").find("not a high-score file"), std::string::npos);
    EXPECT_EQ(run(command, "cut.dat").status, 1);
    EXPECT_NE(text("err.txt").find("Stream read error"), std::string::npos) << text("err.txt");
  }
}

TEST_F(PackDumpInfo, AnExecutableWithoutAProjectIsSaidToBeOne) {
  fs::copy_file(kTool, dir_ / "player");
  write("odd.exe", TBytes(50, std::byte{0x42}));
  for (const char* file : {"player", "odd.exe"}) {
    const TRun info = run("info", file);
    EXPECT_EQ(info.status, 0) << file << ": " << info.err;
    EXPECT_NE(info.out.find("no project appended"), std::string::npos) << info.out;
    const TRun dump = run("dump", file);
    EXPECT_EQ(dump.status, 0) << file;
    EXPECT_NE(dump.out.find("\"note\": \"no project appended\""), std::string::npos) << dump.out;
  }
  write("odd.bin", TBytes(50, std::byte{0x42}));
  EXPECT_EQ(run("dump", "odd.bin").status, 1);
  EXPECT_NE(text("err.txt").find("not a file kind"), std::string::npos);
}

}  // namespace
}  // namespace duduri::test
