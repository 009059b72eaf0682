// The view of the table: its arithmetic, and a table larger than the play
// area played through it -- pointer positions, dragging while the view pans
// and zooms, scrolling at the view's edge, zoomed frames, the overview map,
// the arrow keys, the backdrop -- and the promise that an ordinary board is
// drawn exactly as before it had a view.

#include <gtest/gtest.h>

#include <cmath>

#include "BoardTestUtil.h"
#include "board/BoardView.h"
#include "board/ZoomedSprites.h"
#include "pieces/RLE.h"
#include "pieces/SpriteWork.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

using namespace board_test;

constexpr int kViewW = 400;
constexpr int kViewH = 300;
constexpr int kTableW = 1600;
constexpr int kTableH = 1000;

TEST(BoardView, MapsViewPixelsToTheTableAndKeepsThePointUnderTheCursorWhenZooming) {
  TBoardView v;
  v.Reset(kViewW, kViewH, kViewW, kViewH);
  EXPECT_TRUE(v.Identity());
  EXPECT_FALSE(v.CanPan());
  for (int x : {0, 1, 57, kViewW - 1}) {
    EXPECT_EQ(v.TablePixelX(x), x);
    EXPECT_EQ(v.ViewXOf(x), x);
  }

  v.Reset(kTableW, kTableH, kViewW, kViewH);
  EXPECT_FALSE(v.Identity());
  EXPECT_EQ(v.MaxScrollX(), kTableW - kViewW);
  EXPECT_TRUE(v.ScrollTo(5000, -20));  // clamped to the range
  EXPECT_EQ(v.ScrollX(), kTableW - kViewW);
  EXPECT_EQ(v.ScrollY(), 0);
  EXPECT_EQ(v.TablePixelX(10), kTableW - kViewW + 10);

  // Zooming about a view pixel keeps the table point under it (where the
  // scroll range allows: on a larger table, away from its edges).
  TBoardView large;
  large.Reset(8000, 6000, kViewW, kViewH);
  large.ScrollTo(3000, 2000);
  const int tx = large.TablePixelX(123);
  const int ty = large.TablePixelY(77);
  for (double z : {0.5, 0.25, 0.70710678, 2.0, 1.0}) {
    large.ZoomAt(z, 123, 77);
    EXPECT_NEAR(large.TableXAt(123), tx + 0.5, 1.0 / z) << z;
    EXPECT_NEAR(large.TableYAt(77), ty + 0.5, 1.0 / z) << z;
  }
  // Back at 1:1 the view is pixel exact again.
  EXPECT_EQ(large.Zoom(), 1.0);
  EXPECT_EQ(large.TablePixelX(123), tx);
  EXPECT_EQ(large.ViewXOf(large.TablePixelX(200)), 200);
  // Near an edge the range wins: the view never shows past the table.
  for (double z : {0.5, 0.25, 2.0, 1.0}) {
    v.ZoomAt(z, 0, 0);
    EXPECT_GE(v.TablePixelX(0), 0);
    EXPECT_LE(v.TablePixelX(kViewW - 1), kTableW - 1);
  }

  // Steps land on exact powers of two every other step, within the range.
  v.ZoomAt(1.0, 0, 0);
  EXPECT_DOUBLE_EQ(v.StepZoom(-1), 1 / std::sqrt(2.0));
  v.ZoomAt(v.StepZoom(-1), 0, 0);
  v.ZoomAt(v.StepZoom(-1), 0, 0);
  EXPECT_EQ(v.Zoom(), 0.5);
  EXPECT_DOUBLE_EQ(v.StepZoom(+1), std::sqrt(0.5));
  v.ZoomAt(0.01, 0, 0);
  EXPECT_EQ(v.Zoom(), v.FitZoom());
  EXPECT_EQ(v.Zoom(), 0.25);  // 400 / 1600
  v.ZoomAt(9, 0, 0);
  EXPECT_EQ(v.Zoom(), TBoardView::kMaxZoom);

  // Fit-all shows everything, centred: nothing left to pan.
  v.FitAll();
  EXPECT_FALSE(v.CanPan());
  // The table is wider than the view's shape: 400 x 250 with bands above and
  // below.
  EXPECT_EQ(v.ViewXOf(0), 0);
  EXPECT_EQ(v.ViewXOf(kTableW), kViewW);
  EXPECT_EQ(v.ViewYOf(0), 25);
  EXPECT_EQ(v.ViewYOf(kTableH), 275);
}

