// The skin choice and the change of difficulty, one widget at a time; what
// a script's target is taken for before the desktop opens it; and an error
// thrown where Qt called the player, which must end in an error box.

#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

#include "project/Project.h"
#include "qtmain/QtTestRegistry.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/PieceCountRule.h"
#include "shell/ui/Dialogs.h"
#include "shell/ui/QtDesktop.h"
#include "shell/ui/SlotGuard.h"

using namespace duduri;

namespace {

// A skin whose picture is one colour; `data` replaces it when given.
void addSkin(TJigsawProject2& project, TColor32 colour, int width, int height) {
  TSkinEntry& skin = project.NewSkinEntry();
  skin.Kind = kStyleSkinned;
  TBitmap32 picture;
  picture.SetSize(width, height);
  picture.Clear(colour);
  skin.Image = EncodeBmp(picture, 24);
}

QPushButton* buttonOf(QWidget& w, const QString& text) {
  for (QPushButton* b : w.findChildren<QPushButton*>()) {
    if (b->text() == text) return b;
  }
  return nullptr;
}

}  // namespace

class ChoiceDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void skinDialogListsEverySkinWithItsThumbnail() {
    TJigsawProject2 project;
    addSkin(project, 0xFFFF0000, 300, 200);
    addSkin(project, 0xFF00FF00, 50, 400);
    project.NewSkinEntry().Image = TBytes(30, std::byte{7});  // does not decode
    TfrmSelectSkin dialog(project, 1);
    QCOMPARE(dialog.windowTitle(), QString("Select Skin"));
    QCOMPARE(dialog.List()->count(), 3);
    for (int i = 0; i < 3; ++i) {
      QCOMPARE(dialog.List()->item(i)->text(), QString("Skin #%1").arg(i + 1));
      QCOMPARE(dialog.Thumbnail(i).size(), QSize(128, 128));
    }
    // The current skin is selected and shown; proportions are not kept.
    QCOMPARE(dialog.SkinId(), 1);
    QCOMPARE(dialog.PreviewImage().pixel(5, 120), 0xFF00FF00u);
    QCOMPARE(dialog.PreviewImage().pixel(120, 5), 0xFF00FF00u);
    dialog.List()->setCurrentRow(0);
    QCOMPARE(dialog.PreviewImage().pixel(64, 64), 0xFFFF0000u);
    dialog.List()->setCurrentRow(2);
    QCOMPARE(dialog.PreviewImage().pixel(64, 64), 0xFF000000u);
    QVERIFY(buttonOf(dialog, "Ok"));
    QVERIFY(buttonOf(dialog, "Cancel"));
    dialog.show();
    buttonOf(dialog, "Ok")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.SkinId(), 2);
  }

  void difficultyDialogSelectsWithoutChanging() {
    struct Case {
      TPieceRange range;
      QString shown;
    };
    const Case cases[] = {{{151, 200}, "150 - 200 pieces"},
                          {{120, 140}, "100 - 150 pieces"},
                          {{30, 40}, "< 25 pieces"},
                          {{201, 65535}, "> 200 pieces"},
                          {{25, 50}, "25 - 50 pieces"}};
    for (const Case& c : cases) {
      TfrmDifficulty dialog;
      QCOMPARE(dialog.windowTitle(), QString("Change Difficulty"));
      QCOMPARE(dialog.Combo()->count(), int(DifficultyItems().size()));
      QCOMPARE(dialog.NumPiecesMin(), 0);
      QCOMPARE(dialog.NumPiecesMax(), 24);
      dialog.SetNumPieces(c.range);
      dialog.show();
      QCOMPARE(dialog.Combo()->currentText(), c.shown);
      // Showing is not choosing.
      QCOMPARE(dialog.NumPieces(), c.range);
      dialog.reject();
    }
    TfrmDifficulty dialog;
    dialog.SetNumPieces({30, 40});
    dialog.show();
    dialog.Combo()->setCurrentIndex(2);
    QCOMPARE(dialog.NumPieces(), (TPieceRange{51, 100}));
    QTest::keyClick(dialog.Combo(), Qt::Key_Up);
    QCOMPARE(dialog.Combo()->currentText(), QString("25 - 50 pieces"));
    QCOMPARE(dialog.NumPieces(), (TPieceRange{25, 50}));
    buttonOf(dialog, "Ok")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
  }

  void desktopTargetsAreNamesNotCommands() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString program = dir.filePath("tool");
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    TDesktopTarget address = DesktopTargetOf("https://example.org/a?b=c d");
    QCOMPARE(address.Kind, TDesktopTarget::tkAddress);
    QCOMPARE(address.Url.host(), QString("example.org"));
    QCOMPARE(DesktopTargetOf("mailto:someone@example.org").Kind, TDesktopTarget::tkAddress);
    const TDesktopTarget tool = DesktopTargetOf(program);
    QCOMPARE(tool.Kind, TDesktopTarget::tkProgram);
    QCOMPARE(tool.Program, program);
    // A name with a shell's special characters is still just a file name.
    const TDesktopTarget odd = DesktopTargetOf(dir.filePath("a; rm -rf x $(y).txt"));
    QCOMPARE(odd.Kind, TDesktopTarget::tkDocument);
    QCOMPARE(odd.Url.toLocalFile(), dir.filePath("a; rm -rf x $(y).txt"));
    QCOMPARE(DesktopTargetOf("  ").Kind, TDesktopTarget::tkNone);
    QCOMPARE(DesktopTargetOf("C:\\games\\readme.txt").Kind, TDesktopTarget::tkDocument);
  }

  void anErrorWhereQtCalledThePlayerEndsInABox() {
    QString shown;
    QTimer answer;
    answer.setInterval(5);
    connect(&answer, &QTimer::timeout, this, [&] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
      }
    });
    answer.start();
    bool after = false;
    QTimer::singleShot(0, this, [&] {
      GuardSlot([] { throw std::out_of_range("index 7 past the end"); });
      after = true;
    });
    QTRY_VERIFY(after);
    QCOMPARE(shown, QString("index 7 past the end"));
    GuardSlot([] { throw 42; });
    QCOMPARE(shown, QString("An unexpected error occurred."));
  }
};

DUDURI_QT_TEST(ChoiceDialogTest)

#include "ChoiceDialogTest.moc"
