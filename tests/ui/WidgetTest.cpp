// The player's widgets one by one: the play area over the board's buffer,
// the idle hook's pacing, the dialogs' own rules, and the small conversions.

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTreeWidget>
#include <QtTest>

#include "qtmain/QtTestRegistry.h"
#include "project/ByteStream.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "shell/GameFlow.h"
#include "shell/TestProject.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"
#include "shell/ui/QtBoardPlatform.h"
#include "shell/ui/QtShellServices.h"

using namespace duduri;

namespace {

class TNoDialogs : public IShellServices {
 public:
  TModalResult MessageBox(const std::string&, TMsgKind, TMsgButtons) override {
    return TModalResult::mrYes;
  }
  void ShowResult(const TResultDialogText&) override {}
  TModalResult PlayAgain() override { return TModalResult::mrCancel; }
  TModalResult NextPicture() override { return TModalResult::mrCancel; }
  int ChoosePicture(const TJigsawProject2&) override { return 0; }
  void ShowHighScores(const THighScore&, int, float) override {}
  std::string NameEntry() override { return {}; }
  void ShowAbout(const TAboutRequest&) override {}
  TFileDialogResult OpenFile(const TFileDialogRequest&) override { return {}; }
  TFileDialogResult SaveFile(const TFileDialogRequest&) override { return {}; }
  void ShowSplash(const TBitmap32&) override {}
  void HideSplash() override {}
  void BeginProgress() override {}
  void Progress(int, int) override {}
  void EndProgress() override {}
};

}  // namespace

class WidgetTest : public QObject {
  Q_OBJECT

 private slots:
  void playAreaShowsTheBoardBufferUntilDetached() {
    TPlayArea area;
    area.resize(40, 30);
    TBitmap32 frame;
    frame.SetSize(40, 30);
    frame.Clear(0xFF112233);
    area.PaintFrame(frame);
    QVERIFY(area.ShowsBoardBuffer());
    QCOMPARE(static_cast<const void*>(area.Shown().constBits()),
             static_cast<const void*>(frame.Bits()));
    QCOMPARE(area.Shown().format(), QImage::Format_RGB32);
    // The board draws into its buffer: the area shows it without being told.
    frame.SetPixelS(3, 4, 0xFF445566);
    QCOMPARE(area.Shown().pixel(3, 4), 0xFF445566u);
    // Before the board goes, what it showed becomes the area's own picture.
    area.DetachFrame();
    frame.Clear(0xFF000000);
    QVERIFY(!area.ShowsBoardBuffer());
    QCOMPARE(area.Shown().pixel(3, 4), 0xFF445566u);
    QCOMPARE(area.Shown().pixel(0, 0), 0xFF112233u);
    TBitmap32 copy;
    area.CopyImage(copy);
    QCOMPARE(copy.GetPixelS(3, 4), TColor32(0xFF445566));
    area.Fill(0xFFF0F0F0);
    QCOMPARE(area.Shown().pixel(10, 10), 0xFFF0F0F0u);
  }

  void idlePassesFollowInputAtTheDisplaysPace() {
    TNoDialogs services;
    TQtBoardPlatform platform(services);
    int calls = 0;
    bool more = true;
    platform.SetIdleHandler([&](bool& done) {
      ++calls;
      done = !more;
    });
    // Installing asks for one pass.
    QTRY_COMPARE(calls, 1);
    // A handler that wants more gets nothing until input arrives.
    QTest::qWait(3 * 1000 / platform.FrameRate());
    QCOMPARE(calls, 1);
    platform.InputArrived();
    platform.InputArrived();  // two inputs within a frame: one pass
    QTRY_COMPARE(calls, 2);
    QTest::qWait(3 * 1000 / platform.FrameRate());
    QCOMPARE(calls, 2);
    // A handler that removes itself from its own call is not called again.
    platform.SetIdleHandler([&](bool& done) {
      ++calls;
      done = false;
      platform.SetIdleHandler({});
    });
    QTRY_COMPARE(calls, 3);
    platform.InputArrived();
    QTest::qWait(3 * 1000 / platform.FrameRate());
    QCOMPARE(calls, 3);
    QVERIFY(!platform.IdleInstalled());
  }

  void boardTimersMayBeFreedInTheirOwnTick() {
    TNoDialogs services;
    TQtBoardPlatform platform(services);
    int ticks = 0;
    std::unique_ptr<IBoardTimer> timer;
    timer = platform.CreateTimer(1, true, [&] {
      ++ticks;
      timer.reset();
    });
    QTRY_VERIFY(!timer);
    QTest::qWait(20);
    QCOMPARE(ticks, 1);
    auto stopped = platform.CreateTimer(1, false, [&] { ++ticks; });
    QTest::qWait(20);
    QCOMPARE(ticks, 1);
    QVERIFY(!stopped->Enabled());
  }