// A 10 x 6 puzzle scattered over a 1600 x 1000 table seen through 400 x 300.
struct TBig {
  TGridPieces g;
  std::unique_ptr<THeadlessGame> game;
  explicit TBig(bool deferShadows = false) {
    TGridPiecesOptions o;
    o.Columns = 10;
    o.Rows = 6;
    o.TableWidth = kTableW;
    o.TableHeight = kTableH;
    o.RandomRotation = false;
    o.DeferShadows = deferShadows;
    o.Seed = 11;
    g = MakeGridPieces(MakeTestPicture(10 * kCell, 6 * kCell), o);
    game = std::make_unique<THeadlessGame>(g.Source(), kViewW, kViewH);
    game->Start();
  }
  TSpriteDraw& board() { return game->board(); }
  // Puts piece (row, col) at table (x, y) by dragging it there.
  void Place(int row, int col, int x, int y) { ASSERT_TRUE(game->DragPieceTo(row, col, x, y)); }
};

TEST(BigTable, PlaysOnTheTableWithLayersTheSizeOfTheView) {
  TBig t;
  TSpriteDraw& b = t.board();
  EXPECT_TRUE(b.BigTable());
  EXPECT_EQ(b.BoardWidth(), kTableW);
  EXPECT_EQ(b.BoardHeight(), kTableH);
  EXPECT_EQ(b.BackBuffer().Width(), kViewW);
  EXPECT_EQ(b.StaticLayer().Height(), kViewH);
  // Solving all centres the picture on the table, not on the view.
  EXPECT_EQ(b.OriginX(), (kTableW - 10 * kCell) / 2);
  EXPECT_EQ(b.OriginY(), (kTableH - 6 * kCell) / 2);

  // A press anywhere in the view picks what lies on the table there.
  t.Place(2, 3, 1200, 700);
  b.CentreViewOn(1220, 720);
  const TBoardPoint v = b.TableToView(1220, 720);
  EXPECT_EQ(t.game->Press(v.X, v.Y), (TBoardPoint{3, 2}));
  t.game->Release(v.X, v.Y);
  EXPECT_EQ(b.Piece(2, 3).X, 1200);
}

TEST(BigTable, ADraggedPieceStaysUnderThePointerWhileTheViewPansAndZooms) {
  TBig t;
  TSpriteDraw& b = t.board();
  t.Place(1, 1, 600, 400);
  b.CentreViewOn(620, 420);
  const TBoardPoint v = b.TableToView(620, 420);
  ASSERT_EQ(t.game->Press(v.X, v.Y), (TBoardPoint{1, 1}));
  t.game->Move(v.X + 3, v.Y + 2);
  const TPieceSprite& p = b.Piece(1, 1);
  auto grabOffset = [&] {
    const TBoardPoint under = b.ViewToTable(v.X + 3, v.Y + 2);
    return TBoardPoint{under.X - p.X, under.Y - p.Y};
  };
  const TBoardPoint grab = grabOffset();
  EXPECT_EQ(grab, (TBoardPoint{20, 20}));

  b.ScrollViewBy(150, -40);
  EXPECT_EQ(grabOffset(), grab);
  EXPECT_EQ(p.X, 600 + 3 + 150);
  b.ZoomViewAt(0.5, 10, 10);  // about another point: the piece is carried along
  EXPECT_EQ(grabOffset(), grab);
  b.ZoomViewAt(1.0, 200, 150);
  EXPECT_EQ(grabOffset(), grab);
  EXPECT_TRUE(b.Dragging());
  t.game->Release(v.X + 3, v.Y + 2);
  EXPECT_FALSE(b.Dragging());
}

