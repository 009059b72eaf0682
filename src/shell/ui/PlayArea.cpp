#include "shell/ui/PlayArea.h"

#include <QMouseEvent>
#include <QPainter>
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

}  // namespace

TPlayArea::TPlayArea(QWidget* parent) : QWidget(parent) {
  // Every pixel is painted from the frame: no background fill first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setFocusPolicy(Qt::StrongFocus);
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
  update();
}

void TPlayArea::PublishFrame(const TBitmap32& frame) {
  // The board's buffer outlives every frame until the board is freed, and
  // DetachFrame takes a copy then; publishing needs no copy of its own.
  wrap(frame);
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
}

void TPlayArea::ForgetFrame() {
  live_ = false;
  frame_ = QImage();
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

void TPlayArea::CancelPress() {
  if (!pressed_) return;
  pressed_ = false;
  const TMouseUpHandler handler = OnMouseUp;
  if (handler) handler(this, pressedButton_, 0, pressedAt_.x(), pressedAt_.y());
  afterInput();
}

}  // namespace duduri
