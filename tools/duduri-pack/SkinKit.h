#pragma once
// The pictures of the sample skinned and banner projects, painted by our own
// code (`duduri-pack skinkit DIR`): two window skins, the skin buttons in
// three states each, and three banners. The places below are where the
// painter leaves room for the board, the buttons, the clock and the banners;
// the sample projects (app/SampleProjects.cmake) use the same numbers.

#include <array>
#include <cstdint>
#include <string_view>

#include "PaintCanvas.h"

namespace duduri::pack::kit {

struct Box {
  int left, top, width, height;
};

struct SkinGeometry {
  std::string_view name;  // file name stem: skin-<name>.bmp
  int width, height;
  Box board;
  int buttonTop;
  std::array<int, 5> buttonLeft;  // new game, show picture, pause, select skin, exit
  Box clock;
  int bannerLeft, bannerTop;
};

inline constexpr int kButtonSide = 40;
inline constexpr int kBannerWidth = 468;
inline constexpr int kBannerHeight = 60;

// Amber: a brass frame with a tab on top; its top corners beside the tab are
// black, so the window has no corners there.
inline constexpr SkinGeometry kAmber{
    "amber", 800, 600, {32, 100, 736, 410}, 44, {36, 84, 132, 180, 228}, {600, 46, 164, 36},
    166,     526};
// Jade: a green frame with large round corners and a round hole at the top.
inline constexpr SkinGeometry kJade{
    "jade", 720, 600, {60, 110, 600, 390}, 44, {430, 478, 526, 574, 622}, {84, 46, 150, 36},
    126,    522};

enum class Icon { iNew, iShow, iPause, iSkin, iExit };
enum class Face { fNormal, fHover, fPressed };
inline constexpr std::array<std::string_view, 5> kIconNames = {"new", "show", "pause", "skin",
                                                               "exit"};
inline constexpr std::array<std::string_view, 3> kFaceNames = {"normal", "hover", "pressed"};

// The whole skin: the frame in colour, black wherever the window has no shape.
void paintSkin(Canvas& canvas, const SkinGeometry& skin, std::uint64_t seed);
// A kButtonSide square button in the skin's colours, transparent around its
// rounded corners (alpha in the picture).
void paintButton(TBitmap32& target, const SkinGeometry& skin, Icon icon, Face face);
// A banner: a strip of one of the painted scenes (0 harbour, 1 meadow,
// 2 mosaic) in a thin frame.
void paintBanner(TBitmap32& target, int which, std::uint64_t seed);

}  // namespace duduri::pack::kit
