// Files the bare player is asked to play: the sample with no argument, a
// project, a puzzle executable or a picture (turned upright, laid on white,
// played with the sample's settings), files opened while a game runs, and
// what a new executable or a project carries of the user's pictures.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "ShellTestKit.h"
#include "project/Overlay.h"
#include "project/ProgramData.h"
#include "raster/Bitmap32.h"
#include "raster/Exif.h"
#include "shell/PlayFiles.h"
#include "shell/RecentFiles.h"
#include "shell/UserPictures.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

constexpr TColor32 kRed = 0xFFFF0000, kBlue = 0xFF0000FF;

void writeBytes(const fs::path& path, const TBytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// A w x h picture, red in its left half and blue in its right one.
TBitmap32 halves(int w, int h) {
  TBitmap32 b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) b.ScanLine(y)[x] = x < w / 2 ? kRed : kBlue;
  }
  return b;
}

// The JPEG a phone writes when held upright: rows stored sideways and EXIF
// orientation 6.
TBytes phoneJpeg(const TBitmap32& stored, int orientation = 6) {
  const TBytes jpeg = EncodeJpeg(stored, 95);
  const unsigned char tiff[] = {
      'I', 'I', '*', 0, 8, 0, 0, 0, 1, 0, 0x12, 0x01, 3, 0, 1, 0, 0, 0, std::uint8_t(orientation),
      0,   0,   0,   0, 0, 0, 0};
  TBytes out(jpeg.begin(), jpeg.begin() + 2);
  const std::size_t length = 2 + 6 + sizeof tiff;
  for (unsigned v : {0xFFu, 0xE1u, unsigned(length >> 8), unsigned(length & 0xFF)}) {
    out.push_back(std::byte(v));
  }
  for (char c : std::string("Exif\0\0", 6)) out.push_back(std::byte(c));
  for (unsigned char c : tiff) out.push_back(std::byte(c));
  out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
  return out;
}

bool near(TColor32 a, TColor32 b) {
  for (int shift : {0, 8, 16}) {
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 40) return false;
  }
  return true;
}

// Stands in for the toolkit's readers: every PNG is a 6 x 4 picture whose
// left half is half-transparent red.
TPicture fakePng(std::span<const std::byte> data) {
  if (DetectPictureFormat(data) != TPictureFormat::pfPNG) throw EPictureError("not a PNG");
  TPicture p;
  p.Width = 6, p.Height = 4, p.BitsPerPixel = 32;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) p.Pixels.push_back(x < 3 ? 0x80FF0000 : kBlue);
  }
  return p;
}

TBytes pngBytes() {
  TBytes b;
  for (unsigned v : {0x89u, 0x50u, 0x4Eu, 0x47u, 0x0Du, 0x0Au, 0x1Au, 0x0Au})
    b.push_back(std::byte(v));
  b.resize(40);
  return b;
}

class PlayFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "duduri-play-XXXXXX").string();
    ASSERT_TRUE(mkdtemp(pattern.data()));
    dir_ = pattern;
    fs::create_directories(dir_ / "bin");
    fs::create_directories(dir_ / "share" / "duduri");
  }
  void TearDown() override { fs::remove_all(dir_); }

  // An installed prefix: the sample and the master set in share/duduri.
  fs::path install(const TTestProjectOptions& sample) {
    writeBytes(dir_ / "share" / "duduri" / kSampleProjectFile, MakeTestPackage(sample));
    fs::copy_file(MasterTemplates(), dir_ / "share" / "duduri" / kMasterTemplateFile);
    return dir_ / "bin";
  }
  fs::path file(const std::string& name, const TBytes& bytes) {
    writeBytes(dir_ / name, bytes);
    return dir_ / name;
  }
  TShellEnvironment environment(std::vector<std::string> args) {
    TShellEnvironment env;
    env.Args = std::move(args);
    env.ExeDir = dir_ / "bin";
    env.ExePath = env.ExeDir / "duduri";
    env.DecodeOtherPicture = fakePng;
    return env;
  }

  static TTestProjectOptions sampleOptions() {
    return {.Pictures = 3, .RangeMin = 25, .RangeMax = 50, .Toolbar = {{"&New game", 15}}};
  }

  fs::path dir_;
};

TEST_F(PlayFiles, DataIsFoundBesideTheProgramThenInShare) {
  const fs::path bin = dir_ / "bin";
  EXPECT_TRUE(FindProgramData(bin, "all.pzjc").empty());
  writeBytes(dir_ / "share" / "duduri" / "all.pzjc", {std::byte(1)});
  EXPECT_EQ(FindProgramData(bin, "all.pzjc"), (dir_ / "share" / "duduri" / "all.pzjc"));
  writeBytes(bin / "all.pzjc", {std::byte(1)});
  EXPECT_EQ(FindProgramData(bin, "all.pzjc"), bin / "all.pzjc");
  // A folder of that name is not the file.
  fs::create_directories(bin / "sample.pzp");
  EXPECT_TRUE(FindProgramData(bin, "sample.pzp").empty());
}

