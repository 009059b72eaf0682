#pragma once
// Shared set-up of the board tests: small grid puzzles cut by GridPieces and
// played on fake host services.

#include <memory>
#include <vector>

#include "support/GridPieces.h"
#include "support/HeadlessGame.h"

namespace duduri::board_test {

constexpr int kCell = 40;  // cell size of the test puzzles
constexpr int kBoardW = 640;
constexpr int kBoardH = 480;

inline TGridPieces Grid(int columns, int rows, bool scatter = true, bool rotate = false,
                        std::uint32_t seed = 7) {
  TGridPiecesOptions o;
  o.Columns = columns;
  o.Rows = rows;
  o.Scatter = scatter;
  o.RandomRotation = rotate;
  o.Seed = seed;
  o.BoardWidth = kBoardW;
  o.BoardHeight = kBoardH;
  return MakeGridPieces(MakeTestPicture(columns * kCell, rows * kCell), o);
}

// Puts piece (row, col) of a table at (x, y) before the board takes it.
inline void Put(TGridPieces& g, int row, int col, int x, int y, int rotation = 0, int placed = 0) {
  TPieceSprite& p = g.Pieces[row][col];
  p.X = x;
  p.Y = y;
  p.Rotation = std::uint8_t(rotation);
  p.Placed = std::uint8_t(placed);
}

// Every piece at its home position shifted by (dx, dy), joined, upright.
inline void Assemble(TGridPieces& g, int dx, int dy) {
  for (int row = 0; row < g.Rows; ++row) {
    for (int col = 0; col < g.Columns; ++col) {
      const TPieceSprite& p = g.Pieces[row][col];
      Put(g, row, col, p.HomeX + dx, p.HomeY + dy, 0, 1);
    }
  }
}

inline std::unique_ptr<THeadlessGame> Play(const TGridPieces& g, int w = kBoardW, int h = kBoardH) {
  auto game = std::make_unique<THeadlessGame>(g.Source(), w, h);
  game->Start();
  return game;
}

// Events as they arrive: name, sender, two values.
struct TEvent {
  const char* name;
  TSender sender;
  int a, b;
};

inline void Record(TSpriteDraw& board, std::vector<TEvent>& log) {
  board.SetOnPiecesClick([&log](TSender s, int c, int r) { log.push_back({"click", s, c, r}); });
  board.SetOnPiecesRotate([&log](TSender s, int c, int r) { log.push_back({"rotate", s, c, r}); });
  board.SetOnPiecesInRightPlace([&log](TSender s, int c, int r) {
    log.push_back({"place", s, c, r});
  });
  board.SetOnWin([&log](TSender s) { log.push_back({"win", s, 0, 0}); });
  board.SetOnLose([&log](TSender s) { log.push_back({"lose", s, 0, 0}); });
}

inline int Count(const std::vector<TEvent>& log, const char* name) {
  int n = 0;
  for (const TEvent& e : log) n += std::string_view(e.name) == name ? 1 : 0;
  return n;
}

}  // namespace duduri::board_test