TEST(BigTable, APieceDroppedAtTheViewsEdgeSnapsOnTheTableAndTheEdgeScrollsTheView) {
  TBig t;
  TSpriteDraw& b = t.board();
  // (0, 0) joins (0, 1) where the fit lies at the view's right edge.
  t.Place(0, 0, 800, 500);
  const TBoardPoint fit = t.game->FitPosition(0, 1, 0, 0);
  ASSERT_EQ(b.View().Zoom(), 1.0);
  TBoardPoint grab;
  ASSERT_TRUE(t.game->GrabPoint(0, 1, grab));
  const int gx = grab.X - b.Piece(0, 1).X;
  const int gy = grab.Y - b.Piece(0, 1).Y;
  // Scroll so that the pointer over the fit is 6 pixels inside the right edge.
  b.ScrollViewTo(fit.X + gx - (kViewW - 6), fit.Y + gy - kViewH / 2);
  b.CentreViewOn(grab.X, grab.Y);
  TBoardPoint from = b.TableToView(grab.X, grab.Y);
  ASSERT_EQ(t.game->Press(from.X, from.Y), (TBoardPoint{1, 0}));
  b.ScrollViewTo(fit.X + gx - (kViewW - 6), fit.Y + gy - kViewH / 2);
  const TBoardPoint edge = b.TableToView(fit.X + gx, fit.Y + gy);
  ASSERT_EQ(edge.X, kViewW - 6);
  t.game->Move(edge.X, edge.Y);
  EXPECT_TRUE(b.EdgeScrolling());
  ASSERT_NE(b.EdgeTimer(), nullptr);
  EXPECT_TRUE(b.EdgeTimer()->Enabled());

  // Each step moves the view right and the held piece with it.
  const int scroll = b.View().ScrollX();
  const int x = b.Piece(0, 1).X;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(t.game->Platform().FireTimer(b.EdgeTimer()));
  const int moved = b.View().ScrollX() - scroll;
  EXPECT_GT(moved, 0);
  EXPECT_EQ(b.Piece(0, 1).X - x, moved);

  // Back to the fit, still at the edge of the view, and dropped there.
  const TBoardPoint back = b.TableToView(fit.X + gx, fit.Y + gy);
  t.game->Move(back.X, back.Y);
  t.game->Release(back.X, back.Y);
  EXPECT_FALSE(b.EdgeTimer()->Enabled());
  EXPECT_EQ(b.Piece(0, 1).Placed, 1);
  EXPECT_EQ(b.Piece(0, 1).X, fit.X);
  EXPECT_EQ(b.PiecesLeft(), 60 - 2);
}

TEST(BigTable, ZoomedOutFramesDrawPiecesFromReducedCopiesOfOneZoomOnly) {
  TBig t;
  TSpriteDraw& b = t.board();
  // A lone piece with nothing over it: (0, 0) at a corner of the table.
  t.Place(0, 0, 40, 40);
  b.ScrollViewTo(0, 0);
  b.ZoomViewAt(0.5, 0, 0);
  EXPECT_EQ(b.ZoomedCopies().Level(), 1);
  const std::size_t halves = b.ZoomedCopies().Copies();
  EXPECT_GT(halves, 0u);
  EXPECT_LT(halves, 60u);  // only what the view shows

  // A view pixel of the piece's inside is the average of the 2 x 2 block.
  const TBitmap32 picture = MakeTestPicture(10 * kCell, 6 * kCell);
  const TBoardPoint v = b.TableToView(40 + 10, 40 + 10);
  const TColor32 shown = b.BackBuffer().ScanLine(v.Y)[v.X];
  // Piece (0, 0) has no margins on its top and left: its pixel (x, y) is the
  // picture's.
  const int x = (b.View().TablePixelX(v.X) - 40) & ~1;
  const int y = (b.View().TablePixelY(v.Y) - 40) & ~1;
  const TColor32 block[4] = {picture.ScanLine(y)[x], picture.ScanLine(y)[x + 1],
                             picture.ScanLine(y + 1)[x], picture.ScanLine(y + 1)[x + 1]};
  EXPECT_EQ(shown, ReducePixels(block, 2, 2, 1)[0]);

  b.ZoomViewAt(0.25, 0, 0);
  EXPECT_EQ(b.ZoomedCopies().Level(), 2);
  EXPECT_GT(b.ZoomedCopies().Copies(), 0u);
  EXPECT_LT(b.ZoomedCopies().Bytes(), std::size_t(60) * 4 * 30 * 30);
}

TEST(BigTable, TheOverviewMapShowsWhereTheViewIsAndMovesItThere) {
  TBig t;
  TSpriteDraw& b = t.board();
  ASSERT_TRUE(b.OverviewShown());
  const TRect r = b.OverviewRect();
  EXPECT_EQ(r.Right, kViewW - 20);
  EXPECT_EQ(r.Bottom, kViewH - 20);
  // The map is drawn over the frame: its frame line is dark.
  EXPECT_EQ(b.BackBuffer().ScanLine(r.Top)[r.Left + 3], 0xFF202020u);

  // A press on the map's middle brings the table's middle into view.
  const int mx = (r.Left + r.Right) / 2;
  const int my = (r.Top + r.Bottom) / 2;
  EXPECT_EQ(t.game->Press(mx, my), (TBoardPoint{-1, -1}));
  EXPECT_FALSE(b.BandSelecting());
  const TBoardPoint middle = b.ViewToTable(kViewW / 2, kViewH / 2);
  EXPECT_NEAR(middle.X, kTableW / 2, kTableW / (r.Right - r.Left));
  EXPECT_NEAR(middle.Y, kTableH / 2, kTableH / (r.Bottom - r.Top));
  // Dragging on it keeps moving the view, even past its edge.
  t.game->Move(r.Left - 30, my);
  EXPECT_EQ(b.View().ScrollX(), 0);
  t.game->Release(r.Left - 30, my);

  // The whole table in view: no map.
  b.FitAll();
  EXPECT_FALSE(b.OverviewShown());
}

