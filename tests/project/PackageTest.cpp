// The package: byte layout, chunk readers, write -> read -> write, and what
// a stranger's malformed package must never do.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ProjectTestData.h"
#include "project/Package.h"
#include "project/Project.h"
#include "project/Zlib.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

using test::TBodyBuilder;

TBytes saved(TJigsawProject2& p) {
  test::UseTestMaster(p);
  return p.SaveToBytes();
}

TEST(Package, SignatureAndEndOnlyGiveAnEmptyProjectWithDefaults) {
  TBodyBuilder body;
  TJigsawProject2 p;
  p.LoadFromStream(body.Finish());
  EXPECT_TRUE(p.Pictures.empty());
  EXPECT_TRUE(p.SoundSlots.empty());
  EXPECT_TRUE(p.MenuTree.empty());
  EXPECT_EQ(p.DefaultPieceScale, 4);
  EXPECT_EQ(p.SnapDistance, 7);
  EXPECT_EQ(p.Title.Caption, "Morvenhal Duduri");
  EXPECT_FALSE(p.UnknownChunkRead);
  EXPECT_FALSE(p.SelectionRead);
}

TEST(Package, UnknownTagIsSkippedBySizeAndRecorded) {
  TBodyBuilder body;
  body.Chunk(ctCuttingOptions, 12)
      .Bytes(TBytes{std::byte{2}, std::byte{9}, std::byte{0}, std::byte{0}});
  body.Raw().I32(0);
  body.Raw().I32(0);
  body.Chunk(4321, 5).Bytes(TBytes(5, std::byte{0xEE}));
  body.Chunk(ctProjectFlags, 4).I32(1);
  TJigsawProject2 p;
  p.LoadFromStream(body.Finish());
  EXPECT_TRUE(p.UnknownChunkRead);
  EXPECT_EQ(p.DefaultPieceScale, 2);
  EXPECT_EQ(p.SnapDistance, 9);
  EXPECT_EQ(p.ProjectFlags, 1);
}

TEST(Package, PrefixIsOptionalAndHeaderFieldsAreRead) {
  TJigsawProject2 source;
  test::FillEverything(source);
  const TBytes package = saved(source);
  ASSERT_GE(package.size(), 8u);
  EXPECT_EQ(package[0], std::byte{0xAD});
  EXPECT_EQ(package[1], std::byte{0xDE});
  const TPackageHeader header = ReadPackageHeader(package);
  ASSERT_TRUE(header.HasPrefix);
  EXPECT_EQ(DetectPictureFormat(header.PreviewBitmap), TPictureFormat::pfBMP);
  const TPictureSize previewSize = ReadPictureSize(header.PreviewBitmap);
  EXPECT_LT(previewSize.Width, 64);
  EXPECT_LT(previewSize.Height, 64);

  TJigsawProject2 bare;
  bare.LoadFromStream(header.Body);
  EXPECT_EQ(bare.Pictures.size(), 3u);
  EXPECT_EQ(bare.Title.Caption, "Harbour puzzles");
}

TEST(Package, NoPictureWritesAnEmptyPreview) {
  TJigsawProject2 p;
  const TBytes package = saved(p);
  TByteReader in(package);
  EXPECT_EQ(in.U16(), kPackageMark);
  EXPECT_EQ(in.U16(), 0);
  EXPECT_EQ(in.I32(), 22 + 6);  // preview chunk with B = 0, then the end of header
  EXPECT_EQ(in.U16(), ctPreview);
  EXPECT_EQ(in.I32(), 16);
  EXPECT_EQ(in.I32(), 0);  // columns
  EXPECT_EQ(in.I32(), 0);  // rows
  EXPECT_EQ(in.I32(), 0);  // B
  EXPECT_EQ(in.I32(), 0);  // E
  EXPECT_EQ(in.U16(), ctHeaderEnd);
  EXPECT_EQ(in.I32(), 0);
  EXPECT_EQ(in.Remaining(), ReadPackageHeader(package).Body.size());
}

