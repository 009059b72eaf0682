#include "board/CreatorSource.h"

#include "pieces/Random.h"

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
  return s;
}

std::unique_ptr<THeadlessGame> MakeCreatorGame(const TPicture& picture,
                                               const TTemplateSet& templates,
                                               const TCreatorGameOptions& options) {
  auto creator = std::make_unique<TJigsawSpriteCreator>(picture);
  creator->Collection().AddTemplateSet(templates);
  creator->SetBoardSize(options.BoardWidth, options.BoardHeight);
  creator->SetScale(options.Scale);
  creator->SetDifficulty(options.Difficulty);
  creator->SetNoPieceRotation(options.NoPieceRotation);
  creator->SetNoPieceShadow(options.NoPieceShadow);
  RandSeed(options.Seed);
  creator->Execute();
  auto game = std::make_unique<THeadlessGame>(SpriteSourceOf(*creator), options.BoardWidth,
                                              options.BoardHeight, options.Background);
  creator.reset();
  game->Start();
  return game;
}

}  // namespace duduri
