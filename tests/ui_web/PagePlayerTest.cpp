// Pages in the player: the real main window and game flow with the player's
// page seam, pages opened by command 13 and by the start script, and a game
// won by mouse drags whose best time is entered on the project's entry page.

#include <QApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>
#include <fstream>

#include "PageFixtures.h"
#include "PageTestKit.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "qtmain/PlayerEnvironment.h"
#include "qtmain/QtTestRegistry.h"
#include "shell/Commands.h"
#include "support/DragSolver.h"
#include "shell/TestProject.h"
#include "shell/ui/HtmlPageWindow.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PageModule.h"
#include "shell/ui/PlayArea.h"
#include "shell/ui/QtPageSeam.h"

using namespace duduri;
using namespace duduri::test;

namespace {

// Mouse presses, moves and releases sent to the play area.
class TAreaPointer : public IPointer {
 public:
  explicit TAreaPointer(TfrmMain& window) : window_(window) {}
  TBoardPoint Press(int x, int y, TMouseButton button) override {
    TBoardPoint hit{-1, -1};
    if (TSpriteDraw* b = window_.Flow().Board()) {
      const TBoardPoint at = b->ViewToTable(x, y);
      b->HitTest(at.X, at.Y, hit.X, hit.Y);
    }
    held_ = qt(button);
    send(QEvent::MouseButtonPress, x, y, qt(button), held_);
    return hit;
  }
  void Move(int x, int y) override {
    send(QEvent::MouseMove, x, y, Qt::NoButton, held_);
    QCoreApplication::processEvents();
  }
  void Release(int x, int y, TMouseButton button) override {
    held_ = Qt::NoButton;
    send(QEvent::MouseButtonRelease, x, y, qt(button), Qt::NoButton);
  }

 private:
  static Qt::MouseButton qt(TMouseButton b) {
    return b == mbRight ? Qt::RightButton : Qt::LeftButton;
  }
  void send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QWidget& area = window_.PlayAreaWidget();
    const QPointF at(x, y);
    QMouseEvent e(type, at, area.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&area, &e);
  }
  TfrmMain& window_;
  Qt::MouseButtons held_ = Qt::NoButton;
};

// The page window shown now (modal or not), once its document is set up.
TfrmHTML* shownPage() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* page = qobject_cast<TfrmHTML*>(w);
    if (page && page->isVisible() && page->CompletedCount() > 0) return page;
  }
  return nullptr;
}

// Acts once on the first page window that shows, from the event loop (the
// window may be running modally inside a call of the test).
class TPageDriver : public QObject {
 public:
  explicit TPageDriver(std::function<void(TfrmHTML&)> act) : act_(std::move(act)) {
    timer_.setInterval(20);
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (done_) return;
      if (TfrmHTML* page = shownPage()) {
        done_ = true;
        act_(*page);
      }
    });
    timer_.start();
  }
  bool Done() const { return done_; }

 private:
  std::function<void(TfrmHTML&)> act_;
  QTimer timer_;
  bool done_ = false;
};

}  // namespace

class PagePlayerTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  TShellEnvironment environment(const QString& project) {
    return test::PlayerEnvironment(dir_.path(), {project});
  }

  // A one-picture project file in the test folder, beside its pages.
  QString project(const QString& name, const std::function<void(TJigsawProject2&)>& edit) {
    TJigsawProject2 p;
    p.LoadFromStream(MakeTestPackage({.Pictures = 1, .Choice = kChoicePlayer}));
    p.MasterTemplateSet = MasterTemplates();
    edit(p);
    const TBytes bytes = p.SaveToBytes();
    const QString path = dir_.filePath(name);
    std::ofstream(path.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
  }

  void page(const QString& name, const char* text) {
    QFile f(dir_.filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
  }

  static bool running(TfrmMain& window) {
    TSpriteDraw* b = window.Flow().Board();
    return b && !b->GamePaused();
  }

 private slots:
  // The first slot of the first class (classes run in name order): nothing
  // in this process has opened a page yet.
  void aProjectWithoutPagesNeverLoadsTheBrowser() {
    TfrmMain window(environment(project("plain.pzp", [](TJigsawProject2&) {})),
                    std::make_unique<TQuietServices>());
    window.show();
    QVERIFY(window.Flow().Board());
    Settle(100);
    QVERIFY(!window.Pages().Window());
    QVERIFY(!PageModuleLoaded());
  }

  void closeInAModelessPageLeavesTheGameRunning() {
    page("menu.html", kPlayerMenuPage);
    TfrmMain window(environment(project("menu.pzp", [](TJigsawProject2&) {})),
                    std::make_unique<TQuietServices>());
    QVERIFY(!window.Terminated());
    window.show();
    TSpriteDraw* board = window.Flow().Board();
    TScriptItem open;
    open.AddTextParameter("menu.html");
    window.Flow().ActionDispatch(nullptr, ccHtmlPage, open.Parameter);
    QVERIFY(WaitFor([] { return shownPage() != nullptr; }));
    TfrmHTML& menu = *shownPage();
    QVERIFY(!menu.ShownModally());
    QCOMPARE(menu.windowTitle(), QString("Game menu"));
    QVERIFY(running(window));  // the game goes on behind a modeless page
    QVERIFY(ClickOn(menu, "#close"));
    QVERIFY(WaitFor([&] { return !menu.isVisible(); }));
    QCOMPARE(window.Flow().Board(), board);
    QVERIFY(running(window));

    // The same window serves the next page; a new game from it hides it.
    window.Flow().ActionDispatch(nullptr, ccHtmlPage, open.Parameter);
    QVERIFY(WaitFor([&] { return menu.isVisible() && menu.CompletedCount() >= 2; }));
    QCOMPARE(window.Pages().Window(), &menu);
    QVERIFY(ClickOn(menu, "#new"));
    QVERIFY(WaitFor([&] { return window.Flow().GamesBuilt() == 2; }));
    QVERIFY(!menu.isVisible());
    QVERIFY(running(window));
  }

  void playWordsPlayThatPictureOfThePlayList() {
    page("pictures.html", kPlayerPicturesPage);
    TJigsawProject2 p;
    p.LoadFromStream(MakeTestPackage({.Pictures = 4, .Choice = kChoiceSequence}));
    p.MasterTemplateSet = MasterTemplates();
    const TBytes bytes = p.SaveToBytes();
    const QString file = dir_.filePath("pictures.pzp");
    std::ofstream(file.toStdString(), std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    TfrmMain window(environment(file), std::make_unique<TQuietServices>());
    window.show();
    TGameFlow& flow = window.Flow();
    QCOMPARE(flow.PlayPosition(), 0);
    TScriptItem open;
    open.AddTextParameter("pictures.html");
    flow.ActionDispatch(nullptr, ccHtmlPage, open.Parameter);
    QVERIFY(WaitFor([] { return shownPage() != nullptr; }));
    TfrmHTML& pictures = *shownPage();
    QVERIFY(ClickOn(pictures, "#playx"));
    Settle(200);
    QCOMPARE(flow.PlayPosition(), 0);
    QCOMPARE(flow.GamesBuilt(), 1);
    QVERIFY(ClickOn(pictures, "#play3"));
    QVERIFY(WaitFor([&] { return flow.GamesBuilt() == 2; }));
    QCOMPARE(flow.PlayPosition(), 3);
    QCOMPARE(flow.CurrentPictureId(), flow.PlayList()[3]->ID);
    QVERIFY(!pictures.isVisible());
  }

  void newGameInTheStartScriptPageStartsAGameAndClosesIt() {
    page("intro.html", kPlayerIntroPage);
    const QString file = project("intro.pzp", [](TJigsawProject2& p) {
      TScriptItem& item = p.StartScript.AddScriptItem();
      item.Code = ccHtmlPage;
      item.AddTextParameter("intro.html\r\n400\r\n300");
    });
    QSize shownAt;
    bool modal = false;
    TPageDriver driver([&](TfrmHTML& intro) {
      shownAt = intro.size();
      modal = intro.ShownModally();
      ClickOn(intro, "#new");
    });
    // The start script runs inside the window's creation, the page with it.
    TfrmMain window(environment(file), std::make_unique<TQuietServices>());
    QVERIFY(driver.Done());
    QVERIFY(modal);
    QCOMPARE(shownAt, QSize(400, 300));
    QVERIFY(!window.Terminated());
    QCOMPARE(window.Flow().GamesBuilt(), 2);
    QVERIFY(!window.Pages().PageVisible());
    QVERIFY(window.isVisible());
    QVERIFY(running(window));
  }

  void aBestTimeIsEnteredOnTheEntryPage() {
    page("entry.html", kPlayerEntryPage);
    const QString file = project("entry.pzp", [](TJigsawProject2& p) {
      p.HighscoreOptions.EntryPage = 1;
      p.HighscoreOptions.PageText = "entry.html";
      p.HighscoreOptions.Value1 = 360;
      p.HighscoreOptions.Value2 = 220;
    });
    auto services = std::make_unique<TQuietServices>();
    TQuietServices& dialogs = *services;
    TfrmMain window(environment(file), std::move(services));
    window.show();
    QSize shownAt;
    TPageDriver driver([&](TfrmHTML& entry) {
      shownAt = entry.size();
      ClickOn(entry, "#name");
      QWidget* keys = ViewOf(entry)->focusProxy();
      for (const QChar c : QString("Ann")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(keys, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(keys, &release);
      }
      WaitFor([&] { return Evaluate(entry, "document.getElementById('name').value") == "Ann"; });
      // Enter in the field sends the form, as the button would.
      QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
      QApplication::sendEvent(keys, &enter);
    });
    TAreaPointer pointer(window);
    TDragSolver solver([&] { return window.Flow().Board(); }, pointer);
    const int total = window.Flow().Board()->PiecesTotal();
    QCOMPARE(solver.Solve(), total);
    QVERIFY(driver.Done());
    QCOMPARE(shownAt, QSize(360, 220));
    QCOMPARE(dialogs.NameEntries, 0);
    QCOMPARE(window.Flow().HighScores().Count(kScoreVeryEasy), 1);
    QCOMPARE(QString::fromStdString(window.Flow().HighScores().EntryAt(kScoreVeryEasy, 0).Name),
             QString("Ann"));
    QCOMPARE(dialogs.Results.size(), std::size_t(1));
  }
};

DUDURI_QT_TEST(PagePlayerTest)
#include "PagePlayerTest.moc"