TEST_F(PlayFiles, APictureIsPlayedWithTheSamplesSettingsInItsFirstPicturesPlace) {
  const fs::path bin = install(sampleOptions());
  TJigsawProject2 sample;
  sample.LoadFromFile(dir_ / "share" / "duduri" / kSampleProjectFile);

  const auto project = PictureProject(DecodePicture(PaintedJpeg(500, 200, 4)), "wide.jpg", bin);
  ASSERT_EQ(project->Pictures.size(), 1u);
  const TBMPData& picture = project->Pictures[0];
  EXPECT_EQ(picture.Name, "wide.jpg");
  EXPECT_EQ(picture.ID, sample.Pictures[0].ID);
  EXPECT_EQ(DecodeJpeg(picture.Data).Width, 500);
  ASSERT_EQ(project->PieceCountRanges.size(), 1u);
  EXPECT_EQ(project->PieceCountRanges[0].MinPieces, 25);
  EXPECT_EQ(project->PieceCountRanges[0].MaxPieces, 50);
  EXPECT_EQ(project->Title.Caption, sample.Title.Caption);
  EXPECT_EQ(project->MenuTree.size(), sample.MenuTree.size());
  EXPECT_EQ(project->PictureChoice, sample.PictureChoice);
  // The template set is chosen for this picture from the master set.
  EXPECT_FALSE(project->TemplateSetStore.empty());
  EXPECT_EQ(project->MasterTemplateSet, dir_ / "share" / "duduri" / kMasterTemplateFile);

  // A camera-sized picture is brought down to 2560 pixels on its long side,
  // each pixel the mean of what it covers.
  TPicture camera = DecodePicture(EncodeBmp(halves(3000, 1000)));
  const auto big = PictureProject(camera, "camera.jpg", bin);
  const TPicture played = DecodeJpeg(big->Pictures[0].Data);
  EXPECT_EQ(played.Width, 2560);
  EXPECT_EQ(played.Height, 853);
  EXPECT_TRUE(near(played.Pixels[400 * 2560 + 100], kRed));
  EXPECT_TRUE(near(played.Pixels[400 * 2560 + 2400], kBlue));

  // Without a sample: a plain project, still cut with the master set.
  fs::remove(dir_ / "share" / "duduri" / kSampleProjectFile);
  const auto plain = PictureProject(DecodePicture(PaintedJpeg(300, 200, 1)), "p.jpg", bin);
  EXPECT_EQ(plain->Pictures.size(), 1u);
  EXPECT_FALSE(plain->TemplateSetStore.empty());
  // Without either there is nothing to cut with.
  fs::remove(dir_ / "share" / "duduri" / kMasterTemplateFile);
  EXPECT_THROW(PictureProject(DecodePicture(PaintedJpeg(300, 200, 1)), "p.jpg", bin), EDuduriError);
}

TEST_F(PlayFiles, ProjectsExecutablesAndPicturesOpenAndFailuresNameTheFile) {
  const fs::path bin = install(sampleOptions());
  const TBytes package = MakeTestPackage({.Pictures = 2});
  EXPECT_EQ(OpenPlayFile(file("two.pzp", package), bin, {})->Pictures.size(), 2u);
  TBytes player(300, std::byte(0x7F));
  EXPECT_EQ(OpenPlayFile(file("puzzle", BuildOverlayExecutable(player, package)), bin, {})
                ->Pictures.size(),
            2u);
  EXPECT_EQ(OpenPlayFile(file("photo.jpg", PaintedJpeg(200, 100, 2)), bin, {})->Pictures.size(),
            1u);
  EXPECT_EQ(OpenPlayFile(file("shot.png", pngBytes()), bin, fakePng)->Pictures.size(), 1u);

  auto failure = [&](const fs::path& path, const TPictureDecoder& decoder = {}) -> std::string {
    try {
      OpenPlayFile(path, bin, decoder);
    } catch (const EDuduriError& e) {
      return e.what();
    }
    return "opened";
  };
  auto expectFailure = [&](const fs::path& path, const std::string& reason) {
    const std::string message = failure(path);
    EXPECT_NE(message.find("\"" + path.filename().string() + "\""), std::string::npos) << message;
    EXPECT_NE(message.find(reason), std::string::npos) << message;
  };
  fs::create_directories(dir_ / "Holiday");
  expectFailure(dir_ / "Holiday", "folder");
  expectFailure(dir_ / "gone.jpg", "no such file");
  expectFailure(file("empty.jpg", {}), "empty");
  expectFailure(file("notes.txt", {std::byte('h'), std::byte('i')}), "neither a picture nor");
  TBytes cut = PaintedJpeg(200, 100, 2);
  cut.resize(cut.size() / 2);
  expectFailure(file("cut.jpg", cut), "JPEG");
  expectFailure(file("shot2.png", pngBytes()), "only JPEG and BMP");
  // A BMP header claiming 100000 x 100000 pixels.
  TBytes huge = EncodeBmp(halves(2, 2));
  huge[18] = std::byte(0xA0), huge[19] = std::byte(0x86), huge[20] = std::byte(0x01);
  huge[22] = std::byte(0xA0), huge[23] = std::byte(0x86), huge[24] = std::byte(0x01);
  expectFailure(file("huge.bmp", huge), "too large");
}

