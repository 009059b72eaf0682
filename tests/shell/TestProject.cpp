#include "TestProject.h"

#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::test {

TBytes PaintedJpeg(int w, int h, int seed) {
  TBitmap32 bmp;
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      bmp.ScanLine(y)[x] =
          Color32(std::uint8_t(x * 255 / w), std::uint8_t(y * 255 / h), std::uint8_t(seed * 70));
    }
  }
  for (int i = 0; i < 6; ++i) {
    const int x = (i * 53 + seed * 31) % (w - 30);
    const int y = (i * 37 + seed * 17) % (h - 30);
    bmp.FillRectS(x, y, x + 30, y + 20,
                  Color32(std::uint8_t(40 * i), 200, std::uint8_t(30 * seed)));
  }
  return EncodeJpeg(bmp);
}

std::filesystem::path MasterTemplates() {
  return std::filesystem::path(DUDURI_SOURCE_DIR) / "data" / "all.pzjc";
}

namespace {

void addMenus(TJigsawProject2& p, std::uint8_t number,
              const std::vector<std::pair<std::string, std::int32_t>>& items) {
  for (const auto& [caption, code] : items) {
    TMenuExRec r;
    r.ID = p.NewMenuId();
    r.MenuNumber = number;
    r.Caption = caption;
    r.Script.Code = code;
    p.MenuTree.push_back(std::move(r));
  }
}

}  // namespace

TBytes MakeTestPackage(const TTestProjectOptions& o) {
  TJigsawProject2 p;
  p.MasterTemplateSet = MasterTemplates();
  const int sizes[][2] = {{320, 240}, {300, 240}, {280, 210}, {260, 200}};
  for (int i = 0; i < o.Pictures; ++i) {
    TBMPData& picture = p.AddPictureEntry(TPictureKind::pkPicture);
    picture.Data = PaintedJpeg(sizes[i % 4][0], sizes[i % 4][1], i + 1);
    picture.Name = "picture" + std::to_string(i + 1) + ".jpg";
  }
  for (int i = 0; i < o.BackgroundOnly; ++i) {
    p.AddPictureEntry(TPictureKind::pkBackground).Data = PaintedJpeg(64, 64, 9);
  }
  p.PictureChoice = o.Choice;
  p.PieceRangeMin = o.RangeMin;
  p.PieceRangeMax = o.RangeMax;
  if (o.PictureRanges) {
    for (TPicturePieceRange& r : p.PieceCountRanges) {
      r.MinPieces = o.RangeMin;
      r.MaxPieces = o.RangeMax;
    }
  } else {
    p.PieceCountRanges.clear();
  }
  p.TimeTrial = o.TimeTrial ? 1 : 0;
  p.TimeTrialTicks = o.TimeTrialTicks;
  p.NoPieceRotation = o.NoRotation ? 1 : 0;
  if (o.NoHighScores) p.ProjectFlags |= kFlagNoHighScores;
  p.HighscoreOptions.ShowTable = o.ShowTable ? 1 : 0;
  if (o.WinScriptCode >= 0) p.WinScript.AddScriptItem().Code = o.WinScriptCode;
  if (o.Layout) p.StoredLayout = *o.Layout;
  if (o.Splash) p.Splash.SetData(PaintedJpeg(200, 150, 7));
  if (!o.Toolbar.empty() || !o.Popup.empty()) {
    p.MenuTree.clear();
    addMenus(p, 0, o.Toolbar);
    addMenus(p, 1, o.Popup);
  }
  if (o.Edit) o.Edit(p);
  return p.SaveToBytes();
}

}  // namespace duduri::test
