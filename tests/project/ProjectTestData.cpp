#include "ProjectTestData.h"

#include <unistd.h>

#include "project/TemplateSubset.h"
#include "project/Zlib.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::test {

TBytes MakeJpeg(int w, int h, std::uint32_t seed) {
  TBitmap32 bmp;
  bmp.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      bmp.ScanLine(y)[x] =
          Color32(std::uint8_t(x * 7 + seed), std::uint8_t(y * 5), std::uint8_t(seed * 40));
  return EncodeJpeg(bmp);
}

TBytes MakeBmp(int w, int h) {
  TBitmap32 bmp;
  bmp.SetSize(w, h);
  bmp.Clear(Color32(10, 200, 30));
  return EncodeBmp(bmp, 24);
}

std::filesystem::path MasterTemplateSetFile() {
  static const std::filesystem::path path = [] {
    TRawTemplateSet set;
    set.Grid = {{20, 20}, {30, 30}, {50, 40}};
    for (int grid = 0; grid < 3; ++grid) {
      for (int vertical = 0; vertical < 2; ++vertical) {
        TRawTemplate t;
        t.Width = std::uint8_t(10 + grid);
        t.Height = std::uint8_t(8 + grid);
        t.Flags = std::uint8_t((vertical ? 0x80 : 0) | grid);
        set.Templates.push_back(t);
      }
    }
    TByteWriter out;
    out.LengthPrefixedBytes(CompressTemplateSet(set));
    const auto file = std::filesystem::temp_directory_path() /
                      ("duduri-test-all-" + std::to_string(getpid()) + ".pzjc");
    WriteFileAtomically(file, out.Data());
    return file;
  }();
  return path;
}

void UseTestMaster(TJigsawProject2& project) {
  project.MasterTemplateSet = MasterTemplateSetFile();
}

TBodyBuilder::TBodyBuilder() {
  out_.Bytes(kProjectSignature);
}

TByteWriter& TBodyBuilder::Chunk(std::uint16_t tag, std::int32_t size) {
  out_.U16(tag);
  out_.I32(size);
  return out_;
}

TBytes TBodyBuilder::FinishUncompressed() {
  Chunk(ctEnd, 0);
  return out_.Take();
}

TBytes TBodyBuilder::Finish() {
  return DeflateDefault(FinishUncompressed());
}

