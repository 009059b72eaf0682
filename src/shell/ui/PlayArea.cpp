#include "shell/ui/PlayArea.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <cstring>

#include "shell/GameFlow.h"
#include "shell/ui/SlotGuard.h"

namespace duduri {

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons) {
  TShiftState s = 0;
  if (modifiers & Qt::ShiftModifier) s |= ssShift;
  if (modifiers & Qt::AltModifier) s |= ssAlt;
  if (modifiers & Qt::ControlModifier) s |= ssCtrl;
  if (buttons & Qt::LeftButton) s |= ssLeft;
  if (buttons & Qt::RightButton) s |= ssRight;
  if (buttons & Qt::MiddleButton) s |= ssMiddle;
  return s;
}

namespace {

bool boardButton(Qt::MouseButton button, TMouseButton& out) {
  switch (button) {
    case Qt::LeftButton:
      out = mbLeft;
      return true;
    case Qt::RightButton:
      out = mbRight;
      return true;
    case Qt::MiddleButton:
      out = mbMiddle;
      return true;
    default:
      return false;
  }
}

// Scroll bars lie over the frame's edges, thin, as on a touch-pad desktop.
constexpr int kBarThickness = 12;
// A wheel notch scrolls this many view pixels.
constexpr int kWheelStep = 96;

}  // namespace

TPlayArea::TPlayArea(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted from the frame: no background fill first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
  horizontal_ = new QScrollBar(Qt::Horizontal, this);
  vertical_ = new QScrollBar(Qt::Vertical, this);
  for (QScrollBar* bar : {horizontal_, vertical_}) {
    bar->setObjectName(bar == horizontal_ ? "HorizontalBar" : "VerticalBar");
    bar->setFocusPolicy(Qt::NoFocus);
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, [this] {
      if (syncing_) return;
      if (TSpriteDraw* b = board()) b->ScrollViewTo(horizontal_->value(), vertical_->value());
    });
  }
}

TSpriteDraw* TPlayArea::board() const {
  return flow_ ? flow_->Board() : nullptr;
}

bool TPlayArea::pans(const TSpriteDraw* b) const {
  return b && b->View().CanPan();
}

void TPlayArea::placeScrollBars() {
  const bool both = horizontal_->isVisibleTo(this) && vertical_->isVisibleTo(this);
  horizontal_->setGeometry(0, height() - kBarThickness,
                           width() - (both ? kBarThickness : 0), kBarThickness);
  vertical_->setGeometry(width() - kBarThickness, 0, kBarThickness,
                         height() - (both ? kBarThickness : 0));
}

void TPlayArea::syncScrollBars() {
  const TSpriteDraw* b = live_ ? board() : nullptr;
  const TBoardView* v = b ? &b->View() : nullptr;
  syncing_ = true;
  const bool across = v && v->MaxScrollX() > 0;
  const bool down = v && v->MaxScrollY() > 0;
  if (across) {
    horizontal_->setRange(0, v->MaxScrollX());
    horizontal_->setPageStep(v->ViewWidth());
    horizontal_->setSingleStep(kWheelStep / 2);
    horizontal_->setValue(v->ScrollX());
  }
  if (down) {
    vertical_->setRange(0, v->MaxScrollY());
    vertical_->setPageStep(v->ViewHeight());
    vertical_->setSingleStep(kWheelStep / 2);
    vertical_->setValue(v->ScrollY());
  }
  const bool changed = horizontal_->isVisibleTo(this) != across ||
                       vertical_->isVisibleTo(this) != down;
  horizontal_->setVisible(across);
  vertical_->setVisible(down);
  if (changed) placeScrollBars();
  syncing_ = false;
}

void TPlayArea::wrap(const TBitmap32& frame) {
  // The back buffer is opaque, so it is shown as RGB32, the fast path. The
  // QImage is rebuilt only when the board's buffer moves or changes size.
  const auto* bits = reinterpret_cast<const uchar*>(frame.Bits());
  if (frame_.constBits() != bits || frame_.width() != frame.Width() ||
      frame_.height() != frame.Height()) {
    frame_ = frame.Empty() ? QImage()
                           : QImage(bits, frame.Width(), frame.Height(), 4 * frame.Width(),
                                    QImage::Format_RGB32);
  }
  live_ = !frame_.isNull();
}

void TPlayArea::PaintFrame(const TBitmap32& frame) {
  wrap(frame);
  syncScrollBars();
  update();
}

void TPlayArea::PublishFrame(const TBitmap32& frame) {
  // The board's buffer outlives every frame until the board is freed, and
  // DetachFrame takes a copy then; publishing needs no copy of its own.
  wrap(frame);
  syncScrollBars();
  update();
}

void TPlayArea::Fill(TColor32 color) {
  own_ = QImage(std::max(width(), 1), std::max(height(), 1), QImage::Format_RGB32);
  own_.fill(QColor::fromRgb(color));
  live_ = false;
  update();
}

void TPlayArea::DetachFrame() {
  if (live_) own_ = frame_.copy();
  live_ = false;
  frame_ = QImage();
  syncScrollBars();
}

void TPlayArea::ForgetFrame() {
  live_ = false;
  frame_ = QImage();
  syncScrollBars();
}

void TPlayArea::CopyImage(TBitmap32& target) const {
  const QImage image = Shown().convertToFormat(QImage::Format_RGB32);
  target.SetSize(image.width(), image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const TColor32*>(image.constScanLine(y));
    TColor32* out = target.ScanLine(y);
    for (int x = 0; x < image.width(); ++x) out[x] = row[x] | 0xFF000000u;
  }
}

