#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "project/HighScore.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

std::vector<std::byte> Bytes(const std::string& s) {
  return {reinterpret_cast<const std::byte*>(s.data()),
          reinterpret_cast<const std::byte*>(s.data()) + s.size()};
}

struct TFileBuilder {
  std::string s = "HGSC";
  TFileBuilder& U16(int v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
    return *this;
  }
  TFileBuilder& I32(std::int32_t v) {
    for (int k = 0; k < 32; k += 8) s += char((std::uint32_t(v) >> k) & 0xFF);
    return *this;
  }
  TFileBuilder& Entry(const std::string& name, std::int32_t score, int level) {
    I32(std::int32_t(name.size()));
    s += name;
    I32(score);
    s += char(level);
    return *this;
  }
};

THighScore TableOf(int level, std::initializer_list<std::int32_t> scores) {
  THighScore table;
  int n = 0;
  for (std::int32_t score : scores) {
    std::string name = std::to_string(n++);
    table.Add({name, score, std::uint8_t(level)});
  }
  return table;
}

TEST(HighScore, QualifiesAgainstTheTopTen) {
  const THighScore full = TableOf(1, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110});
  EXPECT_FALSE(full.Qualifies(1, 100).Qualifies);  // equal to the tenth
  EXPECT_EQ(full.Qualifies(1, 100).Position, -1);
  EXPECT_FALSE(full.Qualifies(1, 105).Qualifies);  // the eleventh entry does not count
  EXPECT_EQ(full.Qualifies(1, 99).Position, 9);
  EXPECT_EQ(full.Qualifies(1, 30).Position, 3);  // after an equal score
  EXPECT_EQ(full.Qualifies(1, 5).Position, 0);
  EXPECT_EQ(full.Qualifies(0, 1000).Position, 0);  // another level is empty

  const THighScore few = TableOf(2, {10, 20, 30});
  EXPECT_EQ(few.Qualifies(2, 25).Position, 2);
  EXPECT_EQ(few.Qualifies(2, 1000).Position, 3);  // first empty place
  EXPECT_FALSE(few.Qualifies(4, 1).Qualifies);
  EXPECT_FALSE(few.Qualifies(-1, 1).Qualifies);
}

TEST(HighScore, AddKeepsOrderAndEntryAt) {
  THighScore table;
  table.Add({"a", 30, 3});
  table.Add({"b", 10, 3});
  table.Add({"c", 30, 3});
  table.Add({"d", 20, 3});
  table.Add({"e", 30, 3});
  table.Add({"bad", 1, 9});  // no such level: ignored
  ASSERT_EQ(table.Count(3), 5);
  std::string order;
  for (int i = 0; i < 5; ++i) order += table.EntryAt(3, i).Name;
  EXPECT_EQ(order, "bdace");  // equal scores keep the order they came in
  EXPECT_EQ(table.EntryAt(3, 5), (THighScoreData{"", -1, 3}));
  EXPECT_EQ(table.EntryAt(3, -1).Score, -1);
  EXPECT_EQ(table.EntryAt(7, 0).Score, -1);
  table.Clear(3);
  EXPECT_EQ(table.Count(3), 0);
}

TEST(HighScore, FileLayout) {
  THighScore empty;
  EXPECT_EQ(empty.SaveToBytes(), Bytes(TFileBuilder().U16(4320).s));

  THighScore table;
  table.Add({"ann", 50, 0});
  table.Add({"bo", 70, 2});
  table.Add({"", 40, 2});
  // Levels 1, 2, 3 and then 0; empty levels are left out.
  const std::string expected = TFileBuilder()
                                   .U16(4322)
                                   .I32(4 + 11 + 9)
                                   .I32(2)
                                   .Entry("", 40, 2)
                                   .Entry("bo", 70, 2)
                                   .U16(4324)
                                   .I32(4 + 12)
                                   .I32(1)
                                   .Entry("ann", 50, 0)
                                   .U16(4320)
                                   .s;
  const std::vector<std::byte> bytes = table.SaveToBytes();
  EXPECT_EQ(bytes, Bytes(expected));

  THighScore read;
  read.LoadFromBytes(bytes);
  EXPECT_EQ(read.SaveToBytes(), bytes);
  EXPECT_EQ(read.EntryAt(2, 1), (THighScoreData{"bo", 70, 2}));
}