  void highScoreTableNumbersRowsByPlace() {
    // A table read from a file with an empty place (an entry of score -1,
    // which sorts first).
    TByteWriter out;
    out.Bytes(AsBytes("HGSC"));
    out.U16(4321);  // level 1, Normal
    const std::pair<const char*, std::int32_t> entries[] = {
        {"Ann", 5}, {"Bob", 10}, {"", -1}, {"Cy", 20}};
    std::int32_t length = 4;
    for (const auto& e : entries) length += std::int32_t(std::strlen(e.first)) + 9;
    out.I32(length);
    out.I32(4);
    for (const auto& [name, score] : entries) {
      out.String(name);
      out.I32(score);
      out.U8(kScoreNormal);
    }
    out.U16(4320);
    THighScore scores;
    scores.LoadFromBytes(out.Data());
    TfmHighScore dialog(scores, kScoreNormal);
    QTreeWidget* list = dialog.List();
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->topLevelItem(0)->text(0), QString("2"));
    QCOMPARE(list->topLevelItem(0)->text(1), QString("Ann"));
    QCOMPARE(list->topLevelItem(2)->text(0), QString("4"));
    QCOMPARE(list->topLevelItem(2)->text(2), QString("00:00:20"));
    TfmHighScore none(scores, 7);
    QCOMPARE(none.List()->topLevelItemCount(), 0);
  }

  void nameEntryGivesTheEditTextHoweverClosed() {
    TfmBestTopTen dialog;
    QCOMPARE(dialog.windowTitle(), QString("Best Top Ten"));
    QCOMPARE(dialog.Edit()->maxLength(), 30);
    dialog.show();
    dialog.reject();  // the close box
    QCOMPARE(dialog.Name(), QString());
    dialog.Edit()->setText("Mira");
    dialog.reject();
    QCOMPARE(dialog.Name(), QString("Mira"));
  }

  void choosePictureClosedStillPlaysTheSelection() {
    TJigsawProject2 project;
    project.MasterTemplateSet = test::MasterTemplates();
    project.AddPictureEntry(TPictureKind::pkPicture).Name = "one.jpg";
    project.AddPictureEntry(TPictureKind::pkBackground).Name = "wall.jpg";
    project.AddPictureEntry(TPictureKind::pkPicture).Name = "two.jpg";
    project.Pictures[2].Data = test::PaintedJpeg(64, 48, 2);
    TfrmChooseBitmap dialog(project);
    QCOMPARE(dialog.List()->count(), 2);  // backgrounds are not played
    QCOMPARE(dialog.List()->item(1)->text(), QString("two.jpg"));
    dialog.show();
    dialog.List()->setCurrentRow(1);
    dialog.reject();
    QCOMPARE(dialog.BitmapIndex(), 2);
  }

  void resultDialogTakesItsTexts() {
    TResultDialogText text{"Win with cheat", "You win but you cheat 3X", 16,
                           "Time to complete puzzle: ", "00:01:05"};
    TfrmWin dialog(text);
    QCOMPARE(dialog.windowTitle(), QString("Win with cheat"));
    QCOMPARE(dialog.LargeLabel()->text(), QString("You win but you cheat 3X"));
    QCOMPARE(dialog.LargeLabel()->font().pointSize(), 16);
    QCOMPARE(dialog.findChild<QLabel*>("clock")->text(), QString("00:01:05"));
  }

  void conversions() {
    QCOMPARE(QtFilterOf("Bitmap|*.BMP|JPEG|*.jpg"), QString("Bitmap (*.BMP);;JPEG (*.jpg)"));
    QCOMPARE(QtFilterOf("Windows Bitmap (*.bmp)|*.bmp|JPEG Image (*.jpg)|*.jpg|"),
             QString("Windows Bitmap (*.bmp);;JPEG Image (*.jpg)"));
    QCOMPARE(VirtualKeyOf(Qt::Key_Left), kVkLeft);
    QCOMPARE(VirtualKeyOf(Qt::Key_Escape), kVkEscape);
    QCOMPARE(VirtualKeyOf(Qt::Key_F11), kVkF11);
    QCOMPARE(VirtualKeyOf(Qt::Key_A), 65);
    QCOMPARE(VirtualKeyOf(Qt::Key_F1), 0);
    QCOMPARE(ShiftStateOf(Qt::ControlModifier, Qt::LeftButton), TShiftState(ssCtrl | ssLeft));
  }
};

DUDURI_QT_TEST(WidgetTest)

#include "WidgetTest.moc"
