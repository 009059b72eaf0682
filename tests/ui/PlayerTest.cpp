// The player end to end: the real main window and dialogs on the offscreen
// platform, games played with mouse events sent to the play area, every
// modal dialog answered by a watcher that clicks its buttons.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <deque>
#include <fstream>

#include "board/JigsawFile.h"
#include "project/HighScore.h"
#include "project/Project.h"
#include "qtmain/PlayerEnvironment.h"
#include "qtmain/QtTestRegistry.h"
#include "raster/Picture.h"
#include "support/DragSolver.h"
#include "shell/ShellTexts.h"
#include "shell/TestProject.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"
#include "shell/ui/QtBoardPlatform.h"

using namespace duduri;

namespace {

// What a modal dialog showed.
struct TSeen {
  QString kind;  // the dialog's class
  QString caption;
  QString text;   // the message, or the result's large text
  QString extra;  // the result's clock, or the high-score rows
};

// Answers every modal dialog as it appears: message boxes from a table of
// answers (Yes or OK otherwise), the result and table dialogs with OK, the
// name entry with a name, the next-picture and play-again dialogs from
// queues.
class TDialogAnswerer : public QObject {
 public:
  TDialogAnswerer() {
    timer_.setInterval(5);
    connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
    timer_.start();
  }

  std::map<QString, QMessageBox::StandardButton> answers;
  std::deque<int> nextPicture;  // QDialog::Accepted, kDialogYes or Rejected
  std::deque<int> playAgain;
  QString name = "Tester";
  // File dialogs: the name typed and the filter (1-based) chosen, in turn;
  // cancelled when none is left.
  std::deque<std::pair<QString, int>> files;
  int difficultyLine = -1;  // the line chosen in TfrmDifficulty; -1 cancels
  int skinLine = -1;        // the line chosen in TfrmSelectSkin; -1 cancels
  std::vector<TSeen> seen;

  int Count(const QString& kind) const {
    return int(
        std::count_if(seen.begin(), seen.end(), [&](const TSeen& s) { return s.kind == kind; }));
  }
  const TSeen* Last(const QString& kind) const {
    for (auto it = seen.rbegin(); it != seen.rend(); ++it) {
      if (it->kind == kind) return &*it;
    }
    return nullptr;
  }

 private:
  static QPushButton* button(QWidget* w, const QString& text) {
    for (QPushButton* b : w->findChildren<QPushButton*>()) {
      if (b->text() == text) return b;
    }
    return nullptr;
  }

