// Opening pages from the game flow (command 13) and the high-score entry
// page of the win flow, with a page seam that records what it is asked and
// clicks in the page as the page window would.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "ShellTestKit.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "shell/Commands.h"
#include "shell/PageWords.h"

namespace duduri::test {
namespace {

// A page seam on fakes. A modal page "runs" for the length of `onShow` and
// then ends, with OK when a command closed it.
class TRecordingPages : public TPageSeam {
 public:
  bool PageVisible() const override { return visible; }
  void HidePage() override {
    ++hides;
    visible = false;
  }
  void ClosePageOk() override {
    ++closeOkCalls;
    if (modal && visible) {
      visible = false;
      closedOk = true;
    }
  }
  TModalResult ShowPage(const TPageRequest& request) override {
    requests.push_back(request);
    visible = true;
    modal = request.Mode == TPageMode::pmModal;
    closedOk = false;
    if (onShow) onShow(request);
    if (!modal) return TModalResult::mrNone;
    const bool ok = closedOk;
    visible = modal = closedOk = false;
    return ok ? TModalResult::mrOk : TModalResult::mrCancel;
  }
  std::optional<std::string> ShowEntryPage(const TPageRequest& request) override {
    entryRequests.push_back(request);
    return entryName;
  }

  // A click on a link to `word`, as the page window hands it on.
  void Click(const std::string& word) {
    TScriptItem item;
    PageWordCommand(word, "file:///g/" + word, "", item);
    if (item.Code == kPageCloseCode) {
      visible = false;
      return;
    }
    item.Run();
  }

  std::function<void(const TPageRequest&)> onShow;
  std::optional<std::string> entryName;
  std::vector<TPageRequest> requests;
  std::vector<TPageRequest> entryRequests;
  bool visible = false;
  bool modal = false;
  bool closedOk = false;
  int hides = 0;
  int closeOkCalls = 0;
};


struct TPageRig {
  explicit TPageRig(TBytes package, std::vector<std::string> args = {})
      : rig(std::move(package), std::move(args)) {
    rig.seams.SetPages(&pages);
  }
  void Open(const std::string& text) {
    rig.flow->ActionDispatch(nullptr, ccHtmlPage, TextParameter(text));
  }
  bool Running() { return rig.flow->Board() && !rig.flow->Board()->GamePaused(); }

