// Frames: what is drawn where, shadows, transparency of selected pieces, the
// rubber band, and the backdrop styles.

#include <gtest/gtest.h>

#include "BoardTestUtil.h"
#include "board/SpriteBlit.h"
#include "raster/Picture.h"

namespace duduri {
namespace {

using namespace board_test;

TColor32 At(const TBitmap32& b, int x, int y) {
  return b.ScanLine(y)[x];
}

// A lone upright piece (0,0) of a 2 x 2 puzzle at (100, 100); (0,0) has no
// margins on its top and left, so board (100 + x, 100 + y) shows picture (x, y).
struct TLone {
  TGridPieces g = Grid(2, 2, false);
  TBitmap32 picture = MakeTestPicture(2 * kCell, 2 * kCell);
  std::unique_ptr<THeadlessGame> game;
  TLone(bool noShadow = false) {
    g.NoPieceShadow = noShadow;
    Put(g, 0, 0, 100, 100);
    Put(g, 0, 1, 400, 100);
    Put(g, 1, 0, 100, 350);
    Put(g, 1, 1, 400, 350);
    game = Play(g);
  }
  TColor32 Picture(int x, int y) const { return picture.ScanLine(y)[x]; }
};

TEST(BoardRender, FramesShowPiecesOverTheBackdropAndNothingWhenPiecesAreHidden) {
  TLone t;
  TSpriteDraw& b = t.game->board();
  const TColor32 backdrop = t.game->Platform().workspaceColor;
  EXPECT_EQ(At(b.BackBuffer(), 110, 120), t.Picture(10, 20));
  EXPECT_EQ(At(b.BackBuffer(), 99, 120), backdrop);
  // Right of the cell, outside the tab: transparent margin shows the backdrop.
  EXPECT_EQ(At(b.BackBuffer(), 100 + kCell + 2, 101), backdrop);
  // Publish put the same frame into the control's own picture.
  EXPECT_EQ(At(t.game->Control().picture, 110, 120), t.Picture(10, 20));

  b.SetPiecesVisible(false);
  b.Redraw(true);
  for (int y = 0; y < kBoardH; y += 5) {
    for (int x = 0; x < kBoardW; x += 5) ASSERT_EQ(At(b.BackBuffer(), x, y), backdrop);
  }
  EXPECT_EQ(t.game->Press(110, 120), (TBoardPoint{-1, -1}));
}

TEST(BoardRender, SelectedPiecesAreHalfTransparentAndNeverInTheStaticLayer) {
  TLone t;
  TSpriteDraw& b = t.game->board();
  const TColor32 backdrop = t.game->Platform().workspaceColor;
  b.SelectAll();
  b.Redraw(true);
  // (0,0) is also the current piece.
  EXPECT_EQ(At(b.BackBuffer(), 110, 120), BlendMaster(t.Picture(10, 20), backdrop, 127));
  EXPECT_EQ(At(b.BackBuffer(), 420, 105), BlendMaster(t.Picture(54, 5), backdrop, 127));
  EXPECT_EQ(At(b.StaticLayer(), 420, 105), backdrop);
  b.DeselectAll();
  b.Redraw(true);
  EXPECT_EQ(At(b.BackBuffer(), 420, 105), t.Picture(54, 5));
  EXPECT_EQ(At(b.StaticLayer(), 420, 105), t.Picture(54, 5));
}

TEST(BoardRender, DraggedPiecesCastAShadowUnlessShadowsAreOff) {
  for (bool noShadow : {false, true}) {
    TLone t(noShadow);
    TSpriteDraw& b = t.game->board();
    const TColor32 backdrop = t.game->Platform().workspaceColor;
    t.game->Press(110, 110);
    t.game->Move(112, 110);
    // The shadow lies 4 pixels right and down: just below the piece's last
    // row (which ends at the cell, its bottom margin is a tab only).
    const TColor32 below = At(b.BackBuffer(), 102 + 20, 100 + 46 + 2);
    EXPECT_EQ(below != backdrop, !noShadow);
    t.game->Release(112, 110);
    // After the drop the piece is drawn without a shadow.
    EXPECT_EQ(At(b.BackBuffer(), 102 + 20, 100 + 46 + 2), backdrop);
  }
}

TEST(BoardRender, GroupDragsDrawNoShadowWithNoPieceShadow) {
  for (bool noShadow : {false, true}) {
    TGridPieces g = Grid(2, 2);
    g.NoPieceShadow = noShadow;
    Assemble(g, 100, 100);
    auto game = Play(g);
    TSpriteDraw& b = game->board();
    TBoardPoint at;
    ASSERT_TRUE(game->GrabPoint(0, 0, at));
    game->Press(at.X, at.Y);
    game->Move(at.X + 10, at.Y);
    // Right of the group's right edge, within the shadow's reach.
    const int edge = 110 + 2 * kCell;
    EXPECT_EQ(At(b.BackBuffer(), edge + 2, 150) != game->Platform().workspaceColor, !noShadow);
    game->Release(at.X + 10, at.Y);
  }
}

TEST(BoardRender, LaterFramesStillShowEveryMemberOfAGroupThatWasLetGo) {
  TGridPieces g = Grid(2, 2);
  Assemble(g, 100, 100);
  auto game = Play(g);
  TSpriteDraw& b = game->board();
  TBoardPoint at;
  ASSERT_TRUE(game->GrabPoint(0, 0, at));
  game->Press(at.X, at.Y);
  game->Move(at.X + 150, at.Y + 100);
  game->Release(at.X + 150, at.Y + 100);
  // A plain redraw after the drop: the members other than the current piece
  // must be drawn too, not only the current piece over an outdated layer.
  b.Redraw(false);
  const TPieceSprite& p = b.Piece(1, 1);
  const TBitmap32 picture = MakeTestPicture(2 * kCell, 2 * kCell);
  EXPECT_EQ(At(b.BackBuffer(), p.X + 30, p.Y + 30), At(picture, p.HomeX + 30, p.HomeY + 30));
}

TEST(BoardRender, TheRubberBandIsABlueOutlineOnlyWhenDraggedDownAndRight) {
  TLone t;
  TSpriteDraw& b = t.game->board();
  t.game->Press(200, 200);
  t.game->Move(260, 240);
  EXPECT_TRUE(b.BandSelecting());
  EXPECT_EQ(At(b.BackBuffer(), 230, 200), 0xFF0000FFu);
  EXPECT_EQ(At(b.BackBuffer(), 259, 220), 0xFF0000FFu);
  EXPECT_NE(At(b.BackBuffer(), 230, 220), 0xFF0000FFu);
  EXPECT_NE(At(b.BackBuffer(), 260, 220), 0xFF0000FFu);
  t.game->Move(150, 150);
  for (int y = 0; y < kBoardH; ++y) {
    for (int x = 0; x < kBoardW; ++x) ASSERT_NE(At(b.BackBuffer(), x, y), 0xFF0000FFu);
  }
  t.game->Release(150, 150);
  EXPECT_FALSE(b.BandSelecting());
}

TEST(BoardRender, FirstFramesComeFromRedrawOrFromTheIdleHook) {
  TGridPieces g = Grid(2, 2);
  THeadlessGame game(g.Source(), 300, 200);
  TSpriteDraw& b = game.board();
  b.SetPiecesVisible(true);
  const TColor32* seen = nullptr;
  TSender sender = nullptr;
  b.SetOnPiecesDraw([&](TSender s, const TColor32* pixels) {
    seen = pixels;
    sender = s;
  });
  EXPECT_TRUE(game.Platform().IdleInstalled());
  EXPECT_EQ(game.Idle(5), 1);  // one pass draws the first frame and leaves
  EXPECT_FALSE(b.FirstDraw());
  EXPECT_FALSE(game.Platform().IdleInstalled());
  EXPECT_EQ(seen, b.BackBuffer().Bits());
  EXPECT_EQ(sender, &b);
  EXPECT_EQ(game.Control().paints, 0);  // presented through the event instead
  EXPECT_EQ(game.Control().publishes, 1);
}

TEST(BoardRender, TiledBackdropsCoverTheAreaWithOneSpareTileEachWay) {
  const auto tiles = TSpriteDraw::TilePlacements(25, 25, 10, 10);
  ASSERT_EQ(tiles.size(), 16u);
  EXPECT_EQ(tiles.back(), (TBoardPoint{30, 30}));
  EXPECT_EQ(TSpriteDraw::TilePlacements(20, 10, 10, 10).size(), 3u * 2u);
}

std::vector<std::byte> Jpeg(int w, int h) {
  return EncodeJpeg(MakeTestPicture(w, h), 95);
}

TEST(BoardRender, BackdropStylesPlaceTheDecodedPicture) {
  TGridPieces g = Grid(2, 2);
  const std::vector<std::byte> small = Jpeg(10, 10);
  TBitmap32 decoded;
  decoded.Assign(DecodeJpeg(small));
  for (int style : {0, 1, 2, 3, 7}) {
    TSpriteDrawParam param;
    param.BackgroundStream = small;
    param.BackgroundStyle = style;
    THeadlessGame game(g.Source(), 25, 25, param);
    const TBitmap32& bg = game.board().BackgroundLayer();
    const TColor32 ws = game.Platform().workspaceColor;
    EXPECT_EQ(game.board().BackgroundStyle(), style);
    switch (style) {
      case 0:
        EXPECT_EQ(At(bg, 3, 4), At(decoded, 3, 4));
        EXPECT_EQ(At(bg, 12, 4), ws);
        break;
      case 1:
        EXPECT_EQ(At(bg, 7 + 3, 7 + 4), At(decoded, 3, 4));
        EXPECT_EQ(At(bg, 6, 6), ws);
        break;
      case 2:
        EXPECT_EQ(At(bg, 23, 24), At(decoded, 3, 4));
        break;
      case 3:
        EXPECT_EQ(At(bg, 24, 24), At(decoded, 9, 9));
        break;
      default:
        EXPECT_EQ(At(bg, 3, 4), ws);
    }
  }
}

TEST(BoardRender, BackdropsAtLeastAsLargeAsTheBoardAreShownUnscaledFromTheirCorner) {
  TGridPieces g = Grid(2, 2);
  for (auto [w, h] : {std::pair{30, 20}, std::pair{50, 40}}) {
    const std::vector<std::byte> jpeg = Jpeg(w, h);
    TBitmap32 decoded;
    decoded.Assign(DecodeJpeg(jpeg));
    TSpriteDrawParam param;
    param.BackgroundStream = jpeg;
    param.BackgroundStyle = kBackgroundStretched;
    THeadlessGame game(g.Source(), 30, 20, param);
    const TBitmap32& bg = game.board().BackgroundLayer();
    ASSERT_EQ(bg.Width(), w);
    EXPECT_TRUE(std::equal(bg.Bits(), bg.Bits() + bg.PixelCount(), decoded.Bits()));
    EXPECT_EQ(game.board().BoardWidth(), 30);
  }
}

TEST(BoardRender, BackdropStreamsThatAreNotJpegLeaveTheWorkspaceColour) {
  TGridPieces g = Grid(2, 2);
  auto game = Play(g, 60, 40);
  TSpriteDraw& b = game->board();
  const std::byte junk[] = {std::byte{'B'}, std::byte{'M'}, std::byte{0}, std::byte{7}};
  TSpriteDrawParam param;
  param.BackgroundStream = junk;
  param.BackgroundStyle = kBackgroundTiled;
  EXPECT_THROW(b.SetBackground(param, 80, 50), EPictureError);
  EXPECT_EQ(b.BoardWidth(), 80);
  EXPECT_EQ(At(b.BackgroundLayer(), 79, 49), game->Platform().workspaceColor);
  EXPECT_EQ(b.BackgroundStyle(), 0);
  // The setter decodes first, so a failure leaves the backdrop as it was.
  EXPECT_THROW(b.SetBackgroundStream(junk), EPictureError);
  EXPECT_THROW(b.SetBackgroundName("/nonexistent/backdrop.jpg"), EDuduriError);
  EXPECT_EQ(b.BackgroundLayer().Width(), 80);
  // A good stream replaces it at the picture's own size.
  b.SetBackgroundStream(Jpeg(12, 9));
  EXPECT_EQ(b.BackgroundLayer().Width(), 12);
  EXPECT_EQ(At(b.StaticLayer(), 70, 45), 0xFF000000u);
}

}  // namespace
}  // namespace duduri
