// The monkey on the player's real window, offscreen: its presses, moves,
// releases and keys arrive as Qt events at the play area and the window, its
// menu clicks trigger the window's own actions, and every dialog that opens
// (message boxes, file dialogs, the game's own dialogs) is answered at
// random by a watcher as it appears. The rules are the headless monkey's;
// timers run for real besides the ticks the monkey sends, so a run is not
// repeatable to the event, only its seed is printed.

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <fstream>

#include "core/Monkey.h"
#include "qtmain/QtTestRegistry.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/MainWindow.h"
#include "shell/ui/PlayArea.h"

using namespace duduri;
using namespace duduri::monkey;

namespace {

QPushButton* buttonOf(QWidget* w, const QString& text) {
  for (QPushButton* b : w->findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

void press(QWidget* w, const QString& text) {
  if (QPushButton* b = buttonOf(w, text)) {
    b->click();
  } else if (auto* d = qobject_cast<QDialog*>(w)) {
    d->reject();
  }
}

// Answers whatever modal dialog is up, from the monkey's answers.
class TWatcher : public QObject {
 public:
  explicit TWatcher(TMonkeyAnswers& answers) : answers_(answers) {
    timer_.setInterval(2);
    connect(&timer_, &QTimer::timeout, this, [this] { answer(); });
    timer_.start();
  }
  int Answered() const { return answered_; }

 private:
  // The answer is given from the event loop, not from the timer's own call:
  // a dialog that opens another as it closes (a file dialog asking whether
  // to replace a file) runs that one's loop inside the answer, and the timer
  // does not fire again while its call has not returned.
  void answer() {
    if (pending_) return;
    QWidget* w = QApplication::activeModalWidget();
    if (!w || !w->isVisible()) return;
    pending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, target = QPointer<QWidget>(w)] {
          pending_ = false;
          if (target && target->isVisible()) answerNow(target);
        },
        Qt::QueuedConnection);
  }

  void answerNow(QWidget* w) {
    ++answered_;
    if (auto* box = qobject_cast<QMessageBox*>(w)) {
      const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
      const TModalResult r = answers_.Message(box->text().toStdString(),
                                              yesNo ? TMsgButtons::mbYesNo : TMsgButtons::mbOK);
      QAbstractButton* b = box->button(r == TModalResult::mrYes  ? QMessageBox::Yes
                                       : r == TModalResult::mrNo ? QMessageBox::No
                                                                 : QMessageBox::Ok);
      if (!b) b = box->buttons().value(0);
      if (b) b->click();
    } else if (auto* files = qobject_cast<QFileDialog*>(w)) {
      const std::string title = files->windowTitle().toStdString();
      const TFileDialogResult r = files->acceptMode() == QFileDialog::AcceptOpen
                                      ? answers_.OpenFile(title)
                                      : answers_.SaveFile(title);
      if (!r.Chosen) {
        files->reject();
        return;
      }
      files->selectNameFilter(files->nameFilters().value(r.FilterIndex - 1));
      files->selectFile(QString::fromStdString(r.FileName));
      static_cast<QDialog*>(files)->accept();
    } else if (auto* win = qobject_cast<TfrmWin*>(w)) {
      answers_.Result(win->windowTitle().toStdString());
      press(w, "OK");
    } else if (auto* entry = qobject_cast<TfmBestTopTen*>(w)) {
      entry->Edit()->setText(QString::fromStdString(answers_.Name()));
      press(w, "OK");
    } else if (qobject_cast<TfrmNextBitmap*>(w)) {
      const TModalResult r = answers_.NextPicture();
      press(w, r == TModalResult::mrOk    ? "Play Next Bitmap"
               : r == TModalResult::mrYes ? "Play Current Bitmap"
                                          : "Stop");
    } else if (qobject_cast<TfrmPlayAgain*>(w)) {
      press(w, answers_.PlayAgain() == TModalResult::mrOk ? "Play Again" : "Stop");
    } else if (auto* difficulty = qobject_cast<TfrmDifficulty*>(w)) {
      const std::optional<TPieceRange> r = answers_.Difficulty();
      if (!r) {
        press(w, "Cancel");
        return;
      }
      const auto items = DifficultyItems();
      int line = 0;
      for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i].Range == *r) line = int(i);
      }
      difficulty->Combo()->setCurrentIndex(std::min(line, difficulty->Combo()->count() - 1));
      press(w, "Ok");
    } else if (auto* skins = qobject_cast<TfrmSelectSkin*>(w)) {
      const std::optional<int> r = answers_.Skin(skins->List()->count());
      if (!r) {
        press(w, "Cancel");
        return;
      }
      skins->List()->setCurrentRow(*r);
      press(w, "Ok");
    } else if (auto* choose = qobject_cast<TfrmChooseBitmap*>(w)) {
      const int row = answers_.Picture(choose->List()->count());
      if (row < 0) {
        choose->reject();
        return;
      }
      choose->List()->setCurrentRow(row);
      choose->accept();
    } else if (auto* dialog = qobject_cast<QDialog*>(w)) {
      dialog->accept();
    }
  }

  TMonkeyAnswers& answers_;
  QTimer timer_;
  int answered_ = 0;
  bool pending_ = false;
};

