// What the game flow asks of the window styles as it builds and plays a
// game: the theme and layout of the project's style, banners for windows the
// style leaves to the plain layout, and the clock text on every tick for the
// styles that show a clock of their own.

#include <gtest/gtest.h>

#include "ShellTestKit.h"
#include "project/Project.h"

namespace duduri {
namespace {

class TRecordingStyle : public TStyleSeam {
 public:
  void ApplyTheme(std::uint16_t kind) override { themes.push_back(kind); }
  bool LayoutStyle(const TJigsawProject2&, std::uint16_t kind, int skinId) override {
    layouts.push_back({kind, skinId});
    return kind == kStyleSkinned || kind == kStyleFullScreen;
  }
  void DrawClockPanels(const char* text) override { clocks.push_back(text); }
  bool ShowBanners(const TJigsawProject2&, int skinEntryId) override {
    bannerSkins.push_back(skinEntryId);
    return true;
  }
  std::vector<std::uint16_t> themes;
  std::vector<std::pair<std::uint16_t, int>> layouts;
  std::vector<std::string> clocks;
  std::vector<int> bannerSkins;
};

TBytes projectOfStyle(std::uint16_t style) {
  return test::MakeTestPackage({.Pictures = 1, .Edit = [style](TJigsawProject2& p) {
                                  p.WindowStyle = style;
                                  TSkinEntry& skin = p.NewSkinEntry();
                                  skin.Kind = kStyleSkinned;
                                  p.NewSkinEntry().Kind = kStyleSkinned;
                                  p.CurrentSkinIndex = 1;
                                }});
}

TEST(StyleFlow, EachStyleIsLaidOutAndClockedAsItSays) {
  struct TCase {
    std::uint16_t style;
    bool plainLayout;
    std::vector<std::string> clocks;  // after the build and two ticks
  };
  const TCase cases[] = {
      {kStyleDefault, true, {}},
      {kStyleOfficeXP, true, {}},
      {kStyleStripes, true, {}},
      {0, true, {}},
      {kStyleSkinned, false, {"00:00:00", "00:00:01", "00:00:02"}},
      {kStyleFullScreen, false, {"00:00:01", "00:00:02"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.style);
    test::TFlowRig rig(projectOfStyle(c.style));
    TRecordingStyle style;
    rig.seams.SetStyle(&style);
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    rig.TickClock(2);
    EXPECT_EQ(style.themes, std::vector<std::uint16_t>{c.style});
    // The current skin index goes with the layout.
    ASSERT_EQ(style.layouts.size(), 1u);
    EXPECT_EQ(style.layouts[0], (std::pair<std::uint16_t, int>{c.style, 1}));
    // A style the seam did not lay out gets the plain window with the
    // banners of no skin.
    EXPECT_EQ(rig.view.layouts, c.plainLayout ? 1 : 0);
    EXPECT_EQ(style.bannerSkins, c.plainLayout ? std::vector<int>{0} : std::vector<int>{});
    EXPECT_EQ(style.clocks, c.clocks);
    rig.seams.SetStyle(nullptr);
  }
}

TEST(StyleFlow, StoppedClockDrawsNoPanels) {
  test::TFlowRig rig(projectOfStyle(kStyleSkinned));
  TRecordingStyle style;
  rig.seams.SetStyle(&style);
  rig.Create();
  style.clocks.clear();
  rig.flow->ToggleClock(nullptr);
  rig.TickClock(3);
  EXPECT_TRUE(style.clocks.empty());
  rig.seams.SetStyle(nullptr);
}

}  // namespace
}  // namespace duduri