TEST(HighScore, ReadingIsForgiving) {
  THighScore table = TableOf(1, {5});
  // Another signature: ignored, the tables stay.
  table.LoadFromBytes(Bytes("HGSX" + TFileBuilder().U16(4320).s.substr(4)));
  EXPECT_EQ(table.Count(1), 1);

  // An unknown tag is skipped by its block length; a block replaces its level.
  table.LoadFromBytes(Bytes(
      TFileBuilder().U16(4999).I32(3).s + "xyz" +
      TFileBuilder().U16(4321).I32(0).I32(2).Entry("z", 9, 1).Entry("y", 3, 1).U16(4320).s.substr(
          4)));
  ASSERT_EQ(table.Count(1), 2);
  EXPECT_EQ(table.EntryAt(1, 0).Name, "y");  // put in order

  // Damage after a complete block: that block stays, entries of the damaged
  // block read so far stay, and the error is reported.
  const std::string damaged = TFileBuilder()
                                  .U16(4323)
                                  .I32(0)
                                  .I32(1)
                                  .Entry("ok", 7, 3)
                                  .U16(4324)
                                  .I32(0)
                                  .I32(3)
                                  .Entry("first", 8, 0)
                                  .I32(-5)
                                  .s;
  THighScore partial;
  EXPECT_THROW(partial.LoadFromBytes(Bytes(damaged)), EHighScoreError);
  EXPECT_EQ(partial.Count(3), 1);
  ASSERT_EQ(partial.Count(0), 1);
  EXPECT_EQ(partial.EntryAt(0, 0).Name, "first");

  // Counts and lengths past the end fail cleanly; so does every truncation.
  const auto fails = [](const std::string& s) {
    THighScore t;
    try {
      t.LoadFromBytes(Bytes(s));
    } catch (const EHighScoreError& e) {
      return std::string(e.what()) == "Stream read error";
    }
    return false;
  };
  EXPECT_TRUE(fails(TFileBuilder().U16(4321).I32(0).I32(0x7FFFFFFF).s));
  EXPECT_TRUE(fails(TFileBuilder().U16(4321).I32(0).I32(-1).s));
  EXPECT_TRUE(fails(TFileBuilder().U16(4321).I32(0).I32(1).I32(0x7FFFFFF0).s));
  EXPECT_TRUE(fails(TFileBuilder().U16(4998).I32(-4).U16(4320).s));
  const std::string valid = TFileBuilder().U16(4321).I32(0).I32(1).Entry("n", 1, 1).U16(4320).s;
  for (std::size_t n = 4; n < valid.size(); ++n) EXPECT_TRUE(fails(valid.substr(0, n))) << n;
}

TEST(HighScore, FileLocation) {
  const fs::path exe = "/opt/duduri";
  EXPECT_EQ(HighScoreFilePath(exe, true, "/x", "/home/u"), exe / "highscorefile.dat");
  EXPECT_EQ(HighScoreFilePath(exe, false, "/data", "/home/u"),
            fs::path("/data/duduri/highscorefile.dat"));
  EXPECT_EQ(HighScoreFilePath(exe, false, "relative", "/home/u"),
            fs::path("/home/u/.local/share/duduri/highscorefile.dat"));
  EXPECT_EQ(HighScoreFilePath(exe, false, nullptr, "/home/u"),
            fs::path("/home/u/.local/share/duduri/highscorefile.dat"));
  EXPECT_EQ(HighScoreFilePath(exe, false, nullptr, nullptr), exe / "highscorefile.dat");
}

TEST(HighScore, SaveCreatesTheDataFolderAndReplacesTheFile) {
  const fs::path dir = fs::temp_directory_path() / ("duduri-hgsc-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  const fs::path path = dir / "duduri" / "highscorefile.dat";
  THighScore table = TableOf(0, {3, 1, 2});
  table.SaveToFile(path);
  table.Add({"new", 0, 0});
  table.SaveToFile(path);
  THighScore read;
  read.LoadFromFile(path);
  EXPECT_EQ(read.Count(0), 4);
  EXPECT_EQ(read.EntryAt(0, 0).Name, "new");
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(path.parent_path())) ++files;
  EXPECT_EQ(files, 1u);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace duduri
