#pragma once
// TfrmMain: the player's main window. It lays out the widgets the game logic
// works on (toolbar, banner strip, the backdrop ImageBack with the play area
// Image321 in it, a status bar of four panels), implements IMainView over
// them, and hands every event to its TGameFlow, which does the rest.
//
// Creating the window runs the start-up sequence. When that ends the program
// (no project, a broken one, a start script that exits) Terminated() is set
// and Terminate() has been emitted; the window must then not be shown.
// Closing, once the close query agrees, emits Closed().

#include <QElapsedTimer>
#include <QMainWindow>
#include <map>
#include <memory>

#include "shell/GameFlow.h"
#include "shell/MainView.h"
#include "shell/ShellSeams.h"
#include "shell/ShellServices.h"

class QLabel;
class QMenu;
class QToolBar;
class QAction;

namespace duduri {

class TPlayArea;
class TQtBoardPlatform;
class TfrmSolution;
class TImageBack;
class TQtPageSeam;
class TQtDesktop;
class TWindowStyles;

class TfrmMain : public QMainWindow, public IMainView {
  Q_OBJECT

 public:
  // `services` replaces the Qt dialogs (tests); nullptr uses them.
  explicit TfrmMain(TShellEnvironment environment,
                    std::unique_ptr<IShellServices> services = nullptr);
  ~TfrmMain() override;

  TGameFlow& Flow() { return *flow_; }
  TPlayArea& PlayAreaWidget() { return *playArea_; }
  TQtBoardPlatform& Platform() { return *platform_; }
  QToolBar* Toolbar() const { return toolbar_; }
  QMenu* PopupMenu() const { return popup_; }
  QLabel* StatusPanel(int i) const { return panels_[i]; }
  TWindowStyles& Styles() { return *styles_; }
  TImageBack* ImageBack() const { return imageBack_; }
  QWidget* BannerStrip() const { return banner_; }
  bool Terminated() const { return terminated_; }
  // The menu item of a model node, or nullptr.
  QAction* ActionOf(const void* node) const;
  TQtPageSeam& Pages() { return *pages_; }

  // ---- IMainView ----
  IPlayArea& PlayArea() override;
  void SetStatusText(int panel, const std::string& text) override;
  void SetTitle(const std::string& title) override;
  void SetIcon(TByteSpan iconFile) override;
  TRect WindowBounds() const override;
  void ShowWindow() override;
  void HideWindow() override;
  void BringToFront() override;
  void CloseWindow() override;
  void Terminate() override;
  void ProcessPendingInput() override;
  void LayoutWorkArea() override;
  void SetBannerStripVisible(bool visible) override;
  void BuildToolbar(const TMenuModel* model) override;
  void BuildPopup(const TMenuModel* model) override;
  void SetMenuItemChecked(const void* sender, bool checked) override;
  bool ToolbarVisible() const override;
  void SetToolbarVisible(bool visible) override;
  void ShowPopup(int screenX, int screenY) override;
  void ShowSolution(const TBitmap32& solution) override;
  void HideSolution() override;
  bool SolutionVisible() const override;
  TColor32 WorkspaceColor() const override;
  TColor32 ButtonFaceColor() const override;

 signals:
  void Closed();
  void Terminating();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void buildWidgets();
  void applyLayout();
  QAction* addNode(QWidget* container, const TMenuNode& node, QObject* owner,
                   std::map<const void*, QAction*>& actions);

  std::unique_ptr<IShellServices> services_;
  std::unique_ptr<TShellSeams> seams_;
  std::unique_ptr<TQtBoardPlatform> platform_;
  std::unique_ptr<TfrmSolution> solution_;
  std::unique_ptr<TSoundSeam> sound_;  // outlives the flow, which plays through it
  std::unique_ptr<TQtPageSeam> pages_;  // the HTML page windows
  std::unique_ptr<TQtDesktop> desktop_;
  // The window styles (the style seam): after the widgets, before the flow.
  std::unique_ptr<TWindowStyles> styles_;

  QToolBar* toolbar_ = nullptr;
  QMenu* popup_ = nullptr;
  QWidget* banner_ = nullptr;
  TImageBack* imageBack_ = nullptr;
  TPlayArea* playArea_ = nullptr;
  QLabel* panels_[4] = {};
  QObject* toolbarItems_ = nullptr;  // owns the toolbar's actions and menus
  QObject* popupItems_ = nullptr;
  std::map<const void*, QAction*> toolbarActions_;
  std::map<const void*, QAction*> popupActions_;
  bool terminated_ = false;
  bool solutionPlaced_ = false;
  QElapsedTimer pumped_;
  static constexpr int kPumpInterval = 30;  // milliseconds

  // Last: freed first, while every widget it talks to still exists.
  std::unique_ptr<TGameFlow> flow_;
};

// The virtual key code of a key event (arrows, Esc, F11, letters...).
int VirtualKeyOf(int qtKey);

}  // namespace duduri
