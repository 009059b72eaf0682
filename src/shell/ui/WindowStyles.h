#pragma once
// TWindowStyles: the window styles of the player, the style seam the game
// flow calls each time it builds a game (and the skin change calls again):
//
// - 15, 20, 21: the "Default", "OfficeXP" and "Stripes" looks of the toolbar,
//   menus and status bar in a normal window over the desktop work area;
// - 49: full screen, no border, no status bar, a clock at the end of the
//   toolbar;
// - 19: the skinned window: no border, no toolbar or status bar, shaped like
//   its skin's non-black pixels, the play area at the skin's board area, skin
//   buttons and clock panels on the skin;
// - banners in the strip, or on the skin by their containers.
//
// A skinned style whose selected skin entry is no skinned window keeps the
// window as it is when it already shows a skin (the skin change), and is
// the plain work-area window otherwise (a project without a usable skin).
//
// It works on the main window's widgets, which it does not own; the window
// creates it after its widgets and frees it after the game flow.

#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "project/Scripts.h"
#include "raster/Bitmap32.h"
#include "shell/BannerLayout.h"
#include "shell/SkinLayout.h"
#include "shell/StyleSeam.h"

class QAction;
class QStatusBar;
class QToolBar;

namespace duduri {

class TBannerImageManager;
class TClockPanel;
class TImageBack;
class TImgBtn;

// The widgets of the main window a style changes.
struct TStyledWindow {
  QMainWindow* Window = nullptr;
  QToolBar* Toolbar = nullptr;
  QStatusBar* StatusBar = nullptr;
  QWidget* BannerStrip = nullptr;  // pnlBanner
  TImageBack* ImageBack = nullptr;
  QWidget* PlayArea = nullptr;  // Image321
  // Shows or hides the toolbar the way F11 does (status panel 3 follows).
  std::function<void(bool visible)> SetToolbarVisible;
  // Lays the window's widgets out at once, even while it is hidden.
  std::function<void()> LayoutNow;
};

enum class TWindowLayout { wlWorkArea, wlFullScreen, wlSkin };

class TWindowStyles : public TStyleSeam {
 public:
  explicit TWindowStyles(TStyledWindow window);
  ~TWindowStyles() override;
  TWindowStyles(const TWindowStyles&) = delete;
  TWindowStyles& operator=(const TWindowStyles&) = delete;

  // How a skin button's or banner's script runs (tests); by default through
  // the process-wide command handler, with the widget as sender.
  std::function<void(const TScriptItem& script, void* sender)> RunScript;

  // ---- TStyleSeam ----
  void ApplyTheme(std::uint16_t skinKind) override;
  bool LayoutStyle(const TJigsawProject2& project, std::uint16_t skinKind, int skinId) override;
  void DrawClockPanels(const char* text) override;
  bool ShowBanners(const TJigsawProject2& project, int skinEntryId) override;

  // The toolbar was shown or hidden (F11): a skinned window makes room for it.
  void ToolbarVisibilityChanged();

  // ---- for tests ----
  TWindowLayout Layout() const { return layout_; }
  const std::vector<QPointer<TImgBtn>>& SkinButtons() const { return buttons_; }
  const std::vector<QPointer<TClockPanel>>& ClockPanels() const { return panels_; }
  QAction* ToolbarClock() const { return clock_; }
  TBannerLayout& Banners() { return *banners_; }
  TBannerImageManager& BannerImages() { return *bannerImages_; }
  // The skin picture shown and its shape; empty without a skin.
  const TPicture& SkinPicture() const { return skinPicture_; }
  const std::vector<TRect>& SkinShape() const { return skinShape_; }

 private:
  void layoutSkin(const TJigsawProject2& project, TSkinLayoutPlan& plan);
  void layoutFullScreen(const TJigsawProject2& project);
  void leaveStyledLayout();
  void setFrameless(bool frameless);
  void applySkinShape();
  void clearSkinWidgets();
  void buildButtons(std::vector<TSkinButtonPlan>& buttons);
  void buildClockPanels(std::vector<TClockPanelPlan>& panels);
  void centreOnScreen();
  void run(const TScriptItem& script, void* sender);

  TStyledWindow w_;
  std::unique_ptr<TBannerImageManager> bannerImages_;
  std::unique_ptr<TBannerLayout> banners_;
  TWindowLayout layout_ = TWindowLayout::wlWorkArea;
  TPicture skinPicture_;
  std::vector<TRect> skinShape_;
  std::vector<QPointer<TImgBtn>> buttons_;
  std::vector<QPointer<TClockPanel>> panels_;
  QAction* clock_ = nullptr;  // owned by this object's QObject below
  std::unique_ptr<QObject> owner_;
  bool hidToolbar_ = false;  // the toolbar was visible before a skin hid it
};

}  // namespace duduri
