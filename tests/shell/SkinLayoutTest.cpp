// The skinned window worked out without a window: its shape from the skin's
// non-black pixels, and the plan of play area, buttons and clock panels from
// a project's records, including records that do not fit.

#include <gtest/gtest.h>

#include <random>

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/SkinLayout.h"
#include "shell/SkinShape.h"

namespace duduri {
namespace {

constexpr TColor32 kBlack = 0xFF000000;

// What a window system asks of shape rectangles: sorted by top then left,
// every band of one height, no overlaps, no two touching in a band.
void expectBanded(const std::vector<TRect>& shape) {
  for (std::size_t i = 1; i < shape.size(); ++i) {
    const TRect& a = shape[i - 1];
    const TRect& b = shape[i];
    ASSERT_FALSE(a.IsEmpty());
    if (a.Top == b.Top) {
      EXPECT_EQ(a.Bottom, b.Bottom) << i;
      EXPECT_LT(a.Right, b.Left) << i;
    } else {
      EXPECT_LE(a.Bottom, b.Top) << i;
    }
  }
}

// A w x h skin: a rounded rectangle of colour on black.
TBitmap32 roundedSkin(int w, int h, int radius) {
  TBitmap32 skin;
  skin.SetSize(w, h);
  skin.Clear(kBlack);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int dx = std::max({radius - x, x - (w - 1 - radius), 0});
      const int dy = std::max({radius - y, y - (h - 1 - radius), 0});
      if (dx * dx + dy * dy <= radius * radius) skin.ScanLine(y)[x] = 0xFF806040;
    }
  }
  return skin;
}

TEST(SkinShape, FollowsEveryNonBlackPixelAndMergesEqualRows) {
  // Random pictures, black and not, with runs of every length: the shape is
  // exactly the non-black pixels, whatever the alpha says.
  std::mt19937 random(5);
  for (int round = 0; round < 40; ++round) {
    const int w = 1 + int(random() % 70), h = 1 + int(random() % 30);
    TBitmap32 picture;
    picture.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      const bool copyRow = y > 0 && random() % 3 == 0;
      for (int x = 0; x < w; ++x) {
        TColor32 c = random() % 2 ? 0 : TColor32(random() % 4) << 24;  // black, any alpha
        if (random() % 3 == 0) c = TColor32(random()) | 1u << (random() % 24);
        picture.ScanLine(y)[x] = copyRow ? picture.ScanLine(y - 1)[x] : c;
      }
    }
    const std::vector<TRect> shape = NonBlackShape(picture);
    expectBanded(shape);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        ASSERT_EQ(ShapeContains(shape, x, y), (picture.ScanLine(y)[x] & 0xFFFFFF) != 0)
            << round << " " << x << "," << y;
      }
    }
  }

  // A rounded skin costs at most a band per corner row and one for the
  // straight middle, and its corners are out.
  const TBitmap32 skin = roundedSkin(200, 100, 12);
  const std::vector<TRect> shape = NonBlackShape(skin);
  EXPECT_LE(shape.size(), 2u * 12 + 1);
  EXPECT_FALSE(ShapeContains(shape, 0, 0));
  EXPECT_FALSE(ShapeContains(shape, 199, 99));
  EXPECT_TRUE(ShapeContains(shape, 100, 50));
  EXPECT_TRUE(ShapeContains(shape, 0, 50));
}

TEST(SkinShape, RefusesBuffersShorterThanTheirSize) {
  const std::vector<TColor32> pixels(99, 0xFFFFFFFF);
  EXPECT_THROW(NonBlackShape(pixels, 10, 10, 10), EDuduriError);
  EXPECT_THROW(NonBlackShape(pixels, 10, 10, 9), EDuduriError);  // rows overlap
  EXPECT_EQ(NonBlackShape(pixels, 10, 9, 11).size(), 1u);         // stride past the last row
  EXPECT_TRUE(NonBlackShape(pixels, 0, 10, 10).empty());
  // All black: no shape at all.
  TBitmap32 black;
  black.SetSize(16, 16);
  black.Clear(kBlack);
  EXPECT_TRUE(NonBlackShape(black).empty());
}

