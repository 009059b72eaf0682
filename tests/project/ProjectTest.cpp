// The project object: defaults, id rules and what happens after loading.

#include <gtest/gtest.h>

#include <set>

#include "ProjectTestData.h"
#include "project/NewId.h"
#include "project/PieceValues.h"
#include "project/Project.h"

namespace duduri {
namespace {

using test::TBodyBuilder;

TEST(Project, NewProjectDefaults) {
  TJigsawProject2 p;
  EXPECT_TRUE(p.Pictures.empty());
  ASSERT_EQ(p.SoundSlots.size(), 10u);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(p.SoundSlots[std::size_t(k)].Key, k);
    EXPECT_TRUE(p.SoundSlots[std::size_t(k)].SoundIDs.empty());
  }
  ASSERT_EQ(p.MenuTree.size(), 2u);
  EXPECT_EQ(p.MenuTree[0].Name, "&File");
  EXPECT_EQ(p.MenuTree[0].Script.Code, 0);
  ASSERT_EQ(p.MenuTree[0].Children.size(), 1u);
  const TMenuExRec& exit = p.MenuTree[0].Children[0];
  EXPECT_EQ(exit.Name, "E&xit");
  EXPECT_EQ(exit.Script.Code, 3);
  EXPECT_EQ(exit.ParentID, p.MenuTree[0].ID);
  EXPECT_EQ(p.MenuTree[1].Name, "&Help");
  ForEachMenuRecord(p.MenuTree, [](const TMenuExRec& r) {
    EXPECT_EQ(r.Visible, 1);
    EXPECT_EQ(r.MenuNumber, 0);
    EXPECT_NE(r.ID, 0);
  });
  EXPECT_EQ(p.Title.Caption, "Morvenhal Duduri");
  EXPECT_EQ(p.DefaultPieceScale, 4);
  EXPECT_EQ(p.SnapDistance, 7);
  EXPECT_EQ(p.SoundOn, 1);
  EXPECT_EQ(p.WindowPosition, 4);
  EXPECT_EQ(p.PerPictureValues, 1);
  EXPECT_TRUE(p.Splash.Empty());
  EXPECT_EQ(p.StartScript.ScriptCount(), 0u);
}

TEST(Project, PictureAndBackgroundIdRules) {
  TJigsawProject2 p;
  for (int i = 0; i < 50; ++i) {
    const std::int32_t picture = p.AddPictureEntry(TPictureKind::pkPicture).ID;
    EXPECT_GE(picture, 1);
    EXPECT_LE(picture, 65535);
    const std::int32_t background = p.AddPictureEntry(TPictureKind::pkBackground).ID;
    EXPECT_NE(background, 0);
    EXPECT_EQ(background % 65536, 0);
  }
  std::set<std::int32_t> ids;
  for (const TBMPData& e : p.Pictures) ids.insert(e.ID);
  EXPECT_EQ(ids.size(), 100u);
  EXPECT_EQ(p.PictureCount, 50);
  EXPECT_EQ(p.BackgroundCount, 50);
  ASSERT_EQ(p.PieceCountRanges.size(), 50u);
  EXPECT_EQ(p.PieceCountRanges[0].MinPieces, 0);
  EXPECT_EQ(p.PieceCountRanges[0].MaxPieces, 50);
  EXPECT_EQ(p.BackgroundSettings.size(), 50u);
}

TEST(Project, IdDrawsEndWithAnErrorWhenEveryIdIsTaken) {
  TJigsawProject2 p;
  for (std::int32_t id = 1; id <= 65535; ++id) p.Pictures.push_back({id, {}, {}});
  EXPECT_THROW(p.NewPictureId(), ENoFreeId);
  p.Pictures.pop_back();  // 65535 is free again
  EXPECT_EQ(p.NewPictureId(), 65535);
  // Backgrounds have their own range.
  EXPECT_EQ(p.NewBackgroundId() % 65536, 0);
}

TEST(Project, OtherIdsAreNonZeroAndUnused) {
  // A source that keeps answering 0 and then 1 forces the walk past used ids.
  SetProjectRandomSource([](std::int32_t) { return 0; });
  TJigsawProject2 p;
  const std::int32_t a = p.NewSkinEntry().ID;
  const std::int32_t b = p.NewSkinEntry().ID;
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  const std::int32_t m = p.NewMenuId();
  ForEachMenuRecord(p.MenuTree, [&](const TMenuExRec& r) { EXPECT_NE(r.ID, m); });
  SetProjectRandomSource({});
}

TEST(Project, LoadingWithoutSelectionChunkPicksTheFirstBackground) {
  TBodyBuilder body;
  for (std::int32_t id : {5, 65536 * 2, 65536 * 7}) {
    body.Chunk(ctPicture, 3).I32(id);
    body.Raw().String("x");
    body.Raw().Bytes(TBytes(3, std::byte{1}));
    body.Raw().I32(0);
  }
  TJigsawProject2 p;
  p.LoadFromStream(body.Finish());
  EXPECT_FALSE(p.SelectionRead);
  EXPECT_EQ(p.CurrentBackgroundIndex, 1);
  EXPECT_EQ(p.CurrentSkinIndex, 0);
  EXPECT_EQ(p.PictureCount, 1);
  EXPECT_EQ(p.BackgroundCount, 2);
  // Step 2: settings for every background when none were stored.
  ASSERT_EQ(p.BackgroundSettings.size(), 2u);
  EXPECT_EQ(p.BackgroundSettings[1].BackgroundID, 65536 * 7);
}

TEST(Project, NormalisationBringsOlderProjectsUpToDate) {
  TJigsawProject2 p;
  p.Clear();
  p.WindowStyle = kStyleSkinned;
  p.SingleSkinImage = TBytes(5, std::byte{1});
  p.SingleSkinValue = 3;
  p.BoardArea = {1, 2, 3, 4};
  for (auto [id, code] : {std::pair{10, 6}, std::pair{11, 9}}) {
    TSkinRegion r;
    r.ID = id;
    r.CommandCode = code;
    p.Regions.push_back(r);
  }
  p.Sounds = {{0, "", {}}, {200, "", {}}, {256 * 3, "", {}}, {300, "", {}}};
  TMenuExRec top;
  TMenuExRec child;
  child.Children.push_back(TMenuExRec{});
  top.Children.push_back(child);
  TMenuExRec kept;
  kept.ID = 99;
  kept.Children.push_back(TMenuExRec{});
  p.MenuTree = {top, kept};

  p.Normalise();

  ASSERT_EQ(p.Skins.size(), 1u);
  EXPECT_EQ(p.Skins[0].Kind, kStyleSkinned);
  EXPECT_EQ(p.Skins[0].Value, 3);
  EXPECT_EQ(p.Skins[0].BoardArea, p.BoardArea);
  EXPECT_EQ(p.Skins[0].RegionIDs, (std::vector<std::int32_t>{10, 11}));
  ASSERT_EQ(p.ScriptItems.size(), 2u);
  EXPECT_EQ(p.ScriptItems[1].RegionID, 11);
  EXPECT_EQ(p.ScriptItems[1].Script.Code, 9);
  // Menu numbering goes down through newly numbered records only.
  const TMenuExRec& t = p.MenuTree[0];
  EXPECT_NE(t.ID, 0);
  EXPECT_EQ(t.ParentID, 0);
  EXPECT_EQ(t.Children[0].ParentID, t.ID);
  EXPECT_EQ(t.Children[0].Children[0].ParentID, t.Children[0].ID);
  EXPECT_NE(t.Children[0].Children[0].ID, 0);
  EXPECT_EQ(p.MenuTree[1].Children[0].ID, 0);
  // Sound formats by id.
  EXPECT_EQ(p.SoundFormats.Lookup(0), 1);
  EXPECT_EQ(p.SoundFormats.Lookup(200), 1);
  EXPECT_EQ(p.SoundFormats.Lookup(768), 2);
  EXPECT_EQ(p.SoundFormats.Lookup(300), 0);
}

TEST(Project, PieceValuesAreRebuiltOnlyWhenTheirNumberIsOff) {
  int layouts = 0;
  TProjectCutServices services = DefaultProjectCutServices();
  services.LayoutShapeValues = [&](TPictureSize size, float) {
    ++layouts;
    return std::vector<std::int32_t>{size.Width, size.Height};
  };
  SetProjectCutServices(services);

  TJigsawProject2 source;
  test::UseTestMaster(source);
  source.AddPictureEntry(TPictureKind::pkPicture, 1).Data = test::MakeJpeg(30, 20);
  source.AddPictureEntry(TPictureKind::pkPicture, 2).Data = test::MakeJpeg(10, 40);
  source.PieceValues = {{1, {7}}, {2, {8}}};
  TJigsawProject2 copy;
  copy.LoadFromStream(source.SaveToBytes());
  EXPECT_EQ(layouts, 0);
  EXPECT_EQ(copy.PieceValues[0].Values, std::vector<std::int32_t>{7});

  source.PieceValues.pop_back();
  copy.LoadFromStream(source.SaveToBytes());
  EXPECT_EQ(layouts, 2);
  ASSERT_EQ(copy.PieceValues.size(), 2u);
  EXPECT_EQ(copy.PieceValues[1].Values, (std::vector<std::int32_t>{10, 40}));
  SetProjectCutServices(DefaultProjectCutServices());
}

TEST(Project, PieceScaleFollowsTheRangeFallbacks) {
  TJigsawProject2 p;
  p.DefaultPieceScale = 5;
  p.PieceCountRanges = {
      {1, 0, 50, 0}, {2, 51, 100, 0}, {3, 101, 1, 0}, {4, 1, 60, 0}, {5, 30, 60, 0}};
  const TPictureSize size{100, 80};
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 1, size), 4.0f);
  // A range whose ends are 2 or more goes to FitCellScale; the fallbacks
  // serve the others.
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 3, size), 2.0f);
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 4, size), 5.0f);
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 99, size), 5.0f);
  TProjectCutServices services = DefaultProjectCutServices();
  services.FitCellScale = [](std::int32_t lo, std::int32_t hi, std::int32_t w, std::int32_t h,
                             std::int32_t bw, std::int32_t bh) {
    EXPECT_EQ(w, bw);
    EXPECT_EQ(h, bh);
    return TCellGrid{float(lo + hi) / 10, 0, 0, 0, 0};
  };
  SetProjectCutServices(services);
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 2, size), 15.1f);
  EXPECT_FLOAT_EQ(PieceScaleForPicture(p, 5, size), 9.0f);
  SetProjectCutServices(DefaultProjectCutServices());
}

