// The sprite creator: construction, the checks of a saved layout, and
// MakeSprites, which draws every random value first and then hands the
// per-piece work (SpriteWork.h) to the calling thread and, when asked, to
// worker threads, reporting progress in piece order on the calling thread.

#include "pieces/SpriteCreator.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "pieces/Random.h"
#include "pieces/Shadow.h"
#include "pieces/SpriteWork.h"

namespace duduri {

namespace {

// An empty picture is allowed (it gives no pieces); anything else must be
// within the picture limits.
void checkPicture(std::int32_t width, std::int32_t height) {
  if (width == 0 || height == 0) return;
  CheckPictureSize(width, height, "Picture");
}

std::string gridText(std::int64_t columns, std::int64_t rows) {
  return std::to_string(columns) + " x " + std::to_string(rows);
}

[[noreturn]] void refuse(const std::string& why) {
  throw ESpriteCreatorError("The saved game does not fit its picture: " + why + ".");
}

std::string pieceText(std::size_t n, std::int32_t columns) {
  return "piece " + std::to_string(n) + " (row " + std::to_string(n / std::size_t(columns)) +
         ", column " + std::to_string(n % std::size_t(columns)) + ")";
}

// Messages the collection reports while a worker cuts a piece are kept with
// the piece and passed on in piece order from the calling thread.
thread_local std::vector<std::string>* tCutMessages = nullptr;

}  // namespace

// One piece between the random draws and the table.
struct TJigsawSpriteCreator::TPieceJob {
  std::int32_t Row = 0;
  std::int32_t Column = 0;
  TPieceSprite Record;
  int CollectionIndex = 0;  // new game: the cut piece in the collection
  std::vector<std::string> Messages;
  std::exception_ptr Error;
};

TJigsawSpriteCreator::TJigsawSpriteCreator(const TPicture& picture) {
  Randomize();
  checkPicture(picture.Width, picture.Height);
  collection_.Picture().Assign(picture);
  transparent_ = picture.Transparent;
  transparentColor_ = picture.TransparentColor & 0xFFFFFFu;
}

TJigsawSpriteCreator::TJigsawSpriteCreator(const TBitmap32& picture) {
  Randomize();
  checkPicture(picture.Width(), picture.Height());
  collection_.Picture().Assign(picture);
}

TJigsawSpriteCreator::TJigsawSpriteCreator(TSavedLayout saved)
    : restoring_(true), saved_(std::move(saved)), difficulty_(saved_.Difficulty) {
  Randomize();
  checkPicture(saved_.Picture.Width, saved_.Picture.Height);
}

TJigsawSpriteCreator::~TJigsawSpriteCreator() = default;

void TJigsawSpriteCreator::SetBoardSize(std::int32_t width, std::int32_t height) {
  boardWidth_ = width;
  boardHeight_ = height;
  boardRect_ = MakeRect(0, 0, width, height);
}

void TJigsawSpriteCreator::SetScale(float scale) {
  if (std::isfinite(scale) && scale > 0) scale_ = scale;
}

void TJigsawSpriteCreator::takePicture() {
  if (!restoring_ || saved_.Picture.Pixels.empty()) return;
  collection_.Picture().Assign(saved_.Picture);
  transparent_ = saved_.Picture.Transparent;
  transparentColor_ = saved_.Picture.TransparentColor & 0xFFFFFFu;
  // The pixels now live in the surface; the decoded copy is not needed again.
  saved_.Picture.Pixels = {};
}

std::uint8_t TJigsawSpriteCreator::knobOf(std::uint8_t shape, bool vertical) const {
  if (shape == 0 || shape > collection_.TemplateCount()) return 0;
  const TPzPieceTemplate& t = collection_.Template(shape - 1);
  return std::uint8_t(vertical ? t.Width : t.Height);
}

void TJigsawSpriteCreator::Execute() {
  if (restoring_) {
    checkSavedRecords();
    takePicture();
  }
  PrepareSolution();
  MakeSprites();
}

// What can be checked without the picture: counts, bytes in range, shapes
// naming templates of the right orientation.
void TJigsawSpriteCreator::checkSavedRecords() const {
  if (difficulty_ > 5)
    refuse("difficulty " + std::to_string(difficulty_) + " is not one of 0 to 5");
  if (saved_.Columns < 1 || saved_.Rows < 1)
    refuse("it names a grid of " + gridText(saved_.Columns, saved_.Rows) + " pieces");
  const std::int64_t count = std::int64_t(saved_.Columns) * saved_.Rows;
  if (count != std::int64_t(saved_.Pieces.size())) {
    refuse(std::to_string(saved_.Pieces.size()) + " pieces are stored for a grid of " +
           gridText(saved_.Columns, saved_.Rows));
  }
  const int templates = collection_.TemplateCount();
  for (std::size_t n = 0; n < saved_.Pieces.size(); ++n) {
    const TSavedPiece& p = saved_.Pieces[n];
    if (p.Rotation > 3 || p.StartRotation > 3)
      refuse(pieceText(n, saved_.Columns) + " has a rotation other than 0 to 3");
    if (p.Placed > 1) refuse(pieceText(n, saved_.Columns) + " has a joined flag other than 0 or 1");
    const std::pair<std::uint8_t, bool> shapes[] = {
        {p.LeftShape, true}, {p.TopShape, false}, {p.RightShape, true}, {p.BottomShape, false}};
    for (auto [shape, vertical] : shapes) {
      if (shape == 0) continue;
      if (shape > templates) {
        refuse(pieceText(n, saved_.Columns) + " names template " + std::to_string(shape - 1) +
               " of a set of " + std::to_string(templates));
      }
      if (collection_.Template(shape - 1).Vertical != vertical) {
        refuse(pieceText(n, saved_.Columns) + " has template " + std::to_string(shape - 1) +
               " on an edge of the other direction");
      }
    }
  }
}

// What needs the chosen grid: the same grid, and every piece inside the
// scaled picture.
void TJigsawSpriteCreator::checkSavedGrid() const {
  const std::int32_t columns = collection_.Columns();
  const std::int32_t rows = collection_.Rows();
  if (columns != saved_.Columns || rows != saved_.Rows) {
    refuse("it was saved with " + gridText(saved_.Columns, saved_.Rows) +
           " pieces and the picture now gives " + gridText(columns, rows));
  }
  const std::int32_t pw = collection_.ScaledWidth() / columns;
  const std::int32_t ph = collection_.ScaledHeight() / rows;
  for (std::size_t n = 0; n < saved_.Pieces.size(); ++n) {
    const TSavedPiece& p = saved_.Pieces[n];
    auto half = [&](std::uint8_t shape, bool vertical) -> std::int64_t {
      if (shape == 0) return 0;
      const TPzPieceTemplate& t = collection_.Template(shape - 1);
      return (vertical ? t.Width : t.Height) >> 1;
    };
    const std::int64_t width = pw + half(p.LeftShape, true) + half(p.RightShape, true);
    const std::int64_t height = ph + half(p.TopShape, false) + half(p.BottomShape, false);
    if (p.HomeX < 0 || p.HomeY < 0 || p.HomeX + width > collection_.ScaledWidth() ||
        p.HomeY + height > collection_.ScaledHeight()) {
      refuse(pieceText(n, saved_.Columns) + " has its right place at (" + std::to_string(p.HomeX) +
             ", " + std::to_string(p.HomeY) + "), outside the " +
             gridText(collection_.ScaledWidth(), collection_.ScaledHeight()) + " picture");
    }
  }
}

// A shape byte names a template index + 1, so a grid entry whose templates
// lie beyond the 255th cannot be stored in a piece record.
void TJigsawSpriteCreator::checkTemplateIndices() const {
  const std::int32_t grid = collection_.GridIndex();
  for (int i = 255; i < collection_.TemplateCount(); ++i) {
    if (collection_.Template(i).GridIndex == grid) {
      throw ESpriteCreatorError("Template " + std::to_string(i) + " of grid entry " +
                                std::to_string(grid) +
                                " cannot be named in a piece record, which holds 255 templates "
                                "at most; use a template set of fewer templates.");
    }
  }
}

// A big puzzle was never cut by the search of its difficulty ("> 200
// pieces", like every big puzzle): when that search does not give the grid
// the game was saved on, the grid entry the records' templates belong to,
// with the saved columns and rows, gives it. Games of the other difficulties
// are restored by their search alone.
void TJigsawSpriteCreator::adoptSavedGrid() {
  if (difficulty_ != 5) {
    collection_.ChooseGrid();
    return;
  }
  std::int32_t entry = -1;
  for (const TSavedPiece& p : saved_.Pieces) {
    for (const std::uint8_t shape : {p.LeftShape, p.TopShape, p.RightShape, p.BottomShape}) {
      if (shape == 0) continue;
      const std::int32_t g = collection_.Template(shape - 1).GridIndex;
      if (entry < 0) {
        entry = g;
      } else if (g != entry) {
        refuse("its pieces name templates of different piece sizes");
      }
    }
  }
  try {
    collection_.ChooseGrid();
  } catch (const ETemplateError&) {
    if (entry < 0) throw;
  }
  if (entry < 0) return;
  if (collection_.GridIndex() == entry && collection_.Columns() == saved_.Columns &&
      collection_.Rows() == saved_.Rows) {
    return;
  }
  const TCountGrid grid =
      SavedCountGrid(collection_.GridTable(), entry, saved_.Columns, saved_.Rows);
  if (grid.Entry < 0) return;  // checkSavedGrid says why it does not fit
  collection_.SelectCountGrid(grid);
  bigPuzzle_ = true;
}

void TJigsawSpriteCreator::sizeTable() {
  std::int64_t width = std::max(0, boardRect_.Right - boardRect_.Left);
  std::int64_t height = std::max(0, boardRect_.Bottom - boardRect_.Top);
  std::int64_t right = 0;
  std::int64_t bottom = 0;
  if (restoring_) {
    // Pieces of an ordinary game may hang over the board's right and lower
    // edges, but their corners lie on it: a corner beyond it was saved on a
    // table larger than this board, which gets a table again.
    bool beyond = false;
    for (const TSavedPiece& p : saved_.Pieces) {
      const std::int64_t side = std::max(p.Width, p.Height);
      right = std::max(right, std::int64_t(p.X) + side);
      bottom = std::max(bottom, std::int64_t(p.Y) + side);
      beyond = beyond || p.X >= width || p.Y >= height;
    }
    if (beyond) bigPuzzle_ = true;
  } else {
    bigPuzzle_ = IsBigPieceCount(pieceCount_);
  }
  if (bigPuzzle_ && collection_.Columns() > 0) {
    const TTableSize t = TableSizeFor(collection_.ScaledWidth(), collection_.ScaledHeight(),
                                      boardWidth_, boardHeight_);
    width = std::max<std::int64_t>(width, t.Width);
    height = std::max<std::int64_t>(height, t.Height);
  }
  if (restoring_ && bigPuzzle_) {
    width = std::max(width, right);
    height = std::max(height, bottom);
  }
  constexpr std::int64_t kMaxTable = std::int64_t(1) << 20;
  tableWidth_ = std::int32_t(std::min(width, kMaxTable));
  tableHeight_ = std::int32_t(std::min(height, kMaxTable));
}

void TJigsawSpriteCreator::MakeSprites() {
  // The picture has lived in the collection since construction.
  collection_.SetDifficulty(difficulty_);
  collection_.SetCountRange(restoring_ ? TPieceCount{} : pieceCount_);
  if (restoring_) {
    adoptSavedGrid();
    checkSavedGrid();
  } else {
    collection_.ChooseGrid();
    checkTemplateIndices();
    // The edges are drawn here, the pieces cut where they are encoded.
    collection_.LayoutEdges();
  }
  sizeTable();

  const std::int32_t rows = collection_.Rows();
  const std::int32_t columns = collection_.Columns();
  total_ = rows * columns;
  position_ = 0;
  pieces_.assign(std::size_t(rows), std::vector<TPieceSprite>(std::size_t(columns)));
  if (rows == 0 || columns == 0) return;

  std::vector<TPieceJob> jobs(static_cast<std::size_t>(total_));
  for (std::int32_t n = 0; n < total_; ++n) {
    jobs[std::size_t(n)].Row = n / columns;
    jobs[std::size_t(n)].Column = n % columns;
    jobs[std::size_t(n)].CollectionIndex = n;
  }
  if (restoring_) {
    fillRestored(jobs);
  } else {
    drawNewGame(jobs);
  }
  runJobs(jobs);
  // Every piece is encoded; the items are not needed again.
  collection_.ClearPieces();
}

void TJigsawSpriteCreator::drawNewGame(std::vector<TPieceJob>& jobs) {
  // Over the table: the board itself for a game of the presets.
  const std::int32_t areaWidth = tableWidth_;
  const std::int32_t areaHeight = tableHeight_;
  for (TPieceJob& job : jobs) {
    const TPzPuzzlePieceItem& item = collection_.Piece(job.CollectionIndex);
    TPieceSprite& p = job.Record;
    p.Rotation = p.StartRotation = noPieceRotation_ ? 0 : std::uint8_t(Random(4));
    p.Placed = 0;
    // A board narrower or lower than half a piece still gets every piece at
    // the area's edge rather than an empty range.
    p.X = Random(std::max(1, areaWidth - collection_.ItemWidth(job.CollectionIndex) / 2));
    p.Y = Random(std::max(1, areaHeight - collection_.ItemHeight(job.CollectionIndex) / 2));
    p.HomeX = item.X;
    p.HomeY = item.Y;
    p.StartX = p.X;
    p.StartY = p.Y;
    p.TopShape = std::uint8_t(item.Top + 1);
    p.LeftShape = std::uint8_t(item.Left + 1);
    p.RightShape = std::uint8_t(item.Right + 1);
    p.BottomShape = std::uint8_t(item.Bottom + 1);
  }
}

void TJigsawSpriteCreator::fillRestored(std::vector<TPieceJob>& jobs) {
  for (std::size_t n = 0; n < jobs.size(); ++n) {
    TPieceSprite& p = jobs[n].Record;
    p.Saved() = saved_.Pieces[n];
    p.Spare = 0;
    // A game without turning shows every piece upright, whatever was stored.
    if (noPieceRotation_) p.Rotation = p.StartRotation = 0;
  }
}

void TJigsawSpriteCreator::finishPiece(TPieceJob& job) {
  TPieceSprite& p = job.Record;
  p.TopKnob = knobOf(p.TopShape, false);
  p.RightKnob = knobOf(p.RightShape, true);
  p.BottomKnob = knobOf(p.BottomShape, false);
  p.LeftKnob = knobOf(p.LeftShape, true);
  pieces_[std::size_t(job.Row)][std::size_t(job.Column)] = std::move(p);
  ++position_;
  if (OnProgress) OnProgress(*this, position_, total_);
}

void TJigsawSpriteCreator::runJobs(std::vector<TPieceJob>& jobs) {
  TDivisionTable table;
  FillDivisionTable(table);
  const bool onlyRotation0 = noPieceRotation_;
  // A big puzzle makes only what its first frame shows: the sprite of the
  // rotation each piece lies in. The board makes the other rotations when a
  // piece is turned and a shadow when a piece is picked up.
  const TSpriteMaking making = bigPuzzle_ ? TSpriteMaking::smDeferred : TSpriteMaking::smAll;
  // The collection resizes its picture when the scaled picture is first
  // asked for; that happens here, once, before any worker reads it.
  const TBitmap32& scaled = collection_.ScaledPicture();
  // A big puzzle's photo is large and its pieces are cut from the scaled
  // picture alone: it goes before the sprites take their memory.
  if (bigPuzzle_) collection_.Picture().SetSize(0, 0);

  // The work of one piece; it touches only its job, the scratch of the
  // thread running it and its own cut bitmap in the collection.
  auto work = [&](TPieceJob& job, TSpriteScratch& scratch, TBitmap32& surface) {
    TPieceSprite& p = job.Record;
    struct TCollect {
      explicit TCollect(std::vector<std::string>* to) { tCutMessages = to; }
      ~TCollect() { tCutMessages = nullptr; }
    } collect(&job.Messages);
    // One surface per thread, cut into again and again: fresh pages for
    // every piece would cost more than the cutting.
    if (restoring_) {
      collection_.CutPiece(scaled, surface, p.TopShape - 1, p.RightShape - 1, p.BottomShape - 1,
                           p.LeftShape - 1, p.HomeX, p.HomeY);
    } else {
      collection_.CutItem(job.CollectionIndex, &surface);
    }
    MakePieceSprites(surface.Bits(), surface.Width(), surface.Height(), onlyRotation0, table, p,
                     scratch, making);
  };

  // The collection reports cutting errors from whichever thread cuts; they
  // are collected per piece instead.
  struct TReporterSwap {
    TPzJigsawPieceCollection& c;
    TErrorReporter saved;
    bool active;
    TReporterSwap(TPzJigsawPieceCollection& collection, bool on)
        : c(collection), saved(collection.ErrorReporter()), active(on) {
      if (active)
        c.SetErrorReporter([](const std::string& m) {
          if (tCutMessages) tCutMessages->push_back(m);
        });
    }
    ~TReporterSwap() {
      if (active) c.SetErrorReporter(std::move(saved));
    }
  } swap(collection_, true);
  // The collected messages reach the owner's reporter in piece order.
  auto finish = [&](TPieceJob& job) {
    if (swap.active) {
      for (const std::string& m : job.Messages)
        if (swap.saved) swap.saved(m);
      job.Messages.clear();
    }
    finishPiece(job);
  };

  const std::size_t count = jobs.size();
  int threads = threads_;
  if (threads == 0) threads = int(std::max(1u, std::thread::hardware_concurrency()));
  threads = int(std::min<std::size_t>(std::size_t(std::min(threads, kMaxSpriteThreads)), count));

  if (threads <= 1) {
    TSpriteScratch scratch;
    TBitmap32 surface;
    for (TPieceJob& job : jobs) {
      work(job, scratch, surface);
      finish(job);
    }
    return;
  }

  std::atomic<std::size_t> next{0};
  std::atomic<bool> stop{false};
  std::mutex m;
  std::condition_variable cv;
  std::vector<char> done(count, 0);
  // Takes the next piece nobody has started; false when none is left.
  auto runOne = [&](TSpriteScratch& scratch, TBitmap32& surface) {
    if (stop.load()) return false;
    const std::size_t i = next.fetch_add(1);
    if (i >= count) return false;
    try {
      work(jobs[i], scratch, surface);
    } catch (...) {
      jobs[i].Error = std::current_exception();
    }
    {
      std::lock_guard lock(m);
      done[i] = 1;
    }
    cv.notify_all();
    return true;
  };

  std::vector<std::jthread> workers;
  // Stops and joins the workers on every way out, a throwing OnProgress
  // included, before the jobs they work on go away.
  struct TStopGuard {
    std::atomic<bool>& stop;
    std::vector<std::jthread>& workers;
    ~TStopGuard() {
      stop.store(true);
      workers.clear();
    }
  } guard{stop, workers};
  for (int t = 1; t < threads; ++t) {
    workers.emplace_back([&] {
      TSpriteScratch scratch;
      TBitmap32 surface;
      while (runOne(scratch, surface)) {
      }
    });
  }

  TSpriteScratch scratch;
  TBitmap32 surface;
  for (std::size_t i = 0; i < count; ++i) {
    for (;;) {
      {
        std::unique_lock lock(m);
        if (done[i]) break;
        if (next.load() >= count) {
          cv.wait(lock, [&] { return done[i] != 0; });
          break;
        }
      }
      runOne(scratch, surface);
    }
    if (jobs[i].Error) std::rethrow_exception(jobs[i].Error);
    finish(jobs[i]);
  }
}

}  // namespace duduri
