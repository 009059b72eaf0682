// duduri-pack sprites: makes the piece table of a game the way the player
// does (a new game from a seed, or a saved game rebuilt from its records) and
// writes it out for people and tests to look at: the records as a saved-game
// file and as JSON, the scattered board, the solution picture and, on
// request, every encoded rotation and shadow decoded back to a PNG.

#include "CutRestore.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "board/JigsawFile.h"
#include "common/Args.h"
#include "common/Json.h"
#include "common/Png.h"
#include "pieces/PieceTemplates.h"
#include "pieces/RLE.h"
#include "pieces/Random.h"
#include "pieces/SpriteCreator.h"
#include "project/ProgramData.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHelp =
    "usage: duduri-pack sprites PICTURE --out DIR [--difficulty D | --pieces N]\n"
    "                           [--templates FILE]\n"
    "                           [--seed S] [--board WxH] [--scale S] [--no-rotation]\n"
    "                           [--threads N] [--restore GAME.jsw] [--rotations] [--shadows]\n"
    "\n"
    "Makes the pieces of a game from PICTURE as the player does: the grid for\n"
    "difficulty D (0: < 25 pieces ... 5: > 200), every piece encoded in four\n"
    "rotations with a shadow for the rotation it starts in, scattered at random\n"
    "over a board of WxH (default 1024x768). With --restore the records of a\n"
    "saved game (a .jsw file, e.g. records.jsw of an earlier run) are cut again\n"
    "instead, with no random draws; the difficulty and scale come from it.\n"
    "--pieces N (more than 200) makes a big puzzle of about N pieces (90 % to\n"
    "110 % of N) on a table larger than the board, as the player does.\n"
    "Writes into DIR:\n"
    "  records.jsw        the records as a saved game (picture id 0)\n"
    "  pieces.json        grid, cell grid and every record with its sprite sizes\n"
    "  board.png          the pieces where they lie, in their rotation\n"
    "  solution.png       the solution picture\n"
    "  --rotations        piece-ROW-COL-rN.png: every encoded rotation, decoded\n"
    "  --shadows          piece-ROW-COL-shadowN.png: every shadow made\n"
    "  --templates FILE   the template set; default all.pzjc beside duduri-pack,\n"
    "                     else data/all.pzjc of the source tree. A set of more\n"
    "                     than 255 templates is cut down, as a project's is, to\n"
    "                     the grid entry the picture gets\n"
    "  --seed S           fixes the layout (default: from the clock)\n"
    "  --scale S          the piece scale (cell grid and solution size), default 1\n"
    "  --threads N        1 = no worker threads; default one per processor\n";

fs::path defaultTemplates() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = FindProgramData(exe.parent_path(), "all.pzjc");
    if (!installed.empty()) return installed;
    for (fs::path dir = exe.parent_path(); !dir.empty() && dir != dir.root_path();
         dir = dir.parent_path()) {
      const fs::path candidate = dir / "data" / "all.pzjc";
      if (fs::exists(candidate)) return candidate;
    }
  }
  throw tools::UsageError(
      "no all.pzjc beside duduri-pack, in share/duduri or in a data/ folder above it; "
      "give --templates");
}

// A piece record names a template by index + 1 in one byte; a project
// therefore carries only the grid entries its pictures use. A larger set is
// cut down the same way, to the entry this picture gets, keeping the grid
// table so that the grid search chooses as before.
TTemplateSet templatesFor(TTemplateSet set, const TBitmap32& picture, int difficulty,
                          TPieceCount count) {
  if (set.Templates.size() <= 255) return set;
  TPzJigsawPieceCollection probe;
  probe.AddTemplateSet(set);
  probe.Picture().Assign(picture);
  probe.SetDifficulty(difficulty);
  probe.SetCountRange(count);
  probe.ChooseGrid();
  TTemplateSet kept;
  kept.GridTable = set.GridTable;
  for (TPzPieceTemplate& t : set.Templates)
    if (t.GridIndex == probe.GridIndex()) kept.Templates.push_back(std::move(t));
  std::printf("using the %zu templates of grid entry %d of %zu\n", kept.Templates.size(),
              probe.GridIndex(), set.Templates.size());
  return kept;
}

float parseScale(const std::string& text) {
  std::size_t used = 0;
  float value = 0;
  try {
    value = std::stof(text, &used);
  } catch (const std::logic_error&) {
    used = 0;
  }
  if (used != text.size() || !(value > 0) || value > 1000)
    throw tools::UsageError("--scale needs a number above 0 and at most 1000");
  return value;
}

std::string pieceName(int row, int column, const char* what, int r) {
  char name[64];
  std::snprintf(name, sizeof name, "piece-%03d-%03d-%s%d.png", row, column, what, r);
  return name;
}