TEST(Project, AssignCopiesThroughThePackage) {
  TJigsawProject2 source;
  test::FillEverything(source);
  TJigsawProject2 target;
  target.Assign(source);
  EXPECT_EQ(target.Pictures.size(), source.Pictures.size());
  EXPECT_EQ(target.Title.Caption, source.Title.Caption);
  EXPECT_EQ(target.BannerContainers.Container(0)->Banners(), &target.Banners);
  EXPECT_EQ(target.BannerContainers.Container(0)->Count(), 2u);
}

TEST(Project, StoredGameLayoutIsCutBeforeSavingWhenAsked) {
  TProjectCutServices services = DefaultProjectCutServices();
  TBoardArea seen;
  services.CutLayout = [&](const TJigsawProject2&, const TBMPData& picture, float scale,
                           const TBoardArea& board) -> std::optional<TStoredGameLayout> {
    seen = board;
    EXPECT_EQ(picture.ID, 8);
    EXPECT_FLOAT_EQ(scale, 4.0f);
    return TStoredGameLayout{1, 1, TBytes(40, std::byte{1})};
  };
  SetProjectCutServices(services);
  TJigsawProject2 p;
  test::UseTestMaster(p);
  p.AddPictureEntry(TPictureKind::pkBackground, 65536);
  p.AddPictureEntry(TPictureKind::pkPicture, 8).Data = test::MakeJpeg(20, 20);
  p.WindowStyle = kStyleOfficeXP;
  p.BoardArea = {0, 0, 640, 480};
  p.PieceRangeMin = -1;
  p.SaveToBytes();
  EXPECT_FALSE(p.StoredLayout.Present());
  p.StoreGameLayout = 1;
  TJigsawProject2 copy;
  copy.LoadFromStream(p.SaveToBytes());
  EXPECT_EQ(seen, p.BoardArea);
  EXPECT_EQ(copy.StoredLayout.Columns, 1);
  EXPECT_EQ(copy.StoredLayout.Pieces.size(), 40u);
  SetProjectCutServices(DefaultProjectCutServices());
}

}  // namespace
}  // namespace duduri
