// The play area moves the view of a big puzzle's table as a player does:
// the wheel with Ctrl and the keys zoom, the middle button and Space with
// the left one pan, the scroll bars follow and move it, and a larger window
// shows more of the table.

#include <QScrollBar>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>
#include <fstream>

#include "qtmain/PlayerEnvironment.h"
#include "qtmain/QtTestRegistry.h"
#include "shell/TestProject.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"

using namespace duduri;

class PlayAreaViewTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  TShellEnvironment environment() {
    const QString path = dir_.filePath("big.pzp");
    const TBytes bytes = test::MakeTestPackage({.Pictures = 1, .RangeMin = 270, .RangeMax = 330});
    std::ofstream out(path.toStdString(), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    return test::PlayerEnvironment(dir_.path(), {path});
  }

  static void mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button,
                    Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  void pansAndZoomsTheTable() {
    TfrmMain window(environment());
    QVERIFY(!window.Terminated());
    window.show();
    TPlayArea& area = window.PlayAreaWidget();
    TSpriteDraw* board = window.Flow().Board();
    QVERIFY(board);
    QVERIFY(board->BigTable());
    QCOMPARE(board->ViewWidth(), area.width());
    // The table is wider and taller than the view: both bars, at the start.
    QVERIFY(area.HorizontalBar()->isVisible());
    QVERIFY(area.VerticalBar()->isVisible());
    QCOMPARE(area.HorizontalBar()->maximum(), board->View().MaxScrollX());
    QCOMPARE(area.HorizontalBar()->value(), 0);

    // The middle button drags the table along.
    const QPoint from(area.width() / 2, area.height() / 2);
    mouse(area, QEvent::MouseButtonPress, from, Qt::MiddleButton, Qt::MiddleButton);
    QVERIFY(area.Panning());
    mouse(area, QEvent::MouseMove, from - QPoint(40, 30), Qt::NoButton, Qt::MiddleButton);
    mouse(area, QEvent::MouseButtonRelease, from - QPoint(40, 30), Qt::MiddleButton, Qt::NoButton);
    QVERIFY(!area.Panning());
    QCOMPARE(board->View().ScrollX(), 40);
    QCOMPARE(board->View().ScrollY(), 30);
    QCOMPARE(area.HorizontalBar()->value(), 40);
    QVERIFY(!board->BandSelecting());

    // Space held turns the left button into a hand as well.
    QTest::keyPress(&area, Qt::Key_Space);
    mouse(area, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(area, QEvent::MouseMove, from + QPoint(10, 0), Qt::NoButton, Qt::LeftButton);
    mouse(area, QEvent::MouseButtonRelease, from + QPoint(10, 0), Qt::LeftButton, Qt::NoButton);
    QTest::keyRelease(&area, Qt::Key_Space);
    QCOMPARE(board->View().ScrollX(), 30);
    QVERIFY(!board->Dragging());

    // The scroll bar moves the view.
    area.HorizontalBar()->setValue(77);
    QCOMPARE(board->View().ScrollX(), 77);

    // Ctrl and the wheel zoom about the pointer; the keys step and fit.
    const QPointF at(100, 80);
    const double before = board->View().TableXAt(100);
    QWheelEvent wheel(at, area.mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&area, &wheel);
    QVERIFY(board->View().Zoom() < 1.0);
    // About the pointer, where the table still fills the view across.
    if (board->View().MaxScrollX() > 0) QVERIFY(std::abs(board->View().TableXAt(100) - before) < 2.0);
    QTest::keyClick(&area, Qt::Key_Plus);
    QCOMPARE(board->View().Zoom(), 1.0);
    QTest::keyClick(&area, Qt::Key_0);
    QVERIFY(!board->View().CanPan());
    QVERIFY(!area.HorizontalBar()->isVisible());
    QTest::keyClick(&area, Qt::Key_0);  // the whole table in view already: back to 1:1
    QCOMPARE(board->View().Zoom(), 1.0);

    // A larger window shows more of the table, in the board's own buffer.
    window.resize(window.width() + 200, window.height() + 100);
    QTRY_COMPARE(board->ViewWidth(), area.width());
    QCOMPARE(board->BackBuffer().Width(), area.width());
  }
};

DUDURI_QT_TEST(PlayAreaViewTest)
#include "PlayAreaViewTest.moc"
