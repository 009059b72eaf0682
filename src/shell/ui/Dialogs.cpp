// The common dialog look, and the windows that come and go around a game:
// progress, result, about and splash, solution.

#include "shell/ui/Dialogs.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "shell/ShellTexts.h"

namespace duduri {

QImage ImageOf(const TBitmap32& bitmap) {
  if (bitmap.Empty()) return QImage();
  return QImage(reinterpret_cast<const uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
                4 * bitmap.Width(), QImage::Format_ARGB32)
      .copy();
}

TPlayerDialog::TPlayerDialog(const QString& caption, int clientWidth, int clientHeight,
                             QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(caption);
  setFixedSize(clientWidth, clientHeight);
  QFont font("Verdana");
  font.setPointSize(8);
  setFont(font);
  QPalette grey = palette();
  grey.setColor(QPalette::Window, QColor(154, 154, 154));
  setPalette(grey);
  setAutoFillBackground(true);

  panel_ = new QFrame(this);
  panel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel_->setLineWidth(2);
  QPalette light = panel_->palette();
  light.setColor(QPalette::Window, QColor(232, 232, 232));
  panel_->setPalette(light);
  panel_->setAutoFillBackground(true);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(2, 2, 2, 2);
  outer->addWidget(panel_);
}

// ---- Progress ------------------------------------------------------------------

TfrmProgressInfo::TfrmProgressInfo(QWidget* parent)
    : TPlayerDialog("Creating Pieces Data...", 406, 56, parent) {
  // It cannot be closed by the user: no border icons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  auto* label = new QLabel("Building ...", panel_);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  bar_ = new QProgressBar(panel_);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(8, 4, 8, 4);
  layout->setSpacing(2);
  layout->addWidget(label);
  layout->addWidget(bar_);
}

void TfrmProgressInfo::SetProgress(int position, int maximum) {
  bar_->setMaximum(std::max(maximum, 1));
  bar_->setValue(std::clamp(position, 0, bar_->maximum()));
}

void TfrmProgressInfo::closeEvent(QCloseEvent* event) {
  event->ignore();
}

// ---- Result --------------------------------------------------------------------

TfrmWin::TfrmWin(const TResultDialogText& text, QWidget* parent)
    : TPlayerDialog(QString::fromStdString(text.Caption), 384, 148, parent) {
  large_ = new QLabel(QString::fromStdString(text.LargeText), panel_);
  QFont times("Times New Roman");
  times.setPointSize(text.LargeTextPoints > 0 ? text.LargeTextPoints : 36);
  times.setBold(true);
  large_->setFont(times);
  large_->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

  auto* second = new QLabel(QString::fromStdString(text.SecondLine), panel_);
  QFont bold = second->font();
  bold.setBold(true);
  second->setFont(bold);
  auto* clock = new QLabel(QString::fromStdString(text.ClockText), panel_);
  clock->setObjectName("clock");
  clock->setFixedSize(100, 21);
  clock->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  clock->setAlignment(Qt::AlignCenter);
  clock->setAutoFillBackground(true);
  QPalette white = clock->palette();
  white.setColor(QPalette::Window, Qt::white);
  clock->setPalette(white);
  auto* ok = new QPushButton("OK", panel_);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* timeRow = new QHBoxLayout;
  timeRow->addStretch();
  timeRow->addWidget(second);
  timeRow->addWidget(clock);
  timeRow->addStretch();
  auto* buttonRow = new QHBoxLayout;
  buttonRow->addStretch();
  buttonRow->addWidget(ok);
  buttonRow->addStretch();
  auto* layout = new QVBoxLayout(panel_);
  layout->setContentsMargins(6, 2, 6, 6);
  layout->addWidget(large_, 1);
  layout->addLayout(timeRow);
  layout->addLayout(buttonRow);
}

// ---- About and splash ------------------------------------------------------------

TfrmAbout::TfrmAbout(const TBitmap32* picture, bool closable, QWidget* parent)
    : QDialog(parent), closable_(closable), picture_(picture != nullptr) {
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(this);
  if (picture) {
    // The picture alone, without border, at its own size.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* image = new QLabel(this);
    image->setPixmap(QPixmap::fromImage(ImageOf(*picture)));
    layout->addWidget(image);
    setFixedSize(picture->Width(), picture->Height());
    return;
  }
  setWindowTitle("About");
  setFixedSize(300, 236);
  QFont font("Verdana");
  font.setPointSize(8);
  setFont(font);
  auto* name = new QLabel(kApplicationTitle, this);
  QFont big = name->font();
  big.setPointSize(16);
  big.setBold(true);
  name->setFont(big);
  name->setAlignment(Qt::AlignCenter);
  auto* what = new QLabel("A jigsaw puzzle game", this);
  what->setAlignment(Qt::AlignCenter);
  auto* systems = new QLabel("For Linux desktops running X11 or Wayland", this);
  systems->setAlignment(Qt::AlignCenter);
  systems->setWordWrap(true);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  auto* ok = new QPushButton("OK", this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(ok);
  layout->addStretch();
  layout->addWidget(name);
  layout->addWidget(what);
  layout->addWidget(systems);
  layout->addStretch();
  layout->addWidget(line);
  layout->addLayout(buttons);
}

void TfrmAbout::mousePressEvent(QMouseEvent* event) {
  if (closable_ && picture_) {
    accept();
    return;
  }
  QDialog::mousePressEvent(event);
}

void TfrmAbout::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && !closable_) return;
  QDialog::keyPressEvent(event);
}

// ---- Solution ------------------------------------------------------------------

TfrmSolution::TfrmSolution(QWidget* parent) : QWidget(parent, Qt::Tool) {
  setWindowTitle("Solution");
  resize(436, 307);
}

void TfrmSolution::SetSolution(const TBitmap32& solution) {
  image_ = ImageOf(solution);
  if (!image_.isNull()) {
    // The window keeps its height; its width follows the picture.
    const int h = height();
    const int w = int(std::lround(double(image_.width()) * h / image_.height()));
    resize(std::max(w, 1), h);
  }
  update();
}

void TfrmSolution::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().window());
  if (!image_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(0, 0, width(), height()), image_);
  }
}

}  // namespace duduri
