// The board's model: taking over the piece table, the published properties
// without side effects on drawing, the geometry of solved positions, groups
// found by flood fill, the selection and group lists, and the stacking order.

#include <algorithm>
#include <cstdlib>

#include "board/SpriteBlit.h"
#include "board/SpriteDraw.h"

namespace duduri {

namespace {

// Largest side of one piece sprite the board accepts from a creator.
constexpr std::int32_t kMaxPieceSide = 16384;
// How far from the table a piece may lie. Positions come from saved games,
// which may hold any 32-bit value; the board adds sizes and offsets to
// them, which must not overflow. A piece beyond this is far out of reach
// anyway, and a restored game brings it back.
constexpr std::int32_t kFarthestPosition = 1 << 24;

}  // namespace

TSpriteDraw::TSpriteDraw(TBoardControl& host, IBoardPlatform& platform,
                         const TSpriteDrawParam& param, const TSpriteSource& source)
    : host_(host), platform_(platform) {
  FillDivisionTable(blurTable_);
  noPieceRotation_ = source.NoPieceRotation;
  noPieceShadow_ = source.NoPieceShadow;

  clock_ = platform_.CreateTimer(1000, false, [this] { ClockTick(); });

  copyPieces(source);
  piecesLeft_ = CountPiecesLeft();

  if (hasPieces()) {
    cellWidth_ = source.PictureWidth / piecesX_;
    cellHeight_ = source.PictureHeight / piecesY_;
  }
  myLevel_ = source.Level;

  // Column by column, so that piece (column 0, row 0) starts on top.
  stackingOrder_.reserve(std::size_t(piecesX_) * piecesY_);
  for (int col = 0; col < piecesX_; ++col) {
    for (int row = 0; row < piecesY_; ++row) {
      stackingOrder_.push_back(TZPos{std::uint16_t(col), std::uint16_t(row)});
    }
  }
  listMark_.assign(std::size_t(piecesX_) * piecesY_, 0);
  groupMark_.assign(listMark_.size(), 0);
  activeMark_.assign(listMark_.size(), 0);
  scratchMark_.assign(listMark_.size(), 0);
  if (source.SolutionBitmap != nullptr) solutionBitmap_.Assign(*source.SolutionBitmap);

  const int viewWidth = std::max(0, host_.ClientWidth());
  const int viewHeight = std::max(0, host_.ClientHeight());
  // A table no larger than the play area is the play area itself.
  boardWidth_ = std::max(viewWidth, source.TableWidth);
  boardHeight_ = std::max(viewHeight, source.TableHeight);
  bigTable_ = boardWidth_ > viewWidth || boardHeight_ > viewHeight;
  shadowsDeferred_ = source.ShadowsDeferred;
  view_.Reset(boardWidth_, boardHeight_, viewWidth, viewHeight);
  fitOverscroll();
  if (bigTable_) {
    // Solving all puts the picture in the middle of the table.
    originX_ = (boardWidth_ - source.PictureWidth) / 2;
    originY_ = (boardHeight_ - source.PictureHeight) / 2;
  } else {
    originX_ = (boardWidth_ - solutionBitmap_.Width()) / 2;
    originY_ = (boardHeight_ - solutionBitmap_.Height()) / 2;
  }
  zoomed_.Reset(std::size_t(piecesX_) * piecesY_);
  pieceColours_.assign(std::size_t(piecesX_) * piecesY_, 0xFF808080u);
  if (!solutionBitmap_.Empty() && source.PictureWidth > 0 && source.PictureHeight > 0) {
    // The overview map shows each piece in the colour of its middle.
    for (int row = 0; row < piecesY_; ++row) {
      for (int col = 0; col < piecesX_; ++col) {
        const TPieceSprite& p = pieces_[row][col];
        const std::int64_t x = (std::int64_t(p.HomeX) + p.Width / 2) * solutionBitmap_.Width() /
                               source.PictureWidth;
        const std::int64_t y = (std::int64_t(p.HomeY) + p.Height / 2) *
                               solutionBitmap_.Height() / source.PictureHeight;
        const auto sx = std::int32_t(std::clamp<std::int64_t>(x, 0, solutionBitmap_.Width() - 1));
        const auto sy = std::int32_t(std::clamp<std::int64_t>(y, 0, solutionBitmap_.Height() - 1));
        pieceColours_[indexOf(row, col)] = solutionBitmap_.ScanLine(sy)[sx] | 0xFF000000u;
      }
    }
  }

  backgroundLayer_.SetSize(viewWidth, viewHeight);
  staticLayer_.SetSize(viewWidth, viewHeight);
  backBuffer_.SetSize(viewWidth, viewHeight);
  staticLayer_.Clear(platform_.WorkspaceColor() | 0xFF000000u);

  if (!param.BackgroundName.empty()) {
    TBitmap32 picture;
    picture.LoadFromFile(param.BackgroundName);
    if (bigTable_) {
      setBackdropSource(std::move(picture), kBackgroundTopLeft);
    } else {
      backgroundLayer_ = std::move(picture);
    }
  } else {
    SetBackground(param, viewWidth, viewHeight);
  }

  // Last, so that a constructor that throws leaves the control untouched.
  savedMouseMove_ = std::move(host_.OnMouseMove);
  savedMouseUp_ = std::move(host_.OnMouseUp);
  host_.OnMouseMove = [this](TSender sender, TShiftState shift, int x, int y) {
    PiecesMouseMove(sender, shift, x, y);
  };
  host_.OnMouseUp = [this](TSender sender, TMouseButton button, TShiftState shift, int x, int y) {
    PiecesMouseUp(sender, button, shift, x, y);
  };
}

TSpriteDraw::~TSpriteDraw() {
  *alive_ = false;
  host_.OnMouseMove = std::move(savedMouseMove_);
  host_.OnMouseUp = std::move(savedMouseUp_);
  removeIdle();
  // Timers, layers, lists and the piece table (with every encoded sprite and
  // shadow block it holds) are released by their owners.
}

void TSpriteDraw::copyPieces(const TSpriteSource& source) {
  if (source.Columns < 0 || source.Rows < 0 || source.Columns > 0xFFFF || source.Rows > 0xFFFF) {
    throw EBoardError("The piece grid has an invalid size.");
  }
  if (source.Columns == 0 || source.Rows == 0) return;
  if (source.Pieces == nullptr || source.Pieces->size() != std::size_t(source.Rows)) {
    throw EBoardError("The piece table does not match its grid.");
  }
  for (const auto& row : *source.Pieces) {
    if (row.size() != std::size_t(source.Columns)) {
      throw EBoardError("The piece table does not match its grid.");
    }
  }
  pieces_ = *source.Pieces;
  for (auto& row : pieces_) {
    for (TPieceSprite& p : row) {
      if (p.Width < 0 || p.Height < 0 || p.Width > kMaxPieceSide || p.Height > kMaxPieceSide) {
        throw EBoardError("A piece record has an invalid size.");
      }
      p.Rotation &= 3;
      p.Selected = 0;
      p.X = std::clamp(p.X, -kFarthestPosition, kFarthestPosition);
      p.Y = std::clamp(p.Y, -kFarthestPosition, kFarthestPosition);
      p.HomeX = std::clamp(p.HomeX, -kFarthestPosition, kFarthestPosition);
      p.HomeY = std::clamp(p.HomeY, -kFarthestPosition, kFarthestPosition);
      p.ShadowPixels = p.Width * p.Height;
      for (int r = 0; r < 4; ++r) {
        const bool keep = !source.NoPieceRotation || r == 0;
        // The blocks are immutable and shared, so taking the pointer is a
        // copy as good as a new block; a size that does not fit its block is
        // not trusted.
        if (!keep || !p.RleData[r] || p.RleSize[r] <= 0 ||
            std::size_t(p.RleSize[r]) > p.RleData[r]->size()) {
          p.RleData[r].reset();
          p.RleSize[r] = 0;
        }
        if (!keep || (p.ShadowData[r] && p.ShadowData[r]->size() < std::size_t(p.ShadowPixels))) {
          p.ShadowData[r].reset();
        }
      }
      // A creator that made only some rotations left the rest to the board.
      if (!source.NoPieceRotation) ensureSprite(p);
    }
  }
  piecesX_ = source.Columns;
  piecesY_ = source.Rows;
}

void TSpriteDraw::SetIndexX(int value) {
  if (value >= 0 && value < piecesX_) indexX_ = value;
}

void TSpriteDraw::SetIndexY(int value) {
  if (value >= 0 && value < piecesY_) indexY_ = value;
}

// ---- Geometry ----

TRect TSpriteDraw::SolvedRect(int row, int col) const {
  const TPieceSprite& p = pieces_[row][col];
  TRect r;
  r.Left = cellWidth_ * col - (p.LeftShape != 0 ? p.LeftKnob >> 1 : 0);
  r.Top = cellHeight_ * row - (p.TopShape != 0 ? p.TopKnob >> 1 : 0);
  r.Right = r.Left + p.Width;
  r.Bottom = r.Top + p.Height;
  return r;
}

TBoardPoint TSpriteDraw::RotatedHome(int row, int col) const {
  return RotatedHome(row, col, pieces_[row][col].Rotation);
}

TBoardPoint TSpriteDraw::RotatedHome(int row, int col, int rotation) const {
  const TRect s = SolvedRect(row, col);
  switch (rotation & 3) {
    case 1: {
      const int h = SolvedRect(piecesY_ - 1, col).Bottom;
      const int l0 = SolvedRect(row, 0).Left;
      return TBoardPoint{h - s.Bottom, s.Left - l0};
    }
    case 2: {
      const int w = SolvedRect(row, piecesX_ - 1).Right;
      const int h = SolvedRect(piecesY_ - 1, col).Bottom;
      return TBoardPoint{w - s.Right, h - s.Bottom};
    }
    case 3: {
      const int w = SolvedRect(row, piecesX_ - 1).Right;
      const int t0 = SolvedRect(0, col).Top;
      return TBoardPoint{s.Top - t0, w - s.Right};
    }
    default:
      return TBoardPoint{s.Left, s.Top};
  }
}

TBoardPoint TSpriteDraw::Offset(int row, int col) const {
  const TPieceSprite& p = pieces_[row][col];
  const TBoardPoint home = RotatedHome(row, col);
  return TBoardPoint{p.X - home.X, p.Y - home.Y};
}

bool TSpriteDraw::AreNeighbours(int row1, int col1, int row2, int col2) {
  return (row1 == row2 && std::abs(col1 - col2) == 1) ||
         (col1 == col2 && std::abs(row1 - row2) == 1);
}

int TSpriteDraw::CountPiecesLeft() const {
  int left = 0;
  for (const auto& row : pieces_) {
    for (const TPieceSprite& p : row) left += p.Placed == 0 ? 1 : 0;
  }
  return left;
}

bool TSpriteDraw::HitTest(int x, int y, int& col, int& row) const {
  for (const TZPos& z : stackingOrder_) {
    const TPieceSprite& p = pieces_[z.Row][z.Col];
    const int r = p.Rotation & 3;
    const int w = (r & 1) ? p.Height : p.Width;
    const int h = (r & 1) ? p.Width : p.Height;
    const std::int64_t dx = std::int64_t(x) - p.X;
    const std::int64_t dy = std::int64_t(y) - p.Y;
    if (dx < 0 || dy < 0 || dx >= w || dy >= h || !p.RleData[r]) continue;
    const std::size_t index = std::size_t(dy) * std::size_t(w) + std::size_t(dx);
    if (RlePixelAt(p.RleData[r]->data(), std::size_t(p.RleSize[r]), index) != 0) {
      col = z.Col;
      row = z.Row;
      return true;
    }
  }
  return false;
}

// ---- Stacking order ----

void TSpriteDraw::moveToFront(int row, int col) {
  const TZPos z{std::uint16_t(col), std::uint16_t(row)};
  const auto it = std::find(stackingOrder_.begin(), stackingOrder_.end(), z);
  if (it != stackingOrder_.end()) std::rotate(stackingOrder_.begin(), it, it + 1);
}

void TSpriteDraw::raiseGroup(const TSelectedPieces& list) {
  // Moving each member to the front in descending (row, column) order leaves
  // the members on top in ascending order and everything else as it was:
  // built in one pass instead of one search of the stacking order per member.
  if (list.empty()) return;
  TSelectedPieces sorted = list;
  std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
    return a.Row != b.Row ? a.Row < b.Row : a.Col < b.Col;
  });
  sorted.erase(std::unique(sorted.begin(), sorted.end(),
                           [](const auto& a, const auto& b) {
                             return a.Row == b.Row && a.Col == b.Col;
                           }),
               sorted.end());
  for (const SelectedPieceEntry& e : sorted) listMark_[indexOf(e.Row, e.Col)] = 1;
  TZPosArray order;
  order.reserve(stackingOrder_.size());
  for (const SelectedPieceEntry& e : sorted) {
    order.push_back(TZPos{std::uint16_t(e.Col), std::uint16_t(e.Row)});
  }
  for (const TZPos& z : stackingOrder_) {
    if (listMark_[indexOf(z.Row, z.Col)] == 0) order.push_back(z);
  }
  for (const SelectedPieceEntry& e : sorted) listMark_[indexOf(e.Row, e.Col)] = 0;
  stackingOrder_ = std::move(order);
}