TEST(Package, WriteReadWriteGivesTheSameBytesForAFullProject) {
  TJigsawProject2 source;
  test::FillEverything(source);
  const TBytes first = saved(source);

  TJigsawProject2 copy;
  copy.LoadFromStream(first);
  const TBytes second = saved(copy);
  EXPECT_EQ(first, second);

  // And every list and setting came back.
  EXPECT_EQ(copy.Pictures.size(), 3u);
  EXPECT_EQ(copy.Pictures[0].Name, "first.jpg");
  EXPECT_EQ(copy.Pictures[0].Data, source.Pictures[0].Data);
  EXPECT_EQ(copy.PictureCount, 2);
  EXPECT_EQ(copy.BackgroundCount, 1);
  ASSERT_EQ(copy.PieceCountRanges.size(), 2u);
  EXPECT_EQ(copy.PieceCountRanges[1].MaxPieces, 100);
  EXPECT_EQ(copy.PieceCountRanges[1].HasStoredLayout, 1);
  ASSERT_EQ(copy.PictureLayouts.size(), 1u);
  EXPECT_EQ(copy.PictureLayouts[0].Pieces.size(), 80u);
  ASSERT_EQ(copy.PieceValues.size(), 2u);
  EXPECT_EQ(copy.PieceValues[0].Values, (std::vector<std::int32_t>{0x01020304, 5}));
  EXPECT_EQ(copy.PerPictureValues, 0);
  EXPECT_EQ(copy.Sounds.size(), 2u);
  ASSERT_EQ(copy.SoundSlots.size(), 10u);
  EXPECT_EQ(copy.SoundSlots[4].SoundIDs, (std::vector<std::int32_t>{3, 3}));
  EXPECT_EQ(copy.SoundFormats, source.SoundFormats);
  EXPECT_EQ(copy.DefaultPieceScale, 3);
  EXPECT_EQ(copy.SnapDistance, 9);
  EXPECT_EQ(copy.SpriteOptionA, 0x00FF00);
  EXPECT_EQ(copy.SpriteOptionB, 2);
  EXPECT_EQ(copy.PieceRangeMin, 10);
  EXPECT_EQ(copy.PieceRangeMax, 60);
  EXPECT_EQ(copy.PictureChoice, kChoiceRandom);
  EXPECT_EQ(copy.TimeTrial, 1);
  EXPECT_EQ(copy.TimeTrialTicks, 600);
  EXPECT_EQ(copy.NoPieceRotation + copy.NoPieceShadow + copy.FlatPiece, 3);
  EXPECT_EQ(copy.StoredLayout.Columns, 2);
  EXPECT_EQ(copy.StoredLayout.Pieces.size(), 160u);
  EXPECT_EQ(copy.Icon, source.Icon);
  EXPECT_EQ(copy.SoundOn, 0);
  EXPECT_EQ(copy.WindowPosition, 2);
  EXPECT_EQ(copy.AboutPicture, source.AboutPicture);
  EXPECT_EQ(copy.BoardArea, source.BoardArea);
  EXPECT_EQ(copy.WindowStyle, kStyleSkinned);
  ASSERT_EQ(copy.Regions.size(), 1u);
  EXPECT_EQ(copy.Regions[0].Pressed, source.Regions[0].Pressed);
  EXPECT_EQ(copy.Regions[0].CommandCode, 7);
  ASSERT_EQ(copy.Skins.size(), 1u);
  EXPECT_EQ(copy.Skins[0].RegionIDs, source.Skins[0].RegionIDs);
  EXPECT_EQ(copy.Skins[0].BoardArea, source.Skins[0].BoardArea);
  EXPECT_TRUE(copy.SelectionRead);
  EXPECT_EQ(copy.CurrentBackgroundIndex, 2);
  EXPECT_EQ(copy.DefaultBackground.FillMode, fmTile);
  ASSERT_EQ(copy.BackgroundSettings.size(), 1u);
  EXPECT_EQ(copy.BackgroundSettings[0].FillMode, fmStretch);
  ASSERT_EQ(copy.MenuTree.size(), 3u);
  EXPECT_EQ(copy.MenuTree[2].Script.Parameter, source.MenuTree[2].Script.Parameter);
  EXPECT_EQ(copy.MenuTree[2].Children[0].Script.Code, kNoCommand);
  ASSERT_EQ(copy.ActionGroups.size(), 1u);
  EXPECT_EQ(copy.ActionGroups[0]->Action(0).ScriptItem(0).Parameter.Text(0),
            "https://example.org/");
  EXPECT_EQ(copy.ActionGroups[0]->Action(0).ActionID, source.ActionGroups[0]->Action(0).ActionID);
  ASSERT_EQ(copy.ScriptItems.size(), 1u);
  EXPECT_EQ(copy.StartScript.Caption, "start");
  EXPECT_EQ(copy.WinScript.ScriptItem(0).Code, 18);
  ASSERT_EQ(copy.TextStyles.size(), 1u);
  EXPECT_EQ(copy.TextStyles[0].Font.Name, "Sans");
  EXPECT_EQ(copy.TextStyles[0].BackgroundColor, -16);
  ASSERT_EQ(copy.Banners.Count(), 2u);
  EXPECT_EQ(copy.Banners.Banner(0)->Width(), 60);
  EXPECT_EQ(copy.Banners.Banner(1)->Height(), 40);
  ASSERT_EQ(copy.BannerContainers.Count(), 1u);
  EXPECT_EQ(copy.BannerContainers.Container(0)->Count(), 2u);
  EXPECT_EQ(copy.BannerContainers.Container(0)->Width(), 60);
  EXPECT_EQ(copy.Splash.Data(), source.Splash.Data());
  EXPECT_EQ(copy.HighscoreOptions.PageText, "<p>page</p>");
  EXPECT_EQ(copy.HighscoreOptions.Value2, 300);
  EXPECT_TRUE(copy.HighScoresDisabled());
  EXPECT_FALSE(copy.TemplateSetStore.empty());
}

