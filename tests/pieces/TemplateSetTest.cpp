// The template-set format: what it reads, what it refuses, and that the
// writer and reader agree.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "PieceTestSupport.h"
#include "pieces/PieceCollection.h"
#include "pieces/PieceTemplates.h"

namespace duduri {
namespace {

using namespace testing_support;

TTemplateSet SmallSet() {
  TTemplateSet set;
  set.GridTable = {{20, 20}, {40, 30}};
  set.Templates.push_back(MakeTemplate(20, 4, false, 0, LeaveMask(20, 4), LeaveMask(20, 4)));
  set.Templates.push_back(MakeTemplate(4, 20, true, 0, LeaveMask(4, 20), {}));
  std::vector<std::uint8_t> alphas;
  for (int r = 0; r < 6; ++r) {
    alphas.push_back(40);
    alphas.push_back(209);
    for (int i = 0; i < 40; ++i) alphas.push_back(std::uint8_t(r * 40 + i));
  }
  set.Templates.push_back(MakeTemplate(40, 6, false, 1, {}, alphas));
  return set;
}

std::vector<std::byte> Stored(const std::vector<std::byte>& body) {
  uLongf bound = compressBound(uLong(body.size()));
  std::vector<std::byte> out(4 + bound);
  compress2(reinterpret_cast<Bytef*>(out.data() + 4), &bound,
            reinterpret_cast<const Bytef*>(body.data()), uLong(body.size()), Z_BEST_SPEED);
  out.resize(4 + bound);
  const auto n = std::uint32_t(bound);
  std::memcpy(out.data(), &n, 4);
  return out;
}

std::vector<std::byte> Bytes(std::initializer_list<int> values) {
  std::vector<std::byte> out;
  for (int v : values) out.push_back(std::byte(v));
  return out;
}

void ExpectInvalid(const std::vector<std::byte>& stored, const std::string& fragment) {
  try {
    ReadTemplateSet(stored);
    FAIL() << "expected an error mentioning " << fragment;
  } catch (const ETemplateError& e) {
    EXPECT_NE(std::string(e.what()).find("Invalid template set: "), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
  }
}

TEST(TemplateSet, WriteThenReadGivesTheSameSetAndWritesTheSameBytes) {
  const TTemplateSet set = SmallSet();
  const std::vector<std::byte> stored = WriteTemplateSet(set);
  std::size_t consumed = 0;
  const TTemplateSet back = ReadTemplateSet(stored, &consumed);
  EXPECT_EQ(back, set);
  EXPECT_EQ(consumed, stored.size());
  EXPECT_EQ(WriteTemplateSet(back), stored);

  // The stream form stops right after the body, leaving what follows.
  std::string text(reinterpret_cast<const char*>(stored.data()), stored.size());
  text += "tail";
  std::istringstream in(text);
  EXPECT_EQ(ReadTemplateSet(in), set);
  std::string rest;
  in >> rest;
  EXPECT_EQ(rest, "tail");
}

TEST(TemplateSet, FlagsByteCarriesVerticalAndGridIndex) {
  TTemplateSet set;
  set.GridTable.resize(128, TGridEntry{10, 10});
  set.Templates.push_back(MakeTemplate(3, 10, true, 127, {}, {}));
  const std::vector<std::byte> body = EncodeTemplateBody(set);
  EXPECT_EQ(std::uint8_t(body.back()), 0xFF);
  const TTemplateSet back = ParseTemplateBody(body);
  EXPECT_TRUE(back.Templates[0].Vertical);
  EXPECT_EQ(back.Templates[0].GridIndex, 127);

  set.Templates[0].GridIndex = 128;
  EXPECT_THROW(EncodeTemplateBody(set), ETemplateError);
}

TEST(TemplateSet, EveryTruncationIsRefusedCleanly) {
  const std::vector<std::byte> stored = WriteTemplateSet(SmallSet());
  for (std::size_t n = 0; n < stored.size(); ++n) {
    std::vector<std::byte> cut(stored.begin(), stored.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(ReadTemplateSet(cut), ETemplateError) << "prefix of " << n << " bytes";
  }
  // Every truncation of the decompressed body too.
  const std::vector<std::byte> body = EncodeTemplateBody(SmallSet());
  for (std::size_t n = 0; n < body.size(); ++n) {
    std::vector<std::byte> cut(body.begin(), body.begin() + std::ptrdiff_t(n));
    EXPECT_THROW(ReadTemplateSet(Stored(cut)), ETemplateError) << "body of " << n << " bytes";
  }
}

TEST(TemplateSet, RefusesBadLengthsAndBadZlib) {
  ExpectInvalid(Bytes({0xFF, 0xFF, 0xFF, 0xFF}), "negative");
  ExpectInvalid(Bytes({0x00, 0x00, 0x00, 0x7F}), "larger than any template set");
  ExpectInvalid(Bytes({5, 0, 0, 0, 1, 2}), "cut short");
  ExpectInvalid(Bytes({4, 0, 0, 0, 0x12, 0x34, 0x56, 0x78}), "bad zlib stream");

  std::istringstream in(
      std::string("\x10\x00\x00\x00"
                  "abc",
                  7));
  EXPECT_THROW(ReadTemplateSet(in), ETemplateError);
  std::istringstream huge(std::string("\xff\xff\xff\x03", 4));
  EXPECT_THROW(ReadTemplateSet(huge), ETemplateError);
}

TEST(TemplateSet, RefusesCountsPastTheEnd) {
  ExpectInvalid(Stored(Bytes({3, 10, 10})), "grid table");
  // 0xFFFF templates promised, none there: refused before anything is reserved.
  ExpectInvalid(Stored(Bytes({1, 10, 10, 0xFF, 0xFF})), "65535 templates");
  // A mask size beyond the data.
  ExpectInvalid(Stored(Bytes({1, 10, 10, 1, 0, 10, 2, 0xFF, 0x00, 1, 2, 3})),
                "mask A of template 0");
}

TEST(TemplateSet, RefusesEmptySizesAndMasksThatOverrunTheirBytes) {
  ExpectInvalid(Stored(Bytes({2, 10, 10, 0, 0, 0, 0})), "grid entry 1 is 0x0");
  ExpectInvalid(Stored(Bytes({1, 0, 7, 0, 0})), "grid entry 0 is 0x7");
  ExpectInvalid(Stored(Bytes({1, 10, 10, 1, 0, 0, 5, 0, 0, 0, 0, 0})), "template 0 is 0x5");
  // Width 4, two rows: the mask holds one row of codes only.
  ExpectInvalid(Stored(Bytes({1, 10, 10, 1, 0, 4, 2, 2, 0, 4, 0, 0, 0, 0})),
                "mask A of template 0 needs more than its 2 bytes");
  // An alpha run promising more bytes than the mask has.
  ExpectInvalid(Stored(Bytes({1, 10, 10, 1, 0, 4, 1, 0, 0, 3, 0, 4, 209, 1, 0})),
                "mask B of template 0");
  // The same masks pass when they fit.
  EXPECT_NO_THROW(
      ReadTemplateSet(Stored(Bytes({1, 10, 10, 1, 0, 4, 2, 4, 0, 4, 0, 4, 0, 0, 0, 0}))));
}

TEST(TemplateSet, InflationIsBounded) {
  // A few kilobytes that would inflate to 65 MiB.
  std::vector<std::byte> body(std::size_t(65) << 20, std::byte{0});
  body[0] = std::byte{1};
  body[1] = std::byte{10};
  body[2] = std::byte{10};
  const std::vector<std::byte> stored = Stored(body);
  ASSERT_LT(stored.size(), std::size_t(1) << 20);
  ExpectInvalid(stored, "64 MiB");
}

TEST(TemplateSet, CheckMaskRunsFollowsTheCodes) {
  // "0..64 then another byte": the count is ignored and that byte read as a code.
  const std::vector<std::uint8_t> skip = {7, 70, 1, 2, 3, 4, 5, 6};
  EXPECT_EQ(CheckMaskRuns(skip, 6, 1, "m"), skip.size());
  // A cut run of 3 covers three columns of the row; the leave run ends it.
  const std::vector<std::uint8_t> cut = {195, 1, 0, 2, 208};
  EXPECT_EQ(CheckMaskRuns(cut, 6, 1, "m"), cut.size());
  EXPECT_EQ(CheckMaskRuns({}, 6, 4, "m"), 0u);
  EXPECT_THROW(CheckMaskRuns(cut, 6, 2, "m"), ETemplateError);
}

TEST(TemplateSet, FailedLoadLeavesTheCollectionAsItWas) {
  TPzJigsawPieceCollection c;
  c.AddTemplateSet(SmallSet());
  const std::vector<std::byte> stored = WriteTemplateSet(SmallSet());
  std::vector<std::byte> cut(stored.begin(), stored.end() - 3);
  EXPECT_THROW(c.LoadTemplates(cut), ETemplateError);
  EXPECT_EQ(c.TemplateCount(), 3);
  EXPECT_EQ(c.GridCount(), 2);

  // A good load replaces the grid table and appends the templates.
  EXPECT_EQ(c.LoadTemplates(stored), stored.size());
  EXPECT_EQ(c.TemplateCount(), 6);
  EXPECT_EQ(c.GridCount(), 2);
}

}  // namespace
}  // namespace duduri
