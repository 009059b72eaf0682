#include "project/Project.h"

#include <unistd.h>

#include <unordered_set>

#include "project/NewId.h"
#include "project/Package.h"
#include "project/ProgramData.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

constexpr int kSoundSlotCount = 10;
constexpr std::int32_t kExitCommand = 3;

template <typename List, typename Get>
std::unordered_set<std::int32_t> idsOf(const List& list, Get get) {
  std::unordered_set<std::int32_t> ids;
  for (const auto& entry : list) ids.insert(get(entry));
  return ids;
}

TMenuExRec menuRecord(std::int32_t id, std::int32_t parent, const char* name, std::int32_t code) {
  TMenuExRec r;
  r.ID = id;
  r.ParentID = parent;
  r.MenuNumber = 0;
  r.Name = name;
  r.Visible = 1;
  r.Script.Code = code;
  return r;
}

}  // namespace

TJigsawProject2::TJigsawProject2() {
  try {
    MasterTemplateSet = DefaultMasterTemplateSet();
    setDefaults();
  } catch (const std::exception&) {
    throw EExecDataError(kErrorInitializingObject);
  }
}

TJigsawProject2::~TJigsawProject2() = default;

void TJigsawProject2::setDefaults() {
  SoundSlots.clear();
  for (int key = 0; key < kSoundSlotCount; ++key) SoundSlots.push_back({key, {}});
  MenuTree.clear();
  TMenuExRec file = menuRecord(NewMenuId(), 0, "&File", 0);
  MenuTree.push_back(file);
  MenuTree.back().Children.push_back(menuRecord(NewMenuId(), file.ID, "E&xit", kExitCommand));
  MenuTree.push_back(menuRecord(NewMenuId(), 0, "&Help", 0));
}

std::filesystem::path TJigsawProject2::ProgramFolder() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return std::filesystem::current_path(ec);
  return exe.parent_path();
}

// ---- loading and saving ----------------------------------------------------

void TJigsawProject2::LoadFromStream(TByteSpan package) {
  TJigsawProject2 fresh;
  fresh.Clear();
  try {
    ReadPackage(fresh, package);
  } catch (...) {
    Clear();
    throw;
  }
  Clear();
  moveFrom(fresh);
}

void TJigsawProject2::LoadFromFile(const std::filesystem::path& path) {
  const TBytes bytes = ReadFileBytes(path);
  LoadFromStream(bytes);
}

TBytes TJigsawProject2::SaveToBytes() {
  return WritePackage(*this);
}

void TJigsawProject2::SaveToFile(const std::filesystem::path& path) {
  const TBytes bytes = SaveToBytes();
  WriteFileAtomically(path, bytes);
}

void TJigsawProject2::Assign(TJigsawProject2& source) {
  if (&source == this) return;
  const TBytes package = source.SaveToBytes();
  LoadFromStream(package);
}

