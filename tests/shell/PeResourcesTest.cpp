#include <gtest/gtest.h>

#include <functional>

#include "shell/PeImageBuilder.h"
#include "shell/PeResources.h"

namespace duduri {
namespace {

using testing::BuildIconFile;
using testing::BuildPeImage;
using testing::Put16;
using testing::Put32;
using testing::TPeOptions;
using testing::TTestIcon;

constexpr std::size_t kRaw = 0x200;

std::string Message(std::vector<std::byte> image, const std::vector<std::byte>& icon) {
  const std::vector<std::byte> before = image;
  try {
    ReplaceIcon(image, icon, 1, "out.exe");
  } catch (const EResourceError& e) {
    EXPECT_EQ(image, before) << "a failed replacement changed the image";
    return e.what();
  }
  return "<replaced>";
}

// Where the tree puts the images: after the leaves of BuildResourceSection.
std::size_t ImageStart(std::size_t iconCount) {
  return kRaw + 48 + (16 + iconCount * 8) + iconCount * 24 + iconCount * 16;
}

TEST(PeResources, ReadsTheIconTree) {
  TPeOptions o;
  o.Icons = {{2, 40, 0x22}, {1, 744, 0x11}};
  const std::vector<std::byte> image = BuildPeImage(o);
  const TResourceSection section = LocateResourceSection(image, "a.exe");
  EXPECT_EQ(section.RawDataPosition, kRaw);
  EXPECT_EQ(section.VirtualAddress, 0x1000u);

  const TResTree tree(image, section.RawDataPosition);
  // Only the icon type is followed: the manifest leaf is not in the list.
  ASSERT_EQ(tree.Leaves().size(), 2u);
  EXPECT_EQ(tree.Leaves()[0]->IconNameId, 2u);
  EXPECT_EQ(tree.Leaves()[1]->IconNameId, 1u);
  EXPECT_EQ(tree.Leaves()[1]->LanguageId, 1033u);
  EXPECT_EQ(tree.Leaves()[1]->Size, 744u);
  ASSERT_EQ(tree.Root().Children().size(), 1u);
  EXPECT_EQ(tree.Root().NumberOfIdEntries, 2);
}

TEST(PeResources, ReplacesTheEqualSizedImageInPlace) {
  for (bool pe32Plus : {false, true}) {
    TPeOptions o;
    o.Pe32Plus = pe32Plus;
    o.Icons = {{2, 40, 0x22}, {1, 744, 0x11}};
    std::vector<std::byte> image = BuildPeImage(o);
    const std::vector<std::byte> before = image;
    const std::vector<std::byte> icon =
        BuildIconFile({{0, 296, 0xA1}, {0, 744, 0xB2}, {0, 744, 0xC3}});
    ReplaceIcon(image, icon, 1, "a.exe");

    ASSERT_EQ(image.size(), before.size());
    const std::size_t start = ImageStart(2) + 40;  // icon 1 follows icon 2's 40 bytes
    for (std::size_t k = 0; k < image.size(); ++k) {
      const bool inIcon = k >= start && k < start + 744;
      // The first equal-sized image is used; nothing else moves.
      ASSERT_EQ(image[k], inIcon ? std::byte{0xB2} : before[k]) << (pe32Plus ? "PE32+ " : "") << k;
    }
  }
}

TEST(PeResources, FailureMessages) {
  TPeOptions o;
  o.Icons = {{1, 744, 0x11}};
  const std::vector<std::byte> pe = BuildPeImage(o);
  const std::vector<std::byte> icon = BuildIconFile({{0, 744, 0xB2}});

  EXPECT_EQ(Message(pe, BuildIconFile({{0, 296, 1}, {0, 1128, 2}})), "No matching icon.");
  EXPECT_EQ(Message(pe, BuildIconFile({{0, 744, 1}}, 0, 2)), "No matching icon.");  // a cursor
  EXPECT_EQ(Message(pe, {}), "No matching icon.");

  TPeOptions other = o;
  other.Icons = {{2, 744, 0x11}};
  EXPECT_EQ(Message(BuildPeImage(other), icon), "No matching icon exists in\nout.exe");

  std::vector<std::byte> notMz = pe;
  notMz[0] = std::byte{'X'};
  EXPECT_EQ(Message(notMz, icon), "No resource section exists in\nout.exe");
  EXPECT_EQ(Message(std::vector<std::byte>(pe.begin(), pe.begin() + 40), icon),
            "No resource section exists in\nout.exe");
  TPeOptions elsewhere = o;
  elsewhere.ResourceAddress = 0x9000;  // in no section
  EXPECT_EQ(Message(BuildPeImage(elsewhere), icon), "No resource section exists in\nout.exe");
  TPeOptions noDirectory = o;
  noDirectory.ResourceAddress = 0;
  EXPECT_EQ(Message(BuildPeImage(noDirectory), icon), "No resource section exists in\nout.exe");
  TPeOptions inside = o;
  inside.ResourceAddress = 0x1010;
  EXPECT_EQ(Message(BuildPeImage(inside), icon), "Resources not at start of Section!");

  // The icon file's entry claims bytes it does not have.
  std::vector<std::byte> shortIcon = icon;
  shortIcon.resize(shortIcon.size() - 1);
  EXPECT_EQ(Message(pe, shortIcon), "Error while copying the icon.");
  // The leaf points past the end of the executable.
  std::vector<std::byte> farLeaf = pe;
  Put32(farLeaf, ImageStart(1) - 16, 0x7FFFFFF0);
  EXPECT_EQ(Message(farLeaf, icon), "Error while copying the icon.");
}

TEST(PeResources, HostileTreesAreReadSafely) {
  TPeOptions o;
  o.Icons = {{1, 744, 0x11}};
  const std::vector<std::byte> pe = BuildPeImage(o);
  const std::vector<std::byte> icon = BuildIconFile({{0, 744, 0xB2}});
  const std::size_t nameDir = kRaw + 48;

  // Directories that name an ancestor again: nesting stops at the format's
  // depth. From the language level no directory is followed at all.
  std::vector<std::byte> loop = pe;
  Put32(loop, nameDir + 24 + 20, 0x80000000u);
  EXPECT_EQ(Message(loop, icon), "No matching icon exists in\nout.exe");
  std::vector<std::byte> nameLoop = pe;
  Put32(nameLoop, nameDir + 20, 0x80000000u);
  EXPECT_NO_THROW(TResTree(nameLoop, kRaw));

  // Entry counts far beyond the section, offsets far beyond the image.
  std::vector<std::byte> counts = pe;
  Put16(counts, nameDir + 12, 0xFFFF);
  Put16(counts, nameDir + 14, 0xFFFF);
  EXPECT_NO_THROW(TResTree(counts, kRaw));
  std::vector<std::byte> offsets = pe;
  Put32(offsets, nameDir + 20, 0xFFFFFFFFu);
  EXPECT_EQ(Message(offsets, icon), "No matching icon exists in\nout.exe");
  std::vector<std::byte> raw = pe;
  Put32(raw, 88 + 224 + 20, 0xFFFFFF00u);  // section data position past the end
  EXPECT_EQ(Message(raw, icon), "No matching icon exists in\nout.exe");
  std::vector<std::byte> peHeader = pe;
  Put32(peHeader, 60, 0xFFFFFFF0u);
  EXPECT_EQ(Message(peHeader, icon), "No resource section exists in\nout.exe");

  // Every directory entry pointing at one shared directory of 64 entries,
  // three levels deep: 64^3 paths, cut by the node budget.
  std::vector<std::byte> wide = BuildPeImage(o);
  wide.resize(kRaw);
  std::vector<std::byte> section(16 + 64 * 8 + 16, std::byte{0});
  Put16(section, 14, 64);
  for (std::size_t k = 0; k < 64; ++k) {
    Put32(section, 16 + k * 8, 3);  // also the type id at the top level
    Put32(section, 20 + k * 8, 0x80000000u);
  }
  wide.insert(wide.end(), section.begin(), section.end());
  const TResTree tree(wide, kRaw);
  EXPECT_TRUE(tree.Leaves().empty());
}

TEST(PeResources, RecognisesElf) {
  const std::vector<std::byte> elf = {std::byte{0x7F}, std::byte{'E'}, std::byte{'L'},
                                      std::byte{'F'}, std::byte{2}};
  EXPECT_TRUE(IsElfImage(elf));
  EXPECT_FALSE(IsElfImage(std::span(elf).first(3)));
  TPeOptions o;
  EXPECT_FALSE(IsElfImage(BuildPeImage(o)));
}

}  // namespace
}  // namespace duduri
