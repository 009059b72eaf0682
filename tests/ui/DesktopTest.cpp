// The bare player as a desktop program: a picture named on the command line
// or dropped on the window becomes a game, files it cannot play end it with
// a message naming them (or, once it runs, leave the game as it was), and
// played files go to the Recent menu.

#include <zlib.h>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <fstream>

#include "qtmain/QtTestRegistry.h"
#include "shell/PlayFiles.h"
#include "shell/TestProject.h"
#include "shell/ui/DesktopIntegration.h"
#include "shell/ui/MainWindow.h"

using namespace duduri;

namespace {

// Answers message boxes with Yes (or OK) and keeps their texts.
class TMessageAnswerer : public QObject {
 public:
  TMessageAnswerer() {
    connect(&timer_, &QTimer::timeout, this, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box || !box->isVisible()) return;
      texts << box->text();
      QAbstractButton* b = box->button(QMessageBox::Yes);
      if (!b) b = box->button(QMessageBox::Ok);
      b->click();
    });
    timer_.start(5);
  }
  QStringList texts;

 private:
  QTimer timer_;
};

void writeFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

// A photo-like picture: sky over a green field with a yellow sun.
QImage photo(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32);
  QPainter p(&image);
  p.fillRect(0, 0, w, h / 2, QColor(90, 150, 230));
  p.fillRect(0, h / 2, w, h - h / 2, QColor(60, 160, 70));
  p.setBrush(QColor(250, 220, 60));
  p.drawEllipse(QPoint(w * 2 / 3, h / 4), h / 8, h / 8);
  return image;
}

}  // namespace

class DesktopTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  QString path(const QString& name) const { return dir_.filePath(name); }

  TShellEnvironment environment(const QStringList& args) {
    TShellEnvironment env;
    for (const QString& a : args) env.Args.push_back(a.toStdString());
    env.ExeDir = (dir_.path() + "/bin").toStdString();
    env.ExePath = env.ExeDir / "duduri";
    env.HighScorePath = path("highscorefile.dat").toStdString();
    env.Seed = 3;
    return env;
  }

  static void dropFile(TfrmMain& window, const QString& file) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(file)});
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
    QVERIFY(drop.isAccepted());
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    // An installed prefix: bin/ for the program, share/duduri for its data.
    const std::filesystem::path share = (dir_.path() + "/share/duduri").toStdString();
    std::filesystem::create_directories(share);
    std::filesystem::create_directories((dir_.path() + "/bin").toStdString());
    std::filesystem::copy_file(test::MasterTemplates(), share / kMasterTemplateFile);
    const TBytes sample = test::MakeTestPackage(
        {.Pictures = 2, .RangeMin = 0, .RangeMax = 24, .Toolbar = {{"&New game", 15}}});
    std::ofstream(share / kSampleProjectFile, std::ios::binary)
        .write(reinterpret_cast<const char*>(sample.data()), std::streamsize(sample.size()));
  }

  void pngOnTheCommandLineBuildsAGame() {
    QVERIFY(photo(320, 200).save(path("photo.png")));
    TMessageAnswerer answers;
    TfrmMain window(environment({path("photo.png")}));
    QVERIFY(!window.Terminated());
    QVERIFY(window.Flow().Board());
    QCOMPARE(window.Flow().CurrentPicture().Width(), 320);
    QCOMPARE(window.Flow().CurrentPicture().Height(), 200);
    QCOMPARE(window.Flow().PlayList().size(), std::size_t(1));
    QCOMPARE(window.Flow().PlayList()[0]->Name, std::string("photo.png"));
    // The sample's own menu comes with it, and the player's Recent menu.
    QCOMPARE(window.Toolbar()->actions().size(), 1);
    auto* desktop = window.findChild<TDesktopIntegration*>();
    QVERIFY(desktop && desktop->RecentBar());
    QCOMPARE(desktop->RecentFiles().value(0), path("photo.png"));
    QVERIFY(answers.texts.isEmpty());
    QVERIFY(
        TDesktopIntegration::SettingsFile().startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));
  }

  void droppedFilesArePlayedOrReported() {
    TMessageAnswerer answers;
    TfrmMain window(environment({}));
    window.show();
    QVERIFY(window.Flow().Board());
    QCOMPARE(window.Flow().PlayList().size(), std::size_t(2));  // the sample
    const int games = window.Flow().GamesBuilt();

    QVERIFY(photo(240, 300).save(path("dropped.webp")));
    dropFile(window, path("dropped.webp"));
    QTRY_COMPARE_WITH_TIMEOUT(window.Flow().GamesBuilt(), games + 1, 10000);
    QCOMPARE(window.Flow().CurrentPicture().Width(), 240);
    QCOMPARE(answers.texts.value(0),
             QString::fromStdString(LeaveGameQuestion(path("dropped.webp").toStdString())));
    auto* desktop = window.findChild<TDesktopIntegration*>();
    QCOMPARE(desktop->RecentFiles().value(0), path("dropped.webp"));

    // A folder dropped on it: a message naming it, and the game goes on.
    QDir(dir_.path()).mkpath("Album");
    dropFile(window, path("Album"));
    QTRY_COMPARE_WITH_TIMEOUT(answers.texts.size(), 3, 10000);
    QVERIFY(answers.texts.last().contains("\"Album\""));
    QVERIFY(answers.texts.last().contains("folder"));
    QCOMPARE(window.Flow().GamesBuilt(), games + 1);
    QVERIFY(!window.Flow().Board()->GamePaused());

    // The Recent menu lists what was played, newest first, and no longer
    // offers a file that has gone since.
    desktop->RecentMenu()->aboutToShow();
    QCOMPARE(desktop->RecentMenu()->actions().value(0)->data().toString(), path("dropped.webp"));
    QVERIFY(desktop->RecentFiles().contains(path("photo.png")));
    QFile::remove(path("photo.png"));
    desktop->RecentMenu()->aboutToShow();
    QVERIFY(!desktop->RecentFiles().contains(path("photo.png")));
    for (QAction* action : desktop->RecentMenu()->actions()) {
      QVERIFY(action->data().toString() != path("photo.png"));
    }
  }

  void unplayableStartFilesEndWithAMessageAndAFailure() {
    QByteArray png;
    {
      QBuffer buffer(&png);
      buffer.open(QIODevice::WriteOnly);
      QVERIFY(photo(64, 64).save(&buffer, "PNG"));
    }
    writeFile(path("cut.png"), png.left(png.size() / 2));
    // A PNG header that claims 20000 x 20000 pixels.
    QByteArray huge = png;
    const char side[4] = {0, 0, char(0x4E), char(0x20)};
    huge.replace(16, 4, side, 4);
    huge.replace(20, 4, side, 4);
    const quint32 crc = quint32(
        crc32(0, reinterpret_cast<const Bytef*>(huge.constData() + 12), 17));  // type and data
    const char crcBytes[4] = {char(crc >> 24), char(crc >> 16), char(crc >> 8), char(crc)};
    huge.replace(29, 4, crcBytes, 4);
    writeFile(path("huge.png"), huge);
    writeFile(path("notes.txt"), "shopping list");
    QDir(dir_.path()).mkpath("Pictures");
    const std::pair<const char*, const char*> cases[] = {
        {"cut.png", "PNG"},
        {"huge.png", "too large"},
        {"notes.txt", "neither a picture nor a puzzle"},
        {"Pictures", "folder"},
    };
    for (const auto& [name, reason] : cases) {
      TMessageAnswerer answers;
      TfrmMain window(environment({path(name)}));
      QVERIFY2(window.Terminated(), name);
      QCOMPARE(window.Flow().ExitStatus(), 1);
      QCOMPARE(answers.texts.size(), 1);
      QVERIFY2(answers.texts[0].contains(QString("\"%1\"").arg(name)),
               qPrintable(answers.texts[0]));
      QVERIFY2(answers.texts[0].contains(reason), qPrintable(answers.texts[0]));
    }
  }
};

DUDURI_QT_TEST(DesktopTest)
#include "DesktopTest.moc"
