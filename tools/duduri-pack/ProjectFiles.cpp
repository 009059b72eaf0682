#include "ProjectFiles.h"

#include "common/Sha256.h"
#include "project/Overlay.h"
#include "project/SoundFormats.h"
#include "raster/Picture.h"

namespace duduri::pack {

using tools::JsonWriter;

TBytes readPackageOf(const std::filesystem::path& file) {
  TBytes bytes = ReadFileBytes(file);
  const TOverlayLayout layout = FindOverlay(bytes);
  if (!layout.HasPackage) return bytes;
  return TBytes(bytes.begin() + std::ptrdiff_t(layout.PackageOffset),
                bytes.begin() + std::ptrdiff_t(layout.PackageOffset + layout.PackageSize));
}

void loadProject(TJigsawProject2& project, const std::filesystem::path& file) {
  project.LoadFromStream(readPackageOf(file));
}

void writeBlob(JsonWriter& json, std::string_view key, TByteSpan bytes) {
  json.key(key);
  json.beginObject();
  json.field("length", std::uint64_t(bytes.size()));
  json.field("sha256", tools::sha256Hex(bytes));
  json.endObject();
}

std::string soundExtension(const TJigsawProject2& project, const TBMPData& sound) {
  switch (project.SoundFormats.Lookup(sound.ID)) {
    case kSoundCodeWave:
      return ".wav";
    case kSoundCodeMidi:
      return ".mid";
    case kSoundCodeWma:
      return ".wma";
    case kSoundCodeMp3:
      return ".mp3";
    default:
      return ".bin";
  }
}

namespace {

void writeInts(JsonWriter& json, std::string_view key, const std::vector<std::int32_t>& values) {
  json.key(key);
  json.beginArray();
  for (std::int32_t v : values) json.value(v);
  json.endArray();
}

void writeArea(JsonWriter& json, std::string_view key, const TBoardArea& a) {
  json.key(key);
  json.beginObject();
  json.field("left", a.Left);
  json.field("top", a.Top);
  json.field("width", a.Width);
  json.field("height", a.Height);
  json.endObject();
}

void writeEntries(JsonWriter& json, std::string_view key, const std::vector<TBMPData>& list) {
  json.key(key);
  json.beginArray();
  for (const TBMPData& e : list) {
    json.beginObject();
    json.field("id", e.ID);
    json.field("name", e.Name);
    writeBlob(json, "data", e.Data);
    json.endObject();
  }
  json.endArray();
}

void writeScript(JsonWriter& json, std::string_view key, const TScriptItem& s) {
  json.key(key);
  json.beginObject();
  json.field("code", s.Code);
  json.key("parameters");
  json.beginArray();
  for (std::size_t i = 0; i < s.Parameter.Count(); ++i) {
    const TScriptParam& p = s.Parameter.Get(i);
    json.beginObject();
    json.field("kind", p.Kind);
    if (p.Kind == kParamText) {
      json.field("text", s.Parameter.Text(i));
    } else if (p.Kind == kParamInteger && p.Data.size() == 4) {
      TByteReader in(p.Data);
      json.field("integer", in.I32());
    } else {
      writeBlob(json, "data", p.Data);
    }
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

void writeAction(JsonWriter& json, const TActionItem& a) {
  json.beginObject();
  json.field("actionId", a.ActionID);
  json.field("caption", a.Caption);
  json.key("scripts");
  json.beginArray();
  for (std::size_t i = 0; i < a.ScriptCount(); ++i) {
    json.beginObject();
    writeScript(json, "script", a.ScriptItem(i));
    json.endObject();
  }
  json.endArray();
  json.endObject();
}

// Menu trees are bounded in depth when read, so recursion here is bounded too.
void writeMenu(JsonWriter& json, const TMenuTree& level) {
  json.beginArray();
  for (const TMenuExRec& r : level) {
    json.beginObject();
    json.field("id", r.ID);
    json.field("parentId", r.ParentID);
    json.field("menu", int(r.MenuNumber));
    json.field("name", r.Name);
    json.field("caption", r.Caption);
    json.field("visible", int(r.Visible));
    writeScript(json, "script", r.Script);
    json.field("value", r.Value);
    json.key("children");
    writeMenu(json, r.Children);
    json.endObject();
  }
  json.endArray();
}

void writeSounds(JsonWriter& json, const TJigsawProject2& p) {
  writeEntries(json, "sounds", p.Sounds);
  json.key("soundSlots");
  json.beginArray();
  for (const TSoundSlot& s : p.SoundSlots) {
    json.beginObject();
    json.field("key", s.Key);
    writeInts(json, "soundIds", s.SoundIDs);
    json.endObject();
  }
  json.endArray();
  json.key("soundFormats");
  json.beginArray();
  for (const TSoundIDFormatPair& pair : p.SoundFormats.Pairs()) {
    json.beginObject();
    json.field("soundId", pair.SoundID);
    json.field("format", int(pair.Format));
    json.endObject();
  }
  json.endArray();
}

void writePictures(JsonWriter& json, const TJigsawProject2& p) {
  writeEntries(json, "pictures", p.Pictures);
  json.field("pictureCount", p.PictureCount);
  json.field("backgroundCount", p.BackgroundCount);
  json.key("pieceCountRanges");
  json.beginArray();
  for (const TPicturePieceRange& r : p.PieceCountRanges) {
    json.beginObject();
    json.field("pictureId", r.PictureID);
    json.field("min", r.MinPieces);
    json.field("max", r.MaxPieces);
    json.field("hasStoredLayout", int(r.HasStoredLayout));
    json.endObject();
  }
  json.endArray();
  json.key("pictureLayouts");
  json.beginArray();
  for (const TPictureLayout& l : p.PictureLayouts) {
    json.beginObject();
    json.field("pictureId", l.PictureID);
    json.field("columns", l.Columns);
    json.field("rows", l.Rows);
    writeBlob(json, "pieces", l.Pieces);
    json.endObject();
  }
  json.endArray();
  json.key("pieceValues");
  json.beginArray();
  for (const TPieceValues& v : p.PieceValues) {
    json.beginObject();
    json.field("pictureId", v.PictureID);
    writeInts(json, "values", v.Values);
    json.endObject();
  }
  json.endArray();
  json.field("perPictureValues", int(p.PerPictureValues));
}

void writeSettings(JsonWriter& json, const TJigsawProject2& p) {
  json.field("defaultPieceScale", int(p.DefaultPieceScale));
  json.field("snapDistance", int(p.SnapDistance));
  json.field("spriteOptionA", p.SpriteOptionA);
  json.field("spriteOptionB", int(p.SpriteOptionB));
  json.field("pieceRangeMin", p.PieceRangeMin);
  json.field("pieceRangeMax", p.PieceRangeMax);
  json.field("storeGameLayout", int(p.StoreGameLayout));
  json.field("pictureChoice", int(p.PictureChoice));
  json.field("timeTrial", int(p.TimeTrial));
  json.field("timeTrialTicks", p.TimeTrialTicks);
  json.field("noPieceRotation", int(p.NoPieceRotation));
  json.field("noPieceShadow", int(p.NoPieceShadow));
  json.field("flatPiece", int(p.FlatPiece));
  json.key("storedLayout");
  json.beginObject();
  json.field("columns", p.StoredLayout.Columns);
  json.field("rows", p.StoredLayout.Rows);
  writeBlob(json, "pieces", p.StoredLayout.Pieces);
  json.endObject();
}

void writeWindow(JsonWriter& json, const TJigsawProject2& p) {
  json.field("caption", p.Title.Caption);
  writeBlob(json, "icon", p.Icon);
  json.field("soundOn", int(p.SoundOn));
  json.field("windowPosition", int(p.WindowPosition));
  writeBlob(json, "aboutPicture", p.AboutPicture);
  writeArea(json, "boardArea", p.BoardArea);
  json.field("windowStyle", int(p.WindowStyle));
  writeBlob(json, "singleSkinImage", p.SingleSkinImage);
  json.field("singleSkinValue", p.SingleSkinValue);
  json.key("skins");
  json.beginArray();
  for (const TSkinEntry& s : p.Skins) {
    json.beginObject();
    json.field("id", s.ID);
    json.field("kind", int(s.Kind));
    writeBlob(json, "image", s.Image);
    json.field("value", s.Value);
    writeInts(json, "regionIds", s.RegionIDs);
    writeArea(json, "boardArea", s.BoardArea);
    json.endObject();
  }
  json.endArray();
  json.key("regions");
  json.beginArray();
  for (const TSkinRegion& r : p.Regions) {
    json.beginObject();
    json.field("id", r.ID);
    json.field("left", r.Left);
    json.field("top", r.Top);
    writeBlob(json, "normal", r.Normal);
    writeBlob(json, "hover", r.Hover);
    writeBlob(json, "pressed", r.Pressed);
    writeBlob(json, "fourth", r.Fourth);
    json.field("width", r.Width);
    json.field("height", r.Height);
    json.field("commandCode", r.CommandCode);
    json.field("value", r.Value);
    json.endObject();
  }
  json.endArray();
  json.field("currentBackgroundIndex", p.CurrentBackgroundIndex);
  json.field("currentSkinIndex", p.CurrentSkinIndex);
  json.field("selectionRead", p.SelectionRead);
  json.key("defaultBackground");
  json.beginObject();
  json.field("fillMode", p.DefaultBackground.FillMode);
  json.field("secondValue", p.DefaultBackground.SecondValue);
  json.endObject();
  json.key("backgroundSettings");
  json.beginArray();
  for (const TBackgroundSettings& b : p.BackgroundSettings) {
    json.beginObject();
    json.field("backgroundId", b.BackgroundID);
    json.field("fillMode", b.FillMode);
    json.field("secondValue", b.SecondValue);
    json.endObject();
  }
  json.endArray();
}

void writeScripts(JsonWriter& json, const TJigsawProject2& p) {
  json.key("menuTree");
  writeMenu(json, p.MenuTree);
  json.key("oldMenuRecords");
  json.beginArray();
  for (const TMenuRec& r : p.OldMenuRecords) {
    json.beginObject();
    json.field("name", r.Name);
    json.field("caption", r.Caption);
    json.field("flag", int(r.Flag));
    json.endObject();
  }
  json.endArray();
  json.key("actionGroups");
  json.beginArray();
  for (const auto& g : p.ActionGroups) {
    json.beginObject();
    json.field("caption", g->Caption);
    json.key("actions");
    json.beginArray();
    for (std::size_t i = 0; i < g->ActionCount(); ++i) writeAction(json, g->Action(i));
    json.endArray();
    json.endObject();
  }
  json.endArray();
  json.key("scriptItems");
  json.beginArray();
  for (const TScriptItemEntry& e : p.ScriptItems) {
    json.beginObject();
    json.field("id", e.ID);
    json.field("regionId", e.RegionID);
    writeScript(json, "script", e.Script);
    json.endObject();
  }
  json.endArray();
  json.key("startScript");
  writeAction(json, p.StartScript);
  json.key("exitScript");
  writeAction(json, p.ExitScript);
  json.key("winScript");
  writeAction(json, p.WinScript);
}

void writeRest(JsonWriter& json, const TJigsawProject2& p) {
  json.key("textStyles");
  json.beginArray();
  for (const TTextStyle& t : p.TextStyles) {
    json.beginObject();
    json.field("id", t.ID);
    json.field("skinId", t.SkinID);
    json.field("left", t.Left);
    json.field("top", t.Top);
    json.field("width", t.Width);
    json.field("height", t.Height);
    json.field("seeThrough", int(t.SeeThrough));
    json.field("secondFlag", int(t.SecondFlag));
    json.field("backgroundColor", t.BackgroundColor);
    json.key("font");
    json.beginObject();
    json.field("name", t.Font.Name);
    json.field("color", t.Font.Color);
    json.field("height", t.Font.Height);
    json.field("size", t.Font.Size);
    json.field("style", int(t.Font.Style));
    json.endObject();
    writeBlob(json, "data", t.Data);
    json.endObject();
  }
  json.endArray();
  json.key("banners");
  json.beginArray();
  for (std::size_t i = 0; i < p.Banners.Count(); ++i) {
    const TBanner& b = *p.Banners.Banner(i);
    json.beginObject();
    json.field("id", b.ID);
    json.field("name", b.Name);
    json.field("url", b.URL);
    json.field("left", b.Left);
    json.field("top", b.Top);
    json.field("eventId", b.EventID());
    json.field("interval", b.Interval);
    json.field("typeData", int(b.TypeData));
    json.field("width", b.Width());
    json.field("height", b.Height());
    writeBlob(json, "data", b.Data);
    writeScript(json, "script", b.Script);
    json.endObject();
  }
  json.endArray();
  json.key("bannerContainers");
  json.beginArray();
  for (std::size_t i = 0; i < p.BannerContainers.Count(); ++i) {
    const TBannerContainer& c = *p.BannerContainers.Container(i);
    json.beginObject();
    json.field("id", c.ID);
    json.field("name", c.Name);
    json.field("skinId", c.SkinID);
    json.field("left", c.Left);
    json.field("top", c.Top);
    json.field("width", c.Width());
    json.field("height", c.Height());
    json.key("bannerIds");
    json.beginArray();
    for (const TBanner* b : c.ResolvedBanners()) json.value(b->ID);
    json.endArray();
    json.endObject();
  }
  json.endArray();
  writeBlob(json, "splash", p.Splash.Data());
  json.key("highscoreOptions");
  json.beginObject();
  json.field("entryPage", int(p.HighscoreOptions.EntryPage));
  json.field("showTable", int(p.HighscoreOptions.ShowTable));
  json.field("pageText", p.HighscoreOptions.PageText);
  json.field("value1", p.HighscoreOptions.Value1);
  json.field("value2", p.HighscoreOptions.Value2);
  json.endObject();
  json.field("projectFlags", p.ProjectFlags);
  writeBlob(json, "templateSet", p.TemplateSetStore);
  json.key("preview");
  json.beginObject();
  json.field("columns", p.PreviewColumns);
  json.field("rows", p.PreviewRows);
  writeBlob(json, "bitmap", p.PreviewBitmap);
  json.endObject();
  json.field("unknownChunkRead", p.UnknownChunkRead);
}

}  // namespace

void writeProjectJson(JsonWriter& json, const TJigsawProject2& p) {
  json.beginObject();
  writePictures(json, p);
  writeSounds(json, p);
  writeSettings(json, p);
  writeWindow(json, p);
  writeScripts(json, p);
  writeRest(json, p);
  json.endObject();
}

}  // namespace duduri::pack