// Rotation r of a record decoded into a surface of its turned size.
TBitmap32 decodeRotation(const TPieceSprite& p, int r) {
  TBitmap32 b;
  b.SetSize(r & 1 ? p.Height : p.Width, r & 1 ? p.Width : p.Height);
  DecodeBufferChecked(p.RleData[r]->data(), p.RleData[r]->size(), b.Bits(),
                      b.PixelCount() * sizeof(TColor32));
  return b;
}

TBitmap32 shadowSurface(const TPieceSprite& p, int r) {
  TBitmap32 b;
  b.SetSize(r & 1 ? p.Height : p.Width, r & 1 ? p.Width : p.Height);
  std::copy(p.ShadowData[r]->begin(), p.ShadowData[r]->end(), b.Bits());
  return b;
}

void writeJson(const fs::path& path, const TJigsawSpriteCreator& c, const std::string& picture,
               std::optional<std::uint64_t> seed) {
  tools::JsonWriter j;
  j.beginObject();
  j.field("picture", picture);
  j.field("restored", c.Restoring());
  j.key("seed");
  if (seed) {
    j.value(*seed);
  } else {
    j.null();
  }
  j.field("difficulty", int(c.Difficulty()));
  j.key("scale");
  j.valueDouble(c.Scale());
  j.field("gridIndex", c.Collection().GridIndex());
  j.field("scaledWidth", int(c.Collection().ScaledWidth()));
  j.field("scaledHeight", int(c.Collection().ScaledHeight()));
  j.field("columns", c.Columns());
  j.field("rows", c.Rows());
  j.key("cellGrid");
  j.beginObject();
  j.field("columns", c.CellColumns());
  j.field("rows", c.CellRows());
  j.field("cellSize", c.CellSize());
  j.field("margin", c.CellMargin());
  j.endObject();
  j.field("solutionWidth", c.SolutionPicture().Width());
  j.field("solutionHeight", c.SolutionPicture().Height());
  j.field("tableWidth", c.TableWidth());
  j.field("tableHeight", c.TableHeight());
  j.key("pieces");
  j.beginArray();
  for (std::size_t row = 0; row < c.Pieces().size(); ++row) {
    for (std::size_t col = 0; col < c.Pieces()[row].size(); ++col) {
      const TPieceSprite& p = c.Pieces()[row][col];
      j.beginObject();
      j.field("row", int(row));
      j.field("column", int(col));
      j.field("leftShape", int(p.LeftShape));
      j.field("topShape", int(p.TopShape));
      j.field("rightShape", int(p.RightShape));
      j.field("bottomShape", int(p.BottomShape));
      j.field("x", p.X);
      j.field("y", p.Y);
      j.field("homeX", p.HomeX);
      j.field("homeY", p.HomeY);
      j.field("startX", p.StartX);
      j.field("startY", p.StartY);
      j.field("width", p.Width);
      j.field("height", p.Height);
      j.field("rotation", int(p.Rotation));
      j.field("startRotation", int(p.StartRotation));
      j.field("placed", int(p.Placed));
      j.key("rleSize");
      j.beginArray();
      for (int r = 0; r < 4; ++r) j.value(p.RleSize[r]);
      j.endArray();
      j.key("shadows");
      j.beginArray();
      for (int r = 0; r < 4; ++r) j.value(bool(p.ShadowData[r]));
      j.endArray();
      j.key("knobs");
      j.beginArray();
      for (int k : {p.TopKnob, p.RightKnob, p.BottomKnob, p.LeftKnob}) j.value(k);
      j.endArray();
      j.endObject();
    }
  }
  j.endArray();
  j.endObject();
  const std::string text = j.str() + "\n";
  WriteFileAtomically(path,
                      std::span(reinterpret_cast<const std::byte*>(text.data()), text.size()));
}

}  // namespace