void TJigsawProject2::moveFrom(TJigsawProject2& o) {
  Pictures = std::move(o.Pictures);
  TemplateSetStore = std::move(o.TemplateSetStore);
  ProjectFlags = o.ProjectFlags;
  PictureCount = o.PictureCount;
  BackgroundCount = o.BackgroundCount;
  PieceCountRanges = std::move(o.PieceCountRanges);
  PictureLayouts = std::move(o.PictureLayouts);
  PieceValues = std::move(o.PieceValues);
  PerPictureValues = o.PerPictureValues;
  Sounds = std::move(o.Sounds);
  SoundSlots = std::move(o.SoundSlots);
  SoundFormats = std::move(o.SoundFormats);
  DefaultPieceScale = o.DefaultPieceScale;
  SnapDistance = o.SnapDistance;
  SpriteOptionA = o.SpriteOptionA;
  SpriteOptionB = o.SpriteOptionB;
  PieceRangeMin = o.PieceRangeMin;
  PieceRangeMax = o.PieceRangeMax;
  StoreGameLayout = o.StoreGameLayout;
  PictureChoice = o.PictureChoice;
  TimeTrial = o.TimeTrial;
  TimeTrialTicks = o.TimeTrialTicks;
  NoPieceRotation = o.NoPieceRotation;
  NoPieceShadow = o.NoPieceShadow;
  FlatPiece = o.FlatPiece;
  StoredLayout = std::move(o.StoredLayout);
  Title = std::move(o.Title);
  Icon = std::move(o.Icon);
  SoundOn = o.SoundOn;
  WindowPosition = o.WindowPosition;
  AboutPicture = std::move(o.AboutPicture);
  BoardArea = o.BoardArea;
  WindowStyle = o.WindowStyle;
  SingleSkinImage = std::move(o.SingleSkinImage);
  SingleSkinValue = o.SingleSkinValue;
  Skins = std::move(o.Skins);
  Regions = std::move(o.Regions);
  CurrentBackgroundIndex = o.CurrentBackgroundIndex;
  CurrentSkinIndex = o.CurrentSkinIndex;
  SelectionRead = o.SelectionRead;
  DefaultBackground = o.DefaultBackground;
  BackgroundSettings = std::move(o.BackgroundSettings);
  MenuTree = std::move(o.MenuTree);
  OldMenuRecords = std::move(o.OldMenuRecords);
  ActionGroups = std::move(o.ActionGroups);
  ScriptItems = std::move(o.ScriptItems);
  for (auto [to, from] :
       {std::pair{&StartScript, &o.StartScript}, std::pair{&ExitScript, &o.ExitScript},
        std::pair{&WinScript, &o.WinScript}}) {
    to->Assign(*from);
    to->ActionID = from->ActionID;
  }
  TextStyles = std::move(o.TextStyles);
  Banners.Clear();
  Banners.TakeFrom(o.Banners);
  BannerContainers.Clear();
  BannerContainers.TakeFrom(o.BannerContainers);
  Splash = std::move(o.Splash);
  HighscoreOptions = std::move(o.HighscoreOptions);
  PreviewColumns = o.PreviewColumns;
  PreviewRows = o.PreviewRows;
  PreviewBitmap = std::move(o.PreviewBitmap);
  UnknownChunkRead = o.UnknownChunkRead;
}

// ---- lists -----------------------------------------------------------------

TBMPData& TJigsawProject2::AddPictureEntry(TPictureKind kind, std::int32_t id) {
  if (kind == TPictureKind::pkPicture) {
    if (id == 0) id = NewPictureId();
    Pictures.push_back({id, {}, {}});
    ++PictureCount;
    PieceCountRanges.push_back({id, 0, 50, 0});
  } else {
    if (id == 0) id = NewBackgroundId();
    Pictures.push_back({id, {}, {}});
    ++BackgroundCount;
    BackgroundSettings.push_back({id, DefaultBackground.FillMode, DefaultBackground.SecondValue});
  }
  return Pictures.back();
}

std::int32_t TJigsawProject2::NewPictureId() const {
  const auto used = idsOf(Pictures, [](const TBMPData& p) { return p.ID; });
  return DrawPictureId([&](std::int32_t id) { return used.contains(id); });
}

std::int32_t TJigsawProject2::NewBackgroundId() const {
  const auto used = idsOf(Pictures, [](const TBMPData& p) { return p.ID; });
  return DrawBackgroundId([&](std::int32_t id) { return used.contains(id); });
}

std::int32_t TJigsawProject2::NewSkinId() const {
  const auto used = idsOf(Skins, [](const TSkinEntry& s) { return s.ID; });
  return DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "skin");
}

std::int32_t TJigsawProject2::NewRegionId() const {
  const auto used = idsOf(Regions, [](const TSkinRegion& r) { return r.ID; });
  return DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "region");
}

