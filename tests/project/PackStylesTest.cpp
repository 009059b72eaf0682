// duduri-pack create with window styles, skins, skin buttons, clock panels,
// banner containers, popup menus, separators and argument files, run as an
// author runs it. Skipped when the tool has not been built beside the tests.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "ProjectTestData.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(DUDURI_BINARY_DIR) / "bin" / "duduri-pack";

TBytes button(int w, int h, TColor32 color) {
  TBitmap32 b;
  b.SetSize(w, h);
  b.Clear(color);
  return EncodeBmp(b, 32);
}

class PackStyles : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kTool)) GTEST_SKIP() << "duduri-pack not built";
    dir_ = fs::temp_directory_path() / ("duduri-packstyles-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    WriteFileAtomically(dir_ / "a.jpg", test::MakeJpeg(160, 120, 3));
    WriteFileAtomically(dir_ / "skin.bmp", test::MakeBmp(120, 90));
    WriteFileAtomically(dir_ / "n.bmp", button(8, 6, 0x80102030));
    WriteFileAtomically(dir_ / "h.bmp", button(8, 6, 0xFF405060));
    WriteFileAtomically(dir_ / "p.bmp", button(8, 6, 0xFF708090));
    WriteFileAtomically(dir_ / "small.bmp", button(4, 6, 0xFF708090));
    std::ofstream(dir_ / "more.args") << "--title\nFrom a file\n--menu\n&Help/&Site\n11\n\n";
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }

  int run(const std::string& args) {
    const std::string command = "cd '" + dir_.string() + "' && '" + kTool.string() +
                                "' create game.pzp a.jpg --templates '" +
                                test::MasterTemplateSetFile().string() + "' " + args +
                                " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string err() {
    std::ifstream in(dir_ / "err.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir_;
};

TEST_F(PackStyles, SkinsButtonsPanelsBannersAndMenus) {
  ASSERT_EQ(run("--style 20 "  // last on the line or first, the style wins over --skin's 19
                "--skin skin.bmp 10 20 100 50 "
                "--skin-button 5 6 n.bmp h.bmp p.bmp 15 '' "
                "--text-style 60 5 50 20 Sans 12 --text-colour FF8000 "
                "--text-background system:15 --text-bold "
                "--banner-container 30 70 --banner a.jpg https://example.org 1000 "
                "--skin skin.bmp 0 0 10 10 --banner-container 1 2 --container-banner 1 "
                "--popup 'Po/&Item' 25 '' --popup - -1 '' "
                "--menu '&Game/&New' 15 '' --menu '&Game/-' -1 '' --menu '&Game/-' -1 '' "
                "@more.args"),
            0)
      << err();
  TJigsawProject2 p;
  p.LoadFromFile(dir_ / "game.pzp");
  EXPECT_EQ(p.WindowStyle, kStyleOfficeXP);
  EXPECT_EQ(p.Title.Caption, "From a file");
  ASSERT_EQ(p.Skins.size(), 2u);
  // The skin stays a bitmap, pixel for pixel.
  EXPECT_EQ(p.Skins[0].Image, test::MakeBmp(120, 90));
  EXPECT_EQ(p.Skins[0].Kind, kStyleSkinned);
  EXPECT_EQ(p.Skins[0].BoardArea, (TBoardArea{10, 20, 100, 50}));

  ASSERT_EQ(p.Regions.size(), 1u);
  const TSkinRegion& r = p.Regions[0];
  EXPECT_EQ(p.Skins[0].RegionIDs, std::vector<std::int32_t>{r.ID});
  EXPECT_EQ(r.Left, 5);
  EXPECT_EQ(r.Top, 6);
  EXPECT_EQ(r.Width, 8);
  EXPECT_EQ(r.Height, 6);
  EXPECT_EQ(r.CommandCode, 15);
  ASSERT_EQ(r.Normal.size(), 8u * 6 * 4);
  // Raw little-endian ARGB with the file's alpha.
  EXPECT_EQ(r.Normal[0], std::byte{0x30});
  EXPECT_EQ(r.Normal[3], std::byte{0x80});
  EXPECT_EQ(r.Pressed[2], std::byte{0x70});
  ASSERT_EQ(p.ScriptItems.size(), 1u);
  EXPECT_EQ(p.ScriptItems[0].RegionID, r.ID);
  EXPECT_EQ(p.ScriptItems[0].Script.Code, 15);

  ASSERT_EQ(p.TextStyles.size(), 1u);
  const TTextStyle& t = p.TextStyles[0];
  EXPECT_EQ(t.SkinID, p.Skins[0].ID);
  EXPECT_EQ(t.Font.Color, 0x000080FF);  // as the platform stores colours: BGR
  EXPECT_EQ(std::uint32_t(t.BackgroundColor), 0xFF00000Fu);
  EXPECT_EQ(t.SeeThrough, 0);
  EXPECT_EQ(t.Font.Style, 1);

  ASSERT_EQ(p.BannerContainers.Count(), 2u);
  const TBannerContainer& first = *p.BannerContainers.Container(0);
  EXPECT_EQ(first.SkinID, p.Skins[0].ID);
  EXPECT_EQ(first.Left, 30);
  EXPECT_EQ(first.Top, 70);
  EXPECT_EQ(first.Count(), 1u);
  EXPECT_EQ(p.BannerContainers.Container(1)->SkinID, p.Skins[1].ID);
  EXPECT_EQ(p.BannerContainers.Container(1)->Banner(0)->ID, p.Banners.Banner(0)->ID);

  // Popup records carry menu number 1 down to their children; separators
  // are never merged with each other.
  const auto popup = std::find_if(p.MenuTree.begin(), p.MenuTree.end(),
                                  [](const TMenuExRec& m) { return m.Name == "Po"; });
  ASSERT_NE(popup, p.MenuTree.end());
  EXPECT_EQ(popup->MenuNumber, 1);
  ASSERT_EQ(popup->Children.size(), 1u);
  EXPECT_EQ(popup->Children[0].MenuNumber, 1);
  EXPECT_EQ(popup->Children[0].Script.Code, 25);
  const auto game = std::find_if(p.MenuTree.begin(), p.MenuTree.end(),
                                 [](const TMenuExRec& m) { return m.Name == "&Game"; });
  ASSERT_NE(game, p.MenuTree.end());
  ASSERT_EQ(game->Children.size(), 3u);
  EXPECT_EQ(game->Children[1].Caption, "-");
  EXPECT_EQ(game->Children[2].Caption, "-");
  EXPECT_NE(game->Children[1].ID, game->Children[2].ID);
  const auto help = std::find_if(p.MenuTree.begin(), p.MenuTree.end(),
                                 [](const TMenuExRec& m) { return m.Name == "&Help"; });
  ASSERT_NE(help, p.MenuTree.end());
  EXPECT_EQ(help->Children.back().Name, "&Site");
  EXPECT_EQ(help->Children.back().Script.Code, 11);
  EXPECT_EQ(help->Children.back().Script.Parameter.Count(), 0u);
}

TEST_F(PackStyles, MistakesAreRefusedWithTheirReason) {
  const struct {
    const char* args;
    const char* says;
  } cases[] = {
      {"--style 16", "--style takes"},
      {"--skin-button 1 1 n.bmp n.bmp n.bmp 15 ''", "--skin before"},
      {"--skin skin.bmp 0 0 9 9 --skin-button 1 1 n.bmp small.bmp n.bmp 15 ''", "same size"},
      {"--text-colour 112233", "--text-style before"},
      {"--skin skin.bmp 0 0 9 9 --text-style 1 1 9 9 Sans 9 --text-colour 1122", "RRGGBB"},
      {"--container-banner 1", "--banner-container"},
      {"--skin a.jpg 0 0 9 9 --banner-container 0 0 --container-banner 1", "--container-banner"},
      {"@missing.args", "missing.args"},
      {"--skin more.args 0 0 9 9", "not a JPEG or BMP"},
  };
  for (const auto& c : cases) {
    EXPECT_NE(run(c.args), 0) << c.args;
    EXPECT_NE(err().find(c.says), std::string::npos) << c.args << ": " << err();
  }
}

}  // namespace
}  // namespace duduri