TEST_F(PlayFiles, UserPicturesAreTurnedUprightAndLaidOnWhite) {
  // Stored 16 x 8 with the red half on the left; orientation 6 turns it a
  // quarter clockwise, so red comes out on top.
  const TBytes phone = phoneJpeg(halves(16, 8));
  const TPicture upright = DecodeUserPicture(phone, "phone.jpg", {});
  ASSERT_EQ(upright.Width, 8);
  ASSERT_EQ(upright.Height, 16);
  EXPECT_TRUE(near(upright.Pixels[2 * 8 + 4], kRed));
  EXPECT_TRUE(near(upright.Pixels[13 * 8 + 4], kBlue));
  // Inside a project the same bytes decode exactly as stored.
  EXPECT_EQ(DecodeJpeg(phone).Width, 16);

  const TPicture png = DecodeUserPicture(pngBytes(), "shot.png", fakePng);
  EXPECT_EQ(png.BitsPerPixel, 24);
  EXPECT_EQ(png.Pixels[0], 0xFFFF7F7F);  // half red over white
  EXPECT_EQ(png.Pixels[5], kBlue);

  // What a project stores: an upright JPEG as it is, anything else encoded.
  const fs::path plain = file("plain.jpg", PaintedJpeg(64, 40, 3));
  EXPECT_EQ(UserPictureAsJpeg(plain, {}), PaintedJpeg(64, 40, 3));
  EXPECT_EQ(DecodeJpeg(UserPictureAsJpeg(file("phone.jpg", phone), {})).Width, 8);
  EXPECT_EQ(DecodeJpeg(UserPictureAsJpeg(file("s.png", pngBytes()), fakePng)).Width, 6);
}

TEST_F(PlayFiles, NewExecutablesCarryBitmapsAsBitmapsAndEverythingElseAsJpeg) {
  const fs::path bmp = file("a.bmp", EncodeBmp(halves(6, 4)));
  const fs::path jpg = file("b.jpg", PaintedJpeg(60, 40, 1));
  const fs::path phone = file("c.jpg", phoneJpeg(halves(16, 8)));
  const fs::path png = file("d.png", pngBytes());
  const std::vector<fs::path> files = {bmp, jpg, phone, png};
  const std::vector<TCarriedPicture> carried = CarryPictures(files, fakePng);
  ASSERT_EQ(carried.size(), 4u);
  EXPECT_EQ(carried[0].Format, ifBMP);
  EXPECT_EQ(DecodeBmp(carried[0].Data).Pixels, DecodeBmp(EncodeBmp(halves(6, 4))).Pixels);
  EXPECT_EQ(carried[1].Format, ifJPEG);
  EXPECT_EQ(carried[1].Data, PaintedJpeg(60, 40, 1));
  EXPECT_EQ(DecodeJpeg(carried[2].Data).Height, 16);
  EXPECT_EQ(carried[3].Format, ifJPEG);
  EXPECT_EQ(DecodeJpeg(carried[3].Data).Width, 6);
  // A file that is no picture stops the command before anything is written.
  const std::vector<fs::path> withText = {bmp, file("e.txt", {std::byte('x')})};
  EXPECT_THROW(CarryPictures(withText, fakePng), EPictureError);
}

