#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <iterator>

#include "board/JigsawFile.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

// Builds saved-game files byte by byte, the way the old versions laid them out.
struct TBytes {
  std::vector<std::byte> data;
  TBytes& I32(std::int32_t v) {
    for (int s = 0; s < 32; s += 8) data.push_back(std::byte(std::uint32_t(v) >> s));
    return *this;
  }
  TBytes& U8(std::uint8_t v) {
    data.push_back(std::byte(v));
    return *this;
  }
  TBytes& U16(std::uint16_t v) { return U8(std::uint8_t(v)).U8(std::uint8_t(v >> 8)); }
  TBytes& F32(float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    return I32(std::int32_t(u));
  }
  TBytes& Str(const std::string& s) {
    I32(std::int32_t(s.size()));
    for (char c : s) U8(std::uint8_t(c));
    return *this;
  }
  TBytes& Raw(std::initializer_list<int> bytes) {
    for (int b : bytes) U8(std::uint8_t(b));
    return *this;
  }
  // One 40-byte record whose fields are derived from k, so that a record
  // read from the wrong offset or in the wrong order shows.
  TBytes& Record(int k) {
    Raw({k, k + 1, k + 2, k + 3});
    for (int f = 0; f < 8; ++f) I32(k * 100 + f);
    return Raw({k % 4, (k + 1) % 4, k % 2, 0xEE});  // byte 39 is junk on purpose
  }
};

TSavedPiece ExpectedRecord(int k) {
  TSavedPiece p;
  p.LeftShape = std::uint8_t(k);
  p.TopShape = std::uint8_t(k + 1);
  p.RightShape = std::uint8_t(k + 2);
  p.BottomShape = std::uint8_t(k + 3);
  p.X = k * 100;
  p.Y = k * 100 + 1;
  p.HomeX = k * 100 + 2;
  p.HomeY = k * 100 + 3;
  p.StartX = k * 100 + 4;
  p.StartY = k * 100 + 5;
  p.Width = k * 100 + 6;
  p.Height = k * 100 + 7;
  p.Rotation = std::uint8_t(k % 4);
  p.StartRotation = std::uint8_t((k + 1) % 4);
  p.Placed = std::uint8_t(k % 2);
  return p;
}

void ExpectRecords(const TJigsawArrayData& pieces, int count) {
  ASSERT_EQ(pieces.size(), std::size_t(count));
  for (int k = 0; k < count; ++k) {
    EXPECT_EQ(std::memcmp(&pieces[k], &static_cast<const TSavedPiece&>(ExpectedRecord(k)),
                          sizeof(TSavedPiece)),
              0)
        << "record " << k;
  }
}

TPieces BoardTable(int columns, int rows) {
  TPieces table(std::size_t(rows), std::vector<TPieceSprite>(std::size_t(columns), TPieceSprite{}));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < columns; ++c) {
      TPieceSprite& piece = table[r][c];
      piece.Saved() = ExpectedRecord(r * columns + c);
      piece.Spare = 0x5A;  // must never reach the file
      piece.Selected = 1;
    }
  }
  return table;
}

std::string Message(const std::function<void()>& f) {
  try {
    f();
  } catch (const EJigsawFileError& e) {
    return e.what();
  }
  return "<no error>";
}

class JigsawFileDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("duduri-jsw-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  void WriteFile(const fs::path& path, const std::vector<std::byte>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  std::vector<std::byte> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::vector<std::byte>(reinterpret_cast<std::byte*>(chars.data()),
                                  reinterpret_cast<std::byte*>(chars.data()) + chars.size());
  }
  fs::path dir_;
};

TJigsawFile SixPieceGame(const TPieces& table) {
  TJigsawFile file;
  file.Columns = 2;
  file.Rows = 3;
  file.PieceScale = 1.5f;
  file.Ticks = 754;
  file.ExePath = "/a/b.exe";
  file.PictureId = 7;
  file.Level = 2;
  file.CheatCount = 513;
  file.SetPieces(table);
  return file;
}

