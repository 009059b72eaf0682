#pragma once
// TSpriteDraw: the play board. It owns the pieces of one game while it is
// played: their positions, rotations and join state, the stacking order, the
// selection; it turns mouse and key input into piece moves, joins pieces that
// are dropped next to their neighbours, draws the frames, runs the game clock
// and the two solvers, and decides win and loss. Everything it reports goes
// out through its events; everything it needs from the program around it
// comes in through TBoardControl and IBoardPlatform (BoardHost.h).
//
// The implementation is split by concern: SpriteDrawModel.cpp (construction,
// properties, geometry, groups, stacking order), SpriteDrawRender.cpp (layers
// and frames), SpriteDrawBackground.cpp (the backdrop), SpriteDrawInput.cpp
// (mouse, keys, snapping), SpriteDrawSolver.cpp (the solvers) and
// SpriteDrawClock.cpp (clock, win and loss, pause), SpriteDrawView.cpp (the
// view of a table larger than the play area: pan, zoom, the overview map,
// scrolling at the view's edge while dragging).
//
// Coordinates: the host's pointer positions are view pixels; the board turns
// them into table (board) coordinates through its view (BoardView.h), and
// everything else -- piece positions, the band, snapping, the solvers, the
// saved game -- lives on the table. For a table the size of the play area at
// zoom 1 the two are the same.
//
// Freeing the board from inside one of its own events is allowed: the board
// notices it on return from the handler and leaves at once without touching
// its members again, so no event follows the one during which it was freed.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "board/BoardHost.h"
#include "board/BoardView.h"
#include "board/ZoomedSprites.h"
#include "pieces/PieceSprite.h"
#include "pieces/Shadow.h"
#include "pieces/SpriteWork.h"
#include "raster/Bitmap32.h"
#include "raster/Error.h"

namespace duduri {

// Raised when the board is given a piece table it cannot hold.
class EBoardError : public EDuduriError {
 public:
  using EDuduriError::EDuduriError;
};

// One entry of the stacking order: grid column and row of a piece.
struct TZPos {
  std::uint16_t Col = 0;
  std::uint16_t Row = 0;
  friend bool operator==(const TZPos&, const TZPos&) = default;
};
// Index 0 is the topmost piece.
using TZPosArray = std::vector<TZPos>;

// A member of the selection or of the group being moved.
struct SelectedPieceEntry {
  std::int32_t Row = 0;
  std::int32_t Col = 0;
  std::int32_t OffsetX = 0;  // reference X (pointer or key origin) minus piece X
  std::int32_t OffsetY = 0;
  std::uint8_t CastsShadow = 0;  // 1 = its shadow is drawn while the group is dragged
};
using TSelectedPieces = std::vector<SelectedPieceEntry>;

struct TBoardPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TBoardPoint&, const TBoardPoint&) = default;
};

// Backdrop placement styles of SetBackground.
inline constexpr std::int32_t kBackgroundTopLeft = 0;
inline constexpr std::int32_t kBackgroundCentered = 1;
inline constexpr std::int32_t kBackgroundTiled = 2;
inline constexpr std::int32_t kBackgroundStretched = 3;

struct TSpriteDrawParam {
  std::string BackgroundName;  // a picture file, or empty
  // JPEG bytes of the backdrop, or empty for none. Read during the call that
  // takes the parameter only; the board keeps no reference to them.
  std::span<const std::byte> BackgroundStream;
  std::int32_t BackgroundStyle = kBackgroundTopLeft;
};

// What the board takes over from the sprite creator. Nothing is kept by
// reference: the board copies the table and the solution picture.
struct TSpriteSource {
  const TPieces* Pieces = nullptr;  // Rows rows of Columns records
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
  std::int32_t PictureWidth = 0;  // the scaled picture the pieces were cut from
  std::int32_t PictureHeight = 0;
  const TBitmap32* SolutionBitmap = nullptr;  // the completed picture at play size
  bool NoPieceRotation = false;
  bool NoPieceShadow = false;
  std::uint8_t Level = 0;  // difficulty index 0..5
  // The table the pieces lie on; 0 = the host control's client size. A table
  // larger than the control is seen through a view that pans and zooms
  // (BoardView.h).
  std::int32_t TableWidth = 0;
  std::int32_t TableHeight = 0;
  // The creator left the shadows to the board (a big puzzle): each is made
  // as the creator makes them when its piece first casts it.
  bool ShadowsDeferred = false;
};

