#include "shell/ui/WindowStyles.h"

#include <QAction>
#include <QGuiApplication>
#include <QPalette>
#include <QRegion>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include "project/Project.h"
#include "raster/Color32.h"
#include "shell/ui/BannerImages.h"
#include "shell/ui/ClockPanel.h"
#include "shell/ui/ImageBack.h"
#include "shell/ui/ImgBtn.h"
#include "shell/ui/Themes.h"

namespace duduri {

namespace {

QImage wrapOpaque(const TColor32* pixels, int width, int height) {
  return QImage(reinterpret_cast<const uchar*>(pixels), width, height, width * 4,
                QImage::Format_RGB32);
}

QImage wrapOpaque(const TBitmap32& bitmap) {
  return wrapOpaque(bitmap.Bits(), bitmap.Width(), bitmap.Height());
}

bool hasPicture(const TPicture& picture) {
  return picture.Width > 0 && picture.Height > 0 && !picture.Pixels.empty();
}

QImage copyWithAlpha(const TBitmap32& bitmap) {
  return QImage(reinterpret_cast<const uchar*>(bitmap.Bits()), bitmap.Width(), bitmap.Height(),
                bitmap.Width() * 4, QImage::Format_ARGB32)
      .copy();
}

std::int32_t platformColor(const QColor& c) {
  return std::int32_t(c.red() | (c.green() << 8) | (c.blue() << 16));
}

// System colour codes (the low byte of a negative colour) as the desktop's
// palette has them; the ones the palette has no role for keep their classic
// values.
std::int32_t systemColor(std::int32_t code) {
  const QPalette palette = QGuiApplication::palette();
  switch (code & 0xFF) {
    case 1:   // desktop
    case 12:  // application work space
      return platformColor(QColor(0xAB, 0xAB, 0xAB));
    case 2:  // active caption
    case 13:  // highlight
      return platformColor(palette.color(QPalette::Highlight));
    case 9:   // caption text
    case 14:  // highlight text
      return platformColor(palette.color(QPalette::HighlightedText));
    case 4:  // menu
    case 15:  // button face
      return platformColor(palette.color(QPalette::Button));
    case 5:  // window
      return platformColor(palette.color(QPalette::Base));
    case 7:   // menu text
    case 8:   // window text
    case 18:  // button text
      return platformColor(palette.color(QPalette::WindowText));
    case 16:  // button shadow
      return platformColor(palette.color(QPalette::Dark));
    case 17:  // grey text
      return platformColor(palette.color(QPalette::PlaceholderText));
    case 20:  // button highlight
      return platformColor(palette.color(QPalette::Light));
    case 21:  // dark 3D shadow
      return platformColor(palette.color(QPalette::Shadow));
    case 22:  // 3D light
      return platformColor(palette.color(QPalette::Midlight));
    case 23:  // tooltip text
      return platformColor(palette.color(QPalette::ToolTipText));
    case 24:  // tooltip background
      return platformColor(palette.color(QPalette::ToolTipBase));
    default:
      return platformColor(palette.color(QPalette::Window));
  }
}

}  // namespace

TWindowStyles::TWindowStyles(TStyledWindow window)
    : w_(std::move(window)), owner_(std::make_unique<QObject>()) {
  SetSystemColorLookup(&systemColor);
  // The look a window has before any project chose one.
  ApplyApplicationTheme(TTheme::thOfficeXP);
  bannerImages_ = std::make_unique<TBannerImageManager>(w_.BannerStrip, w_.ImageBack);
  banners_ = std::make_unique<TBannerLayout>(
      [] { return std::unique_ptr<IIntervalTimer>(std::make_unique<TQtIntervalTimer>()); },
      *bannerImages_);
  bannerImages_->OnClick = [this](void* image) { banners_->Click(image); };
  w_.StatusBar->setObjectName(kStatusBarObjectName);
  w_.Toolbar->setObjectName(kToolbarObjectName);
}

TWindowStyles::~TWindowStyles() {
  banners_.reset();
  bannerImages_.reset();
}

void TWindowStyles::run(const TScriptItem& script, void* sender) {
  if (RunScript) {
    RunScript(script, sender);
    return;
  }
  TScriptItem item;
  item.Assign(script);
  item.ActualSender = sender;
  item.Run();
}

// ---- themes ------------------------------------------------------------------------

void TWindowStyles::ApplyTheme(std::uint16_t skinKind) {
  if (const std::optional<TTheme> theme = ThemeOfSkinKind(skinKind)) ApplyApplicationTheme(*theme);
}

// ---- layouts -----------------------------------------------------------------------

bool TWindowStyles::LayoutStyle(const TJigsawProject2& project, std::uint16_t skinKind,
                                int skinId) {
  if (skinKind == kStyleSkinned) {
    if (std::optional<TSkinLayoutPlan> plan = PlanSkinLayout(project, skinId)) {
      layoutSkin(project, *plan);
      return true;
    }
    // A skin entry that is no skinned window changes nothing of a window
    // already laid out for a skin (choosing it leaves the window as it is).
    if (layout_ == TWindowLayout::wlSkin) return true;
  } else if (skinKind == kStyleFullScreen) {
    layoutFullScreen(project);
    return true;
  }
  // Everything else, and a skinned style without a skin to show, is the
  // plain window over the work area, which the window lays out itself.
  leaveStyledLayout();
  return false;
}

bool TWindowStyles::ShowBanners(const TJigsawProject2& project, int skinEntryId) {
  return banners_->Show(project, skinEntryId);
}

void TWindowStyles::setFrameless(bool frameless) {
  QMainWindow* window = w_.Window;
  if (window->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) return;
  // New flags hide a shown window.
  const bool visible = window->isVisible();
  window->setWindowFlag(Qt::FramelessWindowHint, frameless);
  if (visible) window->show();
}

void TWindowStyles::clearSkinWidgets() {
  // A press on a button or a tick may be what lays the window out: hide
  // them now and free them once control is back in the event loop.
  for (const QPointer<TImgBtn>& b : buttons_) {
    if (!b) continue;
    b->hide();
    b->OnPress = nullptr;
    b->OnClick = nullptr;
    b->deleteLater();
  }
  buttons_.clear();
  for (const QPointer<TClockPanel>& p : panels_) {
    if (!p) continue;
    p->hide();
    p->deleteLater();
  }
  panels_.clear();
}

void TWindowStyles::leaveStyledLayout() {
  if (layout_ == TWindowLayout::wlWorkArea) return;
  clearSkinWidgets();
  w_.ImageBack->SetPicture({});
  w_.ImageBack->SetAreaRect(std::nullopt);
  skinPicture_ = TPicture();
  skinShape_.clear();
  w_.Window->clearMask();
  setFrameless(false);
  w_.StatusBar->show();
  if (clock_) w_.Toolbar->removeAction(clock_);
  layout_ = TWindowLayout::wlWorkArea;
  if (hidToolbar_) {
    hidToolbar_ = false;
    w_.SetToolbarVisible(true);
  }
}

void TWindowStyles::centreOnScreen() {
  const QScreen* screen = w_.Window->screen() ? w_.Window->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect s = screen->geometry();
  const QSize size = w_.Window->size();
  w_.Window->move(s.left() + (s.width() - size.width()) / 2,
                  s.top() + (s.height() - size.height()) / 2);
}

void TWindowStyles::applySkinShape() {
  if (!hasPicture(skinPicture_)) {
    w_.Window->clearMask();
    return;
  }
  // The toolbar, when F11 shows it, sits above the skin.
  const int top = w_.Toolbar->isHidden() ? 0 : w_.Toolbar->sizeHint().height();
  w_.Window->resize(skinPicture_.Width, skinPicture_.Height + top);
  std::vector<QRect> rects;
  rects.reserve(skinShape_.size());
  for (const TRect& r : skinShape_) rects.emplace_back(r.Left, r.Top + top, r.Width(), r.Height());
  QRegion shape;
  shape.setRects(rects.data(), int(rects.size()));
  if (top > 0) shape += QRect(0, 0, skinPicture_.Width, top);
  // A skin without any non-black pixel would make an invisible window; it
  // shows whole instead (an empty region removes the mask).
  w_.Window->setMask(shape);
}

void TWindowStyles::layoutSkin(const TJigsawProject2& project, TSkinLayoutPlan& plan) {
  if (layout_ == TWindowLayout::wlFullScreen && clock_) w_.Toolbar->removeAction(clock_);
  if (layout_ != TWindowLayout::wlSkin) hidToolbar_ = hidToolbar_ || !w_.Toolbar->isHidden();
  layout_ = TWindowLayout::wlSkin;

  w_.StatusBar->hide();
  banners_->Show(project, plan.SkinEntryID);
  w_.BannerStrip->hide();
  setFrameless(true);
  if (!w_.Toolbar->isHidden()) w_.SetToolbarVisible(false);

  // A skin picture that does not decode leaves the one shown, with its shape.
  if (hasPicture(plan.Picture)) {
    w_.ImageBack->SetPicture({});  // it shows the pixels about to be freed
    skinPicture_ = std::move(plan.Picture);
    skinShape_ = std::move(plan.Shape);
    // Shown straight from the decoded pixels, which live as long as it does.
    w_.ImageBack->SetPicture(
        wrapOpaque(skinPicture_.Pixels.data(), skinPicture_.Width, skinPicture_.Height));
  }
  applySkinShape();
  if (plan.BoardArea) {
    const TRect& a = *plan.BoardArea;
    w_.ImageBack->SetAreaRect(QRect(a.Left, a.Top, a.Width(), a.Height()));
  } else {
    w_.ImageBack->SetAreaRect(std::nullopt);
  }
  clearSkinWidgets();
  buildButtons(plan.Buttons);
  buildClockPanels(plan.ClockPanels);
  w_.LayoutNow();
  centreOnScreen();
}

void TWindowStyles::buildButtons(std::vector<TSkinButtonPlan>& plans) {
  for (TSkinButtonPlan& plan : plans) {
    auto* button = new TImgBtn(copyWithAlpha(plan.Normal), copyWithAlpha(plan.Hover),
                               copyWithAlpha(plan.Pressed), w_.ImageBack);
    button->setObjectName("SkinButton");
    button->move(plan.Bounds.Left, plan.Bounds.Top);
    if (plan.Script) {
      auto script = std::make_shared<TScriptItem>();
      script->Assign(*plan.Script);
      auto act = [this, script, button] { run(*script, button); };
      if (plan.ActsOnPress) {
        button->OnPress = act;
      } else {
        button->OnClick = act;
      }
    }
    button->show();
    button->raise();
    buttons_.push_back(button);
  }
}

void TWindowStyles::buildClockPanels(std::vector<TClockPanelPlan>& plans) {
  for (TClockPanelPlan& plan : plans) {
    auto* panel = new TClockPanel(wrapOpaque(plan.Background).copy(), TextStyleFont(plan.Font),
                                  QColor::fromRgb(plan.FontColor), w_.ImageBack);
    panel->setObjectName("ClockPanel");
    panel->move(plan.Bounds.Left, plan.Bounds.Top);
    panel->raise();
    panels_.push_back(panel);
  }
}

void TWindowStyles::layoutFullScreen(const TJigsawProject2& project) {
  if (layout_ == TWindowLayout::wlSkin) {
    clearSkinWidgets();
    w_.ImageBack->SetPicture({});
    skinPicture_ = TPicture();
    skinShape_.clear();
    w_.Window->clearMask();
    if (hidToolbar_) {
      hidToolbar_ = false;
      w_.SetToolbarVisible(true);
    }
  }
  layout_ = TWindowLayout::wlFullScreen;
  w_.StatusBar->hide();
  setFrameless(true);
  w_.ImageBack->SetPicture({});
  w_.ImageBack->SetAreaRect(std::nullopt);
  if (const QScreen* screen =
          w_.Window->screen() ? w_.Window->screen() : QGuiApplication::primaryScreen()) {
    w_.Window->setGeometry(screen->geometry());
  }
  w_.BannerStrip->setVisible(banners_->Show(project, 0));
  // The status bar is gone, so the clock moves to the end of the toolbar.
  if (!clock_) {
    clock_ = new QAction(QStringLiteral("00:00:00"), owner_.get());
    clock_->setObjectName("ToolbarClock");
  }
  w_.Toolbar->removeAction(clock_);
  w_.Toolbar->addAction(clock_);
  w_.LayoutNow();
}

void TWindowStyles::DrawClockPanels(const char* text) {
  const QString t = QString::fromLatin1(text);
  for (const QPointer<TClockPanel>& p : panels_) {
    if (p) p->DrawText(t);
  }
  if (layout_ == TWindowLayout::wlFullScreen && clock_) clock_->setText(t);
}

void TWindowStyles::ToolbarVisibilityChanged() {
  if (layout_ != TWindowLayout::wlSkin) return;
  applySkinShape();
  w_.LayoutNow();
}

}  // namespace duduri
