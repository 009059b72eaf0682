// The collection's templates, pieces and the random layout of a new game.

#include "pieces/PieceCollection.h"

#include <algorithm>
#include <atomic>
#include <istream>
#include <string>
#include <thread>

#include "pieces/Random.h"

namespace duduri {

TPzJigsawPieceCollection::TPzJigsawPieceCollection() = default;
TPzJigsawPieceCollection::~TPzJigsawPieceCollection() = default;

void TPzJigsawPieceCollection::AddTemplateSet(TTemplateSet set) {
  gridTable_ = std::move(set.GridTable);
  templates_.reserve(templates_.size() + set.Templates.size());
  for (TPzPieceTemplate& t : set.Templates) templates_.push_back(std::move(t));
}

void TPzJigsawPieceCollection::ClearTemplates() {
  templates_.clear();
  gridTable_.clear();
  gridIndex_ = -1;
}

void TPzJigsawPieceCollection::LoadTemplates(std::istream& in) {
  AddTemplateSet(ReadTemplateSet(in));
}

std::size_t TPzJigsawPieceCollection::LoadTemplates(std::span<const std::byte> data) {
  std::size_t consumed = 0;
  TTemplateSet set = ReadTemplateSet(data, &consumed);
  AddTemplateSet(std::move(set));
  return consumed;
}

void TPzJigsawPieceCollection::LoadTemplatesFromFile(const std::filesystem::path& path) {
  AddTemplateSet(ReadTemplateSetFile(path));
}

const TPzPieceTemplate& TPzJigsawPieceCollection::Template(int i) const {
  if (i < 0 || i >= TemplateCount())
    throw EPieceError("Template " + std::to_string(i) + " does not exist.");
  return templates_[std::size_t(i)];
}

TGridEntry TPzJigsawPieceCollection::GridEntry(int i) const {
  if (i < 0 || i >= GridCount())
    throw EPieceError("Grid entry " + std::to_string(i) + " does not exist.");
  return gridTable_[std::size_t(i)];
}

TPzPuzzlePieceItem& TPzJigsawPieceCollection::Piece(int i) {
  if (i < 0 || i >= PieceCount())
    throw EPieceError("Piece " + std::to_string(i) + " does not exist.");
  return pieces_[std::size_t(i)];
}

const TPzPuzzlePieceItem& TPzJigsawPieceCollection::Piece(int i) const {
  if (i < 0 || i >= PieceCount())
    throw EPieceError("Piece " + std::to_string(i) + " does not exist.");
  return pieces_[std::size_t(i)];
}

namespace {

// Cutting errors a worker meets are kept with their piece and reported in
// piece order afterwards.
thread_local std::vector<std::string>* tMessages = nullptr;

// Fewer pieces than this per thread are not worth a thread.
constexpr int kPiecesPerThread = 32;
constexpr int kMaxCutThreads = 8;

}  // namespace

void TPzJigsawPieceCollection::LayoutPieces() {
  LayoutEdges();
  const int count = PieceCount();
  const int cores = int(std::max(1u, std::thread::hardware_concurrency()));
  const int threads = std::min({cores, kMaxCutThreads, count / kPiecesPerThread});
  if (threads <= 1) {
    for (int i = 0; i < count; ++i) CutItem(i);
    return;
  }
  // Pieces are independent once their edges are drawn: cut side by side,
  // every one into its own bitmap, from the scaled picture made beforehand.
  ScaledPicture();
  std::vector<std::vector<std::string>> messages(static_cast<std::size_t>(count));
  const TErrorReporter report = reporter_;
  if (report) {
    reporter_ = [](const std::string& m) {
      if (tMessages) tMessages->push_back(m);
    };
  }
  std::atomic<int> next{0};
  auto work = [&] {
    for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
      tMessages = &messages[std::size_t(i)];
      CutItem(i);
      tMessages = nullptr;
    }
  };
  {
    std::vector<std::jthread> workers;
    for (int t = 1; t < threads; ++t) workers.emplace_back(work);
    work();
  }
  reporter_ = report;
  if (report) {
    for (const auto& piece : messages)
      for (const std::string& m : piece) report(m);
  }
}

void TPzJigsawPieceCollection::CutItem(int i, TBitmap32* target) {
  TPzPuzzlePieceItem& item = Piece(i);
  CutPiece(ScaledPicture(), target ? *target : item.Bitmap, item.Top, item.Right, item.Bottom,
           item.Left, item.X, item.Y);
}