// Events. Index arguments are grid coordinates: PiecesIndexX is the column,
// PiecesIndexY the row.
using TNotifyEvent = std::function<void(TSender sender)>;
using TPiecesEvent = std::function<void(TSender sender, int PiecesIndexX, int PiecesIndexY)>;
using TPiecesDraggedEvent =
    std::function<void(TSender sender, int PiecesIndexX, int PiecesIndexY, int X, int Y)>;
using TOnWin = std::function<void(TSender sender)>;
using TOnLose = std::function<void(TSender sender)>;
using TOnTicks = std::function<void(TSender sender, int& TickCounter)>;
// backbuffer: BoardWidth pixels per row, BoardHeight rows; valid during the call.
using TPiecesDrawEvent = std::function<void(TSender sender, const TColor32* backbuffer)>;

class TSpriteDraw {
 public:
  // Takes the client size of `host`, installs the board's mouse-move and
  // mouse-up handlers on it and loads the backdrop. Draws nothing: the host
  // asks for the first frame with Redraw. Throws EBoardError for a table that
  // does not match its grid, and the picture errors of the backdrop.
  TSpriteDraw(TBoardControl& host, IBoardPlatform& platform, const TSpriteDrawParam& param,
              const TSpriteSource& source);
  ~TSpriteDraw();
  TSpriteDraw(const TSpriteDraw&) = delete;
  TSpriteDraw& operator=(const TSpriteDraw&) = delete;

  // ---- Published properties ----
  int PiecesX() const { return piecesX_; }
  int PiecesY() const { return piecesY_; }
  int PiecesTotal() const { return piecesX_ * piecesY_; }
  int PiecesLeft() const { return piecesLeft_; }
  int IndexX() const { return indexX_; }
  void SetIndexX(int value);  // values outside 0..PiecesX-1 are ignored
  int IndexY() const { return indexY_; }
  void SetIndexY(int value);
  std::uint8_t JigsawMagnet() const { return jigsawMagnet_; }
  void SetJigsawMagnet(std::uint8_t value) { jigsawMagnet_ = value; }
  bool PiecesVisible() const { return piecesVisible_; }
  void SetPiecesVisible(bool value) { piecesVisible_ = value; }
  bool NoPieceRotation() const { return noPieceRotation_; }
  void SetNoPieceRotation(bool value) { noPieceRotation_ = value; }
  bool NoPieceShadow() const { return noPieceShadow_; }
  void SetNoPieceShadow(bool value) { noPieceShadow_ = value; }
  bool FlatPiece() const { return flatPiece_; }
  void SetFlatPiece(bool value) { flatPiece_ = value; }
  bool SilentPause() const { return silentPause_; }
  void SetSilentPause(bool value) { silentPause_ = value; }
  bool DrawContinue() const { return drawContinue_; }
  void SetDrawContinue(bool value) { drawContinue_ = value; }
  bool TimeTrialMode() const { return timeTrialMode_; }
  void SetTimeTrialMode(bool value) { timeTrialMode_ = value; }
  int Ticks() const { return ticks_; }
  void SetTicks(int value);  // also sets the clock counter
  bool EnabledTimer() const { return enabledTimer_; }
  void SetEnabledTimer(bool value);
  bool GamePaused() const { return gamePaused_; }
  std::uint8_t MyLevel() const { return myLevel_; }
  void SetMyLevel(std::uint8_t value) { myLevel_ = value; }
  int BackgroundStyle() const { return backgroundStyle_; }
  void SetBackgroundStyle(int value) { backgroundStyle_ = value; }
  // Loads a picture file as the backdrop at its own size and redraws. A file
  // that cannot be read throws and leaves the backdrop as it was.
  void SetBackgroundName(const std::string& name);
  // Decodes JPEG bytes as the backdrop at the picture's size and redraws. A
  // stream that is not a JPEG throws and leaves the backdrop as it was.
  void SetBackgroundStream(std::span<const std::byte> stream);
  const TBitmap32& SolutionBitmap() const { return solutionBitmap_; }
  int BoardOffX() const { return 0; }
  int BoardOffY() const { return 0; }

