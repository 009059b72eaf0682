// Reading a project package: the header, the bounded inflate and one short
// reader per body chunk. Each reader starts after the chunk's size field and
// reads its payload by layout; the next chunk follows where it stopped.

#include <algorithm>
#include <cstring>

#include "project/Package.h"
#include "project/Project.h"
#include "project/Zlib.h"

namespace duduri {

namespace {

// A size, length or count that must not be negative.
std::size_t nonNegative(std::int32_t v) {
  if (v < 0) throw EProjectFormatError();
  return std::size_t(v);
}

// The trailing i32 E and the E bytes readers skip.
void skipExtra(TByteReader& in) {
  in.Skip(nonNegative(in.I32()));
}

// A sub-reader over the next size bytes (payloads that are streams of their own).
TByteReader payload(TByteReader& in, std::int32_t size) {
  return TByteReader(in.Bytes(nonNegative(size)));
}

void readEntry(TByteReader& in, std::int32_t size, std::vector<TBMPData>& list) {
  // A size of 0 or less says the entry carries nothing after the size field.
  if (size <= 0) {
    list.push_back({});
    return;
  }
  TBMPData entry;
  entry.ID = in.I32();
  entry.Name = in.String();
  entry.Data = in.CopyBytes(std::size_t(size));
  skipExtra(in);
  list.push_back(std::move(entry));
}

void readSoundSlot(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  const std::size_t n = nonNegative(size) / 4;
  TSoundSlot slot;
  slot.Key = in.I32();
  if (n > in.Remaining() / 4) throw EStreamReadError();
  slot.SoundIDs.reserve(n);
  for (std::size_t i = 0; i < n; ++i) slot.SoundIDs.push_back(in.I32());
  skipExtra(in);
  p.SoundSlots.push_back(std::move(slot));
}

void readStoredLayout(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  if (size < 12) throw EProjectFormatError();
  TStoredGameLayout layout;
  layout.Columns = in.I32();
  layout.Rows = in.I32();
  layout.Pieces = in.CopyBytes(std::size_t(size) - 12);
  skipExtra(in);
  p.StoredLayout = std::move(layout);
}

void readPictureLayout(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  if (size < 16) throw EProjectFormatError();
  TPictureLayout layout;
  layout.PictureID = in.I32();
  layout.Columns = in.I32();
  layout.Rows = in.I32();
  layout.Pieces = in.CopyBytes(std::size_t(size) - 16);
  in.I32();  // E; the layout has never carried bytes after it
  p.PictureLayouts.push_back(std::move(layout));
}

void readCuttingOptions(TByteReader& in, TJigsawProject2& p) {
  p.DefaultPieceScale = in.U8();
  p.SnapDistance = in.U8();
  p.SpriteOptionB = in.U8();
  in.U8();
  p.SpriteOptionA = in.I32();
  in.I32();
}

void readPieceRange(TByteReader& in, TJigsawProject2& p) {
  p.PieceRangeMin = in.I32();
  p.PieceRangeMax = in.I32();
  p.StoreGameLayout = in.U8();
  in.Skip(3);
  in.I32();
}

void readPicturePieceRange(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  if (size < 1) return;  // nothing follows the size field
  TPicturePieceRange r;
  r.PictureID = in.I32();
  r.MinPieces = in.I32();
  r.MaxPieces = in.I32();
  r.HasStoredLayout = in.U8();
  skipExtra(in);
  p.PieceCountRanges.push_back(r);
}

void readWindowStyle(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  if (size < 1) return;  // nothing follows the size field
  p.WindowStyle = in.U16();
  p.SingleSkinImage = in.LengthPrefixedBytes();
  const std::int32_t e = in.I32();
  in.Skip(nonNegative(e));
  p.SingleSkinValue = e;
}

void readSkinRegion(TByteReader& in, TJigsawProject2& p) {
  TSkinRegion r;
  r.ID = in.I32();
  r.Left = in.I32();
  r.Top = in.I32();
  r.Normal = in.LengthPrefixedBytes();
  r.Hover = in.LengthPrefixedBytes();
  r.Pressed = in.LengthPrefixedBytes();
  r.Fourth = in.LengthPrefixedBytes();
  r.Width = in.I32();
  r.Height = in.I32();
  r.CommandCode = in.I32();
  r.Value = in.I32();
  p.Regions.push_back(std::move(r));
}

TBoardArea readArea(TByteReader& in) {
  TBoardArea a;
  a.Left = in.I32();
  a.Top = in.I32();
  a.Width = in.I32();
  a.Height = in.I32();
  return a;
}

void readSkinEntry(TByteReader& in, TJigsawProject2& p) {
  TSkinEntry s;
  s.ID = in.I32();
  s.Kind = in.U16();
  s.Image = in.LengthPrefixedBytes();
  s.Value = in.I32();
  const std::size_t n = in.Count(4);
  s.RegionIDs.reserve(n);
  for (std::size_t i = 0; i < n; ++i) s.RegionIDs.push_back(in.I32());
  s.BoardArea = readArea(in);
  in.I32();  // the area's E: a fixed 20-byte record here, nothing follows
  in.I32();  // reserved
  p.Skins.push_back(std::move(s));
}

void readTextStyle(TByteReader& in, TJigsawProject2& p) {
  TTextStyle t;
  t.ID = in.I32();
  t.SkinID = in.I32();
  t.Left = in.I32();
  t.Top = in.I32();
  t.Width = in.I32();
  t.Height = in.I32();
  t.SeeThrough = in.U8();
  t.SecondFlag = in.U8();
  t.BackgroundColor = in.I32();
  t.Font.Color = in.I32();
  t.Font.Name = in.String();
  t.Font.Height = in.I32();
  t.Font.Size = in.I32();
  t.Font.Style = in.U8();
  t.Data = in.LengthPrefixedBytes();
  p.TextStyles.push_back(std::move(t));
}

void readPieceValues(TByteReader& in, TJigsawProject2& p) {
  TPieceValues v;
  v.PictureID = in.I32();
  const std::size_t n = in.Count(4);
  v.Values.reserve(n);
  for (std::size_t i = 0; i < n; ++i) v.Values.push_back(in.I32());
  p.PieceValues.push_back(std::move(v));
}

void readScriptItemEntry(TByteReader& in, TJigsawProject2& p) {
  TScriptItemEntry e;
  e.ID = in.I32();
  e.RegionID = in.I32();
  TByteReader script(in.Bytes(in.Length()));
  e.Script.ReadStream(script);
  in.I32();  // reserved
  p.ScriptItems.push_back(std::move(e));
}

void readHighscoreOptions(TByteReader& in, TJigsawProject2& p) {
  TCustomHighscoreEntryDlg& h = p.HighscoreOptions;
  h.EntryPage = in.U8();
  h.ShowTable = in.U8();
  h.PageText = in.String();
  h.Value1 = in.I32();
  h.Value2 = in.I32();
}

void readMenuTree(TByteReader& in, std::int32_t size, TJigsawProject2& p, TMenuStreamForm form) {
  if (size < 1) return;  // nothing follows the size field
  TByteReader tree = payload(in, size);
  p.MenuTree = ReadMenuTree(tree, form);
}

void readBanner(TByteReader& in, TJigsawProject2& p) {
  auto banner = std::make_unique<TBanner>();
  banner->ReadStream(in);
  p.Banners.Append(std::move(banner));
}

void readContainer(TByteReader& in, TJigsawProject2& p) {
  auto container = std::make_unique<TBannerContainer>(&p.Banners);
  container->ReadStream(in);
  p.BannerContainers.Append(std::move(container));
}

void readTemplateSet(TByteReader& in, std::int32_t size, TJigsawProject2& p) {
  TByteSpan body = in.Bytes(nonNegative(size));
  TByteWriter store;
  store.I32(size);
  store.Bytes(body);
  p.TemplateSetStore = store.Take();
}

// Returns false after the end chunk.
bool readChunk(TByteReader& in, TJigsawProject2& p, bool& selectionRead) {
  const std::uint16_t tag = in.U16();
  const std::int32_t size = in.I32();
  switch (tag) {
    case ctEnd:
      return false;
    case ctPicture:
      readEntry(in, size, p.Pictures);
      break;
    case ctSound:
      readEntry(in, size, p.Sounds);
      break;
    case ctSoundSlot:
      readSoundSlot(in, size, p);
      break;
    case ctStoredLayout:
      readStoredLayout(in, size, p);
      break;
    case ctPictureLayout:
      readPictureLayout(in, size, p);
      break;
    case ctCuttingOptions:
      readCuttingOptions(in, p);
      break;
    case ctPieceRange:
      readPieceRange(in, p);
      break;
    case ctPicturePieceRange:
      readPicturePieceRange(in, size, p);
      break;
    case ctPictureChoice:
      p.PictureChoice = in.U8();
      in.Skip(3);
      in.I32();
      break;
    case ctTimeTrial:
      p.TimeTrial = in.U8();
      in.Skip(3);
      p.TimeTrialTicks = in.I32();
      in.I32();
      break;
    case ctWindowStyle:
      readWindowStyle(in, size, p);
      break;
    case ctSkinRegion:
      readSkinRegion(in, p);
      break;
    case ctBoardArea:
      p.BoardArea = readArea(in);
      skipExtra(in);
      break;
    case ctAboutPicture:
      p.AboutPicture = in.LengthPrefixedBytes();
      skipExtra(in);
      break;
    case ctDefaultBackground:
      p.DefaultBackground.FillMode = in.I32();
      p.DefaultBackground.SecondValue = in.I32();
      break;
    case ctSkinEntry:
      readSkinEntry(in, p);
      break;
    case ctCaption:
      p.Title.Caption = in.String();
      skipExtra(in);
      break;
    case ctIcon:
      p.Icon = in.LengthPrefixedBytes();
      skipExtra(in);
      break;
    case ctWindowOptions:
      p.SoundOn = in.U8();
      p.WindowPosition = in.U8();
      skipExtra(in);
      break;
    case ctBackgroundSettings: {
      TBackgroundSettings b;
      b.BackgroundID = in.I32();
      b.FillMode = in.I32();
      b.SecondValue = in.I32();
      skipExtra(in);
      p.BackgroundSettings.push_back(b);
      break;
    }
    case ctActionGroup: {
      TByteReader group(in.Bytes(in.Length()));
      p.AddActionGroup().ReadStream(group);
      break;
    }
    case ctMenuTree:
      readMenuTree(in, size, p, TMenuStreamForm::msfCurrent);
      break;
    case ctOldMenuTree:
      readMenuTree(in, size, p, TMenuStreamForm::msfOlder);
      break;
    case ctOldMenuRecords: {
      TByteReader records = payload(in, size);
      p.OldMenuRecords = ReadFlatMenuRecords(records);
      break;
    }
    case ctSelection:
      p.CurrentBackgroundIndex = in.I32();
      p.CurrentSkinIndex = in.I32();
      selectionRead = true;
      break;
    case ctPieceValues:
      readPieceValues(in, p);
      break;
    case ctPieceValuesFlag:
      p.PerPictureValues = in.U8();
      break;
    case ctTextStyle:
      readTextStyle(in, p);
      break;
    case ctPieceOptions:
      p.NoPieceRotation = in.U8();
      p.NoPieceShadow = in.U8();
      p.FlatPiece = in.U8();
      break;
    case ctBanner:
      readBanner(in, p);
      break;
    case ctBannerContainer:
      readContainer(in, p);
      break;
    case ctSoundFormats:
      p.SoundFormats.ReadStream(in.Bytes(nonNegative(size)));
      break;
    case ctSplash:
      p.Splash.ReadStream(in.Bytes(nonNegative(size)));
      break;
    case ctScriptItem:
      readScriptItemEntry(in, p);
      break;
    case ctStartScript:
    case ctExitScript:
    case ctWinScript: {
      TActionItem& script = tag == ctStartScript  ? p.StartScript
                            : tag == ctExitScript ? p.ExitScript
                                                  : p.WinScript;
      TByteReader stream = payload(in, size);
      script.ReadStream(stream);
      break;
    }
    case ctHighscoreOptions:
      readHighscoreOptions(in, p);
      break;
    case ctProjectFlags:
      p.ProjectFlags = in.I32();
      break;
    case ctTemplateSet:
      readTemplateSet(in, size, p);
      break;
    default:
      in.Skip(nonNegative(size));
      p.UnknownChunkRead = true;
      break;
  }
  return true;
}

}  // namespace

TPackageHeader ReadPackageHeader(TByteSpan package) {
  TPackageHeader header;
  TByteReader in(package);
  if (package.size() < 8 || in.U16() != kPackageMark) {
    header.Body = package;
    return header;
  }
  header.HasPrefix = true;
  in.U16();  // reserved
  TByteReader block(in.Bytes(nonNegative(in.I32())));
  for (;;) {
    const std::uint16_t tag = block.U16();
    const std::int32_t size = block.I32();
    if (tag == ctHeaderEnd) break;
    if (tag == ctPreview) {
      header.PreviewColumns = block.I32();
      header.PreviewRows = block.I32();
      header.PreviewBitmap = block.Bytes(block.Length());
      skipExtra(block);
    } else {
      block.Skip(nonNegative(size));
    }
  }
  header.Body = package.subspan(in.Position());
  return header;
}

TBytes InflateBody(TByteSpan body) {
  std::optional<TBytes> inflated = InflateBounded(body, InflateLimitFor(body.size()));
  return inflated ? std::move(*inflated) : TBytes{};
}

void ReadProjectBody(TJigsawProject2& p, TByteSpan body) {
  TByteReader in(body);
  TByteSpan signature = in.Bytes(kProjectSignature.size());
  if (!std::equal(signature.begin(), signature.end(), kProjectSignature.begin()))
    throw EProjectFormatError();
  bool selectionRead = false;
  while (readChunk(in, p, selectionRead)) {
  }
  p.SelectionRead = selectionRead;
  p.CountPictures();
  if (!selectionRead && (p.BackgroundCount > 0 || !p.Skins.empty())) {
    p.CurrentBackgroundIndex = 0;
    for (std::size_t i = 0; i < p.Pictures.size(); ++i) {
      if (IsBackgroundId(p.Pictures[i].ID)) {
        p.CurrentBackgroundIndex = std::int32_t(i);
        break;
      }
    }
    p.CurrentSkinIndex = 0;
  }
}

void ReadPackage(TJigsawProject2& p, TByteSpan package) {
  const TPackageHeader header = ReadPackageHeader(package);
  p.PreviewColumns = header.PreviewColumns;
  p.PreviewRows = header.PreviewRows;
  p.PreviewBitmap.assign(header.PreviewBitmap.begin(), header.PreviewBitmap.end());
  const TBytes body = InflateBody(header.Body);
  ReadProjectBody(p, body);
  p.Normalise();
}

}  // namespace duduri
