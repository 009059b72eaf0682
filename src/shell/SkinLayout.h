#pragma once
// What a skinned window looks like for one skin entry of a project, worked
// out without any window: the skin picture and its shape, where the play
// area goes, the skin buttons with their pictures and commands, and the clock
// panels with their backgrounds. The window (shell/ui) only turns the plan
// into widgets.
//
// Everything here comes from a project file, so every size and place is
// checked: a skin picture that does not decode leaves the picture out (the
// window keeps the one it shows), a board area is clipped to the skin, a
// button picture shorter than its size is filled as far as it goes, and
// nothing is ever read past the end of a buffer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/ProjectRecords.h"
#include "project/Scripts.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

class TJigsawProject2;

// Codes a skin button carries out on the mouse press instead of the click:
// open saved game, select skin, play picture, new game, change difficulty.
bool SkinButtonActsOnPress(std::int32_t code);

struct TSkinButtonPlan {
  std::int32_t RegionID = 0;
  TRect Bounds;  // on the skin picture
  // Raw 32-bit pixels of the region laid into Bounds' size, with their alpha
  // (opaque when no pixel has any); pixels a short buffer does not reach
  // are 0 (transparent).
  TBitmap32 Normal;
  TBitmap32 Hover;
  TBitmap32 Pressed;
  // The region's script item with the region's command code; none when the
  // project has no script item for the region (a button without action).
  std::optional<TScriptItem> Script;
  bool ActsOnPress = false;
};

struct TClockPanelPlan {
  std::int32_t TextStyleID = 0;
  TRect Bounds;           // on the skin picture
  TBitmap32 Background;   // Bounds' size: the skin under it, or the brush colour
  TColor32 BrushColor = 0;
  bool SeeThrough = false;
  TTextStyleFont Font;
  TColor32 FontColor = 0xFF000000;
};

struct TSkinLayoutPlan {
  std::int32_t SkinEntryID = 0;
  std::size_t SkinIndex = 0;  // the entry of the project's skin list laid out
  // The decoded skin picture, as the decoder gave it (a 3 MB copy saved on a
  // large skin; its alpha means nothing, the skin is shown opaque). Empty
  // when the entry has none or it does not decode: then Shape is empty too
  // and the window keeps what it shows.
  TPicture Picture;
  std::vector<TRect> Shape;  // NonBlackShape of Picture
  // The play area: the entry's board area clipped to the picture; none when
  // the entry has none, or nothing of it lies on the picture (the play area
  // then fills the window).
  std::optional<TRect> BoardArea;
  std::vector<TSkinButtonPlan> Buttons;
  std::vector<TClockPanelPlan> ClockPanels;
};

// The skin entry a skin id selects: that index of the project's skins, the
// first entry for an index outside the list, none without entries.
std::optional<std::size_t> SkinEntryIndex(const TJigsawProject2& project, int skinId);

// The plan for a skin id; none when no entry is selected or the selected one
// is not a skinned-window entry (kind 19), in which case nothing is laid out.
// Panel colours go through Color32FromPlatform (system colour codes included).
std::optional<TSkinLayoutPlan> PlanSkinLayout(const TJigsawProject2& project, int skinId);

// Where the clock text goes in a panel: centred on the size `textWidth` x
// `textHeight` measures (of "88:88:88"), halves rounded toward zero.
struct TClockOffset {
  std::int32_t X = 0;
  std::int32_t Y = 0;
};
TClockOffset ClockTextOffset(std::int32_t panelWidth, std::int32_t panelHeight,
                             std::int32_t textWidth, std::int32_t textHeight);

// The text whose size centres the clock, whatever time it shows.
inline constexpr const char* kClockMeasureText = "88:88:88";

}  // namespace duduri