  void answer() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    TSeen s;
    s.caption = w->windowTitle();
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      s.kind = "QMessageBox";
      s.text = box->text();
      seen.push_back(s);
      const auto it = answers.find(s.text);
      QAbstractButton* b = box->button(it != answers.end() ? it->second : QMessageBox::Yes);
      if (!b) b = box->button(QMessageBox::Ok);
      b->click();
    } else if (auto* win = qobject_cast<TfrmWin*>(w)) {
      s.kind = "TfrmWin";
      s.text = win->LargeLabel()->text();
      s.extra = win->findChild<QLabel*>("clock")->text();
      seen.push_back(s);
      button(w, "OK")->click();
    } else if (auto* entry = qobject_cast<TfmBestTopTen*>(w)) {
      s.kind = "TfmBestTopTen";
      seen.push_back(s);
      entry->Edit()->setText(name);
      button(w, "OK")->click();
    } else if (auto* table = qobject_cast<TfmHighScore*>(w)) {
      s.kind = "TfmHighScore";
      for (int i = 0; i < table->List()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = table->List()->topLevelItem(i);
        s.extra += row->text(0) + " " + row->text(1) + " " + row->text(2) + ";";
      }
      seen.push_back(s);
      button(w, "OK")->click();
    } else if (qobject_cast<TfrmNextBitmap*>(w)) {
      s.kind = "TfrmNextBitmap";
      seen.push_back(s);
      const int r = take(nextPicture);
      button(w, r == QDialog::Accepted ? "Play Next Bitmap"
                : r == kDialogYes      ? "Play Current Bitmap"
                                       : "Stop")
          ->click();
    } else if (qobject_cast<TfrmPlayAgain*>(w)) {
      s.kind = "TfrmPlayAgain";
      seen.push_back(s);
      button(w, take(playAgain) == QDialog::Accepted ? "Play Again" : "Stop")->click();
    } else if (auto* files_ = qobject_cast<QFileDialog*>(w)) {
      s.kind = "QFileDialog";
      seen.push_back(s);
      if (files.empty()) {
        files_->reject();
        return;
      }
      const auto [file, filter] = files.front();
      files.pop_front();
      files_->selectNameFilter(files_->nameFilters().value(filter - 1));
      files_->selectFile(file);
      static_cast<QDialog*>(files_)->accept();
    } else if (auto* difficulty = qobject_cast<TfrmDifficulty*>(w)) {
      s.kind = "TfrmDifficulty";
      s.text = difficulty->Combo()->currentText();
      seen.push_back(s);
      if (difficultyLine < 0) {
        button(w, "Cancel")->click();
        return;
      }
      difficulty->Combo()->setCurrentIndex(difficultyLine);
      button(w, "Ok")->click();
    } else if (auto* skins = qobject_cast<TfrmSelectSkin*>(w)) {
      s.kind = "TfrmSelectSkin";
      s.text = skins->List()->currentItem() ? skins->List()->currentItem()->text() : QString();
      seen.push_back(s);
      if (skinLine < 0) {
        button(w, "Cancel")->click();
        return;
      }
      skins->List()->setCurrentRow(skinLine);
      button(w, "Ok")->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
      s.kind = w->metaObject()->className();
      seen.push_back(s);
      dialog->accept();
    }
  }

  static int take(std::deque<int>& queue) {
    if (queue.empty()) return QDialog::Rejected;
    const int r = queue.front();
    queue.pop_front();
    return r;
  }

  QTimer timer_;
};

// Mouse events sent to the play area, as a person's would arrive.
class TQtPointer : public IPointer {
 public:
  explicit TQtPointer(TfrmMain& window) : window_(window) {}

  TBoardPoint Press(int x, int y, TMouseButton button) override {
    TBoardPoint hit{-1, -1};
    if (TSpriteDraw* b = window_.Flow().Board()) {
      const TBoardPoint at = b->ViewToTable(x, y);
      b->HitTest(at.X, at.Y, hit.X, hit.Y);
    }
    held_ = qtButton(button);
    send(QEvent::MouseButtonPress, x, y, qtButton(button), held_);
    return hit;
  }
  void Move(int x, int y) override {
    const int passes = window_.Platform().IdlePasses();
    send(QEvent::MouseMove, x, y, Qt::NoButton, held_);
    // A frame is drawn at the display's pace after the move.
    QElapsedTimer clock;
    clock.start();
    while (window_.Platform().IdlePasses() == passes && window_.Platform().IdleInstalled() &&
           clock.elapsed() < 200) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    ++moves_;
    if (window_.Platform().IdlePasses() > passes) ++framedMoves_;
  }
  void Release(int x, int y, TMouseButton button) override {
    held_ = Qt::NoButton;
    send(QEvent::MouseButtonRelease, x, y, qtButton(button), Qt::NoButton);
  }
  int Moves() const { return moves_; }
  int FramedMoves() const { return framedMoves_; }

 private:
  static Qt::MouseButton qtButton(TMouseButton b) {
    return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
  }
  void send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons) {
    QWidget& area = window_.PlayAreaWidget();
    const QPointF local(x, y);
    QMouseEvent event(type, local, area.mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(&area, &event);
  }

  TfrmMain& window_;
  Qt::MouseButtons held_ = Qt::NoButton;
  int moves_ = 0;
  int framedMoves_ = 0;
};

