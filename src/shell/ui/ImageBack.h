#pragma once
// ImageBack: the backdrop the play area sits on. It shows the skin picture
// of a skinned window (or its plain colour otherwise) and is the parent of
// the play area, the skin buttons, the clock panels and skin banners.
//
// A press on it and a move with the left button held drag the window, so a
// borderless skinned window is moved by its skin. The play area fills it,
// unless a skin places it at a board area of its own.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <optional>

namespace duduri {

class TImageBack : public QWidget {
 public:
  explicit TImageBack(QWidget* parent) : QWidget(parent) {}

  void SetArea(QWidget* area) { area_ = area; }
  // The play area at a fixed rectangle (a skin's board area), or, with none,
  // filling the backdrop.
  void SetAreaRect(std::optional<QRect> rect);
  std::optional<QRect> AreaRect() const { return areaRect_; }
  // Puts the play area where it belongs now (after the backdrop was sized
  // while no resize event could arrive).
  void PlaceArea();
  // The picture shown under everything (the skin); a null image shows the
  // backdrop's colour.
  void SetPicture(const QImage& picture);
  const QImage& Picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  QWidget* area_ = nullptr;
  std::optional<QRect> areaRect_;
  QImage picture_;
  QPoint pressAt_;
};

}  // namespace duduri