  // Stored for the host's commands; the board never calls them.
  TNotifyEvent DoAbout, DoSaveGame, DoOpenGame, DoHelpGame, DoExitGame, DoShowPicture;

  // ---- Events (called only when assigned) ----
  void SetOnPiecesClick(TPiecesEvent handler) { onPiecesClick_ = Slot(std::move(handler)); }
  void SetOnPiecesRotate(TPiecesEvent handler) { onPiecesRotate_ = Slot(std::move(handler)); }
  void SetOnPiecesDrag(TPiecesDraggedEvent handler) { onPiecesDrag_ = Slot(std::move(handler)); }
  void SetOnPiecesInRightPlace(TPiecesEvent handler) {
    onPiecesInRightPlace_ = Slot(std::move(handler));
  }
  void SetOnWin(TOnWin handler) { onWin_ = Slot(std::move(handler)); }
  void SetOnLose(TOnLose handler) { onLose_ = Slot(std::move(handler)); }
  // Starts the clock unless the picture is already complete.
  void SetOnTicks(TOnTicks handler);
  bool HasOnTicks() const { return onTicks_ != nullptr; }
  // Also installs the idle redraw.
  void SetOnPiecesDraw(TPiecesDrawEvent handler);
  // Raised after the view pans or zooms (scroll bars follow it).
  void SetOnViewChanged(TNotifyEvent handler) { onViewChanged_ = Slot(std::move(handler)); }

  // ---- Operations for the host ----
  // col and row receive the piece hit, both -1 when none was.
  void PiecesMouseDown(TSender sender, TShiftState shift, int X, int Y, TMouseButton button,
                       int& col, int& row);
  // Installed on the host control; callable directly as well.
  void PiecesMouseMove(TSender sender, TShiftState shift, int X, int Y);
  void PiecesMouseUp(TSender sender, TMouseButton button, TShiftState shift, int X, int Y);
  void PiecesKeyDown(int key);
  void SelectAll();
  void DeselectAll();
  void SolveOnePiece();
  void SolveAll(bool Ask);
  void TogglePause();
  // New play-area size and backdrop; draws nothing. A stream that is not a
  // JPEG throws after the backdrop has been filled with the workspace colour.
  void SetBackground(const TSpriteDrawParam& param, int width, int height);
  // For a game read from a file (SpriteDrawRestore.cpp): pieces marked
  // joined that lie where no joined neighbour puts them become free, and
  // pieces or groups that lie off the board come back onto it.
  void SettleRestoredGame();
  void Redraw(bool Full);
  void ShowBackgroundOnly();
  void Publish();
  void IdleRedraw(bool& Done);

  // The frame steps (see SpriteDrawRender.cpp).
  void RebuildStaticLayer();
  void ComposeFrame();
  void Present();

  // Clock and solver timer handlers.
  void ClockTick();
  void AnimationStep();
  // The win test: every piece joined, upright, and within JigsawMagnet of
  // where the current piece places it.
  bool CheckWin() const;

  // ---- The view (SpriteDrawView.cpp) ----
  // Each of these redraws when the view moves and returns whether it did; a
  // piece being dragged stays under the pointer, so it moves with the view.
  const TBoardView& View() const { return view_; }
  int ViewWidth() const { return view_.ViewWidth(); }
  int ViewHeight() const { return view_.ViewHeight(); }
  // The table is larger than the play area (a big puzzle).
  bool BigTable() const { return bigTable_; }
  bool ScrollViewTo(int x, int y);
  bool ScrollViewBy(int dx, int dy);
  bool CentreViewOn(int tableX, int tableY);
  // Zoom keeping the table point under view pixel (vx, vy) in place.
  bool ZoomViewAt(double zoom, int vx, int vy);
  // One zoom step in (direction > 0) or out, about view pixel (vx, vy).
  bool ZoomStep(int direction, int vx, int vy);
  // The whole table in the view.
  bool FitAll();
  // A new play-area size for a big table (the board of an ordinary game
  // keeps the size it was made with).
  void ResizeView(int width, int height);
  TBoardPoint ViewToTable(int vx, int vy) const;
  TBoardPoint TableToView(int tableX, int tableY) const;
  // The overview map in the view's bottom-right corner, shown while the
  // view shows only part of the table; a press on it moves the view there.
  bool OverviewShown() const;
  TRect OverviewRect() const;
  // Scrolling while a piece is dragged at the view's edge.
  bool EdgeScrolling() const { return edgeX_ != 0 || edgeY_ != 0; }
  const IBoardTimer* EdgeTimer() const { return edgeTimer_.get(); }
  void EdgeScrollStep();
  // Reduced sprite copies held for the current zoom.
  const TZoomedSprites& ZoomedCopies() const { return zoomed_; }

