#pragma once
// TJigsawSpriteCreator: turns one picture into everything a board needs to
// start a game. Its piece collection chooses the grid and cuts the pieces;
// the creator encodes every piece in four rotations (run-length, see RLE.h),
// makes a shadow for the rotation each piece starts in, scatters the pieces
// at random over the board and prepares the solution picture. A saved game is
// rebuilt from its stored shapes and positions instead, with no random draws.
//
// Use:
//   TJigsawSpriteCreator creator(picture);      // or (TSavedLayout) to restore
//   creator.Collection().LoadTemplates(...);
//   creator.SetBoardSize(w, h); creator.SetScale(s); creator.SetDifficulty(d);
//   creator.SetNoPieceRotation(...); creator.SetNoPieceShadow(...);
//   creator.OnProgress = ...;
//   creator.Execute();
//   ... the board copies Pieces() and SolutionPicture() ...
//
// Ownership: the creator owns its copy of the picture, the solution picture,
// the collection and the table. The table's encoded sprites and shadows are
// immutable shared blocks (PieceSprite.h), so a copy of Pieces() stays valid
// after the creator is gone. Nothing decoded survives Execute: the cut
// pieces are released as soon as they are encoded.
//
// Randomness: constructing a creator reseeds the process-wide generator from
// the clock (Random.h). A test that wants a reproducible layout calls
// RandSeed after the constructor. A new game draws, after the collection's
// edge shapes, per piece in row-major order its rotation (unless
// NoPieceRotation), then X, then Y. A restored game draws nothing.
//
// Threads: the per-piece encoding and shadow work may run on worker threads
// (SetThreads). Every random value is drawn before any work starts, OnProgress
// is called on the calling thread with positions 1..total in order, and the
// table is byte for byte the one a single thread makes.
//
// Errors: a saved layout that does not fit its picture, the collection's grid
// or the template set throws ESpriteCreatorError before anything is cut. A
// scale whose solution picture would exceed the picture limits throws
// ESpriteCreatorError. Template, picture and allocation errors pass through.
// A failure while cutting one piece is reported by the collection and the
// piece keeps what was drawn.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pieces/PieceCollection.h"
#include "pieces/PieceErrors.h"
#include "pieces/PieceSprite.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri {

// A request the creator refuses: a saved layout that does not fit, a scale
// too large for a solution picture.
class ESpriteCreatorError : public EPieceError {
 public:
  using EPieceError::EPieceError;
};

// What a restored game hands the creator; the board or the shell fills it
// from a saved-game file or a project's stored game layout. Columns and Rows
// are the piece grid the records were saved on (the board's PiecesX and
// PiecesY); they check the records against the grid the picture gives now.
// The cell grid and the solution picture are worked out from the picture and
// the board as for a new game, so a restored game shows the same solution.
struct TSavedLayout {
  TPicture Picture;          // the picture the game was cut from
  TJigsawArrayData Pieces;   // Rows x Columns records, row-major
  std::int32_t Columns = 0;  // the piece grid the records were saved on
  std::int32_t Rows = 0;
  std::uint8_t Difficulty = 0;  // 0..5, the board's MyLevel
};

// The cell grid of a scale: the solution picture is Columns x CellSize - 2 x
// Margin wide and Rows x CellSize - 2 x Margin tall.
struct TCellGrid {
  float Scale = 0;
  std::int32_t CellSize = 0;
  std::int32_t Margin = 0;
  std::int32_t Columns = 0;
  std::int32_t Rows = 0;
};

// The cell grid of a picture on a board at a scale. The cell size is never
// below 1 and Columns and Rows never below 3.
TCellGrid CellGridFor(float scale, std::int32_t pictureWidth, std::int32_t pictureHeight,
                      std::int32_t boardWidth, std::int32_t boardHeight);

class TJigsawSpriteCreator;
using TSpriteProgressEvent =
    std::function<void(TJigsawSpriteCreator& sender, int position, int max)>;