TEST(Package, EntriesWithoutDataAreLeftOutSoTheProjectReadsBack) {
  TJigsawProject2 source;
  source.AddPictureEntry(TPictureKind::pkPicture, 5).Data = test::MakeJpeg(20, 20);
  source.AddPictureEntry(TPictureKind::pkPicture, 6);  // no data
  source.Sounds.push_back({7, "silent.wav", {}});
  TJigsawProject2 copy;
  copy.LoadFromStream(saved(source));
  ASSERT_EQ(copy.Pictures.size(), 1u);
  EXPECT_EQ(copy.Pictures[0].ID, 5);
  EXPECT_TRUE(copy.Sounds.empty());
}

TEST(Package, SizeZeroEntryCarriesNothingMore) {
  TBodyBuilder body;
  body.Chunk(ctPicture, 0);
  body.Chunk(ctProjectFlags, 4).I32(1);
  TJigsawProject2 p;
  p.LoadFromStream(body.Finish());
  ASSERT_EQ(p.Pictures.size(), 1u);
  EXPECT_TRUE(p.Pictures[0].Data.empty());
  EXPECT_EQ(p.ProjectFlags, 1);
}

TEST(Package, OlderMenuFormsAndChunk7868AreRead) {
  TBodyBuilder body;
  TByteWriter older;
  older.I32(1);
  older.I32(0);  // id 0: numbered after loading
  older.I32(0);
  older.U8(0);
  older.String("&Game");
  older.String("");
  older.U8(1);
  older.I32(2);
  older.I32(0);
  older.I32(0);  // no children
  body.Chunk(ctOldMenuTree, std::int32_t(older.Size())).Bytes(older.Data());
  TByteWriter flat;
  flat.String("a");
  flat.String("b");
  flat.U8(1);
  flat.I32(2);
  flat.Zeros(2);
  body.Chunk(ctOldMenuRecords, std::int32_t(flat.Size())).Bytes(flat.Data());
  body.Chunk(ctPictureLayout, 16 + 40).I32(9);
  body.Raw().I32(1);
  body.Raw().I32(1);
  body.Raw().Zeros(40);
  body.Raw().I32(0);
  TJigsawProject2 p;
  p.LoadFromStream(body.Finish());
  ASSERT_EQ(p.MenuTree.size(), 1u);
  EXPECT_EQ(p.MenuTree[0].Name, "&Game");
  EXPECT_EQ(p.MenuTree[0].Script.Code, 2);
  EXPECT_NE(p.MenuTree[0].ID, 0);
  ASSERT_EQ(p.OldMenuRecords.size(), 1u);
  EXPECT_EQ(p.OldMenuRecords[0].Caption, "b");
  ASSERT_EQ(p.PictureLayouts.size(), 1u);
  EXPECT_EQ(p.PictureLayouts[0].PictureID, 9);
}

