#include "project/PieceValues.h"

#include <mutex>

#include "pieces/PieceCollection.h"
#include "project/Project.h"
#include "raster/Bitmap32.h"

namespace duduri {

namespace {

std::mutex gServicesMutex;
TProjectCutServices gServices = DefaultProjectCutServices();

// LayoutShapes runs on a creator that was given only its picture and scale:
// nothing loads templates into its piece collection or lets it choose a
// grid, so the collection has Rows = Columns = 0 and the caller, which takes
// Rows x Columns of its records, takes none. The values are therefore empty
// whatever the picture; the creator (a copy of the whole picture and a
// solution picture nobody looks at) is not built to learn that, and its
// random draws, made right after a reseed from the clock, are not needed.
std::vector<std::int32_t> layoutShapeValues(TPictureSize, float) {
  return {};
}

std::vector<std::int32_t> chooseGrid(TByteSpan templateSet,
                                     const std::vector<TPictureSize>& sizes) {
  // The choice needs only the picture's size, so the collection is given a
  // blank picture of that size; the set is loaded once for all of them.
  TPzJigsawPieceCollection collection;
  collection.LoadTemplates(templateSet);
  std::vector<std::int32_t> chosen;
  for (const TPictureSize& size : sizes) {
    collection.Picture().SetSize(size.Width, size.Height);
    for (int difficulty = 0; difficulty < 6; ++difficulty) {
      collection.SetDifficulty(difficulty);
      try {
        collection.ChooseGrid();
        chosen.push_back(collection.GridIndex());
      } catch (const ETemplateError&) {
        chosen.push_back(-1);  // no entry of the set fits this picture at this difficulty
      }
    }
  }
  return chosen;
}

std::optional<TStoredGameLayout> cutLayout(const TJigsawProject2& project, const TBMPData& picture,
                                           float scale, const TBoardArea& board) {
  TJigsawSpriteCreator creator(DecodeJpeg(picture.Data));
  creator.Collection().LoadTemplates(project.TemplateSetStore);
  creator.SetBoardSize(board.Width, board.Height);
  creator.SetScale(scale);
  creator.SetNoPieceRotation(project.NoPieceRotation != 0);
  creator.SetNoPieceShadow(project.NoPieceShadow != 0);
  creator.Execute();
  TStoredGameLayout layout;
  layout.Columns = creator.Columns();
  layout.Rows = creator.Rows();
  TByteWriter out;
  for (const auto& row : creator.Pieces())
    for (const TPieceSprite& piece : row)
      out.Bytes({reinterpret_cast<const std::byte*>(&piece.Saved()), sizeof(TSavedPiece)});
  layout.Pieces = out.Take();
  return layout;
}

}  // namespace

TProjectCutServices DefaultProjectCutServices() {
  TProjectCutServices s;
  s.FitCellScale = &TJigsawSpriteCreator::FitCellScale;
  s.LayoutShapeValues = &layoutShapeValues;
  s.ChooseGrid = &chooseGrid;
  s.CutLayout = &cutLayout;
  return s;
}

void SetProjectCutServices(TProjectCutServices services) {
  std::lock_guard lock(gServicesMutex);
  gServices = std::move(services);
}

const TProjectCutServices& ProjectCutServices() {
  return gServices;
}

TCellGrid FitCellScaleFor(std::int32_t lo, std::int32_t hi, std::int32_t pictureWidth,
                          std::int32_t pictureHeight, std::int32_t boardWidth,
                          std::int32_t boardHeight) {
  const TProjectCutServices& s = ProjectCutServices();
  if (!s.FitCellScale) return {};
  return s.FitCellScale(lo, hi, pictureWidth, pictureHeight, boardWidth, boardHeight);
}

float PieceScaleForPicture(const TJigsawProject2& project, std::int32_t pictureId,
                           TPictureSize size) {
  const TPicturePieceRange* range = project.FindPieceCountRange(pictureId);
  const std::int32_t lo = range ? range->MinPieces : 0;
  const std::int32_t hi = range ? range->MaxPieces : 0;
  float fallback = float(project.DefaultPieceScale);
  if (lo == 0 && hi == 50)
    fallback = 4.0f;
  else if (lo == 51 && hi == 100)
    fallback = 3.0f;
  else if (lo > 100)
    fallback = 2.0f;
  if (range == nullptr || lo < 2 || hi < 2) return fallback;
  return FitCellScaleFor(lo, hi, size.Width, size.Height, size.Width, size.Height).Scale;
}

std::vector<std::int32_t> PieceValuesForPicture(const TJigsawProject2& project,
                                                const TBMPData& picture) {
  const TProjectCutServices& s = ProjectCutServices();
  if (!s.LayoutShapeValues) return {};
  TPictureSize size;
  try {
    size = ReadPictureSize(picture.Data);
  } catch (const EDuduriError&) {
    return {};
  }
  return s.LayoutShapeValues(size, PieceScaleForPicture(project, picture.ID, size));
}

}  // namespace duduri