std::int32_t TPzJigsawPieceCollection::ItemWidth(int i) const {
  const TPzPuzzlePieceItem& item = Piece(i);
  const int columns = Columns();
  std::int32_t w = columns > 0 ? ScaledWidth() / columns : 0;
  if (item.Left >= 0) w += Template(item.Left).Width >> 1;
  if (item.Right >= 0) w += Template(item.Right).Width >> 1;
  return w;
}

std::int32_t TPzJigsawPieceCollection::ItemHeight(int i) const {
  const TPzPuzzlePieceItem& item = Piece(i);
  const int rows = Rows();
  std::int32_t h = rows > 0 ? ScaledHeight() / rows : 0;
  if (item.Top >= 0) h += Template(item.Top).Height >> 1;
  if (item.Bottom >= 0) h += Template(item.Bottom).Height >> 1;
  return h;
}

void TPzJigsawPieceCollection::LayoutEdges() {
  const int columns = Columns();
  const int rows = Rows();
  const int count = columns * rows;
  // Each inner edge gets a template drawn uniformly from those of its
  // orientation that belong to the chosen grid entry. (Drawing from the
  // whole set until one fits gives the same distribution, but never ends
  // for a set that lacks one.)
  std::vector<std::int32_t> horizontal;
  std::vector<std::int32_t> vertical;
  for (int i = 0; i < TemplateCount(); ++i) {
    const TPzPieceTemplate& t = templates_[std::size_t(i)];
    if (std::int32_t(t.GridIndex) == gridIndex_) (t.Vertical ? vertical : horizontal).push_back(i);
  }
  if (count > 0) {
    const TGridEntry e = gridTable_[std::size_t(gridIndex_)];
    const std::string entry = "grid entry " + std::to_string(gridIndex_) + " (" +
                              std::to_string(e.Width) + "x" + std::to_string(e.Height) + ")";
    if (rows > 1 && horizontal.empty())
      throw ETemplateError("unusable template set: no horizontal template for " + entry);
    if (columns > 1 && vertical.empty())
      throw ETemplateError("unusable template set: no vertical template for " + entry);
  }
  auto draw = [](const std::vector<std::int32_t>& from) {
    return from[std::size_t(Random(std::int32_t(from.size())))];
  };

  // The items start afresh; the memory of their bitmaps is kept, so that a
  // new layout of the same grid does not allocate every piece again.
  pieces_.resize(std::size_t(count));
  for (TPzPuzzlePieceItem& item : pieces_) {
    item.X = 0;
    item.Y = 0;
    item.Top = item.Bottom = item.Right = item.Left = kNoTemplate;
    TBitmap32& b = item.Bitmap;
    b.SetMasterAlpha(255);
    b.SetOuterColor(0);
    b.SetStretchFilter(sfNearest);
    b.SetCombineMode(cmBlend);
    b.SetClipRect(b.BoundsRect());
  }
  if (count == 0) return;
  const std::int32_t pw = ScaledWidth() / columns;
  const std::int32_t ph = ScaledHeight() / rows;
  for (int j = 0; j < rows; ++j) {
    std::int32_t x = 0;
    for (int k = 0; k < columns; ++k) {
      const std::size_t i = std::size_t(j) * std::size_t(columns) + std::size_t(k);
      TPzPuzzlePieceItem& item = pieces_[i];
      if (j == rows - 1) {
        item.Bottom = kNoTemplate;
      } else {
        if (item.Bottom == kNoTemplate) item.Bottom = draw(horizontal);
        pieces_[i + std::size_t(columns)].Top = item.Bottom;
      }
      if (k == columns - 1) {
        item.Right = kNoTemplate;
      } else {
        if (item.Right == kNoTemplate) item.Right = draw(vertical);
        pieces_[i + 1].Left = item.Right;
      }
      std::int32_t y = ph * j;
      if (item.Top >= 0) y -= templates_[std::size_t(item.Top)].Height / 2;
      item.X = x;
      item.Y = y;
      x += pw;
      if (item.Left >= 0) x += templates_[std::size_t(item.Left)].Width / 2;
      if (item.Right >= 0) x -= templates_[std::size_t(item.Right)].Width / 2;
    }
  }
}

}  // namespace duduri