TEST(BigTable, ArrowKeysPanWhenNothingIsSelectedAndMoveTheSelectionOtherwise) {
  TBig t;
  TSpriteDraw& b = t.board();
  b.ScrollViewTo(400, 300);
  t.game->Key(kVkRight);
  EXPECT_EQ(b.View().ScrollX(), 400 + kViewW / 8);
  t.game->Key(kVkUp);
  EXPECT_EQ(b.View().ScrollY(), 300 - kViewH / 8);

  const int x = b.Piece(3, 3).X;
  TBoardPoint grab;
  ASSERT_TRUE(t.game->GrabPoint(3, 3, grab));
  const TBoardPoint v = b.TableToView(grab.X, grab.Y);
  t.game->Press(v.X, v.Y, mbLeft, ssCtrl);
  t.game->Release(v.X, v.Y, mbLeft, ssCtrl);
  ASSERT_EQ(b.Piece(3, 3).Selected, 1);
  const int scroll = b.View().ScrollX();
  t.game->Key(kVkRight);
  EXPECT_EQ(b.Piece(3, 3).X, x + 4);
  EXPECT_EQ(b.View().ScrollX(), scroll);
}

TEST(BigTable, TheBackdropIsLaidOnTheTableAndScrollsWithIt) {
  TBitmap32 texture = MakeTestPicture(37, 23);
  const std::vector<std::byte> jpeg = EncodeJpeg(texture, 100);
  const TPicture decoded = DecodeJpeg(jpeg);
  TBitmap32 tile;
  tile.Assign(decoded);

  TGridPiecesOptions o;
  o.Columns = 2;
  o.Rows = 2;
  o.TableWidth = kTableW;
  o.TableHeight = kTableH;
  TGridPieces g = MakeGridPieces(MakeTestPicture(2 * kCell, 2 * kCell), o);
  for (auto& row : g.Pieces)
    for (TPieceSprite& p : row) p.X = p.Y = 0;  // out of the way
  TSpriteDrawParam param;
  param.BackgroundStream = jpeg;
  param.BackgroundStyle = kBackgroundTiled;
  THeadlessGame game(g.Source(), kViewW, kViewH, param);
  game.Start();
  TSpriteDraw& b = game.board();
  b.ScrollViewTo(555, 333);
  b.Redraw(true);
  for (int vy : {0, 17, 150}) {
    for (int vx : {0, 1, 99, 250}) {
      const int tx = 555 + vx;
      const int ty = 333 + vy;
      ASSERT_EQ(b.BackBuffer().ScanLine(vy)[vx], tile.ScanLine(ty % 23)[tx % 37] | 0xFF000000u)
          << vx << "," << vy;
    }
  }
  // Beyond the table's edge, zoomed out to fit, a darker floor.
  b.FitAll();
  const TColor32 floor = b.BackBuffer().ScanLine(0)[kViewW / 2];
  EXPECT_LT(floor & 0xFF, game.Platform().workspaceColor & 0xFF);
}

TEST(BigTable, DeferredSpritesAndShadowsAreMadeWhenFirstWantedAsTheCreatorMakesThem) {
  TBig t(true);
  TBig full;  // the same game with every sprite made at once
  TSpriteDraw& b = t.board();
  for (const auto& row : b.Pieces()) {
    for (const TPieceSprite& p : row) {
      ASSERT_FALSE(p.ShadowData[p.Rotation]);
      for (int r = 1; r < 4; ++r) ASSERT_FALSE(p.RleData[(p.Rotation + r) & 3]);
    }
  }
  // Turning a piece turns its sprite.
  ASSERT_TRUE(t.game->RotatePiece(4, 4));
  const TPieceSprite& turned = b.Piece(4, 4);
  EXPECT_EQ(*turned.RleData[turned.Rotation], *full.board().Piece(4, 4).RleData[turned.Rotation]);
  TBoardPoint grab;
  ASSERT_TRUE(t.game->GrabPoint(2, 2, grab));
  const TBoardPoint v = b.TableToView(grab.X, grab.Y);
  t.game->Press(v.X, v.Y);
  t.game->Move(v.X + 4, v.Y + 4);
  const TPieceSprite& p = b.Piece(2, 2);
  ASSERT_TRUE(p.ShadowData[0]);

  TDivisionTable table;
  FillDivisionTable(table);
  TSpriteScratch scratch;
  // The creator's shadow of the decoded sprite.
  std::vector<TColor32> pixels(std::size_t(p.Width) * p.Height);
  DecodeBuffer(p.RleData[0]->data(), pixels.data(), p.RleSize[0]);
  const TShadowBlock made = MakeSpriteShadow(pixels.data(), p.Width, p.Height, table, scratch);
  EXPECT_EQ(*p.ShadowData[0], *made);
  // Pieces never picked still have none.
  EXPECT_FALSE(b.Piece(5, 9).ShadowData[0]);
  t.game->Release(v.X + 4, v.Y + 4);
}