class TJigsawSpriteCreator {
 public:
  // A new game from a decoded picture (pictures of fewer than 32 bits get
  // alpha 255; a transparent picture's transparent colour gets alpha 0) or
  // from a surface (copied as it is). Pictures beyond the picture limits
  // throw EPictureError.
  explicit TJigsawSpriteCreator(const TPicture& picture);
  explicit TJigsawSpriteCreator(const TBitmap32& picture);
  // A saved game. The difficulty is taken from it.
  explicit TJigsawSpriteCreator(TSavedLayout saved);
  ~TJigsawSpriteCreator();
  TJigsawSpriteCreator(const TJigsawSpriteCreator&) = delete;
  TJigsawSpriteCreator& operator=(const TJigsawSpriteCreator&) = delete;

  // ---- Configuration, before Execute ----
  TPzJigsawPieceCollection& Collection() { return collection_; }
  const TPzJigsawPieceCollection& Collection() const { return collection_; }
  // Sets the board size and BoardRect = (0, 0, width, height).
  void SetBoardSize(std::int32_t width, std::int32_t height);
  // The area pieces are scattered over (defaults to the board).
  void SetBoardRect(const TRect& rect) { boardRect_ = rect; }
  // Values that are not positive finite numbers are ignored.
  void SetScale(float scale);
  void SetDifficulty(std::uint8_t index) { difficulty_ = index; }
  void SetNoPieceRotation(bool value) { noPieceRotation_ = value; }
  void SetNoPieceShadow(bool value) { noPieceShadow_ = value; }
  // A big piece count (CountGrid.h) cuts a new game into that many pieces
  // and scatters them over a table larger than the board (TableRect); any
  // other range leaves the difficulty's preset search in force. A restored
  // game takes its grid from its records and needs no count.
  void SetPieceCount(TPieceCount count) { pieceCount_ = count; }
  TPieceCount PieceCount() const { return pieceCount_; }
  // The size of the photo the picture was decoded from, when it was decoded
  // smaller (DecodeEighthsFor): the grid is the photo's.
  void SetSourcePictureSize(std::int32_t width, std::int32_t height) {
    collection_.SetCountPictureSize(width, height);
  }
  // Handed over by the owner with the picture's settings and kept for it:
  // the picture's stored edge shapes (four shape bytes per piece, as the
  // project keeps them), the flat-piece switch and sprite option A (a
  // colour). Cutting and encoding do not depend on them.
  void SetPieceValues(std::vector<std::int32_t> values) { pieceValues_ = std::move(values); }
  void SetFlatPiece(bool value) { flatPiece_ = value; }
  void SetSpriteOptionA(TColor32 value) { spriteOptionA_ = value; }
  // Threads for the per-piece work: 1 = the calling thread only, 0 = one per
  // processor (at most kMaxSpriteThreads).
  void SetThreads(int count) { threads_ = count < 0 ? 1 : count; }
  // Raised on the calling thread after every piece, positions 1..total.
  TSpriteProgressEvent OnProgress;

  // ---- The work ----
  // PrepareSolution, then MakeSprites. Run it once.
  void Execute();
  void PrepareSolution();
  void MakeSprites();
  // The layout on the cell grid without any sprites (see the source).
  void LayoutShapes();
  // The smallest scale in steps of 0.25 whose cell grid has at most hi cells
  // (or fewer than lo); the search stops once the grid has shrunk to its
  // 3 x 3 minimum, so it ends for any range.
  static TCellGrid FitCellScale(std::int32_t lo, std::int32_t hi, std::int32_t pictureWidth,
                                std::int32_t pictureHeight, std::int32_t boardWidth,
                                std::int32_t boardHeight);