  TRecordingPages pages;
  TFlowRig rig;
};

TEST(PageFlow, ModelessPageLeavesTheGameRunning) {
  TPageRig t(MakeTestPackage({.Pictures = 1}));
  t.rig.Create();
  ASSERT_TRUE(t.Running());
  bool pausedWhileOpening = false;
  t.pages.onShow = [&](const TPageRequest&) { pausedWhileOpening = !t.Running(); };
  t.Open("intro.html");
  ASSERT_EQ(t.pages.requests.size(), 1u);
  const TPageRequest& r = t.pages.requests[0];
  EXPECT_EQ(r.Mode, TPageMode::pmModeless);
  EXPECT_EQ(r.BaseDirectory, t.rig.folder);  // the project came from the executable
  EXPECT_EQ(r.Page, t.rig.folder / "intro.html");
  EXPECT_FALSE(r.HasSize);
  EXPECT_EQ(r.HighScore, &t.rig.flow->HighScores());
  EXPECT_EQ(r.Level, t.rig.flow->ScoreLevel());
  EXPECT_GE(t.pages.hides, 1);
  EXPECT_TRUE(pausedWhileOpening);
  EXPECT_TRUE(t.Running());
  EXPECT_TRUE(t.pages.visible);

  // A command from the modeless page does not close it; "ACT_CLOSE" does,
  // and the game goes on.
  TSpriteDraw* board = t.rig.flow->Board();
  t.pages.Click("ACT_NONE");
  EXPECT_TRUE(t.pages.visible);
  t.pages.Click("ACT_CLOSE");
  EXPECT_FALSE(t.pages.visible);
  EXPECT_EQ(t.rig.flow->Board(), board);
  EXPECT_TRUE(t.Running());
  // A new game from a modeless page hides it.
  t.Open("intro.html");
  t.pages.Click("ACT_NEW_GAME");
  EXPECT_FALSE(t.pages.visible);
  EXPECT_EQ(t.rig.flow->GamesBuilt(), 2);
}

TEST(PageFlow, StartScriptPagesAreModalAndCommandsCloseThem) {
  const TBytes package = EditedPackage({.Pictures = 1}, [](TJigsawProject2& p) {
    p.StartScript.AddScriptItem().Code = ccHtmlPage;
    p.StartScript.ScriptItem(0).AddTextParameter("intro.html\n400\n300");
  });
  {
    // "ACT_NEW_GAME" starts a game and closes the page.
    TPageRig t(package);
    bool wasRunning = true;
    t.pages.onShow = [&](const TPageRequest& r) {
      EXPECT_EQ(r.Mode, TPageMode::pmModal);
      EXPECT_TRUE(r.HasSize);
      EXPECT_EQ(r.Width, 400);
      EXPECT_EQ(r.Height, 300);
      wasRunning = t.Running();
      t.pages.Click("ACT_NEW_GAME");
    };
    t.rig.Create();
    ASSERT_EQ(t.pages.requests.size(), 1u);
    EXPECT_FALSE(wasRunning);
    EXPECT_EQ(t.rig.flow->GamesBuilt(), 2);
    EXPECT_FALSE(t.pages.visible);
    EXPECT_TRUE(t.Running());
    EXPECT_TRUE(t.rig.view.visible);
  }
  {
    // Closed with "ACT_CLOSE": the game that waited goes on.
    TPageRig t(package);
    t.pages.onShow = [&](const TPageRequest&) { t.pages.Click("ACT_CLOSE"); };
    t.rig.Create();
    EXPECT_EQ(t.rig.flow->GamesBuilt(), 1);
    EXPECT_TRUE(t.Running());
  }
  {
    // Closed by a command that keeps the game (the about box): the game
    // goes on as well, rather than staying paused behind the closed page.
    TPageRig t(package);
    t.pages.onShow = [&](const TPageRequest&) { t.pages.Click("ACT_ABOUT_DLG"); };
    t.rig.Create();
    EXPECT_EQ(t.rig.services.abouts.size(), 1u);
    EXPECT_GE(t.pages.closeOkCalls, 1);
    EXPECT_FALSE(t.pages.visible);
    EXPECT_EQ(t.rig.flow->GamesBuilt(), 1);
    EXPECT_TRUE(t.Running());
  }
}

TEST(PageFlow, ParametersThatNameNoPageDoNothing) {
  TPageRig t(MakeTestPackage({.Pictures = 1}));
  t.rig.Create();
  TScriptItem two;
  two.AddTextParameter("a.html");
  two.AddTextParameter("b.html");
  TScriptItem number;
  const std::byte three[4] = {std::byte{3}, {}, {}, {}};
  number.Parameter.Add(kParamInteger, three);
  for (const TScriptParameter& p : {TScriptParameter{}, two.Parameter, number.Parameter}) {
    t.rig.flow->ActionDispatch(nullptr, ccHtmlPage, p);
  }
  EXPECT_TRUE(t.pages.requests.empty());
  EXPECT_TRUE(t.Running());

  // Sizes that are not numbers stop the command with a message and leave
  // the game as it was.
  t.Open("menu.html\n400\nhigh");
  EXPECT_TRUE(t.pages.requests.empty());
  ASSERT_EQ(t.rig.services.messages.size(), 1u);
  EXPECT_NE(t.rig.services.messages[0].find("high"), std::string::npos);
  EXPECT_TRUE(t.Running());

  // Sizes out of bounds are passed on for the window to bound.
  t.Open("menu.html\n0\n100000");
  ASSERT_EQ(t.pages.requests.size(), 1u);
  EXPECT_EQ(t.pages.requests[0].Width, 0);
  EXPECT_EQ(t.pages.requests[0].Height, 100000);
}

TEST(PageFlow, PagesOfAProjectFileAreRelativeToItOrToTheThirdParameter) {
  TFlowRig files(TBytes{});
  const auto project = files.folder / "game.pzp";
  {
    const TBytes bytes = MakeTestPackage({.Pictures = 1});
    std::ofstream(project, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  {
    TPageRig t(TBytes{}, {project.string()});
    t.rig.Create();
    t.Open("sub\\intro.html");
    ASSERT_EQ(t.pages.requests.size(), 1u);
    EXPECT_EQ(t.pages.requests[0].Page, files.folder / "sub/intro.html");
  }
  {
    TPageRig t(TBytes{}, {project.string(), "x", "/srv/pages/"});
    t.rig.Create();
    t.Open("intro.html");
    ASSERT_EQ(t.pages.requests.size(), 1u);
    EXPECT_EQ(t.pages.requests[0].BaseDirectory, std::filesystem::path("/srv/pages/"));
    EXPECT_EQ(t.pages.requests[0].Page, std::filesystem::path("/srv/pages/intro.html"));
  }
}

TEST(PageFlow, EntryPageGivesTheNameOrNoEntry) {
  const TBytes package = EditedPackage({.Pictures = 1}, [](TJigsawProject2& p) {
    p.HighscoreOptions.EntryPage = 1;
    p.HighscoreOptions.PageText = "entry.html";
    p.HighscoreOptions.Value1 = 420;
    p.HighscoreOptions.Value2 = 280;
  });
  {
    TPageRig t(package);
    t.pages.entryName = "Zoe";
    t.rig.Create();
    t.rig.SolveByDrags();
    ASSERT_EQ(t.pages.entryRequests.size(), 1u);
    const TPageRequest& r = t.pages.entryRequests[0];
    EXPECT_EQ(r.Page, t.rig.folder / "entry.html");
    EXPECT_EQ(r.Width, 420);
    EXPECT_EQ(r.Height, 280);
    EXPECT_EQ(t.rig.services.nameEntries, 0);
    ASSERT_EQ(t.rig.flow->HighScores().Count(kScoreVeryEasy), 1);
    EXPECT_EQ(t.rig.flow->HighScores().EntryAt(kScoreVeryEasy, 0).Name, "Zoe");
  }
  {
    // Closed without the form: no entry, and no name dialog instead.
    TPageRig t(package);
    t.rig.Create();
    t.rig.SolveByDrags();
    EXPECT_EQ(t.pages.entryRequests.size(), 1u);
    EXPECT_EQ(t.rig.services.nameEntries, 0);
    EXPECT_EQ(t.rig.flow->HighScores().Count(kScoreVeryEasy), 0);
    EXPECT_EQ(t.rig.services.results.size(), 1u);  // the win itself still shows
  }
}

}  // namespace
}  // namespace duduri::test
