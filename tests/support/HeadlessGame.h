#pragma once
// A headless game: a board on fake host services, driven by scripted input
// the way the shell would forward it (press, pointer moves with an idle pass
// after each, release, right clicks, keys, clock and animation ticks). Tests
// play whole games with it; benchmarks use it to reach a state to measure.
//
// The driver acts as the host: it owns the board and may free it at any time,
// including from inside one of the board's event handlers (FreeBoard); every
// input method then does nothing.

#include <memory>

#include "board/SpriteDraw.h"
#include "support/DragSolver.h"
#include "support/FakeBoardHost.h"

namespace duduri {

class THeadlessGame {
 public:
  THeadlessGame(const TSpriteSource& source, int boardWidth, int boardHeight,
                const TSpriteDrawParam& param = {});
  ~THeadlessGame();
  THeadlessGame(const THeadlessGame&) = delete;
  THeadlessGame& operator=(const THeadlessGame&) = delete;

  TSpriteDraw* Board() { return board_.get(); }
  TSpriteDraw& board() { return *board_; }
  TFakeBoardControl& Control() { return control_; }
  TFakeBoardPlatform& Platform() { return platform_; }
  // Frees the board as a host does when a game ends.
  void FreeBoard() { board_.reset(); }

  // What the host does after creating a board: pieces visible, clock mode
  // and start value, the first frame. The clock starts when the caller
  // assigns OnTicks (StartClock assigns a handler that records nothing).
  void Start(bool timeTrial = false, int ticks = 0);
  void StartClock();

  // ---- Input, as the host forwards it ----
  // Returns (column, row) of the piece hit, (-1, -1) for none.
  TBoardPoint Press(int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
  // A pointer move through the control, followed by one idle pass.
  void Move(int x, int y, TShiftState shift = ssLeft);
  void Release(int x, int y, TMouseButton button = mbLeft, TShiftState shift = 0);
  void Key(int virtualKey);
  bool TickClock();
  bool TickAnimation();
  // Ticks the animation timer until it stops ticking; returns the ticks run.
  int RunAnimation(int maxTicks = 100000);
  int Idle(int maxPasses = 1);

  // ---- Gestures on pieces (TDragSolver, DragSolver.h) ----
  // Press, Move and Release take view pixels; these take table points and
  // move the view to them first where the table is larger than the view.
  // A table point where a press picks piece (row, col), as near its middle
  // as possible and at least 5 pixels inside the table's edges.
  bool GrabPoint(int row, int col, TBoardPoint& at) const;
  // Drags piece (row, col), with its group if it is joined, so that its
  // top-left corner ends at (x, y), and releases it there. False when the
  // piece cannot be grabbed or the pointer would have to leave the table.
  bool DragPieceTo(int row, int col, int x, int y, int steps = 3);
  // One right click on the piece.
  bool RotatePiece(int row, int col);
  // Right clicks until the piece shows `rotation`.
  bool RotateTo(int row, int col, int rotation);
  // Where (row, col) fits next to (nRow, nCol) as that neighbour lies now.
  TBoardPoint FitPosition(int row, int col, int nRow, int nCol) const;
  // Moves free pieces that hide piece (row, col) to the board's border until
  // it can be grabbed. False when a joined piece hides it.
  bool Uncover(int row, int col);
  // Plays the whole game by hand: moves the pieces out of the area where the
  // picture will lie (centred on the table), turns every piece upright, puts
  // piece (0, 0) in its place there, then drops every other piece (slack,
  // slack) pixels off its fitting place next to the piece above it (or left
  // of it in the first row). Returns the number of drops made.
  int SolveByDrops(int slack);

 private:
  class TPointer : public IPointer {
   public:
    explicit TPointer(THeadlessGame& game) : game_(game) {}
    TBoardPoint Press(int x, int y, TMouseButton button) override {
      return game_.Press(x, y, button);
    }
    void Move(int x, int y) override { game_.Move(x, y); }
    void Release(int x, int y, TMouseButton button) override { game_.Release(x, y, button); }

   private:
    THeadlessGame& game_;
  };

  TFakeBoardControl control_;
  TFakeBoardPlatform platform_;
  std::unique_ptr<TSpriteDraw> board_;
  TPointer pointer_{*this};
  // Mutable: finding a grab point may move the view, as a person looking
  // for a piece does.
  mutable TDragSolver solver_{[this] { return board_.get(); }, pointer_};
};

}  // namespace duduri
