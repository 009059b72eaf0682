// The page rules that need no browser: command words, the page text and its
// sizes, the window fit, the base directory and the guard over addresses,
// the error document and the high-score placeholders.

#include <gtest/gtest.h>

#include <fstream>

#include "project/HighScore.h"
#include "shell/Commands.h"
#include "shell/PageDocuments.h"
#include "shell/PagePaths.h"
#include "shell/PageText.h"
#include "shell/PageWords.h"

namespace duduri::test {
namespace {

namespace fs = std::filesystem;

std::int32_t integerOf(const TScriptParam& p) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v |= std::uint32_t(p.Data.at(i)) << (8 * i);
  return std::int32_t(v);
}

TScriptItem commandOfAddress(const std::string& address, const std::string& target = "") {
  TScriptItem item;
  TPageClick click;
  click.Kind = TPageClickKind::ckLink;
  click.Address = address;
  click.Target = target;
  PageClickCommand(click, item);
  return item;
}

TEST(PageWords, WordsWithoutParameterAreComparedExactly) {
  const std::pair<const char*, std::int32_t> table[] = {
      {"ACT_CLOSE", kPageCloseCode}, {"ACT_NONE", 0},
      {"ACT_EXIT_APP", ccExit},      {"ACT_EXIT_APP_NO_CONFIRM", ccExitNoConfirm},
      {"ACT_ABOUT_DLG", ccAbout},    {"ACT_NEW_GAME", ccNewGame},
      {"ACT_LOAD_GAME", ccOpenGame},
  };
  for (const auto& [word, code] : table) {
    const TScriptItem item = commandOfAddress(std::string("file:///games/pages/") + word);
    EXPECT_EQ(item.Code, code) << word;
    EXPECT_EQ(item.Parameter.Count(), 0u) << word;
  }
  // A different case or a trailing character is no word: the desktop gets
  // the whole address.
  for (const char* address : {"file:///g/act_new_game", "file:///g/ACT_NEW_GAME ",
                              "file:///g/ACT_NEW_GAME?x=1", "file:///g/ACT_NEW_GAME/"}) {
    const TScriptItem item = commandOfAddress(address);
    EXPECT_EQ(item.Code, ccRunHidden) << address;
    ASSERT_EQ(item.Parameter.Count(), 1u);
    EXPECT_EQ(item.Parameter.Text(0), address);
  }
}

TEST(PageWords, PlayWordsTakeTheNumberThatFollows) {
  TScriptItem item = commandOfAddress("file:///g/ACT_PLAY_3");
  EXPECT_EQ(item.Code, ccPlayPicture);
  ASSERT_EQ(item.Parameter.Count(), 1u);
  EXPECT_EQ(item.Parameter.Get(0).Kind, kParamInteger);
  EXPECT_EQ(item.Parameter.Get(0).Data.size(), 4u);
  EXPECT_EQ(integerOf(item.Parameter.Get(0)), 3);
  // Any word containing the prefix counts.
  item = commandOfAddress("file:///g/goACT_PLAY_12");
  EXPECT_EQ(item.Code, ccPlayPicture);
  EXPECT_EQ(integerOf(item.Parameter.Get(0)), 12);
  item = commandOfAddress("ACT_PLAY_-1");
  EXPECT_EQ(item.Code, ccPlayPicture);
  EXPECT_EQ(integerOf(item.Parameter.Get(0)), -1);
  // Not a number: nothing, with no parameter left from before.
  for (const char* bad : {"ACT_PLAY_x", "ACT_PLAY_", "ACT_PLAY_3x", "ACT_PLAY_ 3",
                          "ACT_PLAY_99999999999", "ACT_PLAY_%33"}) {
    TScriptItem reused = commandOfAddress("ACT_PLAY_7");
    TPageClick click;
    click.Kind = TPageClickKind::ckLink;
    click.Address = std::string("file:///g/") + bad;
    PageClickCommand(click, reused);
    EXPECT_EQ(reused.Code, 0) << bad;
    EXPECT_EQ(reused.Parameter.Count(), 0u) << bad;
  }
}

TEST(PageWords, ExecuteAppOpensTheTargetAndWebLinksReachTheDesktop) {
  TScriptItem item = commandOfAddress("file:///g/ACT_EXECUTE_APP", "readme.txt");
  EXPECT_EQ(item.Code, ccOpenDocument);
  ASSERT_EQ(item.Parameter.Count(), 1u);
  EXPECT_EQ(item.Parameter.Text(0), "readme.txt");
  // The word of a web address is whatever follows its last "/".
  item = commandOfAddress("https://example.org/");
  EXPECT_EQ(item.Code, ccRunHidden);
  EXPECT_EQ(item.Parameter.Text(0), "https://example.org/");
  EXPECT_EQ(PageCommandWord("https://example.org/ACT_NEW_GAME"), "ACT_NEW_GAME");
  EXPECT_EQ(PageCommandWord("ACT_CLOSE"), "ACT_CLOSE");
}

TEST(PageWords, ButtonsInputsAndOtherClicks) {
  TScriptItem item;
  TPageClick button;
  button.Kind = TPageClickKind::ckButton;
  button.Name = "ACT_NEW_GAME";
  PageClickCommand(button, item);
  EXPECT_EQ(item.Code, ccNewGame);
  button.Name = "ACT_EXECUTE_APP";
  button.Value = "manual.pdf";
  PageClickCommand(button, item);
  EXPECT_EQ(item.Code, ccOpenDocument);
  EXPECT_EQ(item.Parameter.Text(0), "manual.pdf");

  TPageClick input;
  input.Kind = TPageClickKind::ckInputButton;
  EXPECT_FALSE(PageClickCommand(input, item));
  EXPECT_EQ(item.Code, 0);
  EXPECT_EQ(item.Parameter.Count(), 0u);
  input.FormActions = {"file:///g/search", "file:///g/ACT_NEW_HIGHSCORE_ENTRY"};
  EXPECT_TRUE(PageClickCommand(input, item));
  EXPECT_EQ(item.Code, ccOpenDocument);
  EXPECT_EQ(item.Parameter.Count(), 0u);
  EXPECT_TRUE(HasEntryForm({"ACT_NEW_HIGHSCORE_ENTRY"}));
  EXPECT_FALSE(HasEntryForm({"ACT_NEW_HIGHSCORE_ENTRY2", ""}));

  TPageClick other;
  other.Address = "file:///g/ACT_NEW_GAME";  // ignored: not a link
  EXPECT_FALSE(PageClickCommand(other, item));
  EXPECT_EQ(item.Code, 0);
  // "ACT_NONE" is a command that does nothing, and runs as one.
  EXPECT_TRUE(PageClickCommand({TPageClickKind::ckLink, "ACT_NONE", "", "", "", {}}, item));
  EXPECT_EQ(item.Code, 0);
}

TEST(PageText, OneLineOrThreeLines) {
  TPageText t = ParsePageText("intro.html");
  EXPECT_EQ(t.Name, "intro.html");
  EXPECT_FALSE(t.Width);
  t = ParsePageText("intro.html\r\n400\r\n300");
  EXPECT_EQ(t.Name, "intro.html");
  EXPECT_EQ(t.Width, 400);
  EXPECT_EQ(t.Height, 300);
  // A final line break starts no fourth line; spaces and signs are allowed.
  t = ParsePageText("a.html\n 400 \n-5\n");
  EXPECT_EQ(t.Width, 400);
  EXPECT_EQ(t.Height, -5);
  // Only exactly three lines carry sizes.
  EXPECT_FALSE(ParsePageText("a.html\n400").Width);
  EXPECT_FALSE(ParsePageText("a.html\n400\n300\n200").Width);
  EXPECT_FALSE(ParsePageText("a.html\nx\ny\nz").Width);
  EXPECT_EQ(ParsePageText("").Name, "");
  // A number too long for any integer is still a number.
  EXPECT_EQ(ParsePageText("a\n99999999999999999999999\n1").Width, 2147483647);
}

TEST(PageText, SizesThatAreNotNumbersStopWithAMessage) {
  for (const char* text : {"a.html\nwide\n300", "a.html\n400\n3OO", "a.html\n\n300",
                           "a.html\n4 00\n300", "a.html\n0x10\n300", "a.html\n-\n300"}) {
    EXPECT_THROW(ParsePageText(text), EPageTextError) << text;
  }
  try {
    ParsePageText("menu.html\n400\nhigh");
    FAIL();
  } catch (const EPageTextError& e) {
    EXPECT_NE(std::string(e.what()).find("\"high\""), std::string::npos);
    EXPECT_NE(std::string(e.what()).find("menu.html"), std::string::npos);
  }
}

TEST(PageText, WindowSizesStaySane) {
  const TPageSize screen{1280, 1024};
  EXPECT_EQ(SanePageSize(400, 300, screen), (TPageSize{400, 300}));
  EXPECT_EQ(SanePageSize(0, 0, screen), (TPageSize{kDefaultPageWidth, kDefaultPageHeight}));
  EXPECT_EQ(SanePageSize(-20, 100000, screen), (TPageSize{kDefaultPageWidth, 1024}));
  EXPECT_EQ(SanePageSize(100000, 1, screen), (TPageSize{1280, kMinPageHeight}));
  // A screen smaller than the smallest window still bounds it.
  EXPECT_EQ(SanePageSize(50, 50, TPageSize{160, 100}), (TPageSize{160, 100}));
}

TEST(PageText, WindowGrowsToTheDocumentWithinTheScreen) {
  const TPageSize screen{1280, 1024};
  // A small document: the window keeps its size, both bars go.
  TPageFit fit = FitPageWindow({600, 400}, {300, 200}, {600, 400}, screen);
  EXPECT_EQ(fit.Window, (TPageSize{600, 400}));
  EXPECT_TRUE(fit.HideHorizontalBar);
  EXPECT_TRUE(fit.HideVerticalBar);
  // Wider than the window: it takes the document's width; exactly as tall
  // as the client keeps the vertical bar.
  fit = FitPageWindow({600, 400}, {800, 400}, {600, 400}, screen);
  EXPECT_EQ(fit.Window, (TPageSize{800, 400}));
  EXPECT_FALSE(fit.HideHorizontalBar);
  EXPECT_FALSE(fit.HideVerticalBar);
  // As large as the screen or larger: the screen's size.
  fit = FitPageWindow({600, 400}, {1280, 5000}, {600, 400}, screen);
  EXPECT_EQ(fit.Window, (TPageSize{1280, 1024}));
}

class PageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() /
           ("duduri-pages-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
            "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    base = root / "game";
    fs::create_directories(base / "sub");
    fs::create_directories(root / "outside");
    write(base / "intro.html", "<html></html>");
    write(base / "sub" / "pic.png", "png");
    write(root / "outside" / "secret.html", "secret");
    write(root / "game2" / "x.html", "next door");
    fs::create_symlink(root / "outside" / "secret.html", base / "link.html");
  }
  void TearDown() override { fs::remove_all(root); }

