#include "shell/ui/QtShellServices.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>

#include "shell/ShellTexts.h"
#include "shell/ui/Dialogs.h"

namespace duduri {

namespace {

void centreOnScreen(QWidget& w) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  w.move(area.center() - QPoint(w.width() / 2, w.height() / 2));
}

int runModal(QDialog& dialog) {
  dialog.adjustSize();
  centreOnScreen(dialog);
  return dialog.exec();
}

}  // namespace

QString QtFilterOf(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) continue;
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    // A caption that already names its patterns is not repeated.
    out << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + patterns + ")");
  }
  return out.join(";;");
}

TQtShellServices::TQtShellServices() : title_(kApplicationTitle) {}

TQtShellServices::~TQtShellServices() = default;

TModalResult TQtShellServices::MessageBox(const std::string& text, TMsgKind kind,
                                          TMsgButtons buttons) {
  QMessageBox box;
  box.setWindowTitle(title_);
  box.setText(QString::fromStdString(text));
  switch (kind) {
    case TMsgKind::mkWarning:
      box.setIcon(QMessageBox::Warning);
      break;
    case TMsgKind::mkError:
      box.setIcon(QMessageBox::Critical);
      break;
    case TMsgKind::mkInformation:
      box.setIcon(QMessageBox::Information);
      break;
    case TMsgKind::mkConfirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  if (buttons == TMsgButtons::mbYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
  }
  const int answer = box.exec();
  switch (answer) {
    case QMessageBox::Yes:
      return TModalResult::mrYes;
    case QMessageBox::No:
      return TModalResult::mrNo;
    case QMessageBox::Ok:
      return TModalResult::mrOk;
    default:
      return buttons == TMsgButtons::mbYesNo ? TModalResult::mrNo : TModalResult::mrOk;
  }
}

void TQtShellServices::ShowResult(const TResultDialogText& text) {
  TfrmWin dialog(text);
  runModal(dialog);
}

TModalResult TQtShellServices::PlayAgain() {
  TfrmPlayAgain dialog;
  return runModal(dialog) == QDialog::Accepted ? TModalResult::mrOk : TModalResult::mrCancel;
}

TModalResult TQtShellServices::NextPicture() {
  TfrmNextBitmap dialog;
  switch (runModal(dialog)) {
    case QDialog::Accepted:
      return TModalResult::mrOk;
    case kDialogYes:
      return TModalResult::mrYes;
    default:
      return TModalResult::mrCancel;
  }
}

int TQtShellServices::ChoosePicture(const TJigsawProject2& project) {
  TfrmChooseBitmap dialog(project);
  runModal(dialog);
  return dialog.BitmapIndex();
}

void TQtShellServices::ShowHighScores(const THighScore& scores, int level, float /*scale*/) {
  TfmHighScore dialog(scores, level);
  runModal(dialog);
}

std::string TQtShellServices::NameEntry() {
  TfmBestTopTen dialog;
  runModal(dialog);
  return dialog.Name().toStdString();
}

void TQtShellServices::ShowAbout(const TAboutRequest& request) {
  TfrmAbout dialog(request.Picture, true);
  dialog.adjustSize();
  if (request.Centre) {
    dialog.move(request.Over.Left + (request.Over.Width() - dialog.width()) / 2,
                request.Over.Top + (request.Over.Height() - dialog.height()) / 2);
  } else {
    centreOnScreen(dialog);
  }
  dialog.exec();
}

TFileDialogResult TQtShellServices::OpenFile(const TFileDialogRequest& request) {
  QString selected;
  const QString filters = QtFilterOf(request.Filter);
  const QStringList list = filters.split(";;");
  if (request.FilterIndex >= 1 && request.FilterIndex <= list.size()) {
    selected = list[request.FilterIndex - 1];
  }
  const QString name = QFileDialog::getOpenFileName(nullptr, QString::fromStdString(request.Title),
                                                    QString(), filters, &selected);
  TFileDialogResult result;
  result.Chosen = !name.isEmpty();
  result.FileName = name.toStdString();
  result.FilterIndex = int(list.indexOf(selected)) + 1;
  return result;
}

TFileDialogResult TQtShellServices::SaveFile(const TFileDialogRequest& request) {
  QFileDialog dialog(nullptr, QString::fromStdString(request.Title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(QtFilterOf(request.Filter).split(";;"));
  dialog.setDefaultSuffix(QString::fromStdString(request.DefaultExt));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
  const QStringList filters = dialog.nameFilters();
  if (request.FilterIndex >= 1 && request.FilterIndex <= filters.size()) {
    dialog.selectNameFilter(filters[request.FilterIndex - 1]);
  }
  TFileDialogResult result;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return result;
  result.Chosen = true;
  result.FileName = dialog.selectedFiles().front().toStdString();
  result.FilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return result;
}

std::optional<int> TQtShellServices::SelectSkin(const TJigsawProject2& project, int currentSkinId) {
  TfrmSelectSkin dialog(project, currentSkinId);
  // Placed where the window system puts a new dialog, not centred.
  dialog.adjustSize();
  if (dialog.exec() != QDialog::Accepted || dialog.SkinId() < 0) return std::nullopt;
  return dialog.SkinId();
}

std::optional<TPieceRange> TQtShellServices::ChangeDifficulty(TPieceRange current) {
  TfrmDifficulty dialog;
  dialog.SetNumPieces(current);
  if (runModal(dialog) != QDialog::Accepted) return std::nullopt;
  return dialog.NumPieces();
}

void TQtShellServices::ShowSplash(const TBitmap32& picture) {
  splash_ = std::make_unique<TfrmAbout>(&picture, false);
  centreOnScreen(*splash_);
  splash_->show();
}

void TQtShellServices::HideSplash() {
  splash_.reset();
}

void TQtShellServices::BeginProgress() {
  // Like a desktop progress dialog, it only appears when the work takes long
  // enough to be worth watching; a quick build never flashes a window.
  progressClock_.start();
}

void TQtShellServices::Progress(int position, int maximum) {
  if (!progress_ && progressClock_.isValid() && progressClock_.elapsed() >= kProgressDelay &&
      position < maximum) {
    progress_ = std::make_unique<TfrmProgressInfo>();
    centreOnScreen(*progress_);
    progress_->show();
  }
  if (progress_) progress_->SetProgress(position, maximum);
}

void TQtShellServices::EndProgress() {
  progress_.reset();
  progressClock_.invalidate();
}

}  // namespace duduri
