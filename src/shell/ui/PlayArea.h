#pragma once
// TPlayArea: the widget the board draws into (Image321). It shows the board's
// back buffer through a QImage over the same pixels, so a frame costs no
// copy: the board composes into its buffer and the widget repaints from it.
// Between games, or after the board is gone, it shows its own picture.
//
// Presses go to the game flow (which hands them to the board and opens the
// popup menu); moves and releases go to whatever handlers the board has
// installed on the control, as the board expects of its host.
//
// Where the board's view shows only part of its table (a big puzzle, or any
// game zoomed in) the area pans it: dragging with the middle button or with
// Space held, the scroll bars along its edges and the mouse wheel (Shift:
// across); Ctrl with the wheel, "+" and "-" zoom about the pointer, "0"
// shows the whole table. A big table's view follows the area's size.

#include <QImage>
#include <QWidget>
#include <functional>

class QScrollBar;

#include "shell/MainView.h"

namespace duduri {

class TGameFlow;
class TSpriteDraw;

class TPlayArea : public QWidget, public IPlayArea {
  Q_OBJECT

 public:
  explicit TPlayArea(QWidget* parent = nullptr);

  // Where presses go, and what to call after any input reached the board
  // (the idle hook's cue that a new frame may be wanted).
  void SetFlow(TGameFlow* flow) { flow_ = flow; }
  void SetInputHook(std::function<void()> hook) { inputHook_ = std::move(hook); }
  void SetBackdrop(QColor color) { backdrop_ = color; }

  // ---- TBoardControl ----
  int ClientWidth() const override { return width(); }
  int ClientHeight() const override { return height(); }
  void PaintFrame(const TBitmap32& frame) override;
  void PublishFrame(const TBitmap32& frame) override;
  // ---- IPlayArea ----
  void Fill(TColor32 color) override;
  void DetachFrame() override;
  void ForgetFrame() override;
  void CopyImage(TBitmap32& target) const override;

  // Ends a press the board will not see released (the popup menu takes the
  // release).
  void CancelPress();
  // The image shown now, for tests: over the board's buffer while a board
  // draws here.
  const QImage& Shown() const { return live_ ? frame_ : own_; }
  bool ShowsBoardBuffer() const { return live_; }
  int Repaints() const { return repaints_; }
  QScrollBar* HorizontalBar() const { return horizontal_; }
  QScrollBar* VerticalBar() const { return vertical_; }
  bool Panning() const { return panning_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  TSpriteDraw* board() const;
  // The view can move: a press of the middle button (or of the left one
  // with Space held) pans instead of reaching the board.
  bool pans(const TSpriteDraw* b) const;
  void syncScrollBars();
  void placeScrollBars();
  void wrap(const TBitmap32& frame);
  void press(QMouseEvent* event, TShiftState extra);
  void afterInput() {
    if (inputHook_) inputHook_();
  }

  TGameFlow* flow_ = nullptr;
  std::function<void()> inputHook_;
  QImage frame_;  // over the board's back buffer, never written
  QImage own_;    // the area's own picture
  bool live_ = false;
  QColor backdrop_{171, 171, 171};
  bool pressed_ = false;
  TMouseButton pressedButton_ = mbLeft;
  QPoint pressedAt_;
  int repaints_ = 0;
  QScrollBar* horizontal_ = nullptr;
  QScrollBar* vertical_ = nullptr;
  bool syncing_ = false;
  bool spaceHeld_ = false;
  bool panning_ = false;
  QPoint panFrom_;
  QPoint scrollFrom_;
};

// Qt's modifiers and buttons as the board's shift state.
TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);

}  // namespace duduri
