#pragma once
// Plays a board to the end the way a person would: pointer presses, moves
// and releases only, plus moving the view as a person does with the scroll
// bars. It turns every piece upright with right clicks, clears the middle of
// the table, drops piece (0, 0) there and then every other piece next to the
// piece above it (or left of it in the first row), at the offset where the
// board snaps it.
//
// The pointer is whatever the test drives: the headless board, the game
// flow's handlers over a fake play area, or Qt mouse events sent to the real
// play-area widget. It takes view pixels. On a table larger than the view
// the solver brings each piece into view at 1:1 before it presses on it,
// and while it holds a piece it moves the view to where the piece goes: the
// piece stays under the pointer and travels with the view.
//
// The board is looked up afresh before every gesture, because a gesture can
// end the game and free it.

#include <functional>

#include "board/SpriteDraw.h"

namespace duduri {

class IPointer {
 public:
  virtual ~IPointer() = default;
  // Returns (column, row) of the piece hit, (-1, -1) for none.
  virtual TBoardPoint Press(int x, int y, TMouseButton button) = 0;
  virtual void Move(int x, int y) = 0;
  virtual void Release(int x, int y, TMouseButton button) = 0;
};

class TDragSolver {
 public:
  TDragSolver(std::function<TSpriteDraw*()> board, IPointer& pointer)
      : board_(std::move(board)), pointer_(pointer) {}

  // Returns the number of drops made. `slack` pixels off the exact fit
  // still snap when it is below the board's snap distance. Stops after
  // `maxDrops` drops (the anchor counts as one).
  int Solve(int slack = 2, int maxDrops = 1 << 30);

  // A table point where a press picks piece (row, col), as near its middle
  // as possible and at least 5 pixels inside the table's edges.
  bool GrabPoint(int row, int col, TBoardPoint& at);
  // Drags piece (row, col), with its group if it is joined, so that its
  // top-left corner ends at table point (x, y), and releases it there. False
  // when the piece cannot be grabbed or the pointer would have to leave the
  // table.
  bool DragPieceTo(int row, int col, int x, int y, int steps = 3);
  // One right click on the piece.
  bool RotatePiece(int row, int col);
  // Right clicks until the piece shows `rotation`.
  bool RotateTo(int row, int col, int rotation);
  // Where (row, col) fits next to (nRow, nCol) as that neighbour lies now.
  TBoardPoint FitPosition(int row, int col, int nRow, int nCol);
  // Moves free pieces that hide piece (row, col) to the table's border
  // until it can be grabbed. False when a joined piece hides it.
  bool Uncover(int row, int col);

 private:
  // The view pixel of table point (x, y), after moving the view (at 1:1)
  // so that the point lies well inside it when it does not already.
  TBoardPoint Show(int x, int y);
  bool Park(int row, int col);

  std::function<TSpriteDraw*()> board_;
  IPointer& pointer_;
  int parked_ = 0;
};

}  // namespace duduri
