#pragma once
// TPzJigsawPieceCollection: the edge templates of a project, the choice of the
// piece grid for a picture and a difficulty, and the cut pieces.
//
// Use: load a template set, assign Picture, SetDifficulty, ChooseGrid, then
// LayoutPieces for a new game, or CutPiece per stored piece to rebuild a saved
// one. The collection owns its templates, both pictures and every piece
// bitmap. Layouts draw from the process-wide Random, so RandSeed makes them
// reproducible.
//
// Errors: reading a template set throws ETemplateError and leaves the
// collection as it was. ChooseGrid and LayoutPieces throw ETemplateError
// ("unusable template set: ...") when the set can never serve the request;
// ChooseGrid throws EPieceError for a picture side above 65535.
// CutPiece never throws: a failure while cutting is handed to the error
// reporter as the four template indices, after PaintEdge has reported its own
// position, and the piece keeps what was drawn. The core opens no windows:
// the shell installs a reporter that shows the message.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pieces/CountGrid.h"
#include "pieces/PieceTemplates.h"
#include "raster/Bitmap32.h"

namespace duduri {

// Receives the texts the cutter would show in a message box.
using TErrorReporter = std::function<void(const std::string& message)>;

// One cut piece, row-major in the collection.
struct TPzPuzzlePieceItem {
  std::int32_t X = 0;  // top-left of Bitmap in ScaledPicture coordinates (the right place)
  std::int32_t Y = 0;
  TBitmap32 Bitmap;
  // Template index per edge, -1 for a straight border edge.
  std::int32_t Top = -1;
  std::int32_t Bottom = -1;
  std::int32_t Right = -1;
  std::int32_t Left = -1;
};

// Piece-count range of a difficulty for the grid search; any index other than
// 0..5 gives 0..0.
struct TPieceCountRange {
  std::uint16_t Low = 0;
  std::uint16_t High = 0;
};
TPieceCountRange PieceCountRange(int difficulty);

inline constexpr std::int32_t kNoTemplate = -1;

class TPzJigsawPieceCollection {
 public:
  TPzJigsawPieceCollection();
  ~TPzJigsawPieceCollection();
  TPzJigsawPieceCollection(const TPzJigsawPieceCollection&) = delete;
  TPzJigsawPieceCollection& operator=(const TPzJigsawPieceCollection&) = delete;

  // Template set. Each load replaces the grid table and appends the set's
  // templates. The span form returns the bytes it took (4 + body length).
  void LoadTemplates(std::istream& in);
  std::size_t LoadTemplates(std::span<const std::byte> data);
  void LoadTemplatesFromFile(const std::filesystem::path& path);
  // The same with a set already in memory (tools and tests build sets).
  void AddTemplateSet(TTemplateSet set);
  void ClearTemplates();

  int TemplateCount() const { return int(templates_.size()); }
  const TPzPieceTemplate& Template(int i) const;  // EPieceError when out of range
  int GridCount() const { return int(gridTable_.size()); }
  TGridEntry GridEntry(int i) const;  // EPieceError when out of range
  const std::vector<TGridEntry>& GridTable() const { return gridTable_; }

  // The picture handed in, and the picture resized to the chosen grid. The
  // resizing is carried out when the scaled picture is first asked for (or
  // the picture is about to change), so that choices that are overridden
  // before anyone looks, such as SetDifficulty's before ChooseGrid, cost
  // nothing.
  TBitmap32& Picture();
  const TBitmap32& Picture() const { return picture_; }
  TBitmap32& ScaledPicture();
  const TBitmap32& ScaledPicture() const;