TEST_F(PlayFiles, StartUpPlaysTheArgumentOrTheSampleAndFailsLoudlyForBadFiles) {
  install(sampleOptions());
  {  // A phone photo: played upright, with the sample's menus.
    const fs::path photo = file("phone.jpg", phoneJpeg(halves(160, 80)));
    TFlowRig rig(environment({photo.string()}));
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_EQ(rig.flow->CurrentPicture().Width(), 80);
    EXPECT_EQ(rig.flow->CurrentPicture().Height(), 160);
    EXPECT_EQ(rig.flow->OpenedFile(), photo);
    ASSERT_NE(rig.view.toolbar, nullptr);
    EXPECT_EQ(rig.view.toolbar->Items().size(), 1u);
    EXPECT_TRUE(rig.services.messages.empty());
  }
  {  // Nothing named: the sample.
    TFlowRig rig(environment({}));
    rig.Create();
    ASSERT_NE(rig.flow->Board(), nullptr);
    EXPECT_EQ(rig.flow->PlayList().size(), 3u);
    EXPECT_TRUE(rig.flow->OpenedFile().empty());
  }
  {  // A folder: a message naming it, the program ends with a failure.
    fs::create_directories(dir_ / "Photos");
    TFlowRig rig(environment({(dir_ / "Photos").string()}));
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    ASSERT_EQ(rig.services.messages.size(), 1u);
    EXPECT_NE(rig.services.messages[0].find("\"Photos\""), std::string::npos);
    EXPECT_EQ(rig.flow->ExitStatus(), 1);
  }
  fs::remove(dir_ / "share" / "duduri" / kSampleProjectFile);
  {  // Nothing named and no sample: the program ends quietly.
    TFlowRig rig(environment({}));
    rig.Create();
    EXPECT_TRUE(rig.flow->Terminated());
    EXPECT_TRUE(rig.services.messages.empty());
    EXPECT_EQ(rig.flow->ExitStatus(), 0);
  }
}

TEST_F(PlayFiles, AFileOpenedDuringAGameAsksFirstAndABrokenOneLeavesTheGame) {
  install(sampleOptions());
  TFlowRig rig(environment({}));
  rig.Create();
  const int games = rig.flow->GamesBuilt();
  const fs::path photo = file("photo.jpg", PaintedJpeg(240, 180, 5));

  rig.services.answers[LeaveGameQuestion(photo)] = TModalResult::mrNo;
  EXPECT_FALSE(rig.flow->OpenFileForPlay(photo));
  EXPECT_EQ(rig.flow->GamesBuilt(), games);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());  // the game goes on
  EXPECT_EQ(rig.services.messages.back(), LeaveGameQuestion(photo));

  rig.services.answers.clear();
  EXPECT_TRUE(rig.flow->OpenFileForPlay(photo));
  EXPECT_EQ(rig.flow->GamesBuilt(), games + 1);
  ASSERT_EQ(rig.flow->PlayList().size(), 1u);
  EXPECT_EQ(rig.flow->PlayList()[0]->Name, "photo.jpg");
  EXPECT_EQ(rig.flow->OpenedFile(), photo);

  const std::size_t asked = rig.services.messages.size();
  EXPECT_FALSE(rig.flow->OpenFileForPlay(file("junk.pzp", {std::byte(1), std::byte(2)})));
  ASSERT_EQ(rig.services.messages.size(), asked + 2);  // the question, then why not
  EXPECT_NE(rig.services.messages.back().find("\"junk.pzp\""), std::string::npos);
  EXPECT_EQ(rig.flow->GamesBuilt(), games + 1);
  EXPECT_FALSE(rig.flow->Board()->GamePaused());
  EXPECT_FALSE(rig.flow->Terminated());
}

TEST_F(PlayFiles, APlayerWithItsOwnProjectOpensNothingElse) {
  TFlowRig rig(MakeTestPackage({.Pictures = 1}));
  rig.Create();
  EXPECT_FALSE(rig.flow->OpenFileForPlay(file("photo.jpg", PaintedJpeg(200, 100, 1))));
  EXPECT_TRUE(rig.services.messages.empty());
}

TEST(RecentFiles, NewestFirstWithoutRepeatsAndAtMostTen) {
  TRecentFiles recent({"/a", "", "/b", "/a", "/c"});
  EXPECT_EQ(recent.Files(), (std::vector<std::string>{"/a", "/b", "/c"}));
  recent.Add("/c");
  EXPECT_EQ(recent.Files(), (std::vector<std::string>{"/c", "/a", "/b"}));
  for (int i = 0; i < 12; ++i) recent.Add("/f" + std::to_string(i));
  ASSERT_EQ(recent.Files().size(), TRecentFiles::kMaxFiles);
  EXPECT_EQ(recent.Files().front(), "/f11");
  EXPECT_EQ(recent.Files().back(), "/f2");
  recent.Remove("/f5");
  EXPECT_EQ(recent.Files().size(), TRecentFiles::kMaxFiles - 1);
}

}  // namespace
}  // namespace duduri::test
