#pragma once
// TImgBtn: a skin button drawn from three pictures, normal, hover and
// pressed. It tracks two states, mouse-over and pressed:
//
//   enter   -> hover (pressed while the button is held)
//   leave   -> normal
//   press   -> pressed set; pressed shown while the mouse is over it
//   release -> pressed cleared; hover shown while the mouse is over it
//
// Every change of the picture shown raises OnChange; enter, leave, press and
// release raise their own events too. OnClick is a press and a release on the
// button with the left button. Handlers may lay the window out again, which
// frees the button: it is then hidden at once and deleted only once control
// is back in the event loop.

#include <QImage>
#include <QWidget>
#include <functional>

namespace duduri {

class TImgBtn : public QWidget {
  Q_OBJECT

 public:
  enum class TFace { fNormal, fHover, fPressed };

  TImgBtn(QImage normal, QImage hover, QImage pressed, QWidget* parent);

  bool MouseOver() const { return mouseOver_; }
  bool Pressed() const { return pressed_; }
  TFace Face() const { return face_; }
  const QImage& FaceImage() const;

  std::function<void()> OnChange;
  std::function<void()> OnEnter;
  std::function<void()> OnLeave;
  std::function<void()> OnPress;
  std::function<void()> OnRelease;
  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void showFace(TFace face);
  void enter();
  void leave();
  // Calls a copy: a handler that lays the window out again clears the
  // handlers of this button while the copy still runs.
  static void call(std::function<void()> f) {
    if (f) f();
  }

  QImage normal_;
  QImage hover_;
  QImage pressedImage_;
  TFace face_ = TFace::fNormal;
  bool mouseOver_ = false;
  bool pressed_ = false;
};

}  // namespace duduri