std::int32_t TJigsawProject2::NewScriptItemId() const {
  const auto used = idsOf(ScriptItems, [](const TScriptItemEntry& s) { return s.ID; });
  return DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "script item");
}

std::int32_t TJigsawProject2::NewMenuId() const {
  std::unordered_set<std::int32_t> used;
  ForEachMenuRecord(MenuTree, [&](const TMenuExRec& r) { used.insert(r.ID); });
  return DrawNonZeroId([&](std::int32_t id) { return used.contains(id); }, "menu");
}

TSkinEntry& TJigsawProject2::NewSkinEntry() {
  TSkinEntry skin;
  skin.ID = NewSkinId();
  Skins.push_back(std::move(skin));
  return Skins.back();
}

TSkinRegion& TJigsawProject2::NewRegion() {
  TSkinRegion region;
  region.ID = NewRegionId();
  Regions.push_back(std::move(region));
  return Regions.back();
}

TScriptItemEntry& TJigsawProject2::NewScriptItemEntry() {
  TScriptItemEntry entry;
  entry.ID = NewScriptItemId();
  ScriptItems.push_back(std::move(entry));
  return ScriptItems.back();
}

TActionGroup& TJigsawProject2::AddActionGroup() {
  ActionGroups.push_back(std::make_unique<TActionGroup>());
  return *ActionGroups.back();
}

TPicturePieceRange* TJigsawProject2::FindPieceCountRange(std::int32_t pictureId) {
  for (TPicturePieceRange& r : PieceCountRanges)
    if (r.PictureID == pictureId) return &r;
  return nullptr;
}

const TPicturePieceRange* TJigsawProject2::FindPieceCountRange(std::int32_t pictureId) const {
  return const_cast<TJigsawProject2*>(this)->FindPieceCountRange(pictureId);
}

const TPieceValues* TJigsawProject2::FindPieceValues(std::int32_t pictureId) const {
  for (const TPieceValues& v : PieceValues)
    if (v.PictureID == pictureId) return &v;
  return nullptr;
}

const TSkinEntry* TJigsawProject2::SelectedSkin() const {
  if (Skins.empty()) return nullptr;
  if (CurrentSkinIndex >= 0 && std::size_t(CurrentSkinIndex) < Skins.size())
    return &Skins[std::size_t(CurrentSkinIndex)];
  return &Skins.front();
}

TBoardArea TJigsawProject2::StyleBoardArea() const {
  switch (WindowStyle) {
    case kStyleDefault:
    case kStyleOfficeXP:
    case kStyleFullScreen:
      return BoardArea;
    case kStyleSkinned:
      if (const TSkinEntry* skin = SelectedSkin()) return skin->BoardArea;
      return {};
    default:
      return {};
  }
}

void TJigsawProject2::Clear() {
  Pictures.clear();
  TemplateSetStore.clear();
  PieceCountRanges.clear();
  PictureLayouts.clear();
  PieceValues.clear();
  Sounds.clear();
  SoundSlots.clear();
  SoundFormats.Clear();
  StoredLayout = {};
  Skins.clear();
  Regions.clear();
  BackgroundSettings.clear();
  MenuTree.clear();
  OldMenuRecords.clear();
  ActionGroups.clear();
  ScriptItems.clear();
  for (TActionItem* script : {&StartScript, &ExitScript, &WinScript}) {
    script->Clear();
    script->Caption.clear();
    script->ActionID = 0;
  }
  TextStyles.clear();
  BannerContainers.Clear();
  Banners.Clear();
  PictureCount = 0;
  BackgroundCount = 0;
}

void TJigsawProject2::CountPictures() {
  PictureCount = 0;
  BackgroundCount = 0;
  for (const TBMPData& p : Pictures) {
    if (IsBackgroundId(p.ID))
      ++BackgroundCount;
    else if (IsPictureId(p.ID))
      ++PictureCount;
  }
}

}  // namespace duduri