  static void write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  static TPageAddress file(const fs::path& p) { return {"file", p, "file://" + p.string()}; }

  fs::path root;
  fs::path base;
};

TEST_F(PageFiles, BaseDirectoryFollowsWhereTheProjectCameFrom) {
  const fs::path exeDir = "/opt/game";
  EXPECT_EQ(HtmlBaseDirectory(true, exeDir, {"/x/p.pzp", "a", "/y/pages/"}), exeDir);
  EXPECT_EQ(HtmlBaseDirectory(false, exeDir, {"/x/p.pzp", "a", "/y/pages/"}), "/y/pages/");
  EXPECT_EQ(HtmlBaseDirectory(false, exeDir, {"/x/p.pzp", "a", "/y/pages"}), "/y/");
  EXPECT_EQ(HtmlBaseDirectory(false, exeDir, {"/x/p.pzp"}), "/x/");
  EXPECT_EQ(HtmlBaseDirectory(false, exeDir, {"/x/p.pzp", "-T"}), "/x/");
  // A project file named without a folder: the current one.
  EXPECT_EQ(HtmlBaseDirectory(false, exeDir, {"p.pzp"}),
            (fs::current_path() / "").lexically_normal());
}

TEST_F(PageFiles, NamesAreAppendedToTheBaseAsText) {
  EXPECT_EQ(ResolvePageName("/g", "intro.html"), fs::path("/g/intro.html"));
  EXPECT_EQ(ResolvePageName("/g/", "sub\\a.html"), fs::path("/g/sub/a.html"));
  EXPECT_EQ(ResolvePageName("/g", "/etc/passwd"), fs::path("/g//etc/passwd"));
  EXPECT_EQ(ResolvePageName("/g", "C:\\pages\\a.html"), fs::path("C:\\pages\\a.html"));
}

