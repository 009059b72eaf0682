#pragma once
// Drawing edge templates: an edge shape (EdgeShape.h) is rasterised into an
// edge strip, every pixel is given to exactly one of the two pieces that meet
// there, and each piece's side is turned into edge codes: cut-away runs
// outside its shape, an anti-aliased dark outline just inside it, a light
// bevel where the edge faces up or left and a dark one where it faces down or
// right, and "leave" runs everywhere else.
//
// Corners: at each cell corner a horizontal and a vertical template overlap.
// Each template writes only inside its own triangle of the cell (pixels no
// deeper from its edge line than from the side edges, the diagonal shared),
// and everything it cuts there lies strictly inside that triangle. So the
// four edges of a piece can be painted in any combination without one of
// them drawing over what another cut away; straight edges keep to the same
// triangles. Knob shapes that would break this are drawn again.

#include <cstdint>
#include <vector>

#include "pieces/EdgeShape.h"
#include "pieces/PieceTemplates.h"

namespace duduri {

enum class TEdgeOp : std::uint8_t { eoLeave, eoCut, eoBlack, eoLight, eoShade };

struct TEdgeCell {
  TEdgeOp Op = TEdgeOp::eoLeave;
  std::uint8_t Alpha = 0;
  friend bool operator==(const TEdgeCell&, const TEdgeCell&) = default;
};

// The bevel a piece of a grid entry gets (the cutter uses the same for
// straight edges): lines, and the alpha of the outermost line.
struct TBevel {
  int Lines = 2;
  int OuterAlpha = 86;
};
TBevel BevelForPieceWidth(int pieceWidth);

// Both sides of one edge strip, row-major in the strip frame (Length columns,
// 2 * Half rows).
struct TEdgeRaster {
  int Length = 0;
  int Half = 0;
  std::vector<TEdgeCell> Lower;
  std::vector<TEdgeCell> Upper;
  bool FitsCorners = true;  // nothing cut outside its corner triangle, nothing clipped by the strip
};

// Half the strip height that every template of a grid entry gets: room for
// the furthest knob plus its outline and bevel on the other side.
int TemplateHalfExtent(TGridEntry entry);

TEdgeRaster RasterizeEdge(const TKnobShape& shape, int length, int knobScale, int half,
                          TBevel bevel);

// Encodes width x height cells (row-major) as edge codes. Cut runs paint one
// pixel past their end; the encoder only lets that pixel fall on a pixel the
// next run replaces anyway, so a mask never writes outside its own cells.
std::vector<std::uint8_t> EncodeEdgeMask(const std::vector<TEdgeCell>& cells, int width,
                                         int height);

// One template from a rasterised strip: a horizontal template is the strip as
// it is (MaskA the lower piece, MaskB the upper one); a vertical template is
// the strip transposed (MaskA the left piece, MaskB the right one).
TPzPieceTemplate MakeEdgeTemplate(const TEdgeRaster& raster, bool vertical,
                                  std::uint16_t gridIndex);

// Grid entries of the master set (29 to 199 pixels, square and about 4:3 and
// 3:4), smallest pieces first: at each scale the grid search keeps the last
// entry in range unless an earlier one fits exactly, so this order gives
// counts towards the low end of each difficulty's range.
std::vector<TGridEntry> MasterGridTable();

// perOrientation horizontal and as many vertical templates for every entry.
TTemplateSet GenerateTemplateSet(const std::vector<TGridEntry>& grid, std::uint64_t seed,
                                 int perOrientation);
inline constexpr int kMasterTemplatesPerOrientation = 8;
inline constexpr std::uint64_t kMasterSeed = 20240601;

}  // namespace duduri