// A project with one skinned entry on a 120 x 80 skin.
class SkinPlan : public ::testing::Test {
 protected:
  void SetUp() override {
    TBitmap32 picture = roundedSkin(120, 80, 10);
    picture.FillRectS(50, 20, 70, 30, 0xFF2040C0);  // where a see-through panel looks
    TSkinEntry& skin = project.NewSkinEntry();
    skin.Kind = kStyleSkinned;
    skin.Image = EncodeBmp(picture, 24);
    skin.BoardArea = {10, 30, 100, 40};
  }
  TSkinEntry& skin() { return project.Skins[0]; }
  TSkinRegion& addRegion(int left, int top, int w, int h, std::int32_t code) {
    TSkinRegion& r = project.NewRegion();
    r.Left = left, r.Top = top, r.Width = w, r.Height = h, r.CommandCode = code;
    r.Normal = pixels(w * h, 0x11);
    r.Hover = pixels(w * h, 0x22);
    r.Pressed = pixels(w * h, 0x33);
    skin().RegionIDs.push_back(r.ID);
    return r;
  }
  static TBytes pixels(int count, int value) {
    TBytes b(std::size_t(count) * 4);
    for (std::size_t i = 0; i < b.size(); i += 4) {
      b[i] = std::byte(value), b[i + 1] = std::byte(value), b[i + 2] = std::byte(value);
      b[i + 3] = std::byte{0};  // no alpha: drawn opaque
    }
    return b;
  }
  TTextStyle& addTextStyle(int left, int top, int w, int h, bool seeThrough) {
    TTextStyle t;
    t.ID = int(project.TextStyles.size()) + 1;
    t.SkinID = skin().ID;
    t.Left = left, t.Top = top, t.Width = w, t.Height = h;
    t.SeeThrough = seeThrough ? 1 : 0;
    t.BackgroundColor = 0x00336699;  // BGR
    t.Font.Name = "No Such Font At All";
    project.TextStyles.push_back(t);
    return project.TextStyles.back();
  }

  TJigsawProject2 project;
};

TEST_F(SkinPlan, SelectsTheEntryAndLaysOutOnlySkinnedOnes) {
  TSkinEntry& second = project.NewSkinEntry();
  second.Kind = kStyleSkinned;
  EXPECT_EQ(PlanSkinLayout(project, 1)->SkinIndex, 1u);
  // An index outside the list falls back to the first entry.
  EXPECT_EQ(PlanSkinLayout(project, 7)->SkinIndex, 0u);
  EXPECT_EQ(PlanSkinLayout(project, -1)->SkinEntryID, skin().ID);
  second.Kind = kStyleDefault;
  EXPECT_FALSE(PlanSkinLayout(project, 1).has_value());
  project.Skins.clear();
  EXPECT_FALSE(PlanSkinLayout(project, 0).has_value());
}

TEST_F(SkinPlan, PictureShapeAndBoardArea) {
  std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, 0);
  ASSERT_TRUE(plan);
  EXPECT_EQ(plan->Picture.Width, 120);
  EXPECT_FALSE(ShapeContains(plan->Shape, 0, 0));
  EXPECT_TRUE(ShapeContains(plan->Shape, 60, 40));
  EXPECT_EQ(plan->BoardArea, (TRect{10, 30, 110, 70}));

  // A board area partly off the skin is cut to it; one wholly off, or with
  // a size below zero, gives none: the play area then fills the window.
  skin().BoardArea = {100, 70, 500, 500};
  EXPECT_EQ(PlanSkinLayout(project, 0)->BoardArea, (TRect{100, 70, 120, 80}));
  skin().BoardArea = {-1000, 10, 50, 50};
  EXPECT_FALSE(PlanSkinLayout(project, 0)->BoardArea);
  skin().BoardArea = {10, 10, -50, 50};
  EXPECT_FALSE(PlanSkinLayout(project, 0)->BoardArea);
  skin().BoardArea = {2147483000, 2147483000, 2147483000, 2147483000};
  EXPECT_FALSE(PlanSkinLayout(project, 0)->BoardArea);
}

TEST_F(SkinPlan, PictureThatDoesNotDecodeStillLaysOutTheRest) {
  skin().Image.resize(skin().Image.size() / 2);  // a bitmap cut short
  addRegion(5, 5, 10, 10, 15);
  addTextStyle(50, 5, 30, 12, true);
  std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, 0);
  ASSERT_TRUE(plan);
  EXPECT_TRUE(plan->Picture.Pixels.empty());
  EXPECT_TRUE(plan->Shape.empty());
  EXPECT_EQ(plan->BoardArea, (TRect{10, 30, 110, 70}));
  ASSERT_EQ(plan->Buttons.size(), 1u);
  ASSERT_EQ(plan->ClockPanels.size(), 1u);
  // Nothing to see through to: the panel takes its colour.
  EXPECT_EQ(plan->ClockPanels[0].Background.GetPixelS(0, 0), 0xFF996633u);
}