  // Stores the difficulty (0..5) and preselects the last grid entry whose
  // whole-piece count on the unscaled picture is in range.
  void SetDifficulty(int index);
  std::uint8_t Difficulty() const { return difficulty_; }
  // Makes entry i current (-1 = none) and scales the picture to a whole
  // number of its cells. EPieceError for an entry that does not exist.
  void SelectGrid(int i);
  // The full grid and scale search; overrides SetDifficulty's choice. With
  // a big piece count set (SetCountRange) the count grid search of
  // CountGrid.h runs instead.
  void ChooseGrid();
  // A piece-count range for ChooseGrid; a range that is not big (see
  // IsBigPieceCount) leaves the difficulty's preset search in force.
  void SetCountRange(TPieceCount range) { countRange_ = range; }
  TPieceCount CountRange() const { return countRange_; }
  // The size the count grid search takes the picture to have (0 x 0: its
  // own): a photo decoded at a fraction of its size is searched as the
  // photo, so that the grid does not depend on how it was decoded.
  void SetCountPictureSize(std::int32_t width, std::int32_t height) {
    countPictureWidth_ = width;
    countPictureHeight_ = height;
  }
  // Makes a count grid current (as ChooseGrid would) and scales the picture
  // to it; EPieceError for an entry that does not exist.
  void SelectCountGrid(const TCountGrid& grid);
  // Random edge shapes for every inner edge and the cutting of every piece.
  void LayoutPieces();
  // LayoutPieces without the cutting: the items get their edges and right
  // places, drawn from Random exactly as LayoutPieces draws them, and keep
  // whatever bitmap they had. Each item can then be cut on its own
  // (CutItem), on any thread, in any order.
  void LayoutEdges();
  // Cuts item i from the scaled picture into `target` (its own bitmap when
  // target is null). Only reads the collection, so items may be cut side by
  // side once ScaledPicture() has been asked for.
  void CutItem(int i, TBitmap32* target = nullptr);
  // The size of item i's bitmap once cut: its cell widened by half of each
  // knobbed edge's template.
  std::int32_t ItemWidth(int i) const;
  std::int32_t ItemHeight(int i) const;
  // Cuts one piece of the current grid from source into target. top, right,
  // bottom and left are template indices (-1 = straight edge); (x, y) is the
  // piece's top-left in source. Reports instead of throwing (see above).
  void CutPiece(const TBitmap32& source, TBitmap32& target, int top, int right, int bottom,
                int left, int x, int y);

  std::int32_t GridIndex() const { return gridIndex_; }
  std::uint16_t MaxWidth() const { return maxWidth_; }
  std::uint16_t MaxHeight() const { return maxHeight_; }
  void SetMaxWidth(std::uint16_t w) { maxWidth_ = w; }
  void SetMaxHeight(std::uint16_t h) { maxHeight_ = h; }

  // Grid of the current choice; all 0 with no grid chosen.
  std::uint16_t Columns() const;
  std::uint16_t Rows() const;
  std::uint16_t ScaledWidth() const;
  std::uint16_t ScaledHeight() const;

  int PieceCount() const { return int(pieces_.size()); }
  TPzPuzzlePieceItem& Piece(int i);  // EPieceError when out of range
  const TPzPuzzlePieceItem& Piece(int i) const;
  void ClearPieces() { pieces_.clear(); }

  void SetErrorReporter(TErrorReporter reporter) { reporter_ = std::move(reporter); }
  const TErrorReporter& ErrorReporter() const { return reporter_; }

 private:
  bool hasGrid() const;
  // A resizing of the picture that has been decided but not yet carried out.
  struct TPendingScale {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    bool Copy = false;  // the picture as it is
  };
  void scalePictureTo(std::int32_t width, std::int32_t height, bool copy = false);
  void realizeScaledPicture() const;
  std::int32_t scaledWidth() const;
  std::int32_t scaledHeight() const;
  void cutPieceSteps(const TBitmap32& source, TBitmap32& target, int top, int right, int bottom,
                     int left, int x, int y);

  std::vector<TPzPieceTemplate> templates_;
  std::vector<TGridEntry> gridTable_;
  TBitmap32 picture_;
  mutable TBitmap32 scaledPicture_;
  mutable std::optional<TPendingScale> pendingScale_;
  std::uint8_t difficulty_ = 0;
  std::int32_t gridIndex_ = -1;
  TPieceCount countRange_;
  std::int32_t countPictureWidth_ = 0;
  std::int32_t countPictureHeight_ = 0;
  std::uint16_t maxWidth_ = 1024;
  std::uint16_t maxHeight_ = 768;
  std::vector<TPzPuzzlePieceItem> pieces_;
  TErrorReporter reporter_;
};

// Paints one edge mask onto target, template pixel (c, r) landing on
// (ox + c, oy + r). Rows from the first one below the target on are not
// painted; pixels outside the target are not written (the cutter's targets
// clip to their whole surface, so the target's bounds are the clip). The
// pixels are written directly; the caller raises the change notification.
// Codes, per run at
// column c:
//   0..64 then 0       k pixels left as they are
//   0..64 then 208     pixels c..c+k (k + 1 of them) merged with 0xE0000000
//   0..64 then 209     k pixels replaced by black of the k alpha bytes that follow
//   0..64 then other   the count is ignored and the other byte read as a code
//   65..128            k-64 pixels lightened by white of the alpha bytes that follow
//   129..192           k-128 pixels darkened by black of the alpha bytes that follow
//   193..255           pixels c..c+k-192 (k-191 of them) cleared to 0
// Lightened and darkened pixels become opaque. A mask whose codes run past
// its bytes throws ETemplateError after reporting "ox oy c r index" (index =
// the target pixel the run had reached).
void PaintEdge(const TPzPieceTemplate& tpl, std::span<const std::uint8_t> mask, int ox, int oy,
               TBitmap32& target, const TErrorReporter& report = {});

}  // namespace duduri
