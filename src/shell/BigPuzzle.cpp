#include "shell/BigPuzzle.h"

#include "board/JigsawFile.h"
#include "pieces/CountGrid.h"
#include "pieces/PieceCollection.h"
#include "pieces/SpriteCreator.h"
#include "project/Project.h"
#include "shell/PicturePrefetch.h"

namespace duduri {

namespace {

// The grid entry the records' templates belong to, -1 when none is named.
std::int32_t savedGridEntry(const TPzJigsawPieceCollection& templates,
                            const TJigsawArrayData& pieces) {
  for (const TSavedPiece& p : pieces) {
    for (const std::uint8_t shape : {p.LeftShape, p.TopShape, p.RightShape, p.BottomShape}) {
      if (shape != 0 && shape <= templates.TemplateCount()) {
        return templates.Template(shape - 1).GridIndex;
      }
    }
  }
  return -1;
}

}  // namespace

std::optional<TPieceRange> RangeInForce(const TJigsawProject2& project, std::int32_t pictureId) {
  if (!project.PieceCountRanges.empty()) {
    const TPicturePieceRange* own = project.FindPieceCountRange(pictureId);
    if (!own) return std::nullopt;
    return TPieceRange{own->MinPieces, own->MaxPieces};
  }
  return TPieceRange{project.PieceRangeMin, project.PieceRangeMax};
}

bool ApplyBigPieceCount(TJigsawSpriteCreator& creator, TPieceRange range, TPictureSize photo) {
  if (!IsBigPuzzleRange(range)) return false;
  creator.SetDifficulty(5);
  creator.SetPieceCount(TPieceCount{range.Min, range.Max});
  creator.SetSourcePictureSize(photo.Width, photo.Height);
  return true;
}

int GamePictureEighths(std::span<const std::byte> jpeg, const TJigsawProject2& project,
                       std::int32_t pictureId, const TJigsawFile* savedGame) {
  TCountGrid grid;
  try {
    TPzJigsawPieceCollection templates;
    if (savedGame) {
      // Big games are saved at the "> 200 pieces" difficulty.
      if (savedGame->Level != 5 || std::int64_t(savedGame->Columns) * savedGame->Rows <= 200) {
        return 8;
      }
      templates.LoadTemplates(std::span<const std::byte>(project.TemplateSetStore));
      grid = SavedCountGrid(templates.GridTable(), savedGridEntry(templates, savedGame->Pieces),
                            savedGame->Columns, savedGame->Rows);
    } else {
      const std::optional<TPieceRange> range = RangeInForce(project, pictureId);
      if (!range || !IsBigPuzzleRange(*range)) return 8;
      templates.LoadTemplates(std::span<const std::byte>(project.TemplateSetStore));
      const TPictureSize photo = ReadJpegSize(jpeg);
      grid = ChooseCountGrid(templates.GridTable(), photo.Width, photo.Height,
                             TPieceCount{range->Min, range->Max});
    }
    if (grid.Entry < 0) return 8;
    const TPictureSize photo = ReadJpegSize(jpeg);
    return DecodeEighthsFor(photo.Width, photo.Height, grid.ScaledWidth, grid.ScaledHeight);
  } catch (const EDuduriError&) {
    // A template set or header that does not read: the build reports it.
    return 8;
  }
}

TPicture DecodeGamePicture(std::span<const std::byte> jpeg, const TJigsawProject2& project,
                           std::int32_t pictureId, const TJigsawFile* savedGame) {
  const int eighths = GamePictureEighths(jpeg, project, pictureId, savedGame);
  if (std::optional<TPicture> ready = TakePrefetchedPicture(jpeg, eighths)) return std::move(*ready);
  return DecodeJpegScaled(jpeg, eighths);
}

}  // namespace duduri
