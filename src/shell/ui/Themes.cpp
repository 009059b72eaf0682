#include "shell/ui/Themes.h"

#include <QApplication>

#include "project/ProjectRecords.h"

namespace duduri {

namespace {

std::optional<TTheme> gApplied;

// Flat grey: the classic look with XP styles off. Buttons lie flat on the bar
// and only show a thin raised edge under the mouse.
const char* const kDefaultSheet = R"(
QToolBar#TBXToolbar1 { background: #d4d0c8; border: none; border-bottom: 1px solid #a0a0a0;
  padding: 1px; spacing: 1px; }
QToolBar#TBXToolbar1 QToolButton { background: transparent; color: #000000;
  border: 1px solid transparent; padding: 2px 7px; }
QToolBar#TBXToolbar1 QToolButton:hover { border-color: #ffffff #808080 #808080 #ffffff; }
QToolBar#TBXToolbar1 QToolButton:pressed, QToolBar#TBXToolbar1 QToolButton:checked {
  border-color: #808080 #ffffff #ffffff #808080; background: #c4c0b8; }
QToolBar#TBXToolbar1 QToolButton::menu-indicator { image: none; width: 0px; }
QMenu { background: #d4d0c8; color: #000000; border: 1px solid #808080; padding: 2px; }
QMenu::item { padding: 3px 24px 3px 20px; background: transparent; }
QMenu::item:selected { background: #808080; color: #ffffff; }
QMenu::item:disabled { color: #808080; }
QMenu::separator { height: 1px; background: #a0a0a0; margin: 3px 2px; }
QStatusBar#StatusBar1 { background: #d4d0c8; color: #000000; }
QStatusBar#StatusBar1 QLabel { border: 1px solid; border-color: #a0a0a0 #ffffff #ffffff #a0a0a0;
  padding: 0px 3px; }
)";

// The light office look: near-white bars, a pale blue box with a dark blue
// frame under the mouse, menus with a grey gutter on the left.
const char* const kOfficeXPSheet = R"(
QToolBar#TBXToolbar1 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1,
  stop:0 #fcfcfa, stop:1 #e3e1d9); border: none; border-bottom: 1px solid #c5c2b8;
  padding: 2px; spacing: 2px; }
QToolBar#TBXToolbar1 QToolButton { background: transparent; color: #000000;
  border: 1px solid transparent; padding: 2px 7px; }
QToolBar#TBXToolbar1 QToolButton:hover { background: #c1d2ee; border: 1px solid #316ac5; }
QToolBar#TBXToolbar1 QToolButton:pressed, QToolBar#TBXToolbar1 QToolButton:checked {
  background: #98b5e2; border: 1px solid #316ac5; }
QToolBar#TBXToolbar1 QToolButton::menu-indicator { image: none; width: 0px; }
QMenu { background: #fcfcf9; color: #000000; border: 1px solid #8a867a; padding: 1px; }
QMenu::item { padding: 3px 24px 3px 8px; border: 1px solid transparent;
  border-left: 22px solid #efedde; background: transparent; }
QMenu::item:selected { background: #c1d2ee; border: 1px solid #316ac5;
  border-left: 22px solid #c1d2ee; }
QMenu::item:disabled { color: #a0a0a0; }
QMenu::separator { height: 1px; background: #c5c2b8; margin: 2px 2px 2px 30px; }
QStatusBar#StatusBar1 { background: #f4f3ee; color: #000000; border-top: 1px solid #c5c2b8; }
QStatusBar#StatusBar1 QLabel { border: none; border-right: 1px solid #c5c2b8; padding: 0px 3px; }
)";

// Stripes: pin-striped blue bars with white text, menus on a striped ground.
const char* const kStripesSheet = R"(
QToolBar#TBXToolbar1 { border: none; border-bottom: 1px solid #1d3566; padding: 2px; spacing: 2px;
  background: qlineargradient(spread:repeat, x1:0, y1:0, x2:0, y2:0.16,
  stop:0 #34548f, stop:0.5 #34548f, stop:0.51 #4f70ad, stop:1 #4f70ad); }
QToolBar#TBXToolbar1 QToolButton { background: transparent; color: #ffffff; font-weight: bold;
  border: 1px solid transparent; border-radius: 3px; padding: 2px 8px; }
QToolBar#TBXToolbar1 QToolButton:hover { background: rgba(255, 255, 255, 70);
  border: 1px solid #ffffff; }
QToolBar#TBXToolbar1 QToolButton:pressed, QToolBar#TBXToolbar1 QToolButton:checked {
  background: #1d3566; border: 1px solid #ffffff; }
QToolBar#TBXToolbar1 QToolButton::menu-indicator { image: none; width: 0px; }
QMenu { color: #10244a; border: 1px solid #1d3566; padding: 2px;
  background: qlineargradient(spread:repeat, x1:0, y1:0, x2:0.06, y2:0.06,
  stop:0 #eef3fb, stop:0.5 #eef3fb, stop:0.51 #d9e3f4, stop:1 #d9e3f4); }
QMenu::item { padding: 3px 24px 3px 20px; background: transparent; border-radius: 2px; }
QMenu::item:selected { background: #34548f; color: #ffffff; }
QMenu::item:disabled { color: #8090b0; }
QMenu::separator { height: 2px; background: #4f70ad; margin: 3px 6px; }
QStatusBar#StatusBar1 { color: #ffffff;
  background: qlineargradient(spread:repeat, x1:0, y1:0, x2:0, y2:0.25,
  stop:0 #34548f, stop:0.5 #34548f, stop:0.51 #4f70ad, stop:1 #4f70ad); }
QStatusBar#StatusBar1 QLabel { color: #ffffff; border: 1px solid #1d3566; padding: 0px 3px;
  background: rgba(0, 0, 0, 40); }
)";

}  // namespace

std::optional<TTheme> ThemeOfSkinKind(std::uint16_t skinKind) {
  switch (skinKind) {
    case kStyleDefault:
      return TTheme::thDefault;
    case kStyleOfficeXP:
      return TTheme::thOfficeXP;
    case kStyleStripes:
      return TTheme::thStripes;
    default:
      return std::nullopt;
  }
}

const char* ThemeName(TTheme theme) {
  switch (theme) {
    case TTheme::thDefault:
      return "Default";
    case TTheme::thOfficeXP:
      return "OfficeXP";
    case TTheme::thStripes:
      return "Stripes";
  }
  return "";
}

QString ThemeStyleSheet(TTheme theme) {
  switch (theme) {
    case TTheme::thDefault:
      return QString::fromLatin1(kDefaultSheet);
    case TTheme::thOfficeXP:
      return QString::fromLatin1(kOfficeXPSheet);
    case TTheme::thStripes:
      return QString::fromLatin1(kStripesSheet);
  }
  return {};
}

void ApplyApplicationTheme(TTheme theme) {
  if (gApplied == theme) return;
  gApplied = theme;
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
    app->setStyleSheet(ThemeStyleSheet(theme));
  }
}

std::optional<TTheme> ApplicationTheme() {
  return gApplied;
}

}  // namespace duduri