TEST(ZoomedSprites, MappedBlocksBlendEveryPixelAsTheOnePixelBlendDoes) {
  // Every alpha, colours at random, over a random target; 1:1 so that each
  // view pixel takes the source pixel below it.
  std::uint32_t seed = 7;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  const int w = 37, h = 23;
  std::vector<TColor32> block(std::size_t(w) * h);
  for (std::size_t i = 0; i < block.size(); ++i) {
    const std::uint32_t a = i % 7 == 0 ? 0 : i % 5 == 0 ? 255 : (next() >> 8) & 0xFF;
    block[i] = (a << 24) | (next() & 0xFFFFFF);
  }
  TBoardView view;
  view.Reset(64, 48, 64, 48);
  for (std::uint32_t master : {255u, 127u, 31u}) {
    TBitmap32 target;
    target.SetSize(64, 48);
    for (std::size_t i = 0; i < target.PixelCount(); ++i) target.Bits()[i] = next() | 0xFF000000u;
    TBitmap32 expected;
    expected.Assign(target);
    DrawMappedBlock(PixelTarget(target), view, 5, 9, w, h, block.data(), 0, master);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        TColor32& d = expected.ScanLine(9 + y)[5 + x];
        d = BlendMaster(block[std::size_t(y) * w + x], d, master);
      }
    }
    ASSERT_TRUE(std::equal(target.Bits(), target.Bits() + target.PixelCount(), expected.Bits()))
        << master;
  }
}

// An ordinary board: a table the size of the play area is the play area,
// and zooming in and out again gives back the very same frames.
TEST(BoardViewFrames, AnOrdinaryBoardDrawsExactlyAsWithoutAView) {
  TGridPieces g = Grid(4, 3, true, true);
  auto plain = Play(g);
  TGridPieces sized = Grid(4, 3, true, true);
  sized.TableWidth = kBoardW;
  sized.TableHeight = kBoardH;
  auto tabled = Play(sized);
  EXPECT_FALSE(tabled->board().BigTable());
  EXPECT_TRUE(tabled->board().View().Identity());

  auto same = [&](const char* what) {
    SCOPED_TRACE(what);
    const TBitmap32& a = plain->board().BackBuffer();
    const TBitmap32& c = tabled->board().BackBuffer();
    ASSERT_EQ(a.Width(), c.Width());
    ASSERT_EQ(a.Height(), c.Height());
    EXPECT_TRUE(std::equal(a.Bits(), a.Bits() + a.PixelCount(), c.Bits()));
  };
  same("first frame");
  for (auto* game : {plain.get(), tabled.get()}) {
    TBoardPoint grab;
    ASSERT_TRUE(game->GrabPoint(1, 2, grab));
    game->Press(grab.X, grab.Y);
    game->Move(grab.X + 30, grab.Y + 11);
  }
  same("dragging");
  for (auto* game : {plain.get(), tabled.get()}) game->Release(0, 0);
  same("dropped");

  const std::vector<TColor32> before(tabled->board().BackBuffer().Bits(),
                                     tabled->board().BackBuffer().Bits() + kBoardW * kBoardH);
  TSpriteDraw& b = tabled->board();
  EXPECT_TRUE(b.ZoomStep(+1, 100, 100));
  EXPECT_FALSE(b.View().Identity());
  EXPECT_TRUE(b.View().CanPan());
  EXPECT_FALSE(b.ZoomViewAt(0.5, 0, 0) && b.View().Zoom() < 1.0);  // never below the play area
  b.ZoomViewAt(1.0, 100, 100);
  EXPECT_TRUE(b.View().Identity());
  b.Redraw(true);
  EXPECT_TRUE(std::equal(before.begin(), before.end(), b.BackBuffer().Bits()));
}

}  // namespace
}  // namespace duduri
