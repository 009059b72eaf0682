// Writing a project package: the preview header and the body chunks in the
// order the player has always written them, each with its own size rule.

#include <cmath>

#include "project/Package.h"
#include "project/PieceValues.h"
#include "project/Project.h"
#include "project/TemplateSubset.h"
#include "project/Zlib.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

namespace {

constexpr int kPreviewLimit = 64;

void chunk(TByteWriter& out, std::uint16_t tag, std::int32_t size) {
  out.U16(tag);
  out.I32(size);
}

std::int32_t roundEven(double v) {
  return std::int32_t(std::nearbyint(v));
}

// An entry without data is left out: its size field would be 0, which
// readers take as an entry that carries nothing more, and the id, name and
// extra length written after it would be read as the next chunk.
void writeEntries(TByteWriter& out, std::uint16_t tag, const std::vector<TBMPData>& list) {
  for (const TBMPData& e : list) {
    if (e.Data.empty()) continue;
    chunk(out, tag, CheckedLength(e.Data.size()));
    out.I32(e.ID);
    out.String(e.Name);
    out.Bytes(e.Data);
    out.I32(0);
  }
}

void writeArea(TByteWriter& out, const TBoardArea& a) {
  out.I32(a.Left);
  out.I32(a.Top);
  out.I32(a.Width);
  out.I32(a.Height);
  out.I32(0);
}

void writeStreamChunk(TByteWriter& out, std::uint16_t tag, const TBytes& stream) {
  chunk(out, tag, CheckedLength(stream.size()));
  out.Bytes(stream);
}

void writeSettings(TByteWriter& out, const TJigsawProject2& p) {
  chunk(out, ctCuttingOptions, 12);
  out.U8(p.DefaultPieceScale);
  out.U8(p.SnapDistance);
  out.U8(p.SpriteOptionB);
  out.U8(0);
  out.I32(p.SpriteOptionA);
  out.I32(0);

  chunk(out, ctPieceRange, 16);
  out.I32(p.PieceRangeMin);
  out.I32(p.PieceRangeMax);
  out.U8(p.StoreGameLayout);
  out.Zeros(3);
  out.I32(0);

  for (const TPicturePieceRange& r : p.PieceCountRanges) {
    chunk(out, ctPicturePieceRange, 17);
    out.I32(r.PictureID);
    out.I32(r.MinPieces);
    out.I32(r.MaxPieces);
    out.U8(r.HasStoredLayout);
    out.I32(0);
  }

  chunk(out, ctPictureChoice, 8);
  out.U8(p.PictureChoice);
  out.Zeros(3);
  out.I32(0);

  chunk(out, ctTimeTrial, 12);
  out.U8(p.TimeTrial);
  out.Zeros(3);
  out.I32(p.TimeTrialTicks);
  out.I32(0);
}

void writeWindow(TByteWriter& out, const TJigsawProject2& p) {
  // The extra length doubles as the single skin's value on reading, but is
  // written 0 like every other: nothing uses the value after loading.
  chunk(out, ctWindowStyle, CheckedLength(p.SingleSkinImage.size() + 10));
  out.U16(p.WindowStyle);
  out.LengthPrefixedBytes(p.SingleSkinImage);
  out.I32(0);

  for (const TSkinRegion& r : p.Regions) {
    // The size field counts 16 bytes more than the payload; readers go by
    // the layout.
    chunk(
        out, ctSkinRegion,
        CheckedLength(r.Normal.size() + r.Hover.size() + r.Pressed.size() + r.Fourth.size() + 60));
    out.I32(r.ID);
    out.I32(r.Left);
    out.I32(r.Top);
    out.LengthPrefixedBytes(r.Normal);
    out.LengthPrefixedBytes(r.Hover);
    out.LengthPrefixedBytes(r.Pressed);
    out.LengthPrefixedBytes(r.Fourth);
    out.I32(r.Width);
    out.I32(r.Height);
    out.I32(r.CommandCode);
    out.I32(r.Value);
  }

  if (p.BoardArea.Set()) {
    chunk(out, ctBoardArea, 20);
    writeArea(out, p.BoardArea);
  }

  chunk(out, ctAboutPicture, CheckedLength(p.AboutPicture.size() + 8));
  out.LengthPrefixedBytes(p.AboutPicture);
  out.I32(0);

  chunk(out, ctDefaultBackground, 8);
  out.I32(p.DefaultBackground.FillMode);
  out.I32(p.DefaultBackground.SecondValue);

  for (const TSkinEntry& s : p.Skins) {
    chunk(out, ctSkinEntry, CheckedLength(s.Image.size() + 4 * s.RegionIDs.size() + 42));
    out.I32(s.ID);
    out.U16(s.Kind);
    out.LengthPrefixedBytes(s.Image);
    out.I32(s.Value);
    out.I32(CheckedLength(s.RegionIDs.size()));
    for (std::int32_t id : s.RegionIDs) out.I32(id);
    writeArea(out, s.BoardArea);
    out.I32(0);
  }

  chunk(out, ctCaption, CheckedLength(p.Title.Caption.size() + 8));
  out.String(p.Title.Caption);
  out.I32(0);

  chunk(out, ctIcon, CheckedLength(p.Icon.size() + 8));
  out.LengthPrefixedBytes(p.Icon);
  out.I32(0);

  chunk(out, ctWindowOptions, 6);
  out.U8(p.SoundOn);
  out.U8(p.WindowPosition);
  out.I32(0);

  for (const TBackgroundSettings& b : p.BackgroundSettings) {
    chunk(out, ctBackgroundSettings, 16);
    out.I32(b.BackgroundID);
    out.I32(b.FillMode);
    out.I32(b.SecondValue);
    out.I32(0);
  }
}

void writeScriptsAndLists(TByteWriter& out, const TJigsawProject2& p) {
  for (const auto& group : p.ActionGroups) {
    const TBytes stream = group->StreamBytes();
    chunk(out, ctActionGroup, CheckedLength(stream.size() + 4));
    out.LengthPrefixedBytes(stream);
  }

  writeStreamChunk(out, ctMenuTree, MenuTreeBytes(p.MenuTree));

  chunk(out, ctSelection, 8);
  out.I32(p.CurrentBackgroundIndex);
  out.I32(p.CurrentSkinIndex);

  for (const TPieceValues& v : p.PieceValues) {
    chunk(out, ctPieceValues, CheckedLength(4 * v.Values.size() + 8));
    out.I32(v.PictureID);
    out.I32(CheckedLength(v.Values.size()));
    for (std::int32_t value : v.Values) out.I32(value);
  }

  chunk(out, ctPieceValuesFlag, 1);
  out.U8(p.PerPictureValues);

  for (const TTextStyle& t : p.TextStyles) {
    chunk(out, ctTextStyle, CheckedLength(t.Data.size() + t.Font.Name.size() + 51));
    out.I32(t.ID);
    out.I32(t.SkinID);
    out.I32(t.Left);
    out.I32(t.Top);
    out.I32(t.Width);
    out.I32(t.Height);
    out.U8(t.SeeThrough);
    out.U8(t.SecondFlag);
    out.I32(t.BackgroundColor);
    out.I32(t.Font.Color);
    out.String(t.Font.Name);
    out.I32(t.Font.Height);
    out.I32(t.Font.Size);
    out.U8(t.Font.Style);
    out.LengthPrefixedBytes(t.Data);
  }

  chunk(out, ctPieceOptions, 3);
  out.U8(p.NoPieceRotation);
  out.U8(p.NoPieceShadow);
  out.U8(p.FlatPiece);

  for (std::size_t i = 0; i < p.Banners.Count(); ++i) {
    const TBanner& b = *p.Banners.Banner(i);
    // The size field leaves out the URL; readers go by the layout.
    chunk(out, ctBanner, b.StoredSizeField());
    b.WriteStream(out);
  }
  for (std::size_t i = 0; i < p.BannerContainers.Count(); ++i) {
    const TBannerContainer& c = *p.BannerContainers.Container(i);
    chunk(out, ctBannerContainer, c.StoredSizeField());
    c.WriteStream(out);
  }

  writeStreamChunk(out, ctSoundFormats, p.SoundFormats.StreamBytes());
  writeStreamChunk(out, ctSplash, p.Splash.StreamBytes());

  for (const TScriptItemEntry& e : p.ScriptItems) {
    const TBytes stream = e.Script.StreamBytes();
    chunk(out, ctScriptItem, CheckedLength(stream.size() + 16));
    out.I32(e.ID);
    out.I32(e.RegionID);
    out.LengthPrefixedBytes(stream);
    out.I32(0);
  }

  const std::pair<std::uint16_t, const TActionItem*> scripts[] = {
      {ctStartScript, &p.StartScript}, {ctExitScript, &p.ExitScript}, {ctWinScript, &p.WinScript}};
  for (auto [tag, script] : scripts)
    if (!script->Empty()) writeStreamChunk(out, tag, script->StreamBytes());

  const TCustomHighscoreEntryDlg& h = p.HighscoreOptions;
  chunk(out, ctHighscoreOptions, CheckedLength(h.PageText.size() + 14));
  out.U8(h.EntryPage);
  out.U8(h.ShowTable);
  out.String(h.PageText);
  out.I32(h.Value1);
  out.I32(h.Value2);

  chunk(out, ctProjectFlags, 4);
  out.I32(p.ProjectFlags);
}

// The preview of the first picture, at most 63 pixels on a side once it is
// larger than 64, and the cell grid its piece-count range gives.
void computePreview(TJigsawProject2& p) {
  p.PreviewColumns = 0;
  p.PreviewRows = 0;
  p.PreviewBitmap.clear();
  const TBMPData* first = nullptr;
  for (const TBMPData& e : p.Pictures) {
    if (IsPictureId(e.ID)) {
      first = &e;
      break;
    }
  }
  if (first == nullptr) return;
  TBitmap32 picture;
  try {
    picture.Assign(DecodeJpeg(first->Data));
  } catch (const EDuduriError&) {
    return;  // a picture that does not decode has no preview
  }
  const std::int32_t w = picture.Width();
  const std::int32_t h = picture.Height();
  double f = 1;
  if (w > kPreviewLimit || h > kPreviewLimit) {
    while (roundEven(w * f) >= kPreviewLimit || roundEven(h * f) >= kPreviewLimit) f *= 0.95;
  }
  TBitmap32 preview;
  preview.SetSize(std::max(1, roundEven(w * f)), std::max(1, roundEven(h * f)));
  picture.SetStretchFilter(sfNearest);
  picture.SetDrawMode(dmOpaque);
  preview.Draw(preview.BoundsRect(), picture.BoundsRect(), picture);
  p.PreviewBitmap = EncodeBmp(preview, 32);

  if (const TPicturePieceRange* range = p.FindPieceCountRange(first->ID)) {
    const TBoardArea board = p.StyleBoardArea();
    const TCellGrid fit =
        FitCellScaleFor(range->MinPieces, range->MaxPieces, w, h, board.Width, board.Height);
    p.PreviewColumns = fit.Columns;
    p.PreviewRows = fit.Rows;
  }
}

}  // namespace

