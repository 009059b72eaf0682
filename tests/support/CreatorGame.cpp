#include "support/CreatorGame.h"

#include "board/CreatorSource.h"
#include "pieces/Random.h"

namespace duduri {

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
