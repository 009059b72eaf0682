// The skinned-window plan from skin records that come from a project file:
// twelve i32 (board area, one button region, one clock panel: left, top,
// width, height each), one byte that splits the rest into the button's
// pixels and the skin picture (a BMP or JPEG file).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "project/Project.h"
#include "shell/SkinLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::size_t kHeader = 12 * 4 + 1;
  if (size < kHeader) return 0;
  std::int32_t v[12];
  std::memcpy(v, data, sizeof v);
  const std::size_t rest = size - kHeader;
  const std::size_t split = rest * data[48] / 255;
  const auto* body = reinterpret_cast<const std::byte*>(data + kHeader);

  duduri::TJigsawProject2 project;
  duduri::TSkinEntry& skin = project.NewSkinEntry();
  skin.Kind = duduri::kStyleSkinned;
  skin.BoardArea = {v[0], v[1], v[2], v[3]};
  skin.Image.assign(body + split, body + rest);
  duduri::TSkinRegion& region = project.NewRegion();
  region.Left = v[4], region.Top = v[5], region.Width = v[6], region.Height = v[7];
  region.Normal.assign(body, body + split);
  skin.RegionIDs.push_back(region.ID);
  project.NewScriptItemEntry().RegionID = region.ID;
  duduri::TTextStyle clock;
  clock.SkinID = skin.ID;
  clock.Left = v[8], clock.Top = v[9], clock.Width = v[10], clock.Height = v[11];
  clock.SeeThrough = data[48] & 1;
  project.TextStyles.push_back(clock);
  try {
    (void)duduri::PlanSkinLayout(project, 0);
  } catch (const duduri::EDuduriError&) {
  }
  return 0;
}