  // ---- Results ----
  const TPieces& Pieces() const { return pieces_; }
  TPieces& Pieces() { return pieces_; }
  // The piece grid of the collection.
  std::int32_t Columns() const { return collection_.Columns(); }
  std::int32_t Rows() const { return collection_.Rows(); }
  // The picture to cut; it lives in the collection, which cuts from it (a
  // big puzzle's is released once the scaled picture is made).
  const TBitmap32& Picture() const { return collection_.Picture(); }
  // The whole picture at preview size; pixels of a transparent picture's
  // transparent colour have alpha 0 there.
  const TBitmap32& SolutionPicture() const { return solution_; }
  bool SolutionTransparent() const { return transparent_; }
  TColor32 SolutionTransparentColor() const { return transparentColor_; }
  TRect SolutionRect() const { return solutionRect_; }

  bool Restoring() const { return restoring_; }
  std::uint8_t Difficulty() const { return difficulty_; }
  float Scale() const { return scale_; }
  bool NoPieceRotation() const { return noPieceRotation_; }
  bool NoPieceShadow() const { return noPieceShadow_; }
  const std::vector<std::int32_t>& PieceValues() const { return pieceValues_; }
  bool FlatPiece() const { return flatPiece_; }
  TColor32 SpriteOptionA() const { return spriteOptionA_; }
  std::int32_t BoardWidth() const { return boardWidth_; }
  std::int32_t BoardHeight() const { return boardHeight_; }
  TRect BoardRect() const { return boardRect_; }
  // The table the pieces lie on after Execute: the board rect for a game of
  // the six presets; for a big puzzle room around the picture, at least the
  // board, and for a restored game also every stored position.
  bool BigPuzzle() const { return bigPuzzle_; }
  std::int32_t TableWidth() const { return tableWidth_; }
  std::int32_t TableHeight() const { return tableHeight_; }
  // A big puzzle's pieces get the sprite of their rotation only and no
  // shadow: the board makes each other rotation when the piece is turned and
  // each shadow, the same way, when the piece first casts it.
  bool ShadowsDeferred() const { return bigPuzzle_; }
  std::int32_t CellColumns() const { return cell_.Columns; }
  std::int32_t CellRows() const { return cell_.Rows; }
  std::int32_t CellCount() const { return cellCount_; }
  std::int32_t CellSize() const { return cell_.CellSize; }
  std::int32_t CellMargin() const { return cell_.Margin; }
  int Position() const { return position_; }
  int Total() const { return total_; }

 private:
  struct TPieceJob;
  void takePicture();
  void checkSavedRecords() const;
  void checkSavedGrid() const;
  void checkTemplateIndices() const;
  void adoptSavedGrid();
  void sizeTable();
  void drawNewGame(std::vector<TPieceJob>& jobs);
  void fillRestored(std::vector<TPieceJob>& jobs);
  void runJobs(std::vector<TPieceJob>& jobs);
  void finishPiece(TPieceJob& job);
  std::uint8_t knobOf(std::uint8_t shape, bool vertical) const;

  TPzJigsawPieceCollection collection_;
  TBitmap32 solution_;
  bool transparent_ = false;
  TColor32 transparentColor_ = 0;
  bool restoring_ = false;
  TSavedLayout saved_;
  std::uint8_t difficulty_ = 0;
  float scale_ = 1.0f;
  std::int32_t boardWidth_ = 0;
  std::int32_t boardHeight_ = 0;
  TRect boardRect_;
  bool noPieceRotation_ = false;
  bool noPieceShadow_ = false;
  std::vector<std::int32_t> pieceValues_;
  bool flatPiece_ = false;
  TColor32 spriteOptionA_ = 0;
  int threads_ = 0;
  TPieceCount pieceCount_;
  bool bigPuzzle_ = false;
  std::int32_t tableWidth_ = 0;
  std::int32_t tableHeight_ = 0;
  TCellGrid cell_;
  std::int32_t cellCount_ = 0;
  TRect solutionRect_;
  int position_ = 0;
  int total_ = 0;
  TPieces pieces_;
};

inline constexpr int kMaxSpriteThreads = 8;

}  // namespace duduri
