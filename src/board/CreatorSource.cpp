#include "board/CreatorSource.h"

namespace duduri {

TSpriteSource SpriteSourceOf(const TJigsawSpriteCreator& creator) {
  TSpriteSource s;
  s.Pieces = &creator.Pieces();
  s.Columns = creator.Columns();
  s.Rows = creator.Rows();
  s.PictureWidth = creator.Collection().ScaledWidth();
  s.PictureHeight = creator.Collection().ScaledHeight();
  s.SolutionBitmap = &creator.SolutionPicture();
  s.NoPieceRotation = creator.NoPieceRotation();
  s.NoPieceShadow = creator.NoPieceShadow();
  s.Level = creator.Collection().Difficulty();
  if (creator.BigPuzzle()) {
    s.TableWidth = creator.TableWidth();
    s.TableHeight = creator.TableHeight();
  }
  s.ShadowsDeferred = creator.ShadowsDeferred();
  return s;
}

}  // namespace duduri
