// The page window on a real browser (offscreen): what clicks become, the
// error page, the window's size, high-score places, and that no page ever
// reaches the network or a file outside its base directory.

#include <QGuiApplication>
#include <QScreen>
#include <QTcpServer>
#include <QTcpSocket>
#include <QWebEngineView>
#include <QtTest>
#include <memory>

#include "PageFixtures.h"
#include "PageTestKit.h"
#include "project/HighScore.h"
#include "qtmain/QtTestRegistry.h"
#include "shell/Commands.h"
#include "shell/PageText.h"
#include "shell/ui/HtmlPageWindow.h"
#include "shell/ui/QtPageSeam.h"

using namespace duduri;
using namespace duduri::test;

namespace {

// A page window that also notes what its browser asked to load and go to.
class TWatchedWindow : public TfrmHTML {
 public:
  bool AllowNavigation(const QUrl& url, bool mainFrame) override {
    const bool allowed = TfrmHTML::AllowNavigation(url, mainFrame);
    (allowed ? Navigated : Refused) << url.toString();
    return allowed;
  }
  bool AllowRequest(const QUrl& url) override {
    const bool allowed = TfrmHTML::AllowRequest(url);
    (allowed ? Requested : Refused) << url.toString();
    return allowed;
  }
  QStringList Navigated, Requested, Refused;
};

TPageRequest requestFor(const TPageFolder& folder, const QString& page) {
  TPageRequest r;
  r.BaseDirectory = folder.Base().toStdString();
  r.Page = (folder.Base() + "/" + page).toStdString();
  return r;
}

bool openAndWait(TfrmHTML& window, const TPageRequest& request) {
  const int before = window.CompletedCount();
  window.Open(request);
  window.ShowModeless();
  return WaitCompleted(window, before + 1);
}

// A server on 127.0.0.1 that counts whoever connects to it.
class TWatchingServer {
 public:
  TWatchingServer() {
    server_.listen(QHostAddress::LocalHost, 0);
    QObject::connect(&server_, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* s = server_.nextPendingConnection()) {
        ++Connections;
        s->close();
      }
    });
  }
  QString Url(const QString& path) const {
    return QString("http://127.0.0.1:%1/%2").arg(server_.serverPort()).arg(path);
  }
  QString Host() const { return QString("127.0.0.1:%1").arg(server_.serverPort()); }
  int Connections = 0;

 private:
  QTcpServer server_;
};

}  // namespace

class PageWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void clicksBecomeCommands() {
    TPageFolder folder;
    folder.WritePicture(folder.Base() + "/pic.png");
    folder.Write("menu.html", kMenuPage);
    TCommandRecorder recorder;
    TfrmHTML window;
    QVERIFY2(window.Browser(), qPrintable(window.LoadError()));
    QVERIFY(openAndWait(window, requestFor(folder, "menu.html")));
    QCOMPARE(window.windowTitle(), QString("Menu"));

    auto clickAndTake = [&](const QString& selector) -> std::optional<TRecordedCommand> {
      const std::size_t before = recorder.Commands.size();
      if (!ClickOn(window, selector)) return std::nullopt;
      if (!WaitFor([&] { return recorder.Commands.size() > before; }, 5000)) return std::nullopt;
      return recorder.Commands.back();
    };
    std::optional<TRecordedCommand> c = clickAndTake("#play3");
    QVERIFY(c);
    QCOMPARE(c->Code, ccPlayPicture);
    QCOMPARE(int(c->Parameter.Count()), 1);
    QCOMPARE(IntegerOf(c->Parameter.Get(0)), 3);
    c = clickAndTake("#playx");
    QVERIFY(c);
    QCOMPARE(c->Code, 0);
    QCOMPARE(int(c->Parameter.Count()), 0);
    c = clickAndTake("#bold");  // inside a link: the link
    QVERIFY(c);
    QCOMPARE(c->Code, ccNewGame);
    c = clickAndTake("#inlink");
    QVERIFY(c);
    QCOMPARE(c->Code, ccOpenGame);
    c = clickAndTake("#exec");
    QVERIFY(c);
    QCOMPARE(c->Code, ccOpenDocument);
    QCOMPARE(QString::fromStdString(c->Parameter.Text(0)), QString("readme.txt"));
    c = clickAndTake("#web");
    QVERIFY(c);
    QCOMPARE(c->Code, ccRunHidden);
    QCOMPARE(QString::fromStdString(c->Parameter.Text(0)), QString("https://example.org/games"));
    c = clickAndTake("#about");
    QVERIFY(c);
    QCOMPARE(c->Code, ccAbout);
    QCOMPARE(window.LastScriptID, ccAbout);