TEST_F(PageFiles, OnlyFilesInsideTheBaseLoad) {
  const TPageGuard guard(base);
  EXPECT_EQ(guard.CheckDocument(file(base / "intro.html")), TPageVerdict::pvAllowed);
  EXPECT_EQ(guard.CheckDocument(file(ResolvePageName(base, "sub/../intro.html"))),
            TPageVerdict::pvAllowed);
  EXPECT_EQ(guard.CheckDocument({"about", {}, "about:blank"}), TPageVerdict::pvAllowed);
  const fs::path refused[] = {
      base / "missing.html",
      ResolvePageName(base, "../outside/secret.html"),
      ResolvePageName(base, "/../../outside/secret.html"),
      root / "outside" / "secret.html",
      root / "game2" / "x.html",  // a folder whose name begins like the base's
      base / "link.html",         // a link inside that leads outside
      base / "sub",               // a folder
      base,
  };
  for (const fs::path& p : refused) {
    EXPECT_EQ(guard.CheckDocument(file(p)), TPageVerdict::pvNotFound) << p;
    EXPECT_FALSE(guard.MayRequest(file(p))) << p;
  }
  EXPECT_TRUE(guard.MayRequest(file(base / "sub" / "pic.png")));
  EXPECT_TRUE(guard.MayRequest({"data", {}, "data:image/png;base64,AAAA"}));
  for (const char* scheme : {"http", "https", "ws", "ftp", "blob", "about"}) {
    const TPageAddress a{scheme, base / "intro.html", std::string(scheme) + "://127.0.0.1/"};
    EXPECT_FALSE(guard.MayRequest(a)) << scheme;
    EXPECT_EQ(guard.CheckDocument(a), TPageVerdict::pvNotFound) << scheme;
  }
  // A document the page window did not write itself is no page.
  EXPECT_EQ(guard.CheckDocument({"data", {}, "data:text/html,<b>x</b>"}), TPageVerdict::pvNotFound);
  // No base: nothing loads.
  EXPECT_FALSE(TPageGuard(fs::path()).MayRequest(file(base / "intro.html")));
}

