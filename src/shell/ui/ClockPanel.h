#pragma once
// TClockPanel: a clock panel of a skinned window, at a text style's place on
// the skin. Each clock tick puts the panel's background back and draws the
// clock text over it in the text style's font and colour, centred on the size
// of "88:88:88" so the digits do not wobble as they change. Until the first
// text the panel is not shown and the skin stays as it is. It lets the mouse
// through, so the skin under it still drags the window.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

#include "project/ProjectRecords.h"

namespace duduri {

// The text style's font as Qt sees it: the size in points when there is one
// (at the 96 dots per inch skins are drawn for), else the height in pixels.
QFont TextStyleFont(const TTextStyleFont& font);

class TClockPanel : public QWidget {
 public:
  TClockPanel(QImage background, QFont font, QColor color, QWidget* parent);

  void DrawText(const QString& text);
  const QString& Text() const { return text_; }
  const QFont& TextFont() const { return font_; }
  // Where the text's top left corner goes.
  QPoint TextOrigin() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage background_;
  QFont font_;
  QColor color_;
  QString text_;
};

}  // namespace duduri
