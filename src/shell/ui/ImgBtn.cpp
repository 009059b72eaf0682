#include "shell/ui/ImgBtn.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace duduri {

TImgBtn::TImgBtn(QImage normal, QImage hover, QImage pressed, QWidget* parent)
    : QWidget(parent),
      normal_(std::move(normal)),
      hover_(std::move(hover)),
      pressedImage_(std::move(pressed)) {
  // No background of its own: the skin shows through where a picture has
  // no pixels.
  resize(normal_.size());
}

const QImage& TImgBtn::FaceImage() const {
  switch (face_) {
    case TFace::fHover:
      return hover_;
    case TFace::fPressed:
      return pressedImage_;
    case TFace::fNormal:
      break;
  }
  return normal_;
}

void TImgBtn::showFace(TFace face) {
  if (face == face_) return;
  face_ = face;
  update();
  call(OnChange);
}

void TImgBtn::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, FaceImage());
}

void TImgBtn::enter() {
  mouseOver_ = true;
  showFace(pressed_ ? TFace::fPressed : TFace::fHover);
  call(OnEnter);
}

void TImgBtn::leave() {
  mouseOver_ = false;
  showFace(TFace::fNormal);
  call(OnLeave);
}

void TImgBtn::enterEvent(QEnterEvent*) {
  enter();
}

void TImgBtn::leaveEvent(QEvent*) {
  leave();
}

void TImgBtn::mouseMoveEvent(QMouseEvent* event) {
  // While the button is held Qt sends no enter or leave: follow the pointer.
  const bool over = rect().contains(event->position().toPoint());
  if (over == mouseOver_) return;
  if (over) {
    enter();
  } else {
    leave();
  }
}

void TImgBtn::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  mouseOver_ = rect().contains(event->position().toPoint());
  if (mouseOver_) showFace(TFace::fPressed);
  // The press may run a command that lays the window out again and frees
  // this button: nothing of it is touched afterwards.
  call(OnPress);
}

void TImgBtn::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  const bool over = rect().contains(event->position().toPoint());
  mouseOver_ = over;
  showFace(over ? TFace::fHover : TFace::fNormal);
  const QPointer<TImgBtn> alive(this);
  call(OnRelease);
  if (over && alive && isVisible()) call(OnClick);
}

}  // namespace duduri