void RefreshTemplateSet(TJigsawProject2& p) {
  const TBytes master = ReadFileBytes(p.MasterTemplateSet);
  TByteWriter store;
  store.LengthPrefixedBytes(BuildProjectTemplateSet(p, master));
  p.TemplateSetStore = store.Take();
}

TBytes WriteProjectBody(const TJigsawProject2& p) {
  // The store holds the set as LoadTemplates reads it: its length, then the
  // zlib body that is the chunk's payload.
  const TByteSpan templateSet =
      p.TemplateSetStore.size() >= 4 ? TByteSpan(p.TemplateSetStore).subspan(4) : TByteSpan{};

  TByteWriter out;
  out.Bytes(kProjectSignature);
  writeEntries(out, ctPicture, p.Pictures);
  writeEntries(out, ctSound, p.Sounds);
  for (const TSoundSlot& slot : p.SoundSlots) {
    chunk(out, ctSoundSlot, CheckedLength(4 * slot.SoundIDs.size()));
    out.I32(slot.Key);
    for (std::int32_t id : slot.SoundIDs) out.I32(id);
    out.I32(0);
  }
  if (p.StoredLayout.Present()) {
    chunk(out, ctStoredLayout, CheckedLength(p.StoredLayout.Pieces.size() + 12));
    out.I32(p.StoredLayout.Columns);
    out.I32(p.StoredLayout.Rows);
    out.Bytes(p.StoredLayout.Pieces);
    out.I32(0);
  }
  for (const TPictureLayout& l : p.PictureLayouts) {
    chunk(out, ctPictureLayout, CheckedLength(l.Pieces.size() + 16));
    out.I32(l.PictureID);
    out.I32(l.Columns);
    out.I32(l.Rows);
    out.Bytes(l.Pieces);
    out.I32(0);
  }
  writeSettings(out, p);
  writeWindow(out, p);
  writeScriptsAndLists(out, p);
  chunk(out, ctTemplateSet, CheckedLength(templateSet.size()));
  out.Bytes(templateSet);
  chunk(out, ctEnd, 0);
  return out.Take();
}

TBytes WritePackage(TJigsawProject2& p) {
  // The template set first: a missing master set must fail before anything
  // is produced, and a stored layout names templates of the set written.
  RefreshTemplateSet(p);
  p.PrepareStoredGameLayout();
  computePreview(p);
  const TBytes body = DeflateDefault(WriteProjectBody(p));

  TByteWriter out;
  out.U16(kPackageMark);
  out.U16(0);
  const std::size_t hPosition = out.Size();
  out.I32(0);
  const std::size_t headerStart = out.Size();
  chunk(out, ctPreview, CheckedLength(p.PreviewBitmap.size() + 16));
  out.I32(p.PreviewColumns);
  out.I32(p.PreviewRows);
  out.LengthPrefixedBytes(p.PreviewBitmap);
  out.I32(0);
  chunk(out, ctHeaderEnd, 0);
  out.PatchI32(hPosition, CheckedLength(out.Size() - headerStart));
  out.Bytes(body);
  return out.Take();
}

}  // namespace duduri
