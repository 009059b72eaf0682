// A saved game from a stranger, opened and played: the file is read, its
// pieces are cut again from a small picture as its records say (shapes,
// sizes, homes, positions, rotations, join flags), and the board that takes
// them draws, takes a drag and an arrow key. Only clear errors may come out.
#include "board/CreatorSource.h"
#include "board/JigsawFile.h"
#include "pieces/TemplateGenerator.h"
#include "support/FakeBoardHost.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace duduri;
  TJigsawFile file;
  try {
    file.LoadFromBytes({reinterpret_cast<const std::byte*>(data), size}, "fuzz.jsw");
  } catch (const EJigsawFileError&) {
    return 0;
  }
  // Large grids only make each run slower; the reader bounds them by the file.
  if (std::int64_t(file.Columns) * file.Rows > 48) return 0;
  static const TTemplateSet templates = GenerateTemplateSet({{40, 40}}, 7, 3);
  TSavedLayout layout{{}, file.Pieces, file.Columns, file.Rows, file.Level};
  layout.Picture.Width = 160;
  layout.Picture.Height = 120;
  layout.Picture.Pixels.assign(160 * 120, 0xFF808040);
  try {
    TJigsawSpriteCreator creator(std::move(layout));
    creator.Collection().AddTemplateSet(templates);
    creator.SetBoardSize(320, 240);
    if (file.PieceScale > 0) creator.SetScale(file.PieceScale);
    creator.Execute();
    TFakeBoardControl control(320, 240);
    TFakeBoardPlatform platform;
    TSpriteDraw board(control, platform, {}, SpriteSourceOf(creator));
    board.SetPiecesVisible(true);
    board.Redraw(true);
    int col = -1, row = -1;
    board.PiecesMouseDown(&control, 0, 100, 80, mbLeft, col, row);
    control.MouseMove(ssLeft, 180, 140);
    control.MouseUp(mbLeft, 0, 180, 140);
    board.PiecesKeyDown(kVkLeft);
  } catch (const EDuduriError&) {
  }
  return 0;
}