int RunSprites(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a =
        tools::parseArgs(args,
                         {"--difficulty", "--pieces", "--templates", "--seed", "--board",
                          "--scale", "--threads", "--restore", "--out"},
                         {"--no-rotation", "--rotations", "--shadows"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one PICTURE");
    const fs::path out = a.required("--out");
    const fs::path templatesFile =
        a.value("--templates") ? fs::path(*a.value("--templates")) : defaultTemplates();
    const tools::Size board = tools::parseSize(a.value("--board").value_or("1024x768"));
    std::optional<std::uint64_t> seed;
    if (a.value("--seed")) seed = std::uint64_t(a.integer("--seed", 0, 0, INT64_MAX));
    float scale = 1.0f;
    if (a.value("--scale")) scale = parseScale(*a.value("--scale"));
    const int threads = int(a.integer("--threads", 0, 0, kMaxSpriteThreads));

    const TPicture picture = LoadPictureFile(a.positional()[0]);
    TBitmap32 surface;
    surface.Assign(picture);

    std::optional<TJigsawFile> saved;
    int difficulty = int(a.integer("--difficulty", -1, 0, 5));
    const int pieces = int(a.integer("--pieces", 0, 201, kMaxBigPuzzlePieces));
    if (pieces > 0 && difficulty >= 0)
      throw tools::UsageError("give --difficulty or --pieces, not both");
    const TPieceCount count = pieces > 0 ? PieceCountAround(pieces) : TPieceCount{};
    if (pieces > 0) difficulty = 5;
    if (a.value("--restore")) {
      saved.emplace();
      saved->LoadFromFile(*a.value("--restore"));
      difficulty = saved->Level;
      if (saved->PieceScale > 0) scale = saved->PieceScale;
    } else if (difficulty < 0) {
      throw tools::UsageError("missing --difficulty");
    }

    TTemplateSet templates =
        templatesFor(ReadTemplateSetFile(templatesFile), surface, std::min(difficulty, 5), count);
    std::optional<TJigsawSpriteCreator> creator;
    if (saved) {
      TSavedLayout layout;
      layout.Picture = picture;
      layout.Pieces = saved->Pieces;
      layout.Columns = saved->Columns;
      layout.Rows = saved->Rows;
      layout.Difficulty = saved->Level;
      creator.emplace(std::move(layout));
    } else {
      creator.emplace(surface);
    }
    TJigsawSpriteCreator& c = *creator;
    c.Collection().AddTemplateSet(std::move(templates));
    c.Collection().SetErrorReporter(
        [](const std::string& m) { std::fprintf(stderr, "cut error: %s\n", m.c_str()); });
    c.SetBoardSize(board.width, board.height);
    c.SetScale(scale);
    c.SetDifficulty(std::uint8_t(difficulty));
    c.SetPieceCount(count);
    c.SetNoPieceRotation(a.has("--no-rotation"));
    c.SetThreads(threads);
    if (seed) RandSeed(*seed);
    c.Execute();
    if (c.Total() == 0) throw EPieceError("The picture gives no pieces.");

    fs::create_directories(out);
    TJigsawFile file;
    file.Columns = c.Columns();
    file.Rows = c.Rows();
    file.PieceScale = c.Scale();
    file.Level = c.Difficulty();
    file.SetPieces(c.Pieces());
    file.SaveToFile(out / "records.jsw");
    writeJson(out / "pieces.json", c, a.positional()[0], seed);
    WritePng(c.SolutionPicture(), out / "solution.png");

    TBitmap32 boardPicture;
    boardPicture.SetSize(c.TableWidth(), c.TableHeight());
    boardPicture.Clear(0xFF2E4A36);
    int files = 0;
    for (std::size_t row = 0; row < c.Pieces().size(); ++row) {
      for (std::size_t col = 0; col < c.Pieces()[row].size(); ++col) {
        const TPieceSprite& p = c.Pieces()[row][col];
        for (int r = 0; r < 4; ++r) {
          if (!p.RleData[r]) continue;
          TBitmap32 sprite = decodeRotation(p, r);
          if (r == p.Rotation) {
            sprite.SetDrawMode(dmBlend);
            boardPicture.Draw(p.X, p.Y, sprite);
          }
          if (a.has("--rotations")) {
            WritePng(sprite, out / pieceName(int(row), int(col), "r", r));
            ++files;
          }
          if (a.has("--shadows") && p.ShadowData[r]) {
            WritePng(shadowSurface(p, r), out / pieceName(int(row), int(col), "shadow", r));
            ++files;
          }
        }
      }
    }
    WritePng(boardPicture, out / "board.png");

    std::printf(
        "%s: %s %d x %d = %d pieces, cell grid %d x %d, solution %dx%d, table %dx%d, %d sprite "
        "files\n",
        out.string().c_str(), c.Restoring() ? "restored" : "new game", c.Rows(), c.Columns(),
        c.Total(), c.CellColumns(), c.CellRows(), c.SolutionPicture().Width(),
        c.SolutionPicture().Height(), c.TableWidth(), c.TableHeight(), files);
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack sprites: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

namespace {
int run(const std::vector<std::string>& args) {
  return RunSprites(args);
}
}  // namespace

DUDURI_SUBCOMMAND(sprites, "sprites",
                  "make a game's piece sprites (new or from a saved game) and write them as PNG",
                  run);

}  // namespace duduri::pack