  // ---- Geometry ----
  TRect SolvedRect(int row, int col) const;
  // Top-left of the piece in the completed picture turned by `rotation`
  // (by the piece's own rotation without one).
  TBoardPoint RotatedHome(int row, int col) const;
  TBoardPoint RotatedHome(int row, int col, int rotation) const;
  // Position minus RotatedHome; two pieces fit when their offsets are equal.
  TBoardPoint Offset(int row, int col) const;
  static bool AreNeighbours(int row1, int col1, int row2, int col2);
  int CountPiecesLeft() const;
  // The topmost piece whose sprite has a non-zero pixel at (x, y).
  bool HitTest(int x, int y, int& col, int& row) const;
  // Grid positions of the tiles of a tiled backdrop of pw x ph on width x height.
  static std::vector<TBoardPoint> TilePlacements(int width, int height, int pw, int ph);

  // ---- State, for hosts, drivers and tests ----
  const TPieces& Pieces() const { return pieces_; }
  const TPieceSprite& Piece(int row, int col) const { return pieces_[row][col]; }
  const TZPosArray& StackingOrder() const { return stackingOrder_; }
  const TSelectedPieces& Selection() const { return selection_; }
  const TSelectedPieces& Group() const { return group_; }
  int BoardWidth() const { return boardWidth_; }
  int BoardHeight() const { return boardHeight_; }
  int OriginX() const { return originX_; }
  int OriginY() const { return originY_; }
  int CellWidth() const { return cellWidth_; }
  int CellHeight() const { return cellHeight_; }
  int CurrentCol() const { return currentCol_; }
  int CurrentRow() const { return currentRow_; }
  int ClickedCol() const { return clickedCol_; }
  int ClickedRow() const { return clickedRow_; }
  int TickCounter() const { return tickCounter_; }
  bool Dragging() const { return dragging_; }
  bool GroupDragging() const { return groupDragging_; }
  bool BandSelecting() const { return bandSelecting_; }
  bool Won() const { return won_; }
  bool Finished() const { return finished_; }
  bool AllSelected() const { return allSelected_; }
  bool SolvingAll() const { return solvingAll_; }
  bool SolvingOne() const { return solvingOne_; }
  bool FirstDraw() const { return firstDraw_; }
  bool IdleInstalled() const { return idleInstalled_; }
  const IBoardTimer& Clock() const { return *clock_; }
  const IBoardTimer* AnimationTimer() const { return animationTimer_.get(); }
  const TBitmap32& BackgroundLayer() const { return backgroundLayer_; }
  const TBitmap32& StaticLayer() const { return staticLayer_; }
  const TBitmap32& BackBuffer() const { return backBuffer_; }

 private:
  template <class Fn>
  static std::shared_ptr<const Fn> Slot(Fn handler) {
    return handler ? std::make_shared<const Fn>(std::move(handler)) : nullptr;
  }
  // Calls an assigned event and reports whether the board still exists.
  template <class Fn, class... Args>
  bool raise(const std::shared_ptr<const Fn>& slot, Args&&... args) {
    if (!slot) return true;
    const std::shared_ptr<const bool> alive = alive_;
    const std::shared_ptr<const Fn> keep = slot;  // the handler may replace itself
    (*keep)(std::forward<Args>(args)...);
    return *alive;
  }

  bool hasPieces() const { return piecesX_ > 0 && piecesY_ > 0; }
  bool inGrid(int row, int col) const {
    return row >= 0 && row < piecesY_ && col >= 0 && col < piecesX_;
  }
  TPieceSprite& piece(int row, int col) { return pieces_[row][col]; }
  TPieceSprite& currentPiece() { return pieces_[currentRow_][currentCol_]; }
  std::size_t indexOf(int row, int col) const { return std::size_t(row) * piecesX_ + col; }