TEST(JigsawFile, Version6LayoutAndRoundTrip) {
  const TPieces table = BoardTable(2, 3);
  TJigsawFile file = SixPieceGame(table);
  const std::vector<std::byte> bytes = file.SaveToBytes();

  ASSERT_EQ(bytes.size(), 283u);  // 35 + 8 + 6 x 40
  const std::vector<std::byte> header = TBytes()
                                            .I32(80303)
                                            .I32(6)
                                            .I32(2)
                                            .I32(3)
                                            .F32(1.5f)
                                            .I32(754)
                                            .Str("/a/b.exe")
                                            .I32(7)
                                            .U8(2)
                                            .U16(513)
                                            .data;
  EXPECT_TRUE(std::equal(header.begin(), header.end(), bytes.begin()));
  EXPECT_EQ(bytes[0], std::byte{0xAF});
  EXPECT_EQ(bytes[1], std::byte{0x39});
  for (std::size_t k = 0; k < 6; ++k) {
    EXPECT_EQ(bytes[43 + k * 40 + 39], std::byte{0}) << "record " << k;
  }

  TJigsawFile read;
  read.LoadFromBytes(bytes, "game.jsw");
  EXPECT_EQ(read.Version, 6);
  EXPECT_EQ(read.Columns, 2);
  EXPECT_EQ(read.Rows, 3);
  EXPECT_EQ(read.PieceScale, 1.5f);
  EXPECT_EQ(read.Ticks, 754);
  EXPECT_EQ(read.ExePath, "/a/b.exe");
  EXPECT_EQ(read.PictureId, 7);
  EXPECT_EQ(read.Level, 2);
  EXPECT_EQ(read.CheatCount, 513);
  ExpectRecords(read.Pieces, 6);
  EXPECT_EQ(read.SaveToBytes(), bytes);  // read -> write is byte-identical
}

TEST(JigsawFile, OlderVersionsKeepTheFieldsTheyDoNotCarry) {
  // Version 2: records at 24, a trailing bitmap that is checked and dropped.
  TBytes v2;
  v2.I32(80303).I32(2).I32(1).I32(2).F32(2.0f).I32(99);
  ASSERT_EQ(v2.data.size(), 24u);
  v2.Record(0).Record(1).Raw({'B', 'M', 1, 2, 3});
  TJigsawFile file;
  file.LoadFromBytes(v2.data, "old.jsw");
  EXPECT_EQ(file.Version, 2);
  EXPECT_EQ(file.Ticks, 99);
  EXPECT_EQ(file.ExePath, "");
  EXPECT_EQ(file.PictureId, 0);
  EXPECT_EQ(file.Level, 3);
  EXPECT_EQ(file.CheatCount, 0);
  ExpectRecords(file.Pieces, 2);
  EXPECT_TRUE(file.Picture.Pixels.empty());

  // Version 1 over an object that already holds a game: Ticks is not in the
  // file and stays as it was.
  TBytes v1;
  v1.I32(80303).I32(1).I32(1).I32(1).F32(0).Record(0);
  file.LoadFromBytes(v1.data, "v1.jsw");
  EXPECT_EQ(file.Version, 1);
  EXPECT_EQ(file.Ticks, 99);
  ExpectRecords(file.Pieces, 1);

  // Versions 3, 4 and 5 each add a field; 4 and 5 share a layout.
  for (int version : {3, 4, 5}) {
    TBytes b;
    b.I32(80303).I32(version).I32(1).I32(1).F32(0).I32(5).Str("x.exe");
    if (version >= 4) b.I32(42);
    b.Record(0);
    TJigsawFile f;
    f.LoadFromBytes(b.data, "v.jsw");
    EXPECT_EQ(f.ExePath, "x.exe");
    EXPECT_EQ(f.PictureId, version >= 4 ? 42 : 0);
    EXPECT_EQ(f.Level, 3);
    ExpectRecords(f.Pieces, 1);
  }
}

TEST(JigsawFile, Messages) {
  TJigsawFile file;
  EXPECT_EQ(Message([&] {
              file.LoadFromBytes(TBytes().I32(80304).I32(6).I32(0).I32(0).F32(0).data, "x.jsw");
            }),
            "File:x.jsw is not a jigsaw file");
  for (int version : {0, 7, -1}) {
    EXPECT_EQ(Message([&] {
                file.LoadFromBytes(TBytes().I32(80303).I32(version).I32(0).I32(0).F32(0).data, "x");
              }),
              "Not supported version");
  }
  EXPECT_EQ(Message([&] { file.LoadFromFile("/nonexistent/dir/g.jsw"); }),
            "File:/nonexistent/dir/g.jsw is not found");
}