    // Text, a picture outside a link and an input without an entry form do
    // nothing at all.
    const std::size_t before = recorder.Commands.size();
    QVERIFY(ClickOn(window, "#text"));
    QVERIFY(ClickOn(window, "#alone"));
    QVERIFY(ClickOn(window, "#plain"));
    Settle(300);
    QCOMPARE(recorder.Commands.size(), before);
    // No link navigated by itself: the menu is still the document.
    QCOMPARE(window.CompletedCount(), 1);
    QCOMPARE(ViewOf(window)->url(), QUrl::fromLocalFile(folder.Base() + "/menu.html"));
  }

  void closeHidesTheWindowWithoutACommand() {
    TPageFolder folder;
    folder.Write("p.html", "<title>P</title><a id='close' href='ACT_CLOSE'>Close</a>");
    TCommandRecorder recorder;
    TfrmHTML window;
    QVERIFY(openAndWait(window, requestFor(folder, "p.html")));
    QVERIFY(ClickOn(window, "#close"));
    QVERIFY(WaitFor([&] { return !window.isVisible(); }));
    QVERIFY(recorder.Commands.empty());
    QCOMPARE(window.LastScriptID, -1);
  }

  void missingOrForbiddenPagesShowErrorLoading() {
    TPageFolder folder;
    folder.WriteOutside("secret.html", "<title>Secret</title>secret");
    folder.Write("broken.html", "<title>Broken</title><body><table><tr><td>cell<p><b>open");
    QFile big(folder.Base() + "/big.html");
    QVERIFY(big.open(QIODevice::WriteOnly));
    QVERIFY(big.resize(50 << 20));
    big.close();
    TfrmHTML window;
    int done = 0;
    auto expectError = [&](const QString& page, const QString& shown, const char* why) {
      TPageRequest r = requestFor(folder, page);
      if (page.contains(":\\")) r.Page = page.toStdString();
      window.Open(r);
      window.ShowModeless();
      // The refused navigation and then the error document.
      if (!WaitFor([&] { return window.CompletedCount() > done; })) return false;
      done = window.CompletedCount();
      const QString body = Evaluate(window, "document.body.innerHTML").toString();
      const QString expected = "URL:<b>" + shown + "</b>" + why;
      if (window.windowTitle() != "Error Loading" || body != expected) {
        qWarning() << window.windowTitle() << body << expected;
        return false;
      }
      return true;
    };
    QVERIFY(expectError("missing.html", folder.Base() + "/missing.html", " cannot be found."));
    QVERIFY(expectError("../outside/secret.html", folder.Outside() + "/secret.html",
                        " cannot be found."));
    QVERIFY(expectError("/../../outside/secret.html", folder.Outside() + "/secret.html",
                        " cannot be found."));
    QVERIFY(expectError("big.html", folder.Base() + "/big.html",
                        " is larger than 4 MB and is not shown."));
    QVERIFY(expectError("C:\\games\\intro.html", "C:\\games\\intro.html", " cannot be found."));
    // An address with markup in it shows as text.
    QVERIFY(expectError("<i>x</i>.html", folder.Base() + "/&lt;i&gt;x&lt;/i&gt;.html",
                        " cannot be found."));
    // Broken markup is still a page.
    window.Open(requestFor(folder, "broken.html"));
    QVERIFY(WaitCompleted(window, done + 1));
    QCOMPARE(window.windowTitle(), QString("Broken"));
  }

  void windowSizeFromTheTextAndTheDocument() {
    TPageFolder folder;
    folder.Write("small.html", "<title>Small</title><p>small</p>");
    folder.Write("wide.html",
                 "<title>Wide</title><body style='margin:0'>"
                 "<div style='width:900px;height:50px'></div></body>");
    TfrmHTML window;
    QCOMPARE(window.size(), QSize(600, 400));
    TPageRequest r = requestFor(folder, "small.html");
    r.HasSize = true;
    r.Width = 400;
    r.Height = 300;
    QVERIFY(openAndWait(window, r));
    QCOMPARE(window.size(), QSize(400, 300));
    // Sizes out of all bounds still give a window that fits the screen.
    const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
    r.Width = 0;
    r.Height = 100000;
    QVERIFY(openAndWait(window, r));
    QCOMPARE(window.size(),
             QSize(kDefaultPageWidth,
                   screen.height() - (window.frameGeometry().height() - window.height())));
    // A page without sizes keeps the window's; a wide document widens it.
    r = requestFor(folder, "wide.html");
    r.HasSize = true;
    r.Width = 400;
    r.Height = 300;
    QVERIFY(openAndWait(window, r));
    QCOMPARE(
        window.size(),
        QSize(std::min(900, screen.width() - (window.frameGeometry().width() - window.width())),
              300));
    QVERIFY(QGuiApplication::primaryScreen()->availableGeometry().contains(window.frameGeometry()));
  }

  void highScorePlacesAreFilledIn() {
    TPageFolder folder;
    folder.Write("scores.html", kScoresPage);
    THighScore scores;
    scores.Add({"HIGHSCORE_TIME_1 <b>Ann</b>", 65, kScoreHard});
    scores.Add({"Bob", 10, kScoreEasy});
    TfrmHTML window;
    TPageRequest r = requestFor(folder, "scores.html");
    r.HighScore = &scores;
    r.Level = kScoreHard;
    QVERIFY(openAndWait(window, r));
    // The name is text, and a name that reads like a placeholder stays so.
    QCOMPARE(TextOf(window, "#n0"), QString("HIGHSCORE_TIME_1 <b>Ann</b>"));
    QCOMPARE(TextOf(window, "#t0"), QString("00:01:05"));
    QCOMPARE(TextOf(window, "#n1"), QString(" "));
    QCOMPARE(TextOf(window, "#t1"), QString(" "));
    QCOMPARE(TextOf(window, "#n9"), QString("  and  "));
    QCOMPARE(TextOf(window, "#other"), QString("HIGHSCORE_TIME_1 <b>Ann</b> of the other table"));
    // Without tables the placeholders stay as they are.
    r.HighScore = nullptr;
    QVERIFY(openAndWait(window, r));
    QCOMPARE(TextOf(window, "#n0"), QString("HIGHSCORE_NAME_0"));
  }

  void nothingReachesTheNetwork() {
    TWatchingServer server;
    TPageFolder folder;
    folder.WritePicture(folder.Base() + "/pic.png");
    folder.Write("local.css", "body { color: rgb(1, 2, 3); }");
    const QString u = server.Url("");
    folder.Write("hostile.html", QString(kHostilePage).arg(u, server.Host()).toUtf8());
    TCommandRecorder recorder;
    TWatchedWindow window;
    QVERIFY(openAndWait(window, requestFor(folder, "hostile.html")));
    // The page's own picture and style sheet load: the guard is no blanket.
    QVERIFY(Evaluate(window, "document.getElementById('local').naturalWidth").toInt() > 0);
    QCOMPARE(Evaluate(window, "getComputedStyle(document.body).color").toString(),
             QString("rgb(1, 2, 3)"));
    // A web link reaches the game as a command and the page stays.
    QVERIFY(ClickOn(window, "#web"));
    QVERIFY(WaitFor([&] { return !recorder.Commands.empty(); }));
    QCOMPARE(recorder.Commands.back().Code, ccRunHidden);
    // A form sent to a web address shows the error page instead.
    const int before = window.CompletedCount();
    QVERIFY(ClickOn(window, "#send"));
    QVERIFY(WaitCompleted(window, before + 1));
    QCOMPARE(window.windowTitle(), QString("Error Loading"));
    Settle(500);
    QCOMPARE(server.Connections, 0);
    for (const QString& url : window.Requested + window.Navigated) {
      // (The error page is a document of its own, which names the address.)
      QVERIFY2(url.startsWith("data:") || !url.contains("127.0.0.1"), qPrintable(url));
    }

    // A page that sends itself elsewhere ends on the error page too.
    folder.Write("refresh.html",
                 QString("<meta http-equiv='refresh' content='0; url=%1away'><title>R</title>")
                     .arg(u)
                     .toUtf8());
    window.Open(requestFor(folder, "refresh.html"));
    QVERIFY(WaitFor([&] {
      return window.windowTitle() == "Error Loading" && window.CompletedCount() >= before + 3;
    }));
    Settle(300);
    QCOMPARE(server.Connections, 0);
  }

  void filesOutsideTheBaseDoNotLoad() {
    TPageFolder folder;
    const QString outsidePicture = folder.WritePicture(folder.Outside() + "/pic.png");
    folder.WriteOutside("evil.css", "body { color: rgb(200, 0, 0); }");
    folder.WriteOutside("frame.html", "<title>F</title>outside");
    QFile::link(outsidePicture, folder.Base() + "/link.png");
    folder.Write("page.html", QString(kOutsidePage).arg(outsidePicture).toUtf8());
    TWatchedWindow window;
    QVERIFY(openAndWait(window, requestFor(folder, "page.html")));
    for (const char* id : {"up", "abs", "link", "sys"}) {
      QCOMPARE(
          Evaluate(window, QString("document.getElementById('%1').naturalWidth").arg(id)).toInt(),
          0);
    }
    QVERIFY(Evaluate(window, "getComputedStyle(document.body).color").toString() !=
            "rgb(200, 0, 0)");
    QVERIFY(window.Refused.join(" ").contains("outside/frame.html"));
    for (const QString& url : window.Requested + window.Navigated) {
      QVERIFY2(!url.contains("/outside/") && !url.contains("passwd") && !url.endsWith("link.png"),
               qPrintable(url));
    }
  }

  void entryPageGivesTheNameTyped() {
    TPageFolder folder;
    folder.Write("entry.html", kEntryPage);
    TQuietServices services;
    TQtPageSeam seam(services);
    TCommandRecorder recorder;
    TPageRequest r = requestFor(folder, "entry.html");
    r.HasSize = true;
    r.Width = 420;
    r.Height = 260;

    QSize shownAt;
    bool typed = false;
    QTimer driver;
    driver.setInterval(20);
    QObject::connect(&driver, &QTimer::timeout, [&] {
      TfrmHTML* entry = seam.EntryWindow();
      if (typed || !entry || entry->CompletedCount() < 1) return;
      typed = true;
      shownAt = entry->size();
      // Other commands do nothing on this page.
      ClickOn(*entry, "#close");
      ClickOn(*entry, "#new");
      Settle(200);
      ClickOn(*entry, "#name");
      QWidget* keys = ViewOf(*entry)->focusProxy();
      for (const QChar c : QString("Zoë")) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(keys, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(keys, &release);
      }
      WaitFor([&] { return Evaluate(*entry, "document.getElementById('name').value") == "Zoë"; },
              5000);
      ClickOn(*entry, "#ok");
    });
    driver.start();
    const std::optional<std::string> name = seam.ShowEntryPage(r);
    driver.stop();
    QVERIFY(typed);
    QCOMPARE(shownAt, QSize(420, 260));
    QVERIFY(name);
    QCOMPARE(QString::fromStdString(*name), QString("Zoë"));
    QVERIFY(recorder.Commands.empty());
    QVERIFY(!seam.EntryWindow());

    // Closed by the player: no name.
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (TfrmHTML* entry = seam.EntryWindow(); entry && entry->CompletedCount() >= 1) {
        entry->close();
      }
    });
    closer.start();
    QVERIFY(!seam.ShowEntryPage(r));
    closer.stop();
  }
};

DUDURI_QT_TEST(PageWindowTest)
#include "PageWindowTest.moc"