  // Model (SpriteDrawModel.cpp).
  void copyPieces(const TSpriteSource& source);
  void moveToFront(int row, int col);
  void raiseGroup(const TSelectedPieces& list);
  void floodFill(int row, int col, TSelectedPieces& list);
  void buildGroupList(int row, int col, int refX, int refY, bool withShadows,
                      TSelectedPieces& list);
  void buildSelection(int refX, int refY);
  static void moveList(TPieces& pieces, const TSelectedPieces& list, int px, int py);
  bool castsShadow(const SelectedPieceEntry& entry) const;
  void setGroup(int row, int col, int refX, int refY, bool withShadows);
  void markList(const TSelectedPieces& list);
  void unmarkList(const TSelectedPieces& list);
  void clearGroup();
  void clearSelection();

  // Rendering (SpriteDrawRender.cpp).
  void drawPiece(TBitmap32& target, int row, int col, bool withShadow, std::uint32_t alpha);
  void drawShadow(TBitmap32& target, TPieceSprite& p);
  void makeShadow(TPieceSprite& p, int rotation);
  void ensureShadow(TPieceSprite& p);
  // Turns the sprite of a rotation the creator left to the board.
  void ensureSprite(TPieceSprite& p);
  const TColor32* decodedSprite(const TPieceSprite& p);
  const TColor32* zoomedPixels(int row, int col, int level);
  void drawSelectedInBands();
  bool visible(const TPieceSprite& p) const;
  static bool visibleIn(const TPieceSprite& p, const TRect& shown);
  void markActive();
  void drawBand();
  bool present();
  bool redraw(bool full);
  void installIdle();
  void removeIdle();

  // The view (SpriteDrawView.cpp).
  TBoardPoint tablePoint(int vx, int vy) const { return ViewToTable(vx, vy); }
  const TBitmap32& viewBackdrop();
  void renderViewBackdrop(TBitmap32& target);
  void viewChanged();
  void drawOverview(TBitmap32& target);
  void renderOverview();
  bool overviewFits() const;
  TRect overviewPlace() const;
  void fitOverscroll();
  bool overviewPress(int vx, int vy);
  void updateEdgeScroll();
  void stopEdgeScroll();
  bool panWithKey(int dx, int dy);
  void setBackdropSource(TBitmap32 picture, int style);

  // Input (SpriteDrawInput.cpp).
  // A piece or group that lies out of the player's reach comes back to the
  // board's nearest edge (SpriteDrawRestore.cpp).
  void bringIntoReach(const TSelectedPieces& list);
  // (px, py) moved as little as keeps every member of `list` on the board.
  TBoardPoint keepOnBoard(const TSelectedPieces& list, int px, int py) const;
  bool movePointer(TSender sender, int X, int Y);
  bool singleSnap(TBoardPoint& snapped);
  bool groupSnap(TBoardPoint& snapped);
  bool rotateGroup(TSender sender, int row, int col);

  // Solvers and clock.
  void createAnimationTimer(int interval);
  void discardAnimationTimer();
  bool solveOneStep();
  void solveAllStep();
  void solverWon();
  bool winAfterRelease(TSender sender);

  // Host.
  TBoardControl& host_;
  IBoardPlatform& platform_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  TMouseMoveHandler savedMouseMove_;
  TMouseUpHandler savedMouseUp_;
  bool idleInstalled_ = false;

  // Pieces.
  int piecesX_ = 0;
  int piecesY_ = 0;
  int piecesLeft_ = 0;
  TPieces pieces_;
  TZPosArray stackingOrder_;
  TSelectedPieces selection_;
  TSelectedPieces group_;
  std::vector<std::uint8_t> listMark_;     // scratch: pieces in the list being built
  std::vector<std::uint8_t> groupMark_;    // pieces in group_
  std::vector<std::uint8_t> activeMark_;   // scratch of RebuildStaticLayer
  std::vector<std::uint8_t> scratchMark_;  // scratch of buildSelection
  TBitmap32 solutionBitmap_;