// The monkey's hands on a TfrmMain.
class TQtHands : public IMonkeyHands {
 public:
  explicit TQtHands(TMonkeyAnswers& answers) : answers_(answers) {}
  ~TQtHands() override { Stop(); }

  TGameFlow* Flow() override { return window_ ? &window_->Flow() : nullptr; }
  void Start(const TMonkeyStart& start, const std::filesystem::path& projectFile) override {
    TShellEnvironment env;
    env.ExeDir = answers_.Folder();
    env.ExePath = answers_.PlayerFile();
    env.HighScorePath = answers_.Folder() / "highscorefile.dat";
    env.Seed = start.Seed;
    if (start.FromFile) {
      env.Args = {projectFile.string()};
      if (start.DeleteAtEnd) env.Args.push_back("-T");
    } else {
      const TBytes package = start.Package;
      env.ReadOwnOverlay = [package] { return TOwnOverlay{package, {}}; };
    }
    closed_ = false;
    window_ = std::make_unique<TfrmMain>(std::move(env));
    QObject::connect(window_.get(), &TfrmMain::Closed, [this] { closed_ = true; });
    if (!window_->Terminated()) window_->show();
  }
  void Stop() override { window_.reset(); }
  bool Ended() override { return !window_ || closed_ || window_->Terminated(); }

  TBoardPoint Press(int x, int y, TMouseButton button, TShiftState shift) override {
    TBoardPoint hit{-1, -1};
    if (TSpriteDraw* b = window_->Flow().Board()) b->HitTest(x, y, hit.X, hit.Y);
    held_ = qtButton(button);
    send(QEvent::MouseButtonPress, x, y, qtButton(button), held_, shift);
    return hit;
  }
  void Move(int x, int y, TShiftState shift) override {
    send(QEvent::MouseMove, x, y, Qt::NoButton, held_, shift);
  }
  void Release(int x, int y, TMouseButton button, TShiftState shift) override {
    held_ = Qt::NoButton;
    send(QEvent::MouseButtonRelease, x, y, qtButton(button), Qt::NoButton, shift);
  }
  void Key(int key, TShiftState shift, bool onPlayArea) override {
    QWidget* target = onPlayArea ? static_cast<QWidget*>(&window_->PlayAreaWidget())
                                 : static_cast<QWidget*>(window_.get());
    QKeyEvent event(QEvent::KeyPress, qtKey(key), modifiers(shift));
    QApplication::sendEvent(target, &event);
    settle();
  }
  void Click(const TMenuNode& node) override {
    if (QAction* action = window_->ActionOf(&node)) {
      action->trigger();
    } else {
      window_->Flow().MenuClick(node);
    }
    settle();
  }

  void ClockTick() override {
    if (TSpriteDraw* b = window_->Flow().Board()) b->ClockTick();
    settle();
  }
  bool AnimationTick() override {
    TSpriteDraw* b = window_->Flow().Board();
    if (!b || !b->AnimationTimer() || !b->AnimationTimer()->Enabled()) return false;
    b->AnimationStep();
    return true;
  }
  void Idle() override { settle(); }