void writeFile(const QString& path, const TBytes& bytes) {
  std::ofstream out(path.toStdString(), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

class PlayerTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;

  TShellEnvironment environment(const QStringList& args) {
    return test::PlayerEnvironment(dir_.path(), args, 7);
  }

  QString projectFile(const QString& name, const test::TTestProjectOptions& options) {
    const QString path = dir_.filePath(name);
    writeFile(path, test::MakeTestPackage(options));
    return path;
  }

  // The board of the game being played now; nullptr once another replaced it.
  static std::function<TSpriteDraw*()> currentGame(TfrmMain& window) {
    const int game = window.Flow().GamesBuilt();
    return [&window, game]() -> TSpriteDraw* {
      return window.Flow().GamesBuilt() == game ? window.Flow().Board() : nullptr;
    };
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }

  // Three pictures in sequence: a clean win with a high score, a win with one
  // piece solved by the computer, a win after declining "Solve all pieces?",
  // and the question to start over.
  void sequenceOfThreePictures() {
    const QString file = projectFile("three.pzp", {.Pictures = 3});
    TDialogAnswerer dialogs;
    dialogs.nextPicture = {QDialog::Accepted, QDialog::Accepted};
    dialogs.answers[kMsgSolveAll] = QMessageBox::No;
    dialogs.answers[kMsgNoMoreImage] = QMessageBox::Yes;
    TfrmMain window(environment({file}));
    QVERIFY(!window.Terminated());
    window.show();
    TGameFlow& flow = window.Flow();
    TSpriteDraw* board = flow.Board();
    QVERIFY(board);
    QCOMPARE(window.windowTitle(), QString(kApplicationTitle));
    QCOMPARE(window.StatusPanel(1)->text(), QString::number(board->PiecesTotal()));
    QCOMPARE(board->BoardWidth(), window.PlayAreaWidget().width());
    // The play area shows the board's own buffer: no copy per frame.
    QVERIFY(window.PlayAreaWidget().ShowsBoardBuffer());
    QCOMPARE(static_cast<const void*>(window.PlayAreaWidget().Shown().constBits()),
             static_cast<const void*>(board->BackBuffer().Bits()));
    const std::int32_t ids[3] = {flow.PlayList()[0]->ID, flow.PlayList()[1]->ID,
                                 flow.PlayList()[2]->ID};
    QCOMPARE(flow.CurrentPictureId(), ids[0]);

    // 1. Solved by hand.
    TQtPointer pointer(window);
    {
      TDragSolver solver(currentGame(window), pointer);
      QCOMPARE(solver.Solve(), board->PiecesTotal());
    }
    QVERIFY(pointer.FramedMoves() > 0);
    QCOMPARE(dialogs.Count("TfrmWin"), 1);
    QCOMPARE(dialogs.Last("TfrmWin")->caption, QString(kWinCaption));
    QCOMPARE(dialogs.Last("TfrmWin")->text, QString(kWinText));
    QCOMPARE(dialogs.Count("TfmBestTopTen"), 1);
    QCOMPARE(dialogs.Count("TfmHighScore"), 1);
    QVERIFY(dialogs.Last("TfmHighScore")->extra.startsWith("1 Tester "));
    QCOMPARE(flow.HighScores().Count(kScoreVeryEasy), 1);
    QCOMPARE(dialogs.Count("TfrmNextBitmap"), 1);
    QCOMPARE(flow.CurrentPictureId(), ids[1]);
    QVERIFY(window.isVisible());

    // 2. One piece placed by the computer.
    board = flow.Board();
    QVERIFY(board);
    {
      TDragSolver solver(currentGame(window), pointer);
      const int total = board->PiecesTotal();
      QCOMPARE(solver.Solve(2, total - 1), total - 1);
      TBoardPoint at;
      QVERIFY(solver.GrabPoint(board->PiecesY() - 1, board->PiecesX() - 1, at));
      pointer.Press(at.X, at.Y, mbLeft);
      pointer.Release(at.X, at.Y, mbLeft);
    }
    flow.ActionDispatch(nullptr, ccSolveOnePiece, {});
    QTRY_COMPARE_WITH_TIMEOUT(dialogs.Count("TfrmWin"), 2, 10000);
    QCOMPARE(dialogs.Last("TfrmWin")->caption, QString(kCheatCaption));
    QCOMPARE(dialogs.Last("TfrmWin")->text, QString("You win but you cheat 1X"));
    QCOMPARE(dialogs.Count("TfmBestTopTen"), 1);
    QTRY_COMPARE_WITH_TIMEOUT(flow.CurrentPictureId(), ids[2], 10000);

    // 3. "Solve all pieces?" answered No, then solved by hand.
    board = flow.Board();
    QVERIFY(board);
    flow.ActionDispatch(nullptr, ccSolveAll, {});
    QCOMPARE(dialogs.Last("QMessageBox")->text, QString(kMsgSolveAll));
    QVERIFY(!board->SolvingAll());
    {
      TDragSolver solver(currentGame(window), pointer);
      QCOMPARE(solver.Solve(), board->PiecesTotal());
    }
    QCOMPARE(dialogs.Last("TfrmWin")->text, QString(kAutoSolveText));
    QCOMPARE(dialogs.Last("QMessageBox")->text, QString(kMsgNoMoreImage));
    QCOMPARE(flow.PlayPosition(), 0);
    QCOMPARE(flow.CurrentPictureId(), ids[0]);
    QCOMPARE(flow.GamesBuilt(), 4);
    QVERIFY(window.isVisible());
  }

  void timeTrialLost() {
    const QString file =
        projectFile("trial.pzp", {.Pictures = 1, .TimeTrial = true, .TimeTrialTicks = 1});
    TDialogAnswerer dialogs;
    dialogs.playAgain = {QDialog::Rejected};
    TfrmMain window(environment({file}));
    QSignalSpy closed(&window, &TfrmMain::Closed);
    window.show();
    QVERIFY(closed.wait(10000));
    QCOMPARE(dialogs.Count("TfrmWin"), 1);
    QCOMPARE(dialogs.Last("TfrmWin")->caption, QString(kLoseCaption));
    QCOMPARE(dialogs.Last("TfrmWin")->text, QString(kLoseText));
    QCOMPARE(dialogs.Last("TfrmWin")->extra, QString("00:00:01"));
    QCOMPARE(dialogs.Count("TfrmPlayAgain"), 1);
    QVERIFY(!window.isVisible());
    QCOMPARE(dialogs.Count("QMessageBox"), 0);  // "Stop" closes without asking
  }

  void startWithoutProjectEndsSilently() {
    TDialogAnswerer dialogs;
    TfrmMain window(environment({}));
    QVERIFY(window.Terminated());
    QVERIFY(!window.isVisible());
    QVERIFY(!window.Flow().Board());
    QVERIFY(dialogs.seen.empty());
  }

  void badProjectFileEndsWithItsMessage() {
    const QString file = dir_.filePath("garbage.pzp");
    writeFile(file, TBytes(64, std::byte{0x5A}));
    TDialogAnswerer dialogs;
    // The message box runs inside the window's creation.
    TfrmMain window(environment({file}));
    QVERIFY(window.Terminated());
    QCOMPARE(dialogs.Count("QMessageBox"), 1);
    QVERIFY(!window.Flow().Board());
  }

  void minusTDeletesTheProjectFile() {
    const QString file = projectFile("temporary.pzp", {.Pictures = 1});
    {
      TDialogAnswerer dialogs;
      TfrmMain window(environment({file, "-T"}));
      QVERIFY(window.Flow().Board());
      QVERIFY(QFile::exists(file));
    }
    QVERIFY(!QFile::exists(file));
  }

  // The file commands through the real dialogs: a game saved and opened
  // again, the picture saved, a new executable made and played, and the
  // difficulty and skin changed.
  void commandsThroughTheRealDialogs() {
    TJigsawProject2 source;
    source.LoadFromStream(test::MakeTestPackage({.Pictures = 2}));
    source.MasterTemplateSet = test::MasterTemplates();
    for (int i = 0; i < 3; ++i) {
      TSkinEntry& skin = source.NewSkinEntry();
      TBitmap32 picture;
      picture.SetSize(200, 150);
      picture.Clear(0xFF204060 + TColor32(i * 40));
      skin.Image = EncodeBmp(picture, 24);
    }
    const QString project = dir_.filePath("commands.pzp");
    writeFile(project, source.SaveToBytes());
    const QString player = dir_.filePath("duduri");
    writeFile(player, TBytes(2048, std::byte{0x90}));

    TDialogAnswerer dialogs;
    TfrmMain window(environment({project}));
    window.show();
    TGameFlow& flow = window.Flow();
    QVERIFY(flow.Board());
    flow.Project()->MasterTemplateSet = test::MasterTemplates();

    // Save, play on, open.
    TDragSolver(currentGame(window), *std::make_unique<TQtPointer>(window)).Solve(2, 3);
    std::vector<TSavedPiece> saved;
    for (const auto& row : flow.Board()->Pieces()) {
      for (const TPieceSprite& p : row) saved.push_back(p.Saved());
    }
    const QString game = dir_.filePath("game.jsw");
    dialogs.files = {{game, 1}};
    flow.ActionDispatch(nullptr, ccSaveGame, {});
    QCOMPARE(dialogs.Last("QFileDialog")->caption, QString(kTitleSaveGame));
    QCOMPARE(dialogs.Last("QMessageBox")->text, QString(kMsgGameSavedPrefix) + game);
    flow.ActionDispatch(nullptr, ccNewGame, {});
    dialogs.files = {{game, 1}};
    flow.ActionDispatch(nullptr, ccOpenGame, {});
    QCOMPARE(dialogs.Last("QFileDialog")->caption, QString(kTitleOpenGame));
    QCOMPARE(flow.GamesBuilt(), 3);
    std::size_t k = 0;
    for (const auto& row : flow.Board()->Pieces()) {
      for (const TPieceSprite& p : row) {
        QCOMPARE(p.X, saved[k].X);
        QCOMPARE(p.Placed, saved[k].Placed);
        ++k;
      }
    }
    QVERIFY(!flow.Board()->GamePaused());

    // The picture, as a JPEG, named without extension.
    dialogs.files = {{dir_.filePath("shot"), 2}};
    flow.ActionDispatch(nullptr, ccSavePicture, {});
    const TPicture shot = DecodeJpeg(ReadFileBytes(dir_.filePath("shot.jpg").toStdString()));
    QCOMPARE(shot.Width, window.PlayAreaWidget().width());
    QCOMPARE(shot.Height, window.PlayAreaWidget().height());

    // A new executable of a picture of the player's own, played.
    const QString mine = dir_.filePath("mine.jpg");
    writeFile(mine, test::PaintedJpeg(220, 160, 4));
    const QString made = dir_.filePath("mypuzzle");
    dialogs.files = {{mine, 2}, {made, 1}};
    flow.ActionDispatch(nullptr, ccMakeExe, {});
    QCOMPARE(dialogs.Last("QMessageBox")->text, made + " is created successfuly.");
    {
      TShellEnvironment env = environment({});
      env.ExePath = made.toStdString();
      const std::filesystem::path path = env.ExePath;
      env.ReadOwnOverlay = [path] { return ReadOverlayOf(path); };
      TfrmMain again(env);
      QVERIFY(again.Flow().Board());
      QCOMPARE(again.Flow().CurrentPicture().Width(), 220);
      QCOMPARE(again.Flow().CurrentPicture().Height(), 160);
    }

    // Difficulty: cancelled, then "25 - 50 pieces".
    const int games = flow.GamesBuilt();
    flow.ActionDispatch(nullptr, ccDifficulty, {});
    QCOMPARE(dialogs.Last("TfrmDifficulty")->text, QString("< 25 pieces"));
    QCOMPARE(flow.GamesBuilt(), games);
    dialogs.difficultyLine = 1;
    flow.ActionDispatch(nullptr, ccDifficulty, {});
    QCOMPARE(flow.GamesBuilt(), games + 1);
    QCOMPARE(flow.Project()->PieceRangeMin, 25);
    QCOMPARE(flow.Project()->PieceRangeMax, 50);

    // Skins.
    dialogs.skinLine = 2;
    flow.ActionDispatch(nullptr, ccSelectSkin, {});
    QCOMPARE(dialogs.Last("TfrmSelectSkin")->text, QString("Skin #1"));
    QCOMPARE(flow.SkinId(), 2);
    QVERIFY(window.isVisible());
  }

  void keysPopupAndMenus() {
    const QString file = projectFile(
        "menus.pzp", {.Pictures = 1,
                      .Toolbar = {{"Pause", ccPause}, {"New game", ccNewGame}},
                      .Popup = {{"Select all", ccSelectAll}, {"Deselect all", ccDeselectAll}}});
    TDialogAnswerer dialogs;
    TfrmMain window(environment({file}));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TSpriteDraw* board = window.Flow().Board();
    QVERIFY(board);
    QCOMPARE(window.Toolbar()->actions().size(), 2);

    // Ctrl+A and Ctrl+D, F11.
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_A, Qt::ControlModifier);
    QVERIFY(board->AllSelected());
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_D, Qt::ControlModifier);
    QVERIFY(!board->AllSelected());
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_F11);
    QVERIFY(window.Toolbar()->isHidden());
    QCOMPARE(window.StatusPanel(3)->text(), QString(kStatusToolbarHidden));
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_F11);
    QVERIFY(!window.Toolbar()->isHidden());
    QCOMPARE(window.StatusPanel(3)->text(), QString());

    // A toolbar item checks itself while the game is paused.
    QAction* pause = window.Toolbar()->actions()[0];
    pause->trigger();
    QVERIFY(board->GamePaused());
    QVERIFY(pause->isChecked());
    pause->trigger();
    QVERIFY(!board->GamePaused());

    // A right click beside every piece opens the popup menu.
    int x = 1, col = -1, row = -1;
    while (x < board->BoardWidth() - 1 && board->HitTest(x, 1, col, row)) ++x;
    QTest::mousePress(&window.PlayAreaWidget(), Qt::RightButton, Qt::NoModifier, QPoint(x, 1));
    QTRY_VERIFY(window.PopupMenu()->isVisible());
    window.PopupMenu()->actions()[0]->trigger();
    window.PopupMenu()->hide();
    QVERIFY(board->AllSelected());

    // Esc asks before closing; No keeps the game running.
    dialogs.answers["Quit Morvenhal Duduri?"] = QMessageBox::No;
    QTest::keyClick(&window.PlayAreaWidget(), Qt::Key_Escape);
    QCOMPARE(dialogs.Last("QMessageBox")->text, QString("Quit Morvenhal Duduri?"));
    QVERIFY(window.isVisible());
    QVERIFY(!board->GamePaused());

    // A new game from the toolbar replaces the board and its menus.
    window.Toolbar()->actions()[1]->trigger();
    QCOMPARE(window.Flow().GamesBuilt(), 2);
    QCOMPARE(window.Toolbar()->actions().size(), 2);
  }
};

DUDURI_QT_TEST(PlayerTest)

#include "PlayerTest.moc"