TEST_F(SkinPlan, ButtonsTakeTheirPicturesAsFarAsTheBuffersGo) {
  const std::int32_t full = addRegion(4, 4, 8, 6, 15).ID;
  TSkinRegion* r = &addRegion(20, 4, 8, 6, 6);
  r->Hover.resize(8 * 2 * 4 + 3);  // two rows and a stray byte
  r->Pressed.clear();              // none: looks like the normal one
  r = &addRegion(40, 4, 2, 2, 0);
  r->Normal[3] = std::byte{0x80};
  addRegion(500, 500, 8, 8, 3);  // off the skin
  r = &addRegion(100, 70, 4, 4, 3);
  r->Width = r->Height = 2000000000;
  r->Normal.resize(64);
  addRegion(30, 30, 0, 10, 3);        // no size
  skin().RegionIDs.push_back(full);  // listed twice: two buttons

  std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, 0);
  ASSERT_TRUE(plan);
  ASSERT_EQ(plan->Buttons.size(), 5u);
  const TSkinButtonPlan& a = plan->Buttons[0];
  EXPECT_EQ(a.Bounds, (TRect{4, 4, 12, 10}));
  EXPECT_EQ(a.Normal.GetPixelS(7, 5), 0xFF111111u);
  EXPECT_EQ(a.Pressed.GetPixelS(0, 0), 0xFF333333u);
  EXPECT_EQ(plan->Buttons[1].RegionID, full);

  const TSkinButtonPlan& b = plan->Buttons[2];
  EXPECT_EQ(b.Hover.GetPixelS(7, 1), 0xFF222222u);
  EXPECT_EQ(b.Hover.GetPixelS(0, 2), 0u);  // past the buffer: transparent
  EXPECT_EQ(b.Pressed.GetPixelS(3, 3), 0xFF111111u);

  // A picture with alpha keeps it.
  EXPECT_EQ(AlphaComponent(plan->Buttons[3].Normal.GetPixelS(0, 0)), 0x80);
  EXPECT_EQ(AlphaComponent(plan->Buttons[3].Normal.GetPixelS(1, 0)), 0);

  // The huge one is cut to the skin, and read only where its buffer is.
  const TSkinButtonPlan& h = plan->Buttons[4];
  EXPECT_EQ(h.Bounds, (TRect{100, 70, 120, 80}));
  EXPECT_EQ(h.Normal.GetPixelS(15, 0), 0xFF111111u);
  EXPECT_EQ(h.Normal.GetPixelS(16, 0), 0u);
}

TEST_F(SkinPlan, ButtonCommandsComeFromTheRegionsScriptItem) {
  const std::int32_t newGame = addRegion(4, 4, 8, 8, 15).ID;
  const std::int32_t show = addRegion(20, 4, 8, 8, 6).ID;
  addRegion(40, 4, 8, 8, 3);  // no script item: a button without action
  TScriptItemEntry& a = project.NewScriptItemEntry();
  a.RegionID = newGame;
  a.Script.Code = 99;  // the region's code wins
  a.Script.AddTextParameter("x");
  project.NewScriptItemEntry().RegionID = show;

  std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, 0);
  ASSERT_EQ(plan->Buttons.size(), 3u);
  ASSERT_TRUE(plan->Buttons[0].Script);
  EXPECT_EQ(plan->Buttons[0].Script->Code, 15);
  EXPECT_EQ(plan->Buttons[0].Script->Parameter.Text(0), "x");
  EXPECT_TRUE(plan->Buttons[0].ActsOnPress);
  EXPECT_EQ(plan->Buttons[1].Script->Code, 6);
  EXPECT_FALSE(plan->Buttons[1].ActsOnPress);
  EXPECT_FALSE(plan->Buttons[2].Script);
  for (std::int32_t code : {1, 9, 14, 15, 23}) EXPECT_TRUE(SkinButtonActsOnPress(code)) << code;
  for (std::int32_t code : {0, 3, 6, 13, 22, 24}) EXPECT_FALSE(SkinButtonActsOnPress(code)) << code;
}

TEST_F(SkinPlan, ClockPanelsOfTheSkinWithTheirBackgrounds) {
  addTextStyle(45, 18, 30, 14, true);
  addTextStyle(5, 60, 20, 10, false);
  addTextStyle(110, 70, 40, 40, true);  // partly off the skin
  addTextStyle(10, 10, 0, 10, true);    // no size
  TTextStyle other;
  other.SkinID = skin().ID + 1;
  other.Width = other.Height = 10;
  project.TextStyles.push_back(other);

  std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, 0);
  ASSERT_EQ(plan->ClockPanels.size(), 3u);
  const TClockPanelPlan& see = plan->ClockPanels[0];
  EXPECT_EQ(see.Bounds, (TRect{45, 18, 75, 32}));
  EXPECT_EQ(see.Background.GetPixelS(0, 0), 0xFF806040u);  // the skin at (45, 18)
  EXPECT_EQ(see.Background.GetPixelS(10, 5), 0xFF2040C0u);  // the skin at (55, 23)
  EXPECT_EQ(see.Font.Name, "No Such Font At All");
  EXPECT_EQ(plan->ClockPanels[1].Background.GetPixelS(3, 3), 0xFF996633u);
  EXPECT_EQ(plan->ClockPanels[2].Bounds, (TRect{110, 70, 120, 80}));
}

TEST(ClockText, CentresOnTheMeasureWithHalvesTowardZero) {
  EXPECT_EQ(ClockTextOffset(100, 30, 61, 15).X, 19);
  EXPECT_EQ(ClockTextOffset(100, 30, 61, 15).Y, 7);
  // Text wider than its panel starts left of it, by half the excess.
  EXPECT_EQ(ClockTextOffset(50, 10, 61, 13).X, -5);
  EXPECT_EQ(ClockTextOffset(50, 10, 61, 13).Y, -1);
}

}  // namespace
}  // namespace duduri
