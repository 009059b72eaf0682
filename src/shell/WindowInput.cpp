// What the window hands the game: keys, presses on the play area, the
// toolbar's visibility and menu clicks. A key or a press can end a game and
// start the next, so each runs guarded like a command.

#include "shell/GameFlow.h"
#include "shell/ShellTexts.h"

namespace duduri {

void TGameFlow::FormKeyDown(int key, TShiftState shift) {
  if (terminated_) return;
  guarded([&] {
    if (board_) board_->PiecesKeyDown(key);
    const bool ctrl = (shift & ssCtrl) != 0;
    if (key == kVkEscape) {
      view_.CloseWindow();
    } else if (ctrl && (key == 65 || key == 97)) {
      ActionDispatch(nullptr, ccSelectAll, {});
    } else if (ctrl && (key == 68 || key == 100)) {
      ActionDispatch(nullptr, ccDeselectAll, {});
    } else if (key == kVkF11) {
      view_.SetToolbarVisible(!view_.ToolbarVisible());
    }
  });
}

void TGameFlow::Image321KeyDown(int key) {
  if (!terminated_ && key == kVkEscape) view_.CloseWindow();
}

TBoardPoint TGameFlow::Image321MouseDown(TMouseButton button, TShiftState shift, int x, int y,
                                         int screenX, int screenY) {
  if (terminated_ || building_) return TBoardPoint{-1, -1};
  int col = -1;
  int row = -1;
  guarded([&] {
    if (board_) board_->PiecesMouseDown(&view_.PlayArea(), shift, x, y, button, col, row);
    if (button == mbRight && col == -1 && row == -1 && PopupHasItems()) {
      view_.ShowPopup(screenX, screenY);
    }
  });
  return TBoardPoint{col, row};
}

void TGameFlow::TBXToolbar1VisibleChanged(bool visible) {
  view_.SetStatusText(3, visible ? "" : kStatusToolbarHidden);
}

void TGameFlow::MenuClick(const TMenuNode& node) {
  if (!node.Command) return;
  // The command may rebuild the menus and free this node: run a copy.
  TScriptItem command;
  command.Assign(*node.Command);
  command.ActualSender = node.Command->ActualSender;
  if (HasCommandHandler()) {
    command.Run();
  } else {
    ActionDispatch(command.ActualSender, command.Code, command.Parameter);
  }
}

}  // namespace duduri
