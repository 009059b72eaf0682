// What a project does after it was loaded (bringing older projects up to the
// current lists) and before it is saved (the stored game layout).

#include <unordered_set>

#include "project/NewId.h"
#include "project/PieceValues.h"
#include "project/Project.h"

namespace duduri {

namespace {

constexpr std::uint8_t kAssocWave = 1;
constexpr std::uint8_t kAssocMidi = 2;

// Gives every record with id 0 on this level a new id under parent, then
// goes down into the records it just numbered. Records that already had an
// id keep their children as they are. The ids in use are gathered once, so
// a large tree is numbered in linear time.
void numberMenuLevel(TMenuTree& level, std::int32_t parent) {
  std::unordered_set<std::int32_t> used;
  ForEachMenuRecord(level, [&](const TMenuExRec& r) { used.insert(r.ID); });
  std::vector<std::pair<TMenuTree*, std::int32_t>> pending{{&level, parent}};
  while (!pending.empty()) {
    auto [records, parentId] = pending.back();
    pending.pop_back();
    for (TMenuExRec& r : *records) {
      if (r.ID != 0) continue;
      r.ID = DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "menu");
      used.insert(r.ID);
      r.ParentID = parentId;
      pending.push_back({&r.Children, r.ID});
    }
  }
}

}  // namespace

void TJigsawProject2::Normalise() {
  // 1. The single skin picture of an older project becomes the first skin.
  if (!SingleSkinImage.empty() && Skins.empty()) {
    TSkinEntry skin;
    skin.ID = NewSkinId();
    skin.Kind = WindowStyle;
    skin.Image = SingleSkinImage;
    skin.Value = SingleSkinValue;
    skin.BoardArea = BoardArea;
    for (const TSkinRegion& r : Regions) skin.RegionIDs.push_back(r.ID);
    Skins.insert(Skins.begin(), std::move(skin));
  }

  // 2. Background settings for every background when the counts differ.
  if (std::size_t(BackgroundCount) != BackgroundSettings.size()) {
    for (const TBMPData& entry : Pictures)
      if (IsBackgroundId(entry.ID))
        BackgroundSettings.push_back(
            {entry.ID, DefaultBackground.FillMode, DefaultBackground.SecondValue});
  }

  // 3. Per-picture piece values, rebuilt when their number is off.
  if (PictureCount > 0 && PieceValues.size() != std::size_t(PictureCount)) {
    PieceValues.clear();
    for (const TBMPData& entry : Pictures)
      if (IsPictureId(entry.ID))
        PieceValues.push_back({entry.ID, PieceValuesForPicture(*this, entry)});
  }

  // 4. One script item per region when a project has regions but no scripts.
  if (!Regions.empty() && ScriptItems.empty()) {
    std::unordered_set<std::int32_t> used;
    for (const TSkinRegion& r : Regions) {
      TScriptItemEntry item;
      item.ID = DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "script item");
      used.insert(item.ID);
      item.RegionID = r.ID;
      item.Script.Code = r.CommandCode;
      ScriptItems.push_back(std::move(item));
    }
  }

  // 5. Menu records without an id get one.
  numberMenuLevel(MenuTree, 0);

  // 6. Sound formats by id when the project stores none.
  if (SoundFormats.Empty()) {
    for (const TBMPData& s : Sounds) {
      if (s.ID >= 0 && s.ID <= 255)
        SoundFormats.Add(s.ID, kAssocWave);
      else if ((s.ID & ~0xFF00) == 0)
        SoundFormats.Add(s.ID, kAssocMidi);
    }
  }
}

void TJigsawProject2::PrepareStoredGameLayout() {
  if (!StoreGameLayout) return;
  const TProjectCutServices& s = ProjectCutServices();
  if (!s.CutLayout) return;
  const TBMPData* first = nullptr;
  for (const TBMPData& entry : Pictures) {
    if (IsPictureId(entry.ID)) {
      first = &entry;
      break;
    }
  }
  if (first == nullptr) return;
  const TBoardArea board = StyleBoardArea();
  float scale = float(DefaultPieceScale);
  if (PieceRangeMin != -1 && PieceRangeMax != -1) {
    TPictureSize size;
    try {
      size = ReadPictureSize(first->Data);
    } catch (const EDuduriError&) {
      return;
    }
    scale = FitCellScaleFor(PieceRangeMin, PieceRangeMax, size.Width, size.Height, board.Width,
                            board.Height)
                .Scale;
  }
  if (std::optional<TStoredGameLayout> layout = s.CutLayout(*this, *first, scale, board))
    StoredLayout = std::move(*layout);
}

}  // namespace duduri