// ---- Groups and lists ----

void TSpriteDraw::floodFill(int row, int col, TSelectedPieces& list) {
  // Depth first, as a recursion from each newly found member would visit
  // them: the list order is the order in which group members are drawn.
  struct Frame {
    int row, col, next;
    TBoardPoint offset;
  };
  static constexpr int kDRow[4] = {0, 0, -1, 1};  // left, right, above, below
  static constexpr int kDCol[4] = {-1, 1, 0, 0};
  for (const SelectedPieceEntry& e : list) listMark_[indexOf(e.Row, e.Col)] = 1;
  std::vector<Frame> stack{Frame{row, col, 0, Offset(row, col)}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.next == 4) {
      stack.pop_back();
      continue;
    }
    const int nr = f.row + kDRow[f.next];
    const int nc = f.col + kDCol[f.next];
    ++f.next;
    if (!inGrid(nr, nc) || listMark_[indexOf(nr, nc)] != 0) continue;
    if (pieces_[nr][nc].Placed != 1) continue;
    const TBoardPoint o = Offset(nr, nc);
    if (std::abs(o.X - f.offset.X) > 1 || std::abs(o.Y - f.offset.Y) > 1) continue;
    listMark_[indexOf(nr, nc)] = 1;
    list.push_back(SelectedPieceEntry{nr, nc, 0, 0, 0});
    stack.push_back(Frame{nr, nc, 0, o});
  }
  for (const SelectedPieceEntry& e : list) listMark_[indexOf(e.Row, e.Col)] = 0;
}

