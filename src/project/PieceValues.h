#pragma once
// The one place where the project calls into the piece cutting: the cell fit
// of the sprite creator (FitCellScale), its shape layout (LayoutShapes), a
// full cut of the first picture for the stored game layout, and the piece
// collection's grid choice for the template set a package carries.
//
// Each service is a hook: by default they are the sprite creator's and the
// piece collection's own (DefaultProjectCutServices); tests replace them to
// see what the project asks. A hook that is emptied gives the neutral
// answer documented at each function.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "pieces/SpriteCreator.h"
#include "project/ByteStream.h"
#include "project/ProjectRecords.h"
#include "raster/Picture.h"

namespace duduri {

class TJigsawProject2;

struct TProjectCutServices {
  // FitCellScale(lo, hi, picture width, picture height, board width, board height).
  std::function<TCellGrid(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                          std::int32_t)>
      FitCellScale;
  // A creator given a picture of this size and scale runs LayoutShapes; the
  // result holds, per record of its piece collection (Rows x Columns, row
  // order), the four shape bytes Left, Top, Right, Bottom as one i32.
  std::function<std::vector<std::int32_t>(TPictureSize size, float scale)> LayoutShapeValues;
  // Cuts a picture with the project's template set, sprite options and the
  // given board area and scale; returns Columns, Rows and the saved pieces.
  std::function<std::optional<TStoredGameLayout>(const TJigsawProject2& project,
                                                 const TBMPData& picture, float scale,
                                                 const TBoardArea& board)>
      CutLayout;
  // The grid entries the piece collection chooses, with the given template
  // set (i32 length + zlib body) loaded, for each picture size at the
  // difficulty indices 0..5 in turn (six answers per size, -1 where it
  // chooses none).
  std::function<std::vector<std::int32_t>(TByteSpan templateSet,
                                          const std::vector<TPictureSize>& sizes)>
      ChooseGrid;
};

// Replaces the services (empty members: not installed).
void SetProjectCutServices(TProjectCutServices services);
TProjectCutServices DefaultProjectCutServices();
const TProjectCutServices& ProjectCutServices();

// FitCellScale through the hook; without one, scale 0 and an empty grid.
TCellGrid FitCellScaleFor(std::int32_t lo, std::int32_t hi, std::int32_t pictureWidth,
                          std::int32_t pictureHeight, std::int32_t boardWidth,
                          std::int32_t boardHeight);

// The scale a picture is cut at when its piece values are filled: from its
// piece-count range (4.0 for 0..50, 3.0 for 51..100, 2.0 above 100, else the
// default scale; FitCellScale when both ends are 2 or more).
float PieceScaleForPicture(const TJigsawProject2& project, std::int32_t pictureId,
                           TPictureSize size);

// The piece values of one picture. Only the picture's size is needed, so it
// is read from the JPEG header; a picture whose size cannot be read yields
// an empty list, as a creator that chose no grid does.
std::vector<std::int32_t> PieceValuesForPicture(const TJigsawProject2& project,
                                                const TBMPData& picture);

}  // namespace duduri
