#include "support/GridPieces.h"

#include <algorithm>
#include <random>

#include "pieces/RLE.h"
#include "pieces/Shadow.h"

namespace duduri {

namespace {

// Which piece owns picture point (x, y): its cell, unless the point lies in
// the tab of the left or upper neighbour that reaches into that cell.
struct TOwner {
  int row, col;
};

class TTabLayout {
 public:
  TTabLayout(int cw, int ch, int columns, int rows, int knob)
      : cw_(cw), ch_(ch), columns_(columns), rows_(rows), margin_(knob >> 1) {
    // Tabs are as deep as the margin and a third of the edge long.
    tabX_ = std::max(1, cw / 3);
    tabY_ = std::max(1, ch / 3);
  }

  TOwner Owner(int x, int y) const {
    const int col = x / cw_;
    const int row = y / ch_;
    if (margin_ > 0) {
      const int ix = x - col * cw_;
      const int iy = y - row * ch_;
      if (col > 0 && ix < margin_ && InRange(iy, ch_, tabY_)) return TOwner{row, col - 1};
      if (row > 0 && iy < margin_ && InRange(ix, cw_, tabX_)) return TOwner{row - 1, col};
    }
    return TOwner{row, col};
  }
  int Margin() const { return margin_; }

 private:
  static bool InRange(int v, int length, int tab) {
    const int start = (length - tab) / 2;
    return v >= start && v < start + tab;
  }
  int cw_, ch_, columns_, rows_, margin_, tabX_, tabY_;
};

void EncodeRotation(TPieceSprite& p, int r, const TBitmap32& surface) {
  std::vector<std::byte> encoded = RleEncode(surface.Bits(), surface.PixelCount() * 4);
  p.RleSize[r] = std::int32_t(encoded.size());
  p.RleData[r] = std::make_shared<const std::vector<std::byte>>(std::move(encoded));
}

}  // namespace

TSpriteSource TGridPieces::Source() const {
  TSpriteSource s;
  s.Pieces = &Pieces;
  s.Columns = Columns;
  s.Rows = Rows;
  s.PictureWidth = PictureWidth;
  s.PictureHeight = PictureHeight;
  s.SolutionBitmap = &Solution;
  s.NoPieceRotation = NoPieceRotation;
  s.NoPieceShadow = NoPieceShadow;
  s.TableWidth = TableWidth;
  s.TableHeight = TableHeight;
  s.ShadowsDeferred = ShadowsDeferred;
  return s;
}

TGridPieces MakeGridPieces(const TBitmap32& picture, const TGridPiecesOptions& options) {
  TGridPieces out;
  out.NoPieceRotation = options.NoPieceRotation;
  out.NoPieceShadow = options.NoPieceShadow;
  out.TableWidth = options.TableWidth;
  out.TableHeight = options.TableHeight;
  out.ShadowsDeferred = options.DeferShadows;
  const int scatterWidth = options.TableWidth > 0 ? options.TableWidth : options.BoardWidth;
  const int scatterHeight = options.TableHeight > 0 ? options.TableHeight : options.BoardHeight;
  if (options.Columns <= 0 || options.Rows <= 0) return out;
  const int cw = picture.Width() / options.Columns;
  const int ch = picture.Height() / options.Rows;
  if (cw <= 0 || ch <= 0) return out;
  out.Columns = options.Columns;
  out.Rows = options.Rows;
  out.PictureWidth = cw * options.Columns;
  out.PictureHeight = ch * options.Rows;
  out.Solution.SetSize(out.PictureWidth, out.PictureHeight);
  out.Solution.Draw(0, 0, picture);

  const TTabLayout layout(cw, ch, options.Columns, options.Rows, options.Knob);
  const int m = layout.Margin();
  std::mt19937 random(options.Seed);
  auto draw = [&random](int n) { return n <= 1 ? 0 : int(random() % std::uint32_t(n)); };
  TDivisionTable table;
  FillDivisionTable(table);

  out.Pieces.assign(std::size_t(options.Rows), std::vector<TPieceSprite>(options.Columns));
  TBitmap32 work, turned;
  for (int row = 0; row < options.Rows; ++row) {
    for (int col = 0; col < options.Columns; ++col) {
      TPieceSprite& p = out.Pieces[row][col];
      p.LeftShape = col > 0 ? 1 : 0;
      p.TopShape = row > 0 ? 1 : 0;
      p.RightShape = col < options.Columns - 1 ? 1 : 0;
      p.BottomShape = row < options.Rows - 1 ? 1 : 0;
      p.LeftKnob = std::uint8_t(p.LeftShape ? options.Knob : 0);
      p.TopKnob = std::uint8_t(p.TopShape ? options.Knob : 0);
      p.RightKnob = std::uint8_t(p.RightShape ? options.Knob : 0);
      p.BottomKnob = std::uint8_t(p.BottomShape ? options.Knob : 0);
      const int left = p.LeftShape ? m : 0;
      const int top = p.TopShape ? m : 0;
      p.Width = cw + left + (p.RightShape ? m : 0);
      p.Height = ch + top + (p.BottomShape ? m : 0);
      p.HomeX = col * cw - left;
      p.HomeY = row * ch - top;
      p.ShadowPixels = p.Width * p.Height;

      work.SetSize(p.Width, p.Height);
      for (int y = 0; y < p.Height; ++y) {
        TColor32* line = work.ScanLine(y);
        for (int x = 0; x < p.Width; ++x) {
          const int px = p.HomeX + x;
          const int py = p.HomeY + y;
          const TOwner owner = layout.Owner(px, py);
          line[x] = owner.row == row && owner.col == col
                        ? (picture.Bits()[std::size_t(py) * picture.Width() + px] | 0xFF000000u)
                        : 0;
        }
      }

      if (options.Scatter) {
        p.Rotation = std::uint8_t(options.NoPieceRotation || !options.RandomRotation ? 0 : draw(4));
        p.X = draw(scatterWidth - p.Width / 2);
        p.Y = draw(scatterHeight - p.Height / 2);
      } else {
        p.X = p.HomeX;
        p.Y = p.HomeY;
        p.Placed = 1;
      }
      p.StartRotation = p.Rotation;
      p.StartX = p.X;
      p.StartY = p.Y;

      const int rotations = options.NoPieceRotation ? 1 : 4;
      for (int r = 0; r < rotations; ++r) {
        turned.Assign(work);
        if (r == 1) turned.Rotate90();
        if (r == 2) turned.Rotate180();
        if (r == 3) turned.Rotate270();
        if (!options.DeferShadows || r == p.Rotation) EncodeRotation(p, r, turned);
        if (!options.DeferShadows && (p.Placed == 1 || r == p.Rotation)) {
          auto shadow = std::make_shared<std::vector<TColor32>>(std::size_t(p.ShadowPixels));
          MakeShadow(turned.Bits(), shadow->data(), turned.Width(), table, kShadowGrey, kShadowGrey,
                     kShadowGrey, turned.Height());
          p.ShadowData[r] = std::move(shadow);
        }
      }
    }
  }
  return out;
}

TBitmap32 MakeTestPicture(int width, int height) {
  TBitmap32 picture;
  picture.SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    TColor32* line = picture.ScanLine(y);
    for (int x = 0; x < width; ++x) {
      line[x] = Color32(std::uint8_t(x * 7 + y), std::uint8_t(y * 5 + (x >> 3)),
                        std::uint8_t((x ^ y) * 3), 255);
    }
  }
  return picture;
}

}  // namespace duduri