void TSpriteDraw::buildGroupList(int row, int col, int refX, int refY, bool withShadows,
                                 TSelectedPieces& list) {
  list.clear();
  list.push_back(SelectedPieceEntry{row, col, 0, 0, 0});
  floodFill(row, col, list);
  for (const SelectedPieceEntry& e : list) listMark_[indexOf(e.Row, e.Col)] = 1;
  for (SelectedPieceEntry& e : list) {
    const TPieceSprite& p = pieces_[e.Row][e.Col];
    e.OffsetX = refX - p.X;
    e.OffsetY = refY - p.Y;
    if (withShadows) e.CastsShadow = castsShadow(e) ? 1 : 0;
  }
  for (const SelectedPieceEntry& e : list) listMark_[indexOf(e.Row, e.Col)] = 0;
}

// Called with the list's members marked in listMark_.
bool TSpriteDraw::castsShadow(const SelectedPieceEntry& entry) const {
  // Work in the grid of the picture turned as the member is turned: there a
  // member hides its own shadow (drawn down and to the right) only when it
  // is neither in the last column nor in the last row and every neighbour
  // around it belongs to the group.
  const int r = pieces_[entry.Row][entry.Col].Rotation & 3;
  const int turnedRows = (r & 1) ? piecesX_ : piecesY_;
  const int turnedCols = (r & 1) ? piecesY_ : piecesX_;
  auto turn = [&](int row, int col) -> TBoardPoint {  // X = turned column, Y = turned row
    switch (r) {
      case 1:
        return TBoardPoint{piecesY_ - 1 - row, col};
      case 2:
        return TBoardPoint{piecesX_ - 1 - col, piecesY_ - 1 - row};
      case 3:
        return TBoardPoint{row, piecesX_ - 1 - col};
      default:
        return TBoardPoint{col, row};
    }
  };
  auto isMember = [&](int turnedRow, int turnedCol) {
    int row = turnedRow, col = turnedCol;
    switch (r) {
      case 1:
        row = piecesY_ - 1 - turnedCol;
        col = turnedRow;
        break;
      case 2:
        row = piecesY_ - 1 - turnedRow;
        col = piecesX_ - 1 - turnedCol;
        break;
      case 3:
        row = turnedCol;
        col = piecesX_ - 1 - turnedRow;
        break;
      default:
        break;
    }
    return inGrid(row, col) && listMark_[indexOf(row, col)] != 0;
  };
  const TBoardPoint t = turn(entry.Row, entry.Col);
  if (t.X == turnedCols - 1 || t.Y == turnedRows - 1) return true;
  if (t.X > 0 && !isMember(t.Y, t.X - 1)) return true;
  if (t.Y > 0 && !isMember(t.Y - 1, t.X)) return true;
  if (!isMember(t.Y, t.X + 1)) return true;
  if (!isMember(t.Y + 1, t.X)) return true;
  return false;
}

