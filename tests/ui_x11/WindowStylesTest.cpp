// The window styles of the real player under a real X server: the skinned
// window's shape as the server shows it, skin buttons, clock panels, skin
// changes and F11, full screen, the three themes, banners, projects whose
// skin records do not fit, and a project through the clipboard.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <fstream>

#include "project/Project.h"
#include "qtmain/PlayerEnvironment.h"
#include "qtmain/QtTestRegistry.h"
#include "raster/Picture.h"
#include "shell/TestProject.h"
#include "shell/ui/BannerImages.h"
#include "shell/ui/ClockPanel.h"
#include "shell/ui/ImageBack.h"
#include "shell/ui/ImgBtn.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"
#include "shell/ui/ProjectClipboard.h"
#include "shell/ui/Themes.h"
#include "shell/ui/WindowStyles.h"

using namespace duduri;

namespace {

QString sample(int style) {
  return QStringLiteral(DUDURI_BINARY_DIR "/bin/samples/style-%1.pzp").arg(style);
}

// A frameless red window over the whole screen, under everything else: where
// a shaped window has no pixels, the screen shows red.
class TRedBackdrop : public QWidget {
 public:
  TRedBackdrop() : QWidget(nullptr, Qt::FramelessWindowHint) {
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::red);
    setPalette(p);
    setAutoFillBackground(true);
    setGeometry(QGuiApplication::primaryScreen()->geometry());
    show();
  }
};

// What the X server shows at a point of the screen.
QColor screenPixel(QPoint global) {
  const QImage shot =
      QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
  return shot.pixelColor(0, 0);
}

void writeFile(const QString& path, const TBytes& bytes) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

