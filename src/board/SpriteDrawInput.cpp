// Mouse and key input: picking, dragging, rotating and selecting pieces, and
// joining a dropped piece or group to a grid neighbour that lies where the
// completed picture puts it, within JigsawMagnet pixels.

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "board/SpriteBlit.h"
#include "board/SpriteDraw.h"

namespace duduri {

namespace {

// Pieces follow the pointer clamped this far inside the board's edges.
constexpr int kEdgeMargin = 5;
// Arrow keys move the selection or group as if dragged from this point.
constexpr int kKeyOrigin = 100;
constexpr int kKeyStep = 4;
// A selection or group moved by the keys or dragged with the selection
// keeps at least this much of every member on the board.
constexpr int kKeepOnBoard = 12;

// The four grid neighbours of a piece in grid order (row by row).
constexpr int kNeighbourRow[4] = {-1, 0, 0, 1};
constexpr int kNeighbourCol[4] = {0, -1, 1, 0};

}  // namespace

void TSpriteDraw::PiecesMouseDown(TSender sender, TShiftState shift, int X, int Y,
                                  TMouseButton button, int& col, int& row) {
  col = -1;
  row = -1;
  if (gamePaused_ || !hasPieces() || !piecesVisible_ || solvingAll_ || solvingOne_) return;
  // Another button pressed while a piece or group is dragged: the drag owns
  // the pointer until its release. Taken as a press, it would make another
  // piece the current one, and the drag would go on with that piece alone,
  // pulling it out of its group.
  if (dragging_ || groupDragging_) return;
  pointerX_ = X;
  pointerY_ = Y;
  if (button == mbLeft && overviewPress(X, Y)) {
    overviewDragging_ = true;
    return;
  }
  // From here on the pointer is a point of the table.
  const TBoardPoint at = tablePoint(X, Y);
  X = at.X;
  Y = at.Y;

  int hitCol = 0, hitRow = 0;
  if (!HitTest(X, Y, hitCol, hitRow)) {
    // The band is drawn over the frame as it is now; releasing it rebuilds
    // the static layer.
    bandSelecting_ = true;
    rightPressed_ = false;
    bandStartX_ = X;
    bandStartY_ = Y;
    CopyTopLeft(PixelTarget(staticLayer_), backBuffer_.Bits(), backBuffer_.Width(),
                backBuffer_.Height());
    if (button == mbRight) rightPressed_ = true;
    return;
  }
  col = hitCol;
  row = hitRow;
  currentCol_ = clickedCol_ = hitCol;
  currentRow_ = clickedRow_ = hitRow;
  TPieceSprite& p = piece(hitRow, hitCol);

  if ((shift & ssCtrl) != 0) {
    if (button == mbLeft) {
      p.Selected = p.Selected == 1 ? 0 : 1;
      if (allSelected_ && p.Selected == 0) allSelected_ = false;
    }
  } else if (button == mbLeft) {
    if (p.Selected == 1) {
      dragging_ = true;
      buildSelection(X, Y);
    } else if (p.Placed == 0) {
      dragging_ = true;
      // A selection left from a drag that ended without its release (a
      // press that did not move, a solver that took over) is not this one's.
      clearSelection();
      bandSelecting_ = false;
      grabX_ = X - p.X;
      grabY_ = Y - p.Y;
      moveToFront(hitRow, hitCol);
      drawContinue_ = true;
      installIdle();
      DeselectAll();
    } else {
      groupDragging_ = true;
      setGroup(hitRow, hitCol, X, Y, true);
      raiseGroup(group_);
      drawContinue_ = true;
      installIdle();
      DeselectAll();
    }
    if (!raise(onPiecesClick_, sender, hitCol, hitRow)) return;
    // A piece held still at the view's edge scrolls the view at once.
    if (dragging_ || groupDragging_) updateEdgeScroll();
  } else if (button == mbRight && !noPieceRotation_) {
    if (p.Selected == 1) {
      p.Selected = 0;
    } else if (p.Placed == 0) {
      moveToFront(hitRow, hitCol);
      rightPressed_ = true;
      bandSelecting_ = false;
      // About the sprite's top-left corner: X and Y stay.
      p.Rotation = std::uint8_t((p.Rotation + 1) & 3);
      ensureSprite(p);
      makeShadow(p, p.Rotation);
      if (!raise(onPiecesRotate_, sender, hitCol, hitRow)) return;
    } else {
      rotateGroup(sender, hitRow, hitCol);
      return;
    }
  }
  RebuildStaticLayer();
  // The layer is rebuilt already: the redraw need not do it again for the
  // deselection above.
  firstDraw_ = false;
  redraw(false);
}

bool TSpriteDraw::rotateGroup(TSender sender, int row, int col) {
  setGroup(row, col, 0, 0, false);
  raiseGroup(group_);
  TPieceSprite& clicked = piece(row, col);
  clicked.Rotation = std::uint8_t((clicked.Rotation + 1) & 3);
  ensureSprite(clicked);
  makeShadow(clicked, clicked.Rotation);
  // Every member takes the clicked piece's rotation and the place the turned
  // picture gives it relative to the clicked piece, which stays where it is.
  const TBoardPoint r0 = RotatedHome(row, col);
  const int cx = clicked.X;
  const int cy = clicked.Y;
  for (const SelectedPieceEntry& e : group_) {
    TPieceSprite& m = piece(e.Row, e.Col);
    m.Rotation = clicked.Rotation;
    ensureSprite(m);
    makeShadow(m, m.Rotation);
    const TBoardPoint home = RotatedHome(e.Row, e.Col);
    m.X = cx + home.X - r0.X;
    m.Y = cy + home.Y - r0.Y;
  }
  // A group turned about a piece at the board's edge can swing wholly off it.
  bringIntoReach(group_);
  RebuildStaticLayer();
  if (!redraw(false)) return false;
  groupRotated_ = true;
  clearGroup();
  staticStale_ = true;
  return raise(onPiecesRotate_, sender, col, row);
}

void TSpriteDraw::PiecesMouseMove(TSender sender, TShiftState shift, int X, int Y) {
  if (gamePaused_ || !hasPieces()) return;
  if (overviewDragging_) {
    const TRect r = OverviewRect();
    if (r.Right > r.Left) {
      overviewPress(std::clamp(X, r.Left, r.Right - 1), std::clamp(Y, r.Top, r.Bottom - 1));
    }
  } else if (!movePointer(sender, X, Y)) {
    return;
  }
  if (savedMouseMove_) {
    const TMouseMoveHandler previous = savedMouseMove_;
    previous(sender, shift, X, Y);
  }
}

bool TSpriteDraw::movePointer(TSender sender, int X, int Y) {
  pointerX_ = X;
  pointerY_ = Y;
  const TBoardPoint at = tablePoint(X, Y);
  const int px = std::min(std::max(at.X, kEdgeMargin), boardWidth_ - kEdgeMargin);
  const int py = std::min(std::max(at.Y, kEdgeMargin), boardHeight_ - kEdgeMargin);

  if (dragging_) {
    moved_ = true;
    TPieceSprite& current = currentPiece();
    // What the press picked up is what moves: Ctrl+A or Ctrl+D during the
    // drag changes the selection, not the drag (the list is only built for
    // a press on a selected piece).
    if (!selection_.empty()) {
      const TBoardPoint to = keepOnBoard(selection_, px, py);
      moveList(pieces_, selection_, to.X, to.Y);
    } else {
      current.X = px - grabX_;
      current.Y = py - grabY_;
    }
    if (!raise(onPiecesDrag_, sender, currentCol_, currentRow_, current.X, current.Y)) {
      return false;
    }
    drawContinue_ = true;
    installIdle();
  }
  if (groupDragging_) {
    groupMoved_ = true;
    moveList(pieces_, group_, px, py);
  }
  if (bandSelecting_ && !rightPressed_) {
    bandEndX_ = px;
    bandEndY_ = py;
    installIdle();
    moved_ = true;
    drawContinue_ = true;
  }
  if (dragging_ || groupDragging_ || EdgeScrolling()) updateEdgeScroll();
  return true;
}

void TSpriteDraw::PiecesMouseUp(TSender sender, TMouseButton button, TShiftState shift, int X,
                                int Y) {
  if (gamePaused_ || !hasPieces()) return;
  bool placedNow = false;
  stopEdgeScroll();
  if (overviewDragging_) {
    overviewDragging_ = false;
    if (savedMouseUp_) {
      const TMouseUpHandler previous = savedMouseUp_;
      previous(sender, button, shift, X, Y);
    }
    return;
  }

  if (dragging_) {
    if (moved_ && !won_) {
      // A selection can carry a piece already joined to others (the whole
      // group came into it): those go where the snap takes the piece, or
      // the group would be left in two parts that both count as placed.
      TSelectedPieces joined;
      if (currentPiece().Placed == 1) {
        buildGroupList(currentRow_, currentCol_, 0, 0, false, joined);
      }
      TBoardPoint snapped;
      if (singleSnap(snapped)) {
        // Of a dragged selection only the current piece, with its group,
        // moves to the snap.
        placedNow = true;
        const int dx = snapped.X - currentPiece().X;
        const int dy = snapped.Y - currentPiece().Y;
        for (const SelectedPieceEntry& e : joined) {
          if (e.Row == currentRow_ && e.Col == currentCol_) continue;
          piece(e.Row, e.Col).X += dx;
          piece(e.Row, e.Col).Y += dy;
        }
        currentPiece().X = snapped.X;
        currentPiece().Y = snapped.Y;
        piecesLeft_ = CountPiecesLeft();
        if (!raise(onPiecesInRightPlace_, sender, currentCol_, currentRow_)) return;
      }
      clearSelection();
      drawContinue_ = false;
      removeIdle();
    }
    dragging_ = false;
    moved_ = false;
    if (!redraw(false)) return;
  } else if (bandSelecting_ && moved_) {
    for (auto& pieceRow : pieces_) {
      for (TPieceSprite& p : pieceRow) {
        if (p.Placed != 0) continue;
        const int cx = p.X + p.Width / 2;
        const int cy = p.Y + p.Height / 2;
        if (bandStartX_ <= cx && cx < bandEndX_ && bandStartY_ <= cy && cy < bandEndY_) {
          p.Selected = 1;
        }
      }
    }
    drawContinue_ = false;
    removeIdle();
    bandSelecting_ = false;
    moved_ = false;
    RebuildStaticLayer();
    if (!redraw(false)) return;
  } else if (groupDragging_) {
    if (groupMoved_) {
      TBoardPoint snapped;
      if (groupSnap(snapped)) {
        placedNow = true;
        const int dx = snapped.X - currentPiece().X;
        const int dy = snapped.Y - currentPiece().Y;
        for (const SelectedPieceEntry& e : group_) {
          piece(e.Row, e.Col).X += dx;
          piece(e.Row, e.Col).Y += dy;
        }
        piecesLeft_ = CountPiecesLeft();
        if (!raise(onPiecesInRightPlace_, sender, currentCol_, currentRow_)) return;
      }
    }
    RebuildStaticLayer();
    groupDragging_ = false;
    if (!redraw(false)) return;
    clearGroup();
    // The layer still leaves out the members other than the current piece.
    staticStale_ = true;
    drawContinue_ = false;
    removeIdle();
  }

  dragging_ = false;
  rightPressed_ = false;
  moved_ = false;
  bandSelecting_ = false;
  groupDragging_ = false;
  groupMoved_ = false;
  drawContinue_ = false;
  removeIdle();

  if (savedMouseUp_) {
    const std::shared_ptr<const bool> alive = alive_;
    const TMouseUpHandler previous = savedMouseUp_;
    previous(sender, button, shift, X, Y);
    if (!*alive) return;
  }
  const bool check = placedNow || groupRotated_;
  groupRotated_ = false;
  if (check) winAfterRelease(sender);
}

bool TSpriteDraw::singleSnap(TBoardPoint& snapped) {
  TPieceSprite& c = currentPiece();
  const TBoardPoint home = RotatedHome(currentRow_, currentCol_);
  for (int i = 0; i < 4; ++i) {
    const int row = currentRow_ + kNeighbourRow[i];
    const int col = currentCol_ + kNeighbourCol[i];
    if (!inGrid(row, col)) continue;
    TPieceSprite& n = piece(row, col);
    if (n.Rotation != c.Rotation) continue;
    const TBoardPoint offset = Offset(row, col);
    const TBoardPoint e{home.X + offset.X, home.Y + offset.Y};
    // A neighbour the piece is joined to already, where it lies (a joined
    // piece dragged in a selection), is no new fit.
    if (c.Placed == 1 && n.Placed == 1 && std::abs(c.X - e.X) <= 1 && std::abs(c.Y - e.Y) <= 1) {
      continue;
    }
    if (std::abs(c.X - e.X) <= jigsawMagnet_ && std::abs(c.Y - e.Y) <= jigsawMagnet_) {
      n.Placed = 1;
      c.Placed = 1;
      snapped = e;
      return true;
    }
  }
  return false;
}

bool TSpriteDraw::groupSnap(TBoardPoint& snapped) {
  // Only the clicked member's own neighbours are tried, and the rotations are
  // not compared: the positions decide.
  TPieceSprite& c = currentPiece();
  const TBoardPoint home = RotatedHome(currentRow_, currentCol_);
  for (int i = 0; i < 4; ++i) {
    const int row = currentRow_ + kNeighbourRow[i];
    const int col = currentCol_ + kNeighbourCol[i];
    if (!inGrid(row, col) || groupMark_[indexOf(row, col)] != 0) continue;
    const TBoardPoint offset = Offset(row, col);
    const TBoardPoint e{home.X + offset.X, home.Y + offset.Y};
    if (std::abs(c.X - e.X) <= jigsawMagnet_ && std::abs(c.Y - e.Y) <= jigsawMagnet_) {
      piece(row, col).Placed = 1;
      c.Placed = 1;
      snapped = e;
      return true;
    }
  }
  return false;
}

void TSpriteDraw::PiecesKeyDown(int key) {
  // While a drag is on, the pieces under the pointer are the drag's: the
  // keys would rebuild the list it moves and pull its pieces apart.
  if (gamePaused_ || !hasPieces() || dragging_ || groupDragging_) return;
  int dx = 0, dy = 0;
  switch (key) {
    case kVkLeft:
      dx = -kKeyStep;
      break;
    case kVkUp:
      dy = -kKeyStep;
      break;
    case kVkRight:
      dx = kKeyStep;
      break;
    case kVkDown:
      dy = kKeyStep;
      break;
    default:
      return;
  }
  // On a view that shows part of the table the keys move the view when
  // nothing is selected.
  if (panWithKey(dx / kKeyStep, dy / kKeyStep)) return;
  buildSelection(kKeyOrigin, kKeyOrigin);
  if (!selection_.empty()) {
    const TBoardPoint to = keepOnBoard(selection_, kKeyOrigin + dx, kKeyOrigin + dy);
    moveList(pieces_, selection_, to.X, to.Y);
  } else {
    // Without a selection the keys move the first group in grid order.
    bool found = false;
    for (int row = 0; row < piecesY_ && !found; ++row) {
      for (int col = 0; col < piecesX_ && !found; ++col) {
        if (pieces_[row][col].Placed != 1) continue;
        found = true;
        setGroup(row, col, kKeyOrigin, kKeyOrigin, true);
        const TBoardPoint to = keepOnBoard(group_, kKeyOrigin + dx, kKeyOrigin + dy);
        moveList(pieces_, group_, to.X, to.Y);
      }
    }
  }
  clearGroup();
  clearSelection();
  RebuildStaticLayer();
  ComposeFrame();
  present();
}

// Only the pointer is held inside the board, so the other pieces of a
// selection, and anything the arrow keys move, could otherwise be pushed
// off the board, out of the player's reach for good.
TBoardPoint TSpriteDraw::keepOnBoard(const TSelectedPieces& list, int px, int py) const {
  if (list.empty()) return TBoardPoint{px, py};
  // Where the list lies now: every member is at (nowX, nowY) - Offset.
  const TPieceSprite& first = pieces_[list[0].Row][list[0].Col];
  const int nowX = first.X + list[0].OffsetX;
  const int nowY = first.Y + list[0].OffsetY;
  int loX = INT_MIN, hiX = INT_MAX, loY = INT_MIN, hiY = INT_MAX;
  for (const SelectedPieceEntry& e : list) {
    const TPieceSprite& p = pieces_[e.Row][e.Col];
    const int w = RotatedWidth(p);
    const int h = RotatedHeight(p);
    // The member's new X is px - OffsetX; it must keep kKeepOnBoard pixels
    // (or half of a narrower sprite, as much as the scatter leaves of it)
    // between 0 and the board's width. One that is further out already may
    // stay there, or come back in.
    const int keepW = std::min(kKeepOnBoard, w / 2);
    const int keepH = std::min(kKeepOnBoard, h / 2);
    loX = std::max(loX, std::min(nowX, e.OffsetX + keepW - w));
    hiX = std::min(hiX, std::max(nowX, e.OffsetX + boardWidth_ - keepW));
    loY = std::max(loY, std::min(nowY, e.OffsetY + keepH - h));
    hiY = std::min(hiY, std::max(nowY, e.OffsetY + boardHeight_ - keepH));
  }
  return TBoardPoint{std::clamp(px, loX, hiX), std::clamp(py, loY, hiY)};
}

void TSpriteDraw::SelectAll() {
  if (!hasPieces()) return;
  allSelected_ = true;
  for (auto& row : pieces_) {
    for (TPieceSprite& p : row) p.Selected = 1;
  }
}

void TSpriteDraw::DeselectAll() {
  if (!hasPieces()) return;
  for (auto& row : pieces_) {
    for (TPieceSprite& p : row) p.Selected = 0;
  }
  allSelected_ = false;
  firstDraw_ = true;
}

}  // namespace duduri
