// The template set a package carries: the master set cut down to the grid
// entries in use and re-indexed.

#include <gtest/gtest.h>

#include "ProjectTestData.h"
#include "project/PieceValues.h"
#include "project/TemplateSubset.h"

namespace duduri {
namespace {

TRawTemplate makeTemplate(int grid, bool vertical, std::uint8_t width) {
  TRawTemplate t;
  t.Width = width;
  t.Height = 4;
  t.Flags = std::uint8_t((vertical ? 0x80 : 0) | grid);
  return t;
}

TEST(TemplateSubset, KeepsUsedEntriesInOrderAndReindexes) {
  TRawTemplateSet master;
  master.Grid = {{10, 10}, {20, 20}, {30, 30}};
  master.Templates = {makeTemplate(0, false, 1), makeTemplate(2, true, 2),
                      makeTemplate(1, false, 3), makeTemplate(2, false, 4),
                      makeTemplate(0, true, 5)};
  const TRawTemplateSet set = RestrictTemplateSet(master, {2, 0});
  ASSERT_EQ(set.Grid.size(), 2u);
  EXPECT_EQ(set.Grid[0].first, 30);
  EXPECT_EQ(set.Grid[1].first, 10);
  ASSERT_EQ(set.Templates.size(), 4u);
  EXPECT_EQ(set.Templates[0].Width, 2);
  EXPECT_EQ(set.Templates[0].Flags, 0x80);  // vertical kept, index 0
  EXPECT_EQ(set.Templates[1].Width, 4);
  EXPECT_EQ(set.Templates[1].Flags, 0x00);
  EXPECT_EQ(set.Templates[2].Width, 1);
  EXPECT_EQ(set.Templates[2].Flags, 0x01);
  EXPECT_EQ(set.Templates[3].Flags, 0x81);

  TByteWriter stored;
  stored.LengthPrefixedBytes(CompressTemplateSet(set));
  const TRawTemplateSet back = ParseTemplateSet(stored.Data());
  EXPECT_EQ(back.Grid, set.Grid);
  EXPECT_EQ(back.Templates.size(), 4u);
}

TEST(TemplateSubset, GridEntriesFollowThePicturesAndDifficulties) {
  std::vector<std::pair<std::int32_t, int>> asked;
  TProjectCutServices services = DefaultProjectCutServices();
  services.ChooseGrid = [&](TByteSpan, const std::vector<TPictureSize>& sizes) {
    std::vector<std::int32_t> chosen;
    for (const TPictureSize& size : sizes) {
      for (int difficulty = 0; difficulty < 6; ++difficulty) {
        asked.push_back({size.Width, difficulty});
        chosen.push_back(size.Width == 40 ? 2 : difficulty < 3 ? 1 : -1);
      }
    }
    return chosen;
  };
  SetProjectCutServices(services);
  TJigsawProject2 p;
  p.AddPictureEntry(TPictureKind::pkPicture, 1).Data = test::MakeJpeg(40, 30);
  p.AddPictureEntry(TPictureKind::pkBackground, 65536).Data = test::MakeJpeg(50, 30);
  p.AddPictureEntry(TPictureKind::pkPicture, 2).Data = test::MakeJpeg(60, 30);
  const TBytes master = ReadFileBytes(test::MasterTemplateSetFile());
  const TRawTemplateSet set = ParseTemplateSet(master);
  EXPECT_EQ(UsedGridEntries(p, master, set), (std::vector<int>{2, 1}));
  EXPECT_EQ(asked.size(), 12u);  // two pictures, six difficulties; no background
  SetProjectCutServices(DefaultProjectCutServices());
}

TEST(TemplateSubset, MalformedSetsAreRefused) {
  TByteWriter truncated;
  truncated.I32(100);
  truncated.Zeros(10);
  EXPECT_THROW(ParseTemplateSet(truncated.Data()), EStreamReadError);
  TByteWriter notZlib;
  notZlib.LengthPrefixedBytes(TBytes(10, std::byte{7}));
  EXPECT_THROW(ParseTemplateSet(notZlib.Data()), EProjectFormatError);
}

}  // namespace
}  // namespace duduri
