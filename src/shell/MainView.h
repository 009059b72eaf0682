#pragma once
// What the game logic needs of the main window and the application, as
// operations on a few widgets: the window itself, a status bar of four text
// panels, a toolbar and a popup menu built from menu models, the solution
// window, and the play area the board draws into. The Qt window implements
// IMainView; tests use a fake that records what was asked.
//
// Every call runs on the user-interface thread and returns at once, except
// CloseWindow, which runs the close query (TGameFlow::FormCloseQuery) before
// it returns.

#include <cstdint>
#include <string>

#include "board/BoardHost.h"
#include "project/ByteStream.h"
#include "raster/Bitmap32.h"

namespace duduri {

class TMenuModel;

// The play area (Image321): the board's host control plus what the window
// does to it between games.
class IPlayArea : public TBoardControl {
 public:
  // Fills the area's own picture with a colour and shows it.
  virtual void Fill(TColor32 color) = 0;
  // The board is about to be freed: whatever the area shows straight from
  // the board's buffers becomes its own picture.
  virtual void DetachFrame() = 0;
  // The board is about to be freed with the window: stop showing its
  // buffers without keeping a copy.
  virtual void ForgetFrame() = 0;
  // A copy of what the area shows.
  virtual void CopyImage(TBitmap32& target) const = 0;
};

class IMainView {
 public:
  virtual ~IMainView() = default;

  virtual IPlayArea& PlayArea() = 0;

  // Status panels 0 to 3.
  virtual void SetStatusText(int panel, const std::string& text) = 0;
  // Application title and window caption.
  virtual void SetTitle(const std::string& title) = 0;
  // An icon file; empty data leaves the icon as it is.
  virtual void SetIcon(TByteSpan iconFile) = 0;

  // The window's outer bounds on the screen; views that cannot tell give an
  // empty rectangle.
  virtual TRect WindowBounds() const { return {}; }

  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  virtual void BringToFront() = 0;
  // Asks the window to close: the close query runs before this returns, and
  // when it agrees the window closes and the application ends after the
  // current event.
  virtual void CloseWindow() = 0;
  // Ends the application without asking (a fatal project error, no project).
  virtual void Terminate() = 0;
  // Processes pending input while long work runs.
  virtual void ProcessPendingInput() = 0;

  // The plain window layout: the window takes the desktop work area and the
  // play area fills the client area, its picture taking the client size.
  virtual void LayoutWorkArea() = 0;
  virtual void SetBannerStripVisible(bool visible) = 0;

  // Toolbar and popup menu, rebuilt from a model that stays alive until the
  // next rebuild (nullptr empties them). Clicks call TGameFlow::MenuClick.
  virtual void BuildToolbar(const TMenuModel* model) = 0;
  virtual void BuildPopup(const TMenuModel* model) = 0;
  // Checks the menu item of a node (senders that are no menu node are ignored).
  virtual void SetMenuItemChecked(const void* sender, bool checked) = 0;
  virtual bool ToolbarVisible() const = 0;
  // The window reports the change through TGameFlow::TBXToolbar1VisibleChanged.
  virtual void SetToolbarVisible(bool visible) = 0;
  // Opens the popup menu at a screen point.
  virtual void ShowPopup(int screenX, int screenY) = 0;

  // The solution window (modeless): shows `solution` stretched to its height.
  virtual void ShowSolution(const TBitmap32& solution) = 0;
  virtual void HideSolution() = 0;
  virtual bool SolutionVisible() const = 0;

  // The platform's standard colours.
  virtual TColor32 WorkspaceColor() const = 0;
  virtual TColor32 ButtonFaceColor() const = 0;
};

}  // namespace duduri