QImage grabbed(QWidget* w) {
  return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class WindowStylesTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  TShellEnvironment environment(const QString& project) {
    return test::PlayerEnvironment(dir_.path(), {project});
  }

  static void showAndWait(TfrmMain& window) {
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
  }

  // The sample's skin buttons, in project order.
  static std::vector<TImgBtn*> buttons(TfrmMain& window) {
    std::vector<TImgBtn*> out;
    for (const QPointer<TImgBtn>& b : window.Styles().SkinButtons()) out.push_back(b.data());
    return out;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY2(QFile::exists(sample(19)), "the sample projects are built with the player");
  }

  // A skin with black corners gives a window without them: in the mask the
  // window holds, and on the screen the X server draws.
  void skinnedWindowIsShapedByItsSkin() {
    TRedBackdrop backdrop;
    QVERIFY(QTest::qWaitForWindowExposed(&backdrop));
    TfrmMain window(environment(sample(19)));
    QCOMPARE(window.Styles().Layout(), TWindowLayout::wlSkin);
    showAndWait(window);
    window.raise();

    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.Toolbar()->isHidden());
    QVERIFY(window.statusBar()->isHidden());
    QVERIFY(window.BannerStrip()->isHidden());
    QCOMPARE(window.size(), QSize(800, 600));
    QCOMPARE(window.PlayAreaWidget().geometry(), QRect(32, 100, 736, 410));
    QVERIFY(window.Flow().Board());
    QCOMPARE(window.Flow().Board()->BoardWidth(), 736);

    const QRegion mask = window.mask();
    for (QPoint corner : {QPoint(0, 0), QPoint(799, 0), QPoint(0, 599), QPoint(799, 599)}) {
      QVERIFY(!mask.contains(corner));
    }
    QVERIFY(mask.contains(QPoint(400, 300)));
    QVERIFY(mask.contains(QPoint(400, 2)));  // the tab at the top

    // The server agrees: red shows through the corners, the skin elsewhere.
    const QPoint origin = window.mapToGlobal(QPoint(0, 0));
    QTRY_COMPARE(screenPixel(origin + QPoint(3, 3)), QColor(Qt::red));
    QCOMPARE(screenPixel(origin + QPoint(796, 596)), QColor(Qt::red));
    QVERIFY(screenPixel(origin + QPoint(400, 40)) != QColor(Qt::red));
    QVERIFY(screenPixel(origin + QPoint(10, 300)) != QColor(Qt::red));
  }

  // Buttons show their three faces; code 15 starts a new game on the press,
  // before the release; other codes act on the click.
  void skinButtonsActOnPressOrClick() {
    TfrmMain window(environment(sample(19)));
    showAndWait(window);
    std::vector<TImgBtn*> skin = buttons(window);
    QCOMPARE(skin.size(), std::size_t(5));
    QCOMPARE(skin[0]->geometry(), QRect(36, 44, 40, 40));

    // Show picture (6): hover on enter, pressed while held, the command on
    // the release over it.
    TImgBtn* show = skin[1];
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), show->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(show, &enter);
    QCOMPARE(show->Face(), TImgBtn::TFace::fHover);
    QTest::mousePress(show, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(show->Face(), TImgBtn::TFace::fPressed);
    QVERIFY(!window.SolutionVisible());
    QTest::mouseRelease(show, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(show->Face(), TImgBtn::TFace::fHover);
    QVERIFY(window.SolutionVisible());
    window.HideSolution();

    // New game (15): the game is rebuilt while the button is still held.
    const int games = window.Flow().GamesBuilt();
    QPointer<TImgBtn> newGame = skin[0];
    QTest::mousePress(newGame, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QCOMPARE(window.Flow().GamesBuilt(), games + 1);
    // The new layout has its own buttons; the pressed one goes once control
    // is back in the event loop, so its release is harmless.
    QVERIFY(newGame.isNull() || newGame->isHidden());
    if (newGame) QTest::mouseRelease(newGame, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    QTRY_VERIFY(newGame.isNull());
    QCOMPARE(buttons(window).size(), std::size_t(5));
    QCOMPARE(window.Flow().GamesBuilt(), games + 1);
  }

  // Clock panels: the start of the game draws 00:00:00, every tick its text,
  // in the text style's colour; an opaque panel fills with its colour.
  void clockPanels() {
    TfrmMain window(environment(sample(19)));
    showAndWait(window);
    const auto& panels = window.Styles().ClockPanels();
    QCOMPARE(panels.size(), std::size_t(1));
    TClockPanel* panel = panels[0];
    QVERIFY(panel->isVisible());
    QCOMPARE(panel->Text(), QString("00:00:00"));
    QCOMPARE(panel->geometry(), QRect(600, 46, 164, 36));
    window.Styles().DrawClockPanels("01:02:03");
    QCOMPARE(panel->Text(), QString("01:02:03"));
    const QImage drawn = grabbed(panel);
    bool inked = false;
    for (int y = 0; y < drawn.height() && !inked; ++y) {
      for (int x = 0; x < drawn.width() && !inked; ++x) {
        inked = drawn.pixelColor(x, y) == QColor(0xFF, 0xF0, 0xB0);
      }
    }
    QVERIFY(inked);
    // Centred on the measure of "88:88:88", whatever the digits.
    const QFontMetrics metrics(panel->TextFont());
    QCOMPARE(panel->TextOrigin().x(), (164 - metrics.horizontalAdvance("88:88:88")) / 2);

    // The jade skin's panel is opaque.
    QVERIFY(window.Styles().LayoutStyle(*window.Flow().Project(), kStyleSkinned, 1));
    window.Styles().DrawClockPanels("00:00:09");
    QCOMPARE(grabbed(window.Styles().ClockPanels()[0]).pixelColor(1, 1), QColor(0x10, 0x3A, 0x24));
  }

  // The skin change lays the window out for the other skin: its size, its
  // shape (a hole included), its board area, buttons and banners.
  void skinChangeLaysTheWindowOutAgain() {
    TfrmMain window(environment(sample(19)));
    showAndWait(window);
    QVERIFY(window.Styles().LayoutStyle(*window.Flow().Project(), kStyleSkinned, 1));
    QCOMPARE(window.size(), QSize(720, 600));
    QCOMPARE(window.PlayAreaWidget().geometry(), QRect(60, 110, 600, 390));
    QVERIFY(!window.mask().contains(QPoint(340, 66)));  // the porthole
    QVERIFY(window.mask().contains(QPoint(340, 30)));
    QVERIFY(!window.mask().contains(QPoint(2, 2)));
    QCOMPARE(buttons(window).size(), std::size_t(5));
    QCOMPARE(buttons(window)[0]->pos(), QPoint(430, 44));
    QCOMPARE(window.Styles().BannerImages().Images().size(), std::size_t(1));
    QCOMPARE(window.Styles().BannerImages().Images()[0]->pos(), QPoint(126, 522));
    // A skin entry that is no skinned window leaves the window as it is.
    TJigsawProject2& project = *window.Flow().Project();
    project.Skins[0].Kind = kStyleDefault;
    QVERIFY(window.Styles().LayoutStyle(project, kStyleSkinned, 0));
    QCOMPARE(window.size(), QSize(720, 600));
    QCOMPARE(window.Styles().Layout(), TWindowLayout::wlSkin);
    project.Skins[0].Kind = kStyleSkinned;
    // Back to the first one.
    QVERIFY(window.Styles().LayoutStyle(project, kStyleSkinned, 0));
    QCOMPARE(window.size(), QSize(800, 600));
    QCOMPARE(window.Styles().BannerImages().Images()[0]->pos(), QPoint(166, 526));
  }

  // F11 shows the toolbar over the skin (the window grows to take it) and
  // hides it again; panel 3 tells how to get it back.
  void f11OnASkinnedWindow() {
    TfrmMain window(environment(sample(19)));
    showAndWait(window);
    QCOMPARE(window.StatusPanel(3)->text(), QString("F11 show/hide menu."));
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_F11);
    QVERIFY(!window.Toolbar()->isHidden());
    QCOMPARE(window.StatusPanel(3)->text(), QString());
    const int bar = window.Toolbar()->sizeHint().height();
    QCOMPARE(window.height(), 600 + bar);
    QVERIFY(window.mask().contains(QPoint(2, 2)));            // the toolbar
    QVERIFY(!window.mask().contains(QPoint(0, bar)));         // the skin's corner
    QCOMPARE(window.PlayAreaWidget().geometry(), QRect(32, 100, 736, 410));
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_F11);
    QVERIFY(window.Toolbar()->isHidden());
    QCOMPARE(window.height(), 600);
    QCOMPARE(window.StatusPanel(3)->text(), QString("F11 show/hide menu."));
  }

  void fullScreen() {
    TfrmMain window(environment(sample(49)));
    showAndWait(window);
    QCOMPARE(window.Styles().Layout(), TWindowLayout::wlFullScreen);
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(window.geometry(), window.screen()->geometry());
    QVERIFY(window.statusBar()->isHidden());
    QVERIFY(window.mask().isEmpty());
    // The play area fills what the toolbar and banners leave.
    QCOMPARE(window.PlayAreaWidget().size(), window.ImageBack()->size());
    QCOMPARE(window.ImageBack()->width(), window.width());
    // The clock is the toolbar's last item and follows the ticks.
    QAction* clock = window.Styles().ToolbarClock();
    QVERIFY(clock);
    QCOMPARE(window.Toolbar()->actions().back(), clock);
    window.Styles().DrawClockPanels("00:00:07");
    QCOMPARE(clock->text(), QString("00:00:07"));
    // A new game rebuilds the toolbar: the clock is still last, and once.
    window.Flow().NewGame();
    QCOMPARE(window.Toolbar()->actions().back(), clock);
    QCOMPARE(window.Toolbar()->actions().count(clock), 1);
    QVERIFY(!window.BannerStrip()->isHidden());
  }

  // The three themes look different, and kinds without a theme keep the
  // look they have.
  void themesLookDifferent() {
    // Each sample brings its theme.
    for (auto [style, theme] : {std::pair{20, TTheme::thOfficeXP}, std::pair{21, TTheme::thStripes},
                                std::pair{15, TTheme::thDefault}}) {
      TfrmMain sampleWindow(environment(sample(style)));
      QCOMPARE(ApplicationTheme(), std::optional<TTheme>(theme));
    }
    // One window in each theme, so only the theme differs between grabs.
    TfrmMain window(environment(sample(15)));
    showAndWait(window);
    std::vector<QImage> looks;
    for (std::uint16_t kind : {kStyleDefault, kStyleOfficeXP, kStyleStripes}) {
      window.Styles().ApplyTheme(kind);
      QCoreApplication::processEvents();
      looks.push_back(grabbed(window.Toolbar()).copy(0, 0, 200, window.Toolbar()->height()));
      const QImage status = grabbed(window.statusBar());
      looks.push_back(status.copy(0, 0, 200, status.height()));
    }
    QCOMPARE(looks.size(), std::size_t(6));
    for (std::size_t a = 0; a < looks.size(); a += 2) {
      for (std::size_t b = a + 2; b < looks.size(); b += 2) {
        QVERIFY2(looks[a] != looks[b], "toolbars of two themes look the same");
        QVERIFY2(looks[a + 1] != looks[b + 1], "status bars of two themes look the same");
      }
    }
    window.Styles().ApplyTheme(kStyleSkinned);
    QCOMPARE(ApplicationTheme(), std::optional<TTheme>(TTheme::thStripes));
  }

  // Banners in the strip of a work-area window: picture, hint, hand cursor,
  // the strip's height, and a click that runs the banner's script.
  void bannerStrip() {
    TfrmMain window(environment(sample(20)));
    showAndWait(window);
    QVERIFY(!window.BannerStrip()->isHidden());
    QCOMPARE(window.BannerStrip()->height(), 64);
    const auto& images = window.Styles().BannerImages().Images();
    QCOMPARE(images.size(), std::size_t(1));
    TBannerImage* image = images[0];
    QCOMPARE(image->pixmap().size(), QSize(468, 60));
    QCOMPARE(image->toolTip(), QString("Visit https://example.org/harbour"));
    QCOMPARE(image->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(image->x() + image->width() / 2, window.BannerStrip()->width() / 2);  // centred

    std::vector<std::pair<void*, std::int32_t>> runs;
    SetCommandHandler([&](void* sender, std::int32_t code, const TScriptParameter&) {
      runs.push_back({sender, code});
    });
    QTest::mouseClick(image, Qt::LeftButton);
    SetCommandHandler({});
    QCOMPARE(runs.size(), std::size_t(1));
    QCOMPARE(runs[0].first, static_cast<void*>(image));
    QCOMPARE(runs[0].second, 11);
  }

  // Skin records that do not fit: a skin picture that does not decode, a
  // board area off the skin, button pictures shorter than their size, a
  // text style with a font nobody has, banners whose interval is 0 or less.
  // The window still lays out, a game is built, and no timer spins.
  void badSkinRecordsStillLayOut() {
    const QString file = dir_.filePath("bad.pzp");
    writeFile(file, test::MakeTestPackage({.Pictures = 1, .Edit = [](TJigsawProject2& p) {
      p.WindowStyle = kStyleSkinned;
      TSkinEntry& skin = p.NewSkinEntry();
      skin.Kind = kStyleSkinned;
      skin.Image = TBytes(200, std::byte{0x42});
      skin.BoardArea = {5000, 5000, 300, 200};
      TSkinRegion& region = p.NewRegion();
      region.Left = 10, region.Top = 10, region.Width = 30, region.Height = 30;
      region.Normal = TBytes(10, std::byte{0xFF});
      region.CommandCode = 15;
      skin.RegionIDs.push_back(region.ID);
      TTextStyle clock;
      clock.SkinID = skin.ID;
      clock.Left = 400, clock.Top = 10, clock.Width = 120, clock.Height = 30;
      clock.SeeThrough = 1;
      clock.Font.Name = "Zzyzx Nowhere Grotesque";
      clock.Font.Size = 14;
      p.TextStyles.push_back(clock);
      TBannerContainer& c = p.BannerContainers.Add();
      c.SkinID = skin.ID;
      for (std::int32_t interval : {0, -1000}) {
        TBanner& b = p.Banners.Add();
        b.Data = test::PaintedJpeg(100, 40, 2);
        b.Interval = interval;
        b.RecomputeSize();
        c.AddBanner(b);
      }
      TBanner& junk = p.Banners.Add();
      junk.Data = TBytes(50, std::byte{7});
      junk.Interval = 100;
      c.AddBanner(junk);
    }}));
    TfrmMain window(environment(file));
    QVERIFY(!window.Terminated());
    showAndWait(window);
    QCOMPARE(window.Styles().Layout(), TWindowLayout::wlSkin);
    QVERIFY(window.Flow().Board());
    QVERIFY(window.mask().isEmpty());
    // No picture and no board area on it: the play area fills the window.
    QCOMPARE(window.PlayAreaWidget().geometry(), window.ImageBack()->rect());
    QCOMPARE(window.Styles().SkinButtons().size(), std::size_t(1));
    QCOMPARE(window.Styles().ClockPanels().size(), std::size_t(1));
    TClockPanel* clock = window.Styles().ClockPanels()[0];
    QVERIFY(QFontInfo(clock->TextFont()).family() != QString("Zzyzx Nowhere Grotesque"));
    QCOMPARE(clock->TextFont().pixelSize(), 19);
    QVERIFY(!grabbed(clock).isNull());
    // The banner of interval 0 stays; its timer does not run at all.
    TBannerSwitcherManager& switchers = window.Styles().Banners().Switchers();
    QCOMPARE(switchers.Count(), std::size_t(1));
    const auto* timer = dynamic_cast<const TQtIntervalTimer*>(&switchers.Switcher(0).Timer());
    QVERIFY(timer);
    QVERIFY(!timer->Timer().isActive());
    QCOMPARE(switchers.Switcher(0).BannerIndex(), 0);
  }

  // A skinned style without a skin to show is the plain window.
  void skinnedStyleWithoutSkinsIsThePlainWindow() {
    const QString file = dir_.filePath("noskins.pzp");
    writeFile(file, test::MakeTestPackage({.Pictures = 1, .Edit = [](TJigsawProject2& p) {
                                             p.WindowStyle = kStyleSkinned;
                                           }}));
    TfrmMain window(environment(file));
    showAndWait(window);
    QCOMPARE(window.Styles().Layout(), TWindowLayout::wlWorkArea);
    QVERIFY(!window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(!window.statusBar()->isHidden());
    QVERIFY(!window.Toolbar()->isHidden());
    QVERIFY(window.Flow().Board());
  }

  void projectThroughTheClipboard() {
    TJigsawProject2 source;
    source.LoadFromFile(sample(19).toStdString());
    source.MasterTemplateSet = test::MasterTemplates();
    CopyProjectToClipboard(source);
    QVERIFY(ClipboardHasProject());
    TJigsawProject2 pasted;
    pasted.MasterTemplateSet = test::MasterTemplates();
    QVERIFY(PasteProjectFromClipboard(pasted));
    QCOMPARE(pasted.Skins.size(), std::size_t(2));
    QCOMPARE(pasted.Title.Caption, std::string("Morvenhal Duduri - skins"));
    QVERIFY(pasted.SaveToBytes() == source.SaveToBytes());

    // Something else on the clipboard: nothing is pasted, nothing lost.
    QGuiApplication::clipboard()->setText("not a project");
    QVERIFY(!ClipboardHasProject());
    QVERIFY(!PasteProjectFromClipboard(pasted));
    QCOMPARE(pasted.Skins.size(), std::size_t(2));
    // A broken package under the format raises, and the project stays.
    auto* junk = new QMimeData;
    junk->setData(kProjectClipboardFormat, QByteArray("\xAD\xDE junk", 7));
    QGuiApplication::clipboard()->setMimeData(junk);
    QVERIFY_THROWS_EXCEPTION(EDuduriError, PasteProjectFromClipboard(pasted));
    QCOMPARE(pasted.Skins.size(), std::size_t(2));
  }
};

DUDURI_QT_TEST(WindowStylesTest)

#include "WindowStylesTest.moc"