void FillEverything(TJigsawProject2& p) {
  UseTestMaster(p);
  p.AddPictureEntry(TPictureKind::pkPicture, 17).Data = MakeJpeg(120, 90, 1);
  p.Pictures.back().Name = "first.jpg";
  p.AddPictureEntry(TPictureKind::pkPicture, 300).Data = MakeJpeg(40, 50, 2);
  p.AddPictureEntry(TPictureKind::pkBackground, 65536 * 3).Data = MakeJpeg(16, 16, 3);
  p.Pictures.back().Name = "wall.jpg";
  p.PieceCountRanges[1].MinPieces = 25;
  p.PieceCountRanges[1].MaxPieces = 100;
  p.PieceCountRanges[1].HasStoredLayout = 1;
  p.PictureLayouts.push_back({17, 2, 1, TBytes(80, std::byte{5})});
  p.PieceValues = {{17, {0x01020304, 5}}, {300, {}}};
  p.PerPictureValues = 0;

  p.Sounds.push_back({3, "click.wav", TBytes{std::byte{1}, std::byte{2}}});
  p.Sounds.push_back({512, "music.mid", TBytes(10, std::byte{9})});
  p.SoundSlots[0].SoundIDs = {512};
  p.SoundSlots[4].SoundIDs = {3, 3};
  p.SoundFormats.Add(3, 1);
  p.SoundFormats.Add(512, 2);

  p.DefaultPieceScale = 3;
  p.SnapDistance = 9;
  p.SpriteOptionA = 0x00FF00;
  p.SpriteOptionB = 2;
  p.PieceRangeMin = 10;
  p.PieceRangeMax = 60;
  p.PictureChoice = kChoiceRandom;
  p.TimeTrial = 1;
  p.TimeTrialTicks = 600;
  p.NoPieceRotation = 1;
  p.NoPieceShadow = 1;
  p.FlatPiece = 1;
  p.StoredLayout = {2, 2, TBytes(160, std::byte{7})};

  p.Title.Caption = "Harbour puzzles";
  p.Icon = TBytes(30, std::byte{0x11});
  p.SoundOn = 0;
  p.WindowPosition = 2;
  p.AboutPicture = MakeJpeg(8, 8, 4);
  p.BoardArea = {5, 6, 700, 500};
  p.WindowStyle = kStyleSkinned;
  TSkinRegion& region = p.NewRegion();
  region.Left = 3;
  region.Top = 4;
  region.Width = 1;
  region.Height = 2;
  region.Normal = TBytes(8, std::byte{1});
  region.Hover = TBytes(8, std::byte{2});
  region.Pressed = TBytes(8, std::byte{3});
  region.CommandCode = 7;
  region.Value = 8;
  TSkinEntry& skin = p.NewSkinEntry();
  skin.Kind = kStyleSkinned;
  skin.Image = MakeJpeg(20, 20, 5);
  skin.Value = 4;
  skin.RegionIDs = {region.ID};
  skin.BoardArea = {1, 2, 300, 200};
  p.CurrentBackgroundIndex = 2;
  p.CurrentSkinIndex = 0;
  p.DefaultBackground = {fmTile, 3};
  p.BackgroundSettings[0].FillMode = fmStretch;

  TMenuExRec extra;
  extra.ID = 4242;
  extra.Name = "&Play";
  extra.Caption = "Play a picture";
  extra.MenuNumber = 1;
  extra.Value = 9;
  extra.Script.Code = 19;
  extra.Script.Parameter.Add(kParamInteger, TBytes(4, std::byte{1}));
  TMenuExRec child;
  child.ID = 4243;
  child.ParentID = 4242;
  child.Name = "-";
  child.Caption = "-";
  child.Visible = 0;
  child.Script.Code = kNoCommand;
  extra.Children.push_back(child);
  p.MenuTree.push_back(extra);
  TActionGroup& group = p.AddActionGroup();
  group.Caption = "pages";
  TActionItem& action = group.AddActionItem();
  action.Caption = "open";
  action.AddScriptItem().Code = 11;
  action.ScriptItem(0).AddTextParameter("https://example.org/");
  TScriptItemEntry& item = p.NewScriptItemEntry();
  item.RegionID = region.ID;
  item.Script.Code = 7;
  p.StartScript.AddScriptItem().Code = 5;
  p.StartScript.Caption = "start";
  p.ExitScript.AddScriptItem().Code = 3;
  p.WinScript.AddScriptItem().Code = 18;

  TTextStyle style;
  style.ID = 77;
  style.SkinID = skin.ID;
  style.Left = 10;
  style.Top = 11;
  style.Width = 80;
  style.Height = 20;
  style.SeeThrough = 1;
  style.SecondFlag = 1;
  style.BackgroundColor = -16;
  style.Font = {"Sans", 0x0000FF, -12, 9, 3};
  style.Data = TBytes(3, std::byte{4});
  p.TextStyles.push_back(style);

  TBanner& banner = p.Banners.Add();
  banner.Name = "ad";
  banner.URL = "https://example.org/";
  banner.Data = MakeJpeg(60, 30, 6);
  banner.Interval = 1500;
  banner.Left = 2;
  banner.Top = 3;
  banner.SetEventID(kOpenAddressCommand);
  banner.RecomputeSize();
  TBanner& bmpBanner = p.Banners.Add();
  bmpBanner.Name = "bmp";
  bmpBanner.TypeData = tdBMP;
  bmpBanner.Data = MakeBmp(10, 40);
  bmpBanner.SetEventID(4);
  bmpBanner.RecomputeSize();
  TBannerContainer& container = p.BannerContainers.Add();
  container.Name = "side";
  container.SkinID = skin.ID;
  container.Left = 600;
  container.Top = 20;
  container.AddBanner(banner);
  container.AddBanner(bmpBanner);

  p.Splash.SetData(MakeJpeg(32, 24, 7));
  p.HighscoreOptions = {1, 1, "<p>page</p>", 400, 300};
  p.ProjectFlags = kFlagNoHighScores;
}

}  // namespace duduri::test
