// duduri-pack create --page and --entry-page: pages and what they refer to
// are shipped beside the project, and the entry page is named in it.
// Skipped when the tool has not been built beside the tests.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "ProjectTestData.h"
#include "project/Project.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

namespace fs = std::filesystem;

const fs::path kTool = fs::path(DUDURI_BINARY_DIR) / "bin" / "duduri-pack";

class PackPages : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kTool)) GTEST_SKIP() << "duduri-pack not built";
    dir_ = fs::temp_directory_path() / ("duduri-packpages-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "src" / "img");
    fs::create_directories(dir_ / "out");
    WriteFileAtomically(dir_ / "a.jpg", test::MakeJpeg(160, 120, 3));
  }
  void TearDown() override {
    if (!dir_.empty()) fs::remove_all(dir_);
  }
  void write(const fs::path& relative, const std::string& text) {
    fs::create_directories((dir_ / relative).parent_path());
    std::ofstream(dir_ / relative, std::ios::binary) << text;
  }
  int run(const std::string& args) {
    const std::string command = "cd '" + dir_.string() + "' && '" + kTool.string() + "' " + args +
                                " --templates '" + test::MasterTemplateSetFile().string() +
                                "' >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  fs::path dir_;
};

TEST_F(PackPages, PagesAndTheirFilesGoBesideTheProject) {
  write("src/intro.html",
        "<link rel=stylesheet href='css/look.css'><img src='img/logo.png'>"
        "<a href='ACT_NEW_GAME'>x</a><a href='more.html'>more</a><a href='http://x/y.png'>w</a>"
        "<img src='../secret.png'><img src='missing.png'>");
  write("src/css/look.css", "body { background: url(../img/bg.png) }");
  write("src/img/logo.png", "logo");
  write("src/img/bg.png", "bg");
  write("src/more.html", "<img src='img/logo.png'><a href='intro.html'>back</a>");
  write("src/entry.html", "<form action='ACT_NEW_HIGHSCORE_ENTRY'></form>");
  write("secret.png", "secret");
  ASSERT_EQ(run("create out/game.pzp a.jpg --page src/intro.html "
                "--entry-page src/entry.html 420 280"),
            0);
  for (const char* f :
       {"intro.html", "more.html", "css/look.css", "img/logo.png", "img/bg.png", "entry.html"}) {
    EXPECT_TRUE(fs::is_regular_file(dir_ / "out" / f)) << f;
  }
  EXPECT_FALSE(fs::exists(dir_ / "secret.png.part"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "secret.png"));
  EXPECT_FALSE(fs::exists(dir_ / "out" / "missing.png"));
  TJigsawProject2 p;
  p.LoadFromFile(dir_ / "out" / "game.pzp");
  EXPECT_EQ(p.HighscoreOptions.EntryPage, 1);
  EXPECT_EQ(p.HighscoreOptions.PageText, "entry.html");
  EXPECT_EQ(p.HighscoreOptions.Value1, 420);
  EXPECT_EQ(p.HighscoreOptions.Value2, 280);
}

TEST_F(PackPages, AMissingOrHugePageIsAnError) {
  EXPECT_EQ(run("create out/game.pzp a.jpg --page src/none.html"), 1);
  EXPECT_FALSE(fs::exists(dir_ / "out" / "game.pzp"));
  write("src/big.html", "");
  fs::resize_file(dir_ / "src" / "big.html", 5u << 20);
  EXPECT_EQ(run("create out/game.pzp a.jpg --page src/big.html"), 1);
  EXPECT_EQ(run("create out/game.pzp a.jpg --entry-page src/x.html 0 10"), 1);
}

}  // namespace
}  // namespace duduri
