#include "shell/ui/ClockPanel.h"

#include <QFontMetrics>
#include <QPainter>
#include <cstdlib>

#include "shell/SkinLayout.h"

namespace duduri {

namespace {
constexpr int kSkinDpi = 96;
constexpr int kPointsPerInch = 72;
}  // namespace

QFont TextStyleFont(const TTextStyleFont& font) {
  QFont f(QString::fromStdString(font.Name));
  // A name the system does not know still gives a usable font: Qt falls
  // back to its default family, and the size and style below still apply.
  if (font.Size > 0 && font.Size <= 400) {
    f.setPixelSize((font.Size * kSkinDpi + kPointsPerInch / 2) / kPointsPerInch);
  } else if (font.Height != 0 && std::abs(font.Height) <= 512) {
    f.setPixelSize(std::abs(font.Height));
  }
  f.setBold((font.Style & 1) != 0);
  f.setItalic((font.Style & 2) != 0);
  f.setUnderline((font.Style & 4) != 0);
  f.setStrikeOut((font.Style & 8) != 0);
  return f;
}

TClockPanel::TClockPanel(QImage background, QFont font, QColor color, QWidget* parent)
    : QWidget(parent), background_(std::move(background)), font_(std::move(font)), color_(color) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  resize(background_.size());
  hide();
}

QPoint TClockPanel::TextOrigin() const {
  const QFontMetrics metrics(font_);
  const TClockOffset o = ClockTextOffset(width(), height(),
                                         metrics.horizontalAdvance(kClockMeasureText),
                                         metrics.height());
  return {o.X, o.Y};
}

void TClockPanel::DrawText(const QString& text) {
  text_ = text;
  show();
  update();
}

void TClockPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, background_);
  painter.setFont(font_);
  painter.setPen(color_);
  const QPoint origin = TextOrigin();
  painter.drawText(origin.x(), origin.y() + QFontMetrics(font_).ascent(), text_);
}

}  // namespace duduri