TEST(JigsawFile, BadInputFailsWithErrorAndChangesNothing) {
  const TPieces table = BoardTable(2, 3);
  TJigsawFile good = SixPieceGame(table);
  const std::vector<std::byte> valid = good.SaveToBytes();

  TJigsawFile file;
  file.Ticks = 11;
  file.ExePath = "keep";
  // Every truncation of a valid file.
  for (std::size_t n = 0; n < valid.size(); ++n) {
    std::span<const std::byte> prefix(valid.data(), n);
    EXPECT_EQ(Message([&] { file.LoadFromBytes(prefix, "t"); }), "Error") << "length " << n;
  }
  EXPECT_EQ(file.Ticks, 11);
  EXPECT_EQ(file.ExePath, "keep");
  EXPECT_TRUE(file.Pieces.empty());

  const auto header = [](std::int32_t columns, std::int32_t rows) {
    return TBytes().I32(80303).I32(6).I32(columns).I32(rows).F32(1).I32(0);
  };
  // 2^31 records claimed by a 40-byte file: refused before any allocation.
  EXPECT_EQ(Message([&] {
              file.LoadFromBytes(header(65536, 32768).Str("").I32(0).U8(0).U16(0).data, "h");
            }),
            "Error");
  EXPECT_EQ(Message([&] {
              file.LoadFromBytes(header(-2, -3).Str("").I32(0).U8(0).U16(0).Record(0).data, "n");
            }),
            "Error");
  EXPECT_EQ(Message([&] { file.LoadFromBytes(header(0, 0).I32(-1).data, "p"); }), "Error");
  EXPECT_EQ(Message([&] { file.LoadFromBytes(header(0, 0).I32(0x7FFFFFFF).data, "p"); }), "Error");

  // The trailing picture must be a bitmap stream, even one byte of it.
  TBytes v4 = TBytes().I32(80303).I32(4).I32(0).I32(0).F32(0).I32(0).Str("").I32(0);
  file.LoadFromBytes(v4.data, "ok");
  EXPECT_EQ(Message([&] { file.LoadFromBytes(TBytes(v4).Raw({'B'}).data, "b"); }), "Error");
  EXPECT_EQ(Message([&] {
              file.LoadFromBytes(TBytes(v4).Raw({'G', 'I', 'F'}).data, "g");
            }),
            "Error");
}

TEST(JigsawFile, SavingChecksThePieceTable) {
  TPieces table = BoardTable(2, 2);
  TJigsawFile file = SixPieceGame(table);  // claims 2 x 3 over a 2 x 2 table
  EXPECT_THROW(file.SaveToBytes(), EJigsawFileError);

  // Without a board table the records held are written, and must match.
  TJigsawFile layout;
  layout.Columns = 1;
  layout.Rows = 2;
  layout.Pieces = {ExpectedRecord(0)};
  EXPECT_THROW(layout.SaveToBytes(), EJigsawFileError);
  layout.Pieces.push_back(ExpectedRecord(1));
  layout.Pieces[1].Spare = 9;
  const std::vector<std::byte> bytes = layout.SaveToBytes();
  EXPECT_EQ(bytes.size(), 35u + 80u);
  EXPECT_EQ(bytes.back(), std::byte{0});
}

TEST_F(JigsawFileDir, ReSaveOfVersion4) {
  const fs::path path = dir_ / "old.jsw";
  TBytes v4;
  v4.I32(80303).I32(4).I32(3).I32(1).F32(0.75f).I32(321).Str("C:\\x.exe").I32(17);
  v4.Record(0).Record(1).Record(2).Raw({'B', 'M', 0, 0, 0, 0});
  WriteFile(path, v4.data);

  TJigsawFile file;
  file.ReSave(path);
  TJigsawFile again;
  again.LoadFromFile(path);
  EXPECT_EQ(again.Version, 6);
  EXPECT_EQ(again.Level, 3);
  EXPECT_EQ(again.CheatCount, 0);
  EXPECT_EQ(again.Ticks, 321);
  EXPECT_EQ(again.PieceScale, 0.75f);
  EXPECT_EQ(again.ExePath, "C:\\x.exe");
  EXPECT_EQ(again.PictureId, 17);
  ExpectRecords(again.Pieces, 3);
  EXPECT_EQ(fs::file_size(path), 35u + 8u + 120u);  // no trailing picture

  // After ReSave, saving rebuilds from the board again.
  const TPieces table = BoardTable(3, 1);
  file.SetPieces(table);
  file.SaveToFile(path);
  again.LoadFromFile(path);
  ExpectRecords(again.Pieces, 3);
}

TEST_F(JigsawFileDir, FailedSaveLeavesTheOldFile) {
  const fs::path path = dir_ / "game.jsw";
  const TPieces table = BoardTable(2, 3);
  TJigsawFile file = SixPieceGame(table);
  file.SaveToFile(path);
  const std::vector<std::byte> before = ReadAll(path);

  // A bigger game, written while the process may only write 100 bytes per
  // file: the write fails half-way, as on a full disk.
  const TPieces big = BoardTable(10, 10);
  file.Columns = 10;
  file.Rows = 10;
  file.SetPieces(big);
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  bool threw = false;
  try {
    file.SaveToFile(path);
  } catch (const EDuduriError&) {
    threw = true;
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_TRUE(threw);

  EXPECT_EQ(ReadAll(path), before);
  TJigsawFile read;
  read.LoadFromFile(path);
  EXPECT_EQ(read.Columns, 2);
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir_)) ++files;
  EXPECT_EQ(files, 1u);  // no temporary left behind

  // A folder that does not exist: nothing is created.
  EXPECT_THROW(file.SaveToFile(dir_ / "missing" / "g.jsw"), EDuduriError);
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

}  // namespace
}  // namespace duduri
