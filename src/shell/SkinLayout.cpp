#include "shell/SkinLayout.h"

#include <algorithm>
#include <cstring>

#include "project/Project.h"
#include "raster/Picture.h"
#include "shell/Commands.h"
#include "shell/SkinShape.h"

namespace duduri {

namespace {

// A project may name any number of buttons and panels of any size; a skin
// never needs more than these, and a file that asks for more must not make
// the window take gigabytes for pictures nobody can see.
constexpr std::size_t kMaxSkinButtons = 256;
constexpr std::size_t kMaxClockPanels = 64;
// Without a skin picture nothing bounds a button or panel but this.
constexpr std::int32_t kMaxLooseSide = 2048;
// All buttons together, and all panels together, cover at most this many
// times the skin's pixels (or the minimum, for small or missing skins).
constexpr std::int64_t kAreaFactor = 4;
constexpr std::int64_t kMinAreaBudget = std::int64_t(1) << 20;

std::int64_t areaBudget(const TPicture& picture) {
  return std::max(kMinAreaBudget, kAreaFactor * std::int64_t(picture.Pixels.size()));
}

// left/top/width/height as a rectangle; sizes at or below zero give none.
std::optional<TRect> rectOf(std::int64_t left, std::int64_t top, std::int64_t width,
                            std::int64_t height) {
  if (width <= 0 || height <= 0) return std::nullopt;
  const std::int64_t lo = -std::int64_t(kMaxPictureSide);
  const std::int64_t hi = 2 * std::int64_t(kMaxPictureSide);
  auto clamp = [&](std::int64_t v) { return std::int32_t(std::clamp(v, lo, hi)); };
  TRect r{clamp(left), clamp(top), clamp(left + width), clamp(top + height)};
  if (r.IsEmpty()) return std::nullopt;
  return r;
}

// The part of r inside `bounds`; none when nothing of it is.
std::optional<TRect> clipTo(const TRect& r, const TRect& bounds) {
  const TRect c{std::max(r.Left, bounds.Left), std::max(r.Top, bounds.Top),
                std::min(r.Right, bounds.Right), std::min(r.Bottom, bounds.Bottom)};
  if (c.IsEmpty()) return std::nullopt;
  return c;
}

bool emptyPicture(const TPicture& picture) {
  return picture.Width <= 0 || picture.Height <= 0 || picture.Pixels.empty();
}

// Where things may lie: on the picture, or near the origin without one.
TRect placeBounds(const TPicture& picture) {
  if (!emptyPicture(picture)) return {0, 0, picture.Width, picture.Height};
  return {0, 0, kMaxLooseSide, kMaxLooseSide};
}

void decodeSkinPicture(const TSkinEntry& skin, TPicture& picture) {
  if (skin.Image.empty()) return;
  try {
    picture = DecodePicture(skin.Image);
    if (std::int64_t(picture.Pixels.size()) != std::int64_t(picture.Width) * picture.Height) {
      picture = TPicture();
    }
  } catch (const EDuduriError&) {
    // The window keeps the picture it shows.
    picture = TPicture();
  }
}

// Whether raw pixels carry an alpha channel: pictures made without one have
// 0 in every fourth byte and are meant to be drawn opaque.
bool hasAlpha(const TBytes& raw) {
  for (std::size_t i = 3; i < raw.size(); i += 4) {
    if (raw[i] != std::byte{0}) return true;
  }
  return false;
}

// The button picture: raw 32-bit pixels, `width` to a row, of which the part
// `visible` (in region coordinates) is wanted. Pixels the buffer does not
// reach stay 0 (transparent).
void layPixels(const TBytes& raw, std::int32_t width, const TRect& visible, TBitmap32& target) {
  target.SetSize(visible.Width(), visible.Height());
  target.Clear(0);
  const bool opaque = !hasAlpha(raw);
  const std::int64_t available = std::int64_t(raw.size() / 4);
  for (std::int32_t y = visible.Top; y < visible.Bottom; ++y) {
    const std::int64_t rowStart = std::int64_t(y) * width + visible.Left;
    if (rowStart >= available) break;
    const std::int64_t count = std::min<std::int64_t>(visible.Width(), available - rowStart);
    TColor32* out = target.ScanLine(y - visible.Top);
    std::memcpy(out, raw.data() + rowStart * 4, std::size_t(count) * 4);
    if (opaque) {
      for (std::int64_t x = 0; x < count; ++x) out[x] |= 0xFF000000u;
    }
  }
}

std::optional<TScriptItem> regionScript(const TJigsawProject2& project, const TSkinRegion& region) {
  for (const TScriptItemEntry& entry : project.ScriptItems) {
    if (entry.RegionID != region.ID) continue;
    TScriptItem script;
    script.Assign(entry.Script);
    script.Code = region.CommandCode;
    return script;
  }
  return std::nullopt;
}

void planButtons(const TJigsawProject2& project, const TSkinEntry& skin, TSkinLayoutPlan& plan) {
  const TRect bounds = placeBounds(plan.Picture);
  std::int64_t budget = areaBudget(plan.Picture);
  for (const TSkinRegion& region : project.Regions) {
    const auto uses = std::count(skin.RegionIDs.begin(), skin.RegionIDs.end(), region.ID);
    for (std::ptrdiff_t n = 0; n < uses; ++n) {
      if (plan.Buttons.size() >= kMaxSkinButtons) return;
      const std::optional<TRect> place = rectOf(region.Left, region.Top, region.Width,
                                                region.Height);
      if (!place) continue;
      const std::optional<TRect> shown = clipTo(*place, bounds);
      if (!shown) continue;
      const std::int64_t area = std::int64_t(shown->Width()) * shown->Height();
      if (area > budget) return;
      budget -= area;

      TSkinButtonPlan button;
      button.RegionID = region.ID;
      button.Bounds = *shown;
      const TRect visible{shown->Left - place->Left, shown->Top - place->Top,
                          shown->Right - place->Left, shown->Bottom - place->Top};
      layPixels(region.Normal, region.Width, visible, button.Normal);
      // A state without a picture of its own looks like the normal one
      // rather than vanishing under the mouse.
      layPixels(region.Hover.empty() ? region.Normal : region.Hover, region.Width, visible,
                button.Hover);
      layPixels(region.Pressed.empty() ? region.Normal : region.Pressed, region.Width, visible,
                button.Pressed);
      button.Script = regionScript(project, region);
      button.ActsOnPress = button.Script && SkinButtonActsOnPress(button.Script->Code);
      plan.Buttons.push_back(std::move(button));
    }
  }
}

void planClockPanels(const TJigsawProject2& project, const TSkinEntry& skin,
                     TSkinLayoutPlan& plan) {
  const TRect bounds = placeBounds(plan.Picture);
  std::int64_t budget = areaBudget(plan.Picture);
  for (const TTextStyle& style : project.TextStyles) {
    if (style.SkinID != skin.ID) continue;
    if (plan.ClockPanels.size() >= kMaxClockPanels) return;
    const std::optional<TRect> place = rectOf(style.Left, style.Top, style.Width, style.Height);
    if (!place) continue;
    const std::optional<TRect> shown = clipTo(*place, bounds);
    if (!shown) continue;
    const std::int64_t area = std::int64_t(shown->Width()) * shown->Height();
    if (area > budget) return;
    budget -= area;
    TClockPanelPlan panel;
    panel.TextStyleID = style.ID;
    panel.Bounds = *shown;
    panel.SeeThrough = style.SeeThrough != 0;
    panel.BrushColor = Color32FromPlatform(style.BackgroundColor);
    panel.Font = style.Font;
    panel.FontColor = Color32FromPlatform(style.Font.Color);
    panel.Background.SetSize(shown->Width(), shown->Height());
    if (panel.SeeThrough && !emptyPicture(plan.Picture)) {
      for (std::int32_t y = shown->Top; y < shown->Bottom; ++y) {
        const TColor32* from =
            plan.Picture.Pixels.data() + std::size_t(y) * std::size_t(plan.Picture.Width);
        TColor32* to = panel.Background.ScanLine(y - shown->Top);
        for (std::int32_t x = 0; x < shown->Width(); ++x) to[x] = from[shown->Left + x] | 0xFF000000u;
      }
    } else {
      panel.Background.Clear(panel.BrushColor);
    }
    plan.ClockPanels.push_back(std::move(panel));
  }
}

}  // namespace

bool SkinButtonActsOnPress(std::int32_t code) {
  switch (code) {
    case ccOpenGame:
    case ccSelectSkin:
    case ccPlayPicture:
    case ccNewGame:
    case ccDifficulty:
      return true;
    default:
      return false;
  }
}

std::optional<std::size_t> SkinEntryIndex(const TJigsawProject2& project, int skinId) {
  if (project.Skins.empty()) return std::nullopt;
  if (skinId >= 0 && std::size_t(skinId) < project.Skins.size()) return std::size_t(skinId);
  return 0;
}

std::optional<TSkinLayoutPlan> PlanSkinLayout(const TJigsawProject2& project, int skinId) {
  const std::optional<std::size_t> index = SkinEntryIndex(project, skinId);
  if (!index) return std::nullopt;
  const TSkinEntry& skin = project.Skins[*index];
  if (skin.Kind != kStyleSkinned) return std::nullopt;

  TSkinLayoutPlan plan;
  plan.SkinEntryID = skin.ID;
  plan.SkinIndex = *index;
  decodeSkinPicture(skin, plan.Picture);
  if (!emptyPicture(plan.Picture)) {
    plan.Shape = NonBlackShape(plan.Picture.Pixels, plan.Picture.Width, plan.Picture.Height,
                               plan.Picture.Width);
  }

  if (skin.BoardArea.Set()) {
    if (const std::optional<TRect> area = rectOf(skin.BoardArea.Left, skin.BoardArea.Top,
                                                 skin.BoardArea.Width, skin.BoardArea.Height)) {
      plan.BoardArea = clipTo(*area, placeBounds(plan.Picture));
    }
  }
  planButtons(project, skin, plan);
  planClockPanels(project, skin, plan);
  return plan;
}

TClockOffset ClockTextOffset(std::int32_t panelWidth, std::int32_t panelHeight,
                             std::int32_t textWidth, std::int32_t textHeight) {
  return {(panelWidth - textWidth) / 2, (panelHeight - textHeight) / 2};
}

}  // namespace duduri