  // Published properties.
  int indexX_ = 0;
  int indexY_ = 0;
  std::uint8_t jigsawMagnet_ = 5;
  bool piecesVisible_ = false;
  bool noPieceRotation_ = false;
  bool noPieceShadow_ = false;
  bool flatPiece_ = false;
  bool silentPause_ = true;
  bool drawContinue_ = false;
  bool timeTrialMode_ = false;
  int ticks_ = 0;
  bool enabledTimer_ = true;
  bool gamePaused_ = false;
  std::uint8_t myLevel_ = 0;
  int backgroundStyle_ = 0;

  std::shared_ptr<const TPiecesEvent> onPiecesClick_;
  std::shared_ptr<const TPiecesEvent> onPiecesRotate_;
  std::shared_ptr<const TPiecesDraggedEvent> onPiecesDrag_;
  std::shared_ptr<const TPiecesEvent> onPiecesInRightPlace_;
  std::shared_ptr<const TOnWin> onWin_;
  std::shared_ptr<const TOnLose> onLose_;
  std::shared_ptr<const TOnTicks> onTicks_;
  std::shared_ptr<const TPiecesDrawEvent> onPiecesDraw_;
  std::shared_ptr<const TNotifyEvent> onViewChanged_;

  // Board fields.
  int boardWidth_ = 0;
  int boardHeight_ = 0;
  int cellWidth_ = 0;
  int cellHeight_ = 0;
  int originX_ = 0;
  int originY_ = 0;
  int currentCol_ = 0;
  int currentRow_ = 0;
  int clickedCol_ = 0;
  int clickedRow_ = 0;
  int grabX_ = 0;
  int grabY_ = 0;
  int bandStartX_ = 0;
  int bandStartY_ = 0;
  int bandEndX_ = 0;
  int bandEndY_ = 0;
  int tickCounter_ = 0;
  int hintCol_ = 0;
  int hintRow_ = 0;
  int hintTargetX_ = 0;
  int hintTargetY_ = 0;
  int stepX_ = 15;
  int stepY_ = 15;
  std::unique_ptr<IBoardTimer> clock_;
  std::unique_ptr<IBoardTimer> animationTimer_;
  // Discarded animation timers wait here until no tick of theirs can be
  // running: AnimationStep counts how deeply its ticks are nested.
  std::vector<std::unique_ptr<IBoardTimer>> retiredTimers_;
  int animationDepth_ = 0;

  bool dragging_ = false;
  bool moved_ = false;
  bool rightPressed_ = false;
  bool bandSelecting_ = false;
  bool groupDragging_ = false;
  bool groupMoved_ = false;
  bool groupRotated_ = false;
  bool won_ = false;
  bool finished_ = false;
  bool firstDraw_ = true;
  bool allSelected_ = false;
  bool solvingAll_ = false;
  bool solvingOne_ = false;
  // The static layer still leaves out pieces that are no longer active (a
  // group let go after its last rebuild); the next composition rebuilds it.
  bool staticStale_ = false;

  TBitmap32 backgroundLayer_;
  TBitmap32 staticLayer_;
  TBitmap32 backBuffer_;
  TDivisionTable blurTable_{};
  std::vector<TColor32> shadowScratch_;

  // The view. An ordinary game's table is its background layer's board; a
  // big table keeps its backdrop as a picture and a placement, and its
  // background layer is the backdrop as the view sees it.
  TBoardView view_;
  bool bigTable_ = false;
  bool shadowsDeferred_ = false;
  TBitmap32 viewBackground_;  // an ordinary table seen other than 1:1
  bool viewBackdropFresh_ = false;
  TBitmap32 backdropPicture_;
  int backdropStyle_ = -1;  // -1: the workspace colour alone
  TBitmap32 backdropReduced_;
  int backdropReducedLevel_ = -1;
  TZoomedSprites zoomed_;
  std::vector<TColor32> decodeScratch_;
  TSpriteScratch shadowWork_;
  std::vector<TColor32> pieceColours_;  // per piece, for the overview map
  TBitmap32 overview_;
  bool overviewFresh_ = false;
  bool overviewDragging_ = false;
  int pointerX_ = 0;  // the last pointer position, view pixels
  int pointerY_ = 0;
  int edgeX_ = 0;  // edge scrolling speed, view pixels per step
  int edgeY_ = 0;
  std::unique_ptr<IBoardTimer> edgeTimer_;
};

}  // namespace duduri