  std::string StatusText(int panel) override {
    return window_->StatusPanel(panel)->text().toStdString();
  }
  std::string Title() override { return window_->windowTitle().toStdString(); }
  int SolutionShown() override {
    const TSpriteDraw* b = window_->Flow().Board();
    return window_->SolutionVisible() && b ? b->SolutionBitmap().Width() : -1;
  }

 private:
  static Qt::MouseButton qtButton(TMouseButton b) {
    return b == mbRight ? Qt::RightButton : b == mbMiddle ? Qt::MiddleButton : Qt::LeftButton;
  }
  static Qt::KeyboardModifiers modifiers(TShiftState s) {
    Qt::KeyboardModifiers m;
    if (s & ssCtrl) m |= Qt::ControlModifier;
    if (s & ssShift) m |= Qt::ShiftModifier;
    if (s & ssAlt) m |= Qt::AltModifier;
    return m;
  }
  static int qtKey(int vk) {
    switch (vk) {
      case kVkLeft:
        return Qt::Key_Left;
      case kVkUp:
        return Qt::Key_Up;
      case kVkRight:
        return Qt::Key_Right;
      case kVkDown:
        return Qt::Key_Down;
      case kVkEscape:
        return Qt::Key_Escape;
      case kVkF11:
        return Qt::Key_F11;
      default:
        break;
    }
    if (vk >= 97 && vk <= 122) return Qt::Key_A + (vk - 97);
    if ((vk >= 65 && vk <= 90) || (vk >= 48 && vk <= 57)) return vk;
    return Qt::Key_Space;
  }
  void send(QEvent::Type type, int x, int y, Qt::MouseButton button, Qt::MouseButtons buttons,
            TShiftState shift) {
    // A popup menu the monkey opened grabs the pointer: it is put away first.
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    QWidget& area = window_->PlayAreaWidget();
    const QPointF local(x, y);
    QMouseEvent event(type, local, area.mapToGlobal(local), button, buttons, modifiers(shift));
    QApplication::sendEvent(&area, &event);
    settle();
  }
  void settle() { QCoreApplication::processEvents(QEventLoop::AllEvents, 1); }

  TMonkeyAnswers& answers_;
  std::unique_ptr<TfrmMain> window_;
  bool closed_ = false;
  Qt::MouseButtons held_ = Qt::NoButton;
};

}  // namespace

class WindowMonkeyTest : public QObject {
  Q_OBJECT

 private slots:
  void playsTheRealWindowKeepingEveryRule() {
    const int seeds = qEnvironmentVariableIsSet("MONKEY_QT_SEEDS")
                          ? qEnvironmentVariableIntValue("MONKEY_QT_SEEDS")
                          : 5;
    const int events = qEnvironmentVariableIsSet("MONKEY_QT_EVENTS")
                           ? qEnvironmentVariableIntValue("MONKEY_QT_EVENTS")
                           : 1000;
    long sent = 0, games = 0, wins = 0;
    int answered = 0;
    for (int seed = 1; seed <= seeds; ++seed) {
      QTemporaryDir folder;
      QVERIFY(folder.isValid());
      TMonkeyRandom random{std::uint64_t(seed)};
      TMonkeyAnswers answers(random, folder.path().toStdString(), true);
      TWatcher watcher(answers);
      TQtHands hands(answers);
      TMonkey monkey({.Seed = std::uint64_t(seed), .Events = events, .Tame = true}, hands, answers,
                     random);
      const TMonkeyReport report = monkey.Run();
      sent += report.Events;
      games += report.Games;
      wins += report.Wins;
      answered += watcher.Answered();
      if (report.Failed) {
        QFAIL(qPrintable(QString("window monkey seed %1 broke a rule at event %2: %3\n%4")
                             .arg(seed)
                             .arg(report.EventAtFailure)
                             .arg(QString::fromStdString(report.Failure),
                                  QString::fromStdString(report.Recent))));
      }
    }
    qInfo("window monkey: %d seeds, %ld events, %ld games, %ld wins, %d dialogs answered", seeds,
          sent, games, wins, answered);
  }
};

DUDURI_QT_TEST(WindowMonkeyTest)

#include "WindowMonkeyTest.moc"