void TSpriteDraw::buildSelection(int refX, int refY) {
  clearSelection();
  TSelectedPieces members;
  auto add = [&](int row, int col) {
    if (scratchMark_[indexOf(row, col)] != 0) return;
    scratchMark_[indexOf(row, col)] = 1;
    const TPieceSprite& p = pieces_[row][col];
    selection_.push_back(SelectedPieceEntry{row, col, refX - p.X, refY - p.Y, 0});
  };
  for (int row = 0; row < piecesY_; ++row) {
    for (int col = 0; col < piecesX_; ++col) {
      if (pieces_[row][col].Selected != 1) continue;
      // A piece an earlier group brought in has brought its own group too.
      if (scratchMark_[indexOf(row, col)] != 0) continue;
      add(row, col);
      if (pieces_[row][col].Placed != 1) continue;
      // A joined piece brings its whole group into the selection.
      buildGroupList(row, col, refX, refY, true, members);
      for (const SelectedPieceEntry& m : members) {
        pieces_[m.Row][m.Col].Selected = 1;
        if (scratchMark_[indexOf(m.Row, m.Col)] != 0) continue;
        scratchMark_[indexOf(m.Row, m.Col)] = 1;
        selection_.push_back(m);
      }
    }
  }
  for (const SelectedPieceEntry& e : selection_) scratchMark_[indexOf(e.Row, e.Col)] = 0;
}

void TSpriteDraw::moveList(TPieces& pieces, const TSelectedPieces& list, int px, int py) {
  for (const SelectedPieceEntry& e : list) {
    TPieceSprite& p = pieces[e.Row][e.Col];
    p.X = px - e.OffsetX;
    p.Y = py - e.OffsetY;
  }
}

void TSpriteDraw::markList(const TSelectedPieces& list) {
  for (const SelectedPieceEntry& e : list) groupMark_[indexOf(e.Row, e.Col)] = 1;
}

void TSpriteDraw::unmarkList(const TSelectedPieces& list) {
  for (const SelectedPieceEntry& e : list) groupMark_[indexOf(e.Row, e.Col)] = 0;
}

void TSpriteDraw::setGroup(int row, int col, int refX, int refY, bool withShadows) {
  clearGroup();
  buildGroupList(row, col, refX, refY, withShadows, group_);
  markList(group_);
}

void TSpriteDraw::clearGroup() {
  unmarkList(group_);
  group_.clear();
}

void TSpriteDraw::clearSelection() {
  selection_.clear();
}

}  // namespace duduri