TEST(Package, WrongSignatureFailsAndLeavesTheListsEmptied) {
  TJigsawProject2 p;
  p.AddPictureEntry(TPictureKind::pkPicture, 1).Data = TBytes(3, std::byte{1});
  p.SnapDistance = 12;
  TByteWriter body;
  body.Bytes(TBytes{std::byte{3}, std::byte{'P'}, std::byte{'Z'}, std::byte{'X'}});
  try {
    p.LoadFromStream(DeflateDefault(body.Data()));
    FAIL() << "no error";
  } catch (const EProjectFormatError& e) {
    EXPECT_STREQ(e.what(), "Stream data contains invalid project format.");
  }
  EXPECT_TRUE(p.Pictures.empty());
  EXPECT_TRUE(p.SoundSlots.empty());
  EXPECT_EQ(p.SnapDistance, 12);
}

TEST(Package, MalformedInputFailsWithAClearMessage) {
  struct Case {
    const char* what;
    std::function<void(TBodyBuilder&)> build;
    std::string message;
  };
  const std::string invalid = kInvalidProjectFormat;
  const std::string readError = kStreamReadError;
  const Case cases[] = {
      {"negative unknown size", [](TBodyBuilder& b) { b.Chunk(999, -6); }, invalid},
      // A negative entry size is an entry without data (EntrySizeTest.cpp).
      {"negative name length",
       [](TBodyBuilder& b) {
         b.Chunk(ctPicture, 4).I32(1);
         b.Raw().I32(-5);
       },
       invalid},
      {"negative extra length",
       [](TBodyBuilder& b) {
         b.Chunk(ctCaption, 8).I32(0);
         b.Raw().I32(-12);
       },
       invalid},
      {"negative count",
       [](TBodyBuilder& b) {
         b.Chunk(ctPieceValues, 8).I32(1);
         b.Raw().I32(-1);
       },
       invalid},
      {"huge count",
       [](TBodyBuilder& b) {
         b.Chunk(ctPieceValues, 8).I32(1);
         b.Raw().I32(0x7FFFFFFF);
       },
       readError},
      {"entry past the end", [](TBodyBuilder& b) { b.Chunk(ctPicture, 1000).I32(1); }, readError},
      {"stored layout smaller than its header", [](TBodyBuilder& b) { b.Chunk(ctStoredLayout, 4); },
       invalid},
  };
  for (const Case& c : cases) {
    TBodyBuilder body;
    c.build(body);
    TJigsawProject2 p;
    try {
      p.LoadFromStream(body.Finish());
      ADD_FAILURE() << c.what << ": no error";
    } catch (const EDuduriError& e) {
      EXPECT_EQ(e.what(), c.message) << c.what;
    }
  }
}

TEST(Package, BodyWithoutEndChunkIsAReadError) {
  TByteWriter body;
  body.Bytes(kProjectSignature);
  TJigsawProject2 p;
  EXPECT_THROW(p.LoadFromStream(DeflateDefault(body.Data())), EStreamReadError);
}

TEST(Package, BodyThatDoesNotInflateFailsOnItsSignature) {
  TJigsawProject2 p;
  const TBytes garbage(100, std::byte{0x42});
  EXPECT_THROW(p.LoadFromStream(garbage), EStreamReadError);
  EXPECT_THROW(p.LoadFromStream({}), EStreamReadError);
}