TEST_F(PageFiles, HugePagesAreRefused) {
  const fs::path big = base / "big.html";
  std::ofstream(big, std::ios::binary).close();
  fs::resize_file(big, kMaxPageBytes + 1);
  const TPageGuard guard(base);
  EXPECT_EQ(guard.CheckDocument(file(big)), TPageVerdict::pvTooLarge);
  fs::resize_file(big, kMaxPageBytes);
  EXPECT_EQ(guard.CheckDocument(file(big)), TPageVerdict::pvAllowed);
}

TEST(PageDocuments, ErrorLoadingShowsTheAddressAsText) {
  EXPECT_EQ(ErrorLoadingDocument("/g/missing.html"),
            "<html><head><title>Error Loading</title></head><body>URL:<b>/g/missing.html</b> "
            "cannot be found.</body></html>");
  const std::string hostile = ErrorLoadingDocument("/g/<img src=http://x/>&\"'.html");
  EXPECT_EQ(hostile.find("<img"), std::string::npos);
  EXPECT_NE(hostile.find("&lt;img src=http://x/&gt;&amp;&quot;&#39;.html"), std::string::npos);
  EXPECT_NE(ErrorLoadingDocument("/g/big.html", TPageVerdict::pvTooLarge).find(kTooLargeToShow),
            std::string::npos);
  EXPECT_LT(ErrorLoadingDocument(std::string(1 << 20, 'x')).size(), 1200u);
}

TEST(PageDocuments, HighScorePlacesWithEmptyOnesAsOneSpace) {
  THighScore scores;
  scores.Add({"Ann", 3725, kScoreNormal});
  scores.Add({"", 4000, kScoreNormal});
  scores.Add({"Bob", 12, kScoreEasy});
  const auto subs = HighScoreSubstitutions(scores, kScoreNormal);
  ASSERT_EQ(subs.size(), 20u);
  EXPECT_EQ(subs[0], (TPageSubstitution{"HIGHSCORE_NAME_0", "Ann"}));
  EXPECT_EQ(subs[1], (TPageSubstitution{"HIGHSCORE_TIME_0", "01:02:05"}));
  EXPECT_EQ(subs[2], (TPageSubstitution{"HIGHSCORE_NAME_1", " "}));
  EXPECT_EQ(subs[3], (TPageSubstitution{"HIGHSCORE_TIME_1", "01:06:40"}));
  EXPECT_EQ(subs[4], (TPageSubstitution{"HIGHSCORE_NAME_2", " "}));
  EXPECT_EQ(subs[5], (TPageSubstitution{"HIGHSCORE_TIME_2", " "}));
  EXPECT_EQ(subs[19], (TPageSubstitution{"HIGHSCORE_TIME_9", " "}));
  // A level that has no table gives empty places, not a failure.
  EXPECT_EQ(HighScoreSubstitutions(scores, 5)[0].second, " ");
}

}  // namespace
}  // namespace duduri::test