void TPlayArea::paintEvent(QPaintEvent* event) {
  ++repaints_;
  QPainter painter(this);
  const QImage& image = Shown();
  const QRect area = event->rect();
  const QRect picture = image.rect() & area;
  if (!picture.isEmpty()) painter.drawImage(picture.topLeft(), image, picture);
  // Whatever the picture does not cover (a window grown after the game
  // started) shows the backdrop colour.
  const QRegion rest = QRegion(area) - QRegion(image.rect());
  for (const QRect& r : rest) painter.fillRect(r, backdrop_);
}

void TPlayArea::press(QMouseEvent* event, TShiftState extra) {
  TMouseButton button;
  if (!boardButton(event->button(), button)) return;
  TSpriteDraw* b = board();
  const bool panButton =
      event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && spaceHeld_);
  if (panButton && pans(b) && !pressed_ && !panning_) {
    panning_ = true;
    panFrom_ = event->position().toPoint();
    scrollFrom_ = QPoint(b->View().ScrollX(), b->View().ScrollY());
    setCursor(Qt::ClosedHandCursor);
    return;
  }
  pressed_ = true;
  pressedButton_ = button;
  pressedAt_ = event->position().toPoint();
  if (flow_) {
    const QPoint global = event->globalPosition().toPoint();
    flow_->Image321MouseDown(button, ShiftStateOf(event->modifiers(), event->buttons()) | extra,
                             pressedAt_.x(), pressedAt_.y(), global.x(), global.y());
  }
  afterInput();
}

void TPlayArea::mousePressEvent(QMouseEvent* event) {
  press(event, 0);
}

void TPlayArea::mouseDoubleClickEvent(QMouseEvent* event) {
  press(event, ssDouble);
}

void TPlayArea::mouseMoveEvent(QMouseEvent* event) {
  if (panning_) {
    const QPoint d = event->position().toPoint() - panFrom_;
    if (TSpriteDraw* b = board()) b->ScrollViewTo(scrollFrom_.x() - d.x(), scrollFrom_.y() - d.y());
    return;
  }
  // The board may replace or restore the handler, or be freed, during the
  // call: call a copy.
  const TMouseMoveHandler handler = OnMouseMove;
  const QPoint p = event->position().toPoint();
  if (handler) {
    GuardSlot(
        [&] { handler(this, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y()); });
  }
  afterInput();
}

void TPlayArea::mouseReleaseEvent(QMouseEvent* event) {
  TMouseButton button;
  if (!boardButton(event->button(), button)) return;
  if (panning_) {
    if (event->buttons() & (Qt::MiddleButton | Qt::LeftButton)) return;
    panning_ = false;
    setCursor(spaceHeld_ ? Qt::OpenHandCursor : Qt::ArrowCursor);
    return;
  }
  pressed_ = false;
  const TMouseUpHandler handler = OnMouseUp;
  const QPoint p = event->position().toPoint();
  if (handler) {
    GuardSlot([&] {
      handler(this, button, ShiftStateOf(event->modifiers(), event->buttons()), p.x(), p.y());
    });
  }
  afterInput();
}

void TPlayArea::wheelEvent(QWheelEvent* event) {
  TSpriteDraw* b = board();
  if (!b || !live_) {
    event->ignore();
    return;
  }
  const QPoint notches = event->angleDelta();
  const QPoint at = event->position().toPoint();
  if (event->modifiers() & Qt::ControlModifier) {
    if (notches.y() != 0) b->ZoomStep(notches.y() > 0 ? +1 : -1, at.x(), at.y());
    event->accept();
    return;
  }
  if (!pans(b)) {
    event->ignore();
    return;
  }
  // 120 units a notch; Shift turns the wheel across.
  int dx = -notches.x() * kWheelStep / 120;
  int dy = -notches.y() * kWheelStep / 120;
  if (event->modifiers() & Qt::ShiftModifier) std::swap(dx, dy);
  b->ScrollViewBy(dx, dy);
  event->accept();
}

void TPlayArea::keyPressEvent(QKeyEvent* event) {
  TSpriteDraw* b = live_ ? board() : nullptr;
  const QPoint middle(width() / 2, height() / 2);
  QPoint at = mapFromGlobal(QCursor::pos());
  if (!rect().contains(at)) at = middle;
  switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
      if (b) b->ZoomStep(+1, at.x(), at.y());
      break;
    case Qt::Key_Minus:
      if (b) b->ZoomStep(-1, at.x(), at.y());
      break;
    case Qt::Key_0:
      if (!b) {
        event->ignore();
        return;
      }
      // Back to 1:1 where the whole table is in view already.
      if (!b->FitAll()) b->ZoomViewAt(1.0, at.x(), at.y());
      break;
    case Qt::Key_Space:
      if (!event->isAutoRepeat()) {
        spaceHeld_ = true;
        if (!panning_ && pans(b)) setCursor(Qt::OpenHandCursor);
      }
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TPlayArea::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    spaceHeld_ = false;
    if (!panning_) setCursor(Qt::ArrowCursor);
    event->accept();
    return;
  }
  QWidget::keyReleaseEvent(event);
}

void TPlayArea::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  placeScrollBars();
  // A big table's view is the area; an ordinary board keeps its size.
  if (TSpriteDraw* b = live_ ? board() : nullptr) b->ResizeView(width(), height());
}

void TPlayArea::CancelPress() {
  if (!pressed_) return;
  pressed_ = false;
  const TMouseUpHandler handler = OnMouseUp;
  if (handler) handler(this, pressedButton_, 0, pressedAt_.x(), pressedAt_.y());
  afterInput();
}

}  // namespace duduri