TEST(Package, InflatingIsBounded) {
  // 64 MiB of zeros compresses to about 64 KiB: far more than 1000 times.
  const TBytes zeros(std::size_t(64) << 20, std::byte{0});
  const TBytes bomb = DeflateDefault(zeros);
  ASSERT_LT(bomb.size() * 1000, zeros.size());
  TJigsawProject2 p;
  EXPECT_THROW(p.LoadFromStream(bomb), EPackageTooLarge);
}

TEST(Package, DeepMenuTreesAreRefusedWithoutRecursingWithoutBound) {
  auto nested = [](int depth) {
    TByteWriter w;
    for (int i = 0; i < depth; ++i) {
      w.I32(1);
      w.I32(i + 1);
      w.I32(i);
      w.U8(0);
      w.String("m");
      w.String("");
      w.U8(1);
      w.I32(0);
      w.I32(0);
      w.I32(0);
    }
    w.I32(0);
    TBodyBuilder body;
    body.Chunk(ctMenuTree, std::int32_t(w.Size())).Bytes(w.Data());
    return body.Finish();
  };
  TJigsawProject2 ok;
  ok.LoadFromStream(nested(kMaxMenuDepth));
  EXPECT_EQ(MenuTreeDepth(ok.MenuTree), kMaxMenuDepth);
  TJigsawProject2 deep;
  EXPECT_THROW(deep.LoadFromStream(nested(kMaxMenuDepth + 1)), EProjectFormatError);
  // 100 000 levels: the count check stops it long before the stack would.
  EXPECT_THROW(deep.LoadFromStream(nested(100000)), EProjectFormatError);
}

TEST(Package, MissingMasterTemplateSetProducesNoPackage) {
  TJigsawProject2 p;
  p.MasterTemplateSet = "/nonexistent/all.pzjc";
  EXPECT_THROW(p.SaveToBytes(), EDuduriError);
}

TEST(Package, OddSizeFieldsAreWrittenAsTheTableSaysAndReadByLayout) {
  TJigsawProject2 p;
  test::UseTestMaster(p);
  TBanner& b = p.Banners.Add();
  b.ID = 0x01020304;
  b.Name = "n";
  b.URL = "https://x";
  b.Data = test::MakeJpeg(4, 4);
  TSkinRegion& r = p.NewRegion();
  r.ID = 0x0A0B0C0D;
  r.Normal = TBytes(4, std::byte{1});
  const TBytes body = WriteProjectBody(p);
  auto expectChunk = [&](std::uint16_t tag, std::int32_t size, std::int32_t firstField) {
    TByteWriter pattern;
    pattern.U16(tag);
    pattern.I32(size);
    pattern.I32(firstField);
    const TBytes& pat = pattern.Data();
    EXPECT_NE(std::search(body.begin(), body.end(), pat.begin(), pat.end()), body.end()) << tag;
  };
  // Banner: name + data + 25 (the URL is not counted); region: 16 more
  // than its payload.
  expectChunk(ctBanner, std::int32_t(1 + b.Data.size() + 25), b.ID);
  expectChunk(ctSkinRegion, 4 + 60, r.ID);

  TJigsawProject2 copy;
  copy.LoadFromStream(DeflateDefault(body));
  ASSERT_EQ(copy.Banners.Count(), 1u);
  EXPECT_EQ(copy.Banners.Banner(0)->URL, "https://x");
  ASSERT_EQ(copy.Regions.size(), 1u);
  EXPECT_EQ(copy.Regions[0].Normal.size(), 4u);
}

TEST(Package, BannerWhosePictureDoesNotDecodeKeepsTheProjectLoading) {
  TJigsawProject2 p;
  TBanner& b = p.Banners.Add();
  b.Data = TBytes(50, std::byte{0x33});
  TJigsawProject2 copy;
  copy.LoadFromStream(saved(p));
  ASSERT_EQ(copy.Banners.Count(), 1u);
  EXPECT_EQ(copy.Banners.Banner(0)->Width(), 0);
  EXPECT_EQ(copy.Banners.Banner(0)->Height(), 0);
}

}  // namespace
}  // namespace duduri
