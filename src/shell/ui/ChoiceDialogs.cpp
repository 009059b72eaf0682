// The dialogs that ask something: choose a picture, play again, next
// picture, the name for a high score, and the high-score table.

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "project/HighScore.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/ShellTexts.h"
#include "shell/ui/Dialogs.h"

namespace duduri {

namespace {

QLabel* boldLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

QLabel* timesLabel(const QString& text, int points, bool bold, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont times("Times New Roman");
  times.setPointSize(points);
  times.setBold(bold);
  label->setFont(times);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

// The row of buttons on its darker bottom panel.
QWidget* buttonPanel(QWidget* parent) {
  auto* bar = new QWidget(parent);
  QPalette grey = bar->palette();
  grey.setColor(QPalette::Window, QColor(204, 204, 204));
  bar->setPalette(grey);
  bar->setAutoFillBackground(true);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(6, 6, 6, 6);
  row->addStretch();
  return bar;
}

QPushButton* addButton(QWidget* panel, const QString& text) {
  auto* button = new QPushButton(text, panel);
  auto* row = static_cast<QHBoxLayout*>(panel->layout());
  row->addWidget(button);
  row->addStretch();
  return button;
}

}  // namespace

// ---- Choose picture --------------------------------------------------------------

TfrmChooseBitmap::TfrmChooseBitmap(const TJigsawProject2& project, QWidget* parent)
    : TPlayerDialog("Choose Image to Play", 427, 286, parent), project_(project) {
  list_ = new QListWidget(panel_);
  list_->setFixedSize(144, 226);
  auto* frame = new QFrame(panel_);
  frame->setFixedSize(255, 255);
  frame->setAutoFillBackground(true);
  QPalette white = frame->palette();
  white.setColor(QPalette::Window, Qt::white);
  frame->setPalette(white);
  preview_ = new QLabel(frame);
  preview_->setGeometry(1, 1, 253, 253);
  auto* play = new QPushButton("Play", panel_);
  play->setDefault(true);

  auto* left = new QVBoxLayout;
  left->addWidget(boldLabel("Bitmap List :", panel_));
  left->addWidget(list_);
  left->addWidget(play);
  auto* right = new QVBoxLayout;
  right->addWidget(boldLabel("Preview :", panel_));
  right->addWidget(frame);
  auto* layout = new QHBoxLayout(panel_);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->addLayout(left);
  layout->addLayout(right);

  for (std::size_t i = 0; i < project_.Pictures.size(); ++i) {
    const TBMPData& picture = project_.Pictures[i];
    if (!IsPictureId(picture.ID)) continue;
    list_->addItem(QString::fromStdString(picture.Name));
    indexes_.push_back(int(i));
  }
  connect(list_, &QListWidget::currentRowChanged, this, [this] { showPreview(); });
  connect(play, &QPushButton::clicked, this, [this] {
    takeSelection();
    accept();
  });
  if (list_->count() > 0) list_->setCurrentRow(0);
}

void TfrmChooseBitmap::showPreview() {
  const int row = list_->currentRow();
  if (row < 0 || row >= int(indexes_.size())) return;
  // A picture that does not decode shows no preview; playing it reports it.
  try {
    TBitmap32 bitmap;
    bitmap.Assign(DecodeJpeg(project_.Pictures[std::size_t(indexes_[std::size_t(row)])].Data));
    preview_->setPixmap(QPixmap::fromImage(
        ImageOf(bitmap).scaled(253, 253, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)));
  } catch (const EDuduriError&) {
    preview_->clear();
  }
}

void TfrmChooseBitmap::takeSelection() {
  const int row = list_->currentRow();
  if (row >= 0 && row < int(indexes_.size())) bitmapIndex_ = indexes_[std::size_t(row)];
}

void TfrmChooseBitmap::hideEvent(QHideEvent* event) {
  // However the dialog is closed, the selected picture is played.
  takeSelection();
  TPlayerDialog::hideEvent(event);
}

// ---- Play again, next picture ------------------------------------------------------

TfrmPlayAgain::TfrmPlayAgain(QWidget* parent) : TPlayerDialog("Play", 392, 153, parent) {
  auto* bar = buttonPanel(panel_);
  auto* again = addButton(bar, "Play Again");
  auto* stop = addButton(bar, "Stop");
  again->setDefault(true);
  connect(again, &QPushButton::clicked, this, &QDialog::accept);
  connect(stop, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(timesLabel("Play Again ?", 36, false, panel_), 1);
  layout->addWidget(bar);
}

TfrmNextBitmap::TfrmNextBitmap(QWidget* parent) : TPlayerDialog("Next Bitmap", 414, 148, parent) {
  auto* bar = buttonPanel(panel_);
  auto* next = addButton(bar, "Play Next Bitmap");
  auto* current = addButton(bar, "Play Current Bitmap");
  auto* stop = addButton(bar, "Stop");
  next->setDefault(true);
  connect(next, &QPushButton::clicked, this, &QDialog::accept);
  connect(current, &QPushButton::clicked, this, [this] { done(kDialogYes); });
  connect(stop, &QPushButton::clicked, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(timesLabel("Continue With Next Bitmap ?", 20, true, panel_), 1);
  layout->addWidget(bar);
}

// ---- High scores -----------------------------------------------------------------

TfmHighScore::TfmHighScore(const THighScore& scores, int level, QWidget* parent)
    : TPlayerDialog("High Score", 425, 283, parent) {
  list_ = new QTreeWidget(panel_);
  list_->setColumnCount(3);
  list_->setHeaderLabels({"No", "Name", "Time"});
  list_->setRootIsDecorated(false);
  list_->setFrameShape(QFrame::NoFrame);
  list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  list_->header()->resizeSection(0, 40);
  list_->header()->resizeSection(1, 250);
  list_->header()->resizeSection(2, 120);
  list_->headerItem()->setTextAlignment(2, Qt::AlignCenter);
  if (level >= 0 && level < kScoreLevelCount) {
    for (int n = 0; n < kHighScorePlaces; ++n) {
      const THighScoreData entry = scores.EntryAt(level, n);
      // Empty places leave gaps: the row number is the place number.
      if (entry.Score == -1) continue;
      auto* row = new QTreeWidgetItem(list_);
      row->setText(0, QString::number(n + 1));
      row->setText(1, QString::fromStdString(entry.Name));
      row->setText(2, QString::fromStdString(FormatClock(entry.Score)));
      row->setTextAlignment(2, Qt::AlignCenter);
    }
  }
  auto* ok = new QPushButton("OK", panel_);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(list_, 1);
  layout->addLayout(buttons);
}

// ---- Name entry ------------------------------------------------------------------

TfmBestTopTen::TfmBestTopTen(QWidget* parent) : TPlayerDialog("Best Top Ten", 402, 59, parent) {
  edit_ = new QLineEdit(panel_);
  edit_->setFixedWidth(310);
  edit_->setMaxLength(30);
  auto* ok = new QPushButton("OK", panel_);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(edit_);
  row->addWidget(ok);
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(6, 2, 6, 2);
  layout->setSpacing(2);
  layout->addWidget(boldLabel("Enter Your Name :", panel_));
  layout->addLayout(row);
}

QString TfmBestTopTen::Name() const {
  return edit_->text();
}

}  // namespace duduri
