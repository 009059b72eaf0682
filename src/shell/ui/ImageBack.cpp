#include "shell/ui/ImageBack.h"

#include <QMouseEvent>
#include <QPainter>

namespace duduri {

void TImageBack::SetAreaRect(std::optional<QRect> rect) {
  areaRect_ = rect;
  PlaceArea();
}

void TImageBack::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TImageBack::PlaceArea() {
  if (area_) area_->setGeometry(areaRect_ ? *areaRect_ : rect());
}

void TImageBack::paintEvent(QPaintEvent* event) {
  if (picture_.isNull()) {
    QWidget::paintEvent(event);
    return;
  }
  QPainter painter(this);
  painter.drawImage(event->rect(), picture_, event->rect());
}

void TImageBack::resizeEvent(QResizeEvent*) {
  PlaceArea();
}

void TImageBack::mousePressEvent(QMouseEvent* event) {
  pressAt_ = event->position().toPoint();
}

void TImageBack::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton)) return;
  // The press point stays under the cursor: in window coordinates, since the
  // backdrop may sit below a toolbar.
  const QPoint pressInWindow = mapTo(window(), pressAt_);
  window()->move(event->globalPosition().toPoint() - pressInWindow);
}

}  // namespace duduri
