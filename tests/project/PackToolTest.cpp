// duduri-pack create / dump / repack / exe / extract, run as people run them.
// Skipped when the tool has not been built beside the tests.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ProjectTestData.h"
#include "project/Overlay.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(DUDURI_BINARY_DIR) / "bin" / "duduri-pack";

class PackTool : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kTool)) GTEST_SKIP() << "duduri-pack not built";
    dir_ = fs::temp_directory_path() / ("duduri-packtool-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    WriteFileAtomically(dir_ / "a.jpg", test::MakeJpeg(160, 120, 3));
    WriteFileAtomically(dir_ / "b.bmp", test::MakeBmp(90, 70));
    WriteFileAtomically(dir_ / "click.wav", TBytes(44, std::byte{1}));
    WriteFileAtomically(dir_ / "music.mid", TBytes(30, std::byte{2}));
    WriteFileAtomically(dir_ / "player", TBytes(4096, std::byte{0x90}));
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  // Runs the tool in the test folder; returns its exit status.
  int run(const std::string& args) {
    const std::string command =
        "cd '" + dir_.string() + "' && '" + kTool.string() + "' " + args + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string text(const std::string& name) {
    std::ifstream in(dir_ / name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
};

TEST_F(PackTool, CreateDumpAndRepackRoundTripAFullProject) {
  const std::string master = test::MasterTemplateSetFile().string();
  ASSERT_EQ(run("create game.pzp a.jpg b.bmp --background a.jpg --fill tile --title 'My game' "
                "--choice random --range 20 60 --scale 3 --time-trial 900 --snap 5 --no-rotation "
                "--no-shadow --flat --sound-off --no-highscores --splash b.bmp --about a.jpg "
                "--icon click.wav --sound 0 music.mid --sound 2 click.wav "
                "--skin a.jpg 10 20 600 400 --text-style 5 6 70 20 Sans 11 "
                "--banner a.jpg https://example.org 1500 --banner b.bmp '' 800 "
                "--menu '&Game/&Next' 19 '' --menu '&Help/&Web' 11 https://example.org "
                "--start-script 5 '' --exit-script 3 '' --win-script 18 '' --templates '" +
                master + "'"),
            0)
      << text("err.txt");
  ASSERT_EQ(run("dump game.pzp --out game.json"), 0) << text("err.txt");
  const std::string json = text("game.json");
  for (const char* expected :
       {"\"kind\": \"package\"", "\"caption\": \"My game\"", "\"pictureCount\": 2",
        "\"backgroundCount\": 1", "\"pictureChoice\": 2", "\"timeTrialTicks\": 900",
        "\"snapDistance\": 5", "\"soundOn\": 0", "\"projectFlags\": 1", "\"windowStyle\": 19",
        "\"name\": \"&Next\"", "\"text\": \"https://example.org\"",
        "\"url\": \"https://example.org\"", "\"interval\": 800", "\"name\": \"Sans\"",
        "\"format\": 2", "\"fillMode\": 2", "\"unknownChunkRead\": false"})
    EXPECT_NE(json.find(expected), std::string::npos) << expected;

  // The BMP picture is stored as JPEG.
  TJigsawProject2 p;
  p.LoadFromFile(dir_ / "game.pzp");
  ASSERT_EQ(p.Pictures.size(), 3u);
  EXPECT_EQ(DetectPictureFormat(p.Pictures[1].Data), TPictureFormat::pfJPEG);
  EXPECT_EQ(p.Banners.Banner(1)->TypeData, tdBMP);

  // create is deterministic, and repack writes the same bytes back.
  ASSERT_EQ(run("repack game.pzp again.pzp --templates '" + master + "'"), 0) << text("err.txt");
  EXPECT_EQ(ReadFileBytes(dir_ / "game.pzp"), ReadFileBytes(dir_ / "again.pzp"));
  ASSERT_EQ(run("dump again.pzp --out again.json"), 0);
  EXPECT_EQ(text("again.json").substr(text("again.json").find("\"header\"")),
            json.substr(json.find("\"header\"")));
}

TEST_F(PackTool, ExecutablesCarryTheProjectAndAreDumpedAsSuch) {
  const std::string master = test::MasterTemplateSetFile().string();
  ASSERT_EQ(run("create game.pzp a.jpg --templates '" + master + "'"), 0) << text("err.txt");
  ASSERT_EQ(run("exe game.exe --project game.pzp --player player"), 0) << text("err.txt");
  const TOverlayLayout layout = FindOverlay(dir_ / "game.exe");
  ASSERT_TRUE(layout.HasPackage);
  EXPECT_EQ(layout.PlayerImageSize, 4096u);
  // Replacing the project of an executable keeps one player image.
  ASSERT_EQ(run("exe again.exe --project game.exe --player game.exe"), 0) << text("err.txt");
  EXPECT_EQ(ReadFileBytes(dir_ / "again.exe"), ReadFileBytes(dir_ / "game.exe"));
  ASSERT_EQ(run("dump game.exe"), 0);
  EXPECT_NE(text("out.txt").find("\"kind\": \"executable\""), std::string::npos);
  ASSERT_EQ(run("info game.exe"), 0);
  EXPECT_NE(text("out.txt").find("pictures: 1"), std::string::npos);
  ASSERT_EQ(run("extract game.exe parts"), 0) << text("err.txt");
  EXPECT_TRUE(fs::exists(dir_ / "parts" / "picture-1.jpg"));
  EXPECT_TRUE(fs::exists(dir_ / "parts" / "templates.pzjc"));
}

// A w x h RGB PNG of one colour, chunk by chunk.
TBytes solidPng(std::uint32_t w, std::uint32_t h) {
  TBytes out;
  auto be = [&out](std::uint32_t v) {
    for (int i = 3; i >= 0; --i) out.push_back(std::byte((v >> (8 * i)) & 0xFF));
  };
  auto chunk = [&](const char* type, const std::vector<unsigned char>& data) {
    be(std::uint32_t(data.size()));
    const std::size_t start = out.size();
    for (int i = 0; i < 4; ++i) out.push_back(std::byte(type[i]));
    for (unsigned char c : data) out.push_back(std::byte(c));
    be(std::uint32_t(
        crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), uInt(out.size() - start))));
  };
  for (unsigned c : {0x89u, 0x50u, 0x4Eu, 0x47u, 0x0Du, 0x0Au, 0x1Au, 0x0Au}) {
    out.push_back(std::byte(c));
  }
  chunk("IHDR", {0, 0, std::uint8_t(w >> 8), std::uint8_t(w), 0, 0, std::uint8_t(h >> 8),
                 std::uint8_t(h), 8, 2, 0, 0, 0});
  std::vector<unsigned char> raw;
  for (std::uint32_t y = 0; y < h; ++y) {
    raw.push_back(0);  // no filter
    for (std::uint32_t x = 0; x < w; ++x) raw.insert(raw.end(), {200, 80, 40});
  }
  std::vector<unsigned char> packed(compressBound(uLong(raw.size())));
  uLongf size = uLongf(packed.size());
  compress(packed.data(), &size, raw.data(), uLong(raw.size()));
  packed.resize(size);
  chunk("IDAT", packed);
  chunk("IEND", {});
  return out;
}

TEST_F(PackTool, PngPicturesAreStoredAsJpegInProjectsAndExecutables) {
  if (!DUDURI_HAS_QT) GTEST_SKIP() << "duduri-pack reads PNG through Qt, not built here";
  WriteFileAtomically(dir_ / "photo.png", solidPng(120, 90));
  const std::string master = test::MasterTemplateSetFile().string();
  ASSERT_EQ(run("create png.pzp photo.png --templates '" + master + "'"), 0) << text("err.txt");
  ASSERT_EQ(run("extract png.pzp parts"), 0) << text("err.txt");
  const TPicture stored = DecodeJpeg(ReadFileBytes(dir_ / "parts" / "picture-1.jpg"));
  EXPECT_EQ(stored.Width, 120);
  EXPECT_EQ(stored.Height, 90);

  ASSERT_EQ(run("exe game.exe --project png.pzp --player player --picture photo.png"), 0)
      << text("err.txt");
  const TOverlayLayout layout = FindOverlay(dir_ / "game.exe");
  ASSERT_TRUE(layout.HasExtraImages);
  const TBytes exe = ReadFileBytes(dir_ / "game.exe");
  const std::size_t block = std::size_t(layout.ExtraImagesOffset);
  // Start tag, record tag, size, id, type, then the format: 1 is JPEG.
  EXPECT_EQ(std::to_integer<int>(exe[block + 13]), 1);
  EXPECT_EQ(DetectPictureFormat(std::span(exe).subspan(block + 14)), TPictureFormat::pfJPEG);

  // A file that is no picture stops the command with its name.
  WriteFileAtomically(dir_ / "notes.txt", TBytes(10, std::byte{'x'}));
  EXPECT_NE(run("exe bad.exe --project png.pzp --player player --picture notes.txt"), 0);
  EXPECT_NE(text("err.txt").find("notes.txt"), std::string::npos) << text("err.txt");
  EXPECT_FALSE(fs::exists(dir_ / "bad.exe"));
}

TEST_F(PackTool, UnreadableFilesExitNonZeroWithTheReadersMessage) {
  for (const char* command : {"dump missing.pzp", "info missing.pzp", "repack missing.pzp x.pzp",
                              "extract missing.pzp d", "create x.pzp missing.jpg"}) {
    EXPECT_NE(run(command), 0) << command;
    EXPECT_NE(text("err.txt").find("missing"), std::string::npos) << command;
  }
  WriteFileAtomically(dir_ / "junk.pzp",
                      TBytes{std::byte{0xAD}, std::byte{0xDE}, std::byte{0}, std::byte{0},
                             std::byte{0x7F}, std::byte{0}, std::byte{0}, std::byte{0}});
  EXPECT_NE(run("info junk.pzp"), 0);
  EXPECT_NE(text("err.txt").find("Stream read error"), std::string::npos) << text("err.txt");
  for (const char* sub : {"create", "exe", "info", "dump", "extract", "repack"})
    EXPECT_EQ(run(std::string(sub) + " --help"), 0) << sub;
}

}  // namespace
}  // namespace duduri
