// duduri-pack cut: cuts a picture into jigsaw pieces the way a new game does
// and writes them for people and tests to look at: every piece as a PNG with
// alpha, a sheet with the pieces at their right places, a sheet with them
// spread apart, and pieces.json describing the cut.

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "common/Args.h"
#include "common/Png.h"
#include "pieces/PieceCollection.h"
#include "pieces/Random.h"
#include "project/ProgramData.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHelp =
    "usage: duduri-pack cut PICTURE (--difficulty D | --pieces N) [--templates FILE]\n"
    "                       [--seed S] --out DIR\n"
    "\n"
    "Chooses the piece grid for difficulty D (0: < 25 pieces, 1: 25 - 50,\n"
    "2: 50 - 100, 3: 100 - 150, 4: 150 - 200, 5: > 200) and cuts every piece as\n"
    "a new game does. --pieces N (more than 200) asks for about N pieces instead\n"
    "(90 % to 110 % of N), as the player's big puzzles do. Writes into DIR:\n"
    "  piece-ROW-COL.png  every piece with its alpha\n"
    "  sheet.png          the pieces at their right places on a grey ground\n"
    "  spread.png         the pieces spread apart with gaps between them\n"
    "  pieces.json        the grid entry, scaled picture size, rows, columns and\n"
    "                     per piece its place, edge templates and bitmap size\n"
    "  --templates FILE   the template set; default all.pzjc beside duduri-pack,\n"
    "                     else data/all.pzjc of the source tree\n"
    "  --seed S           fixes the random edge shapes (default: from the clock)\n";

constexpr TColor32 kSheetGround = 0xFF8C8C8C;

fs::path defaultTemplates() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    const fs::path installed = FindProgramData(exe.parent_path(), "all.pzjc");
    if (!installed.empty()) return installed;
    // A build tree lies somewhere below the source tree.
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

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (char ch : s) {
    if (ch == '"' || ch == '\\') {
      out += '\\';
      out += ch;
    } else if (static_cast<unsigned char>(ch) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", ch);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

std::string pieceFile(int row, int column) {
  char name[40];
  std::snprintf(name, sizeof name, "piece-%03d-%03d.png", row, column);
  return name;
}

// How far a piece bitmap reaches past its cell on any side.
int largestMargin(const TPzJigsawPieceCollection& c) {
  int margin = 0;
  for (int i = 0; i < c.PieceCount(); ++i) {
    const TPzPuzzlePieceItem& p = c.Piece(i);
    if (p.Top >= 0) margin = std::max(margin, c.Template(p.Top).Height / 2);
    if (p.Left >= 0) margin = std::max(margin, c.Template(p.Left).Width / 2);
    if (p.Bottom >= 0) margin = std::max(margin, (c.Template(p.Bottom).Height + 1) / 2);
    if (p.Right >= 0) margin = std::max(margin, (c.Template(p.Right).Width + 1) / 2);
  }
  return margin;
}

void writeJson(const fs::path& path, const TPzJigsawPieceCollection& c, const std::string& picture,
               int difficulty, std::optional<std::uint64_t> seed) {
  const TGridEntry e = c.GridEntry(c.GridIndex());
  std::string j = "{\n";
  j += "  \"picture\": " + jsonString(picture) + ",\n";
  j += "  \"difficulty\": " + std::to_string(difficulty) + ",\n";
  j += "  \"seed\": " + (seed ? std::to_string(*seed) : std::string("null")) + ",\n";
  j += "  \"grid\": {\"index\": " + std::to_string(c.GridIndex()) +
       ", \"width\": " + std::to_string(e.Width) + ", \"height\": " + std::to_string(e.Height) +
       "},\n";
  j += "  \"scaledWidth\": " + std::to_string(c.ScaledWidth()) + ",\n";
  j += "  \"scaledHeight\": " + std::to_string(c.ScaledHeight()) + ",\n";
  j += "  \"rows\": " + std::to_string(c.Rows()) + ",\n";
  j += "  \"columns\": " + std::to_string(c.Columns()) + ",\n";
  j += "  \"pieces\": [";
  for (int i = 0; i < c.PieceCount(); ++i) {
    const TPzPuzzlePieceItem& p = c.Piece(i);
    const int row = i / c.Columns();
    const int column = i % c.Columns();
    j += i ? ",\n    " : "\n    ";
    j += "{\"row\": " + std::to_string(row) + ", \"column\": " + std::to_string(column) +
         ", \"x\": " + std::to_string(p.X) + ", \"y\": " + std::to_string(p.Y) +
         ", \"top\": " + std::to_string(p.Top) + ", \"right\": " + std::to_string(p.Right) +
         ", \"bottom\": " + std::to_string(p.Bottom) + ", \"left\": " + std::to_string(p.Left) +
         ", \"width\": " + std::to_string(p.Bitmap.Width()) +
         ", \"height\": " + std::to_string(p.Bitmap.Height()) +
         ", \"file\": " + jsonString(pieceFile(row, column)) + "}";
  }
  j += "\n  ]\n}\n";
  const std::string text = j;
  WriteFileAtomically(path,
                      std::span(reinterpret_cast<const std::byte*>(text.data()), text.size()));
}

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a =
        tools::parseArgs(args, {"--difficulty", "--pieces", "--templates", "--seed", "--out"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one PICTURE");
    const int pieces = int(a.integer("--pieces", 0, 201, kMaxBigPuzzlePieces));
    int difficulty = int(a.integer("--difficulty", -1, 0, 5));
    if (pieces > 0 && difficulty >= 0)
      throw tools::UsageError("give --difficulty or --pieces, not both");
    if (pieces > 0) difficulty = 5;
    if (difficulty < 0) throw tools::UsageError("missing --difficulty");
    const fs::path out = a.required("--out");
    const fs::path templates =
        a.value("--templates") ? fs::path(*a.value("--templates")) : defaultTemplates();
    std::optional<std::uint64_t> seed;
    if (a.value("--seed")) seed = std::uint64_t(a.integer("--seed", 0, 0, INT64_MAX));

    TPzJigsawPieceCollection c;
    c.LoadTemplatesFromFile(templates);
    c.SetErrorReporter(
        [](const std::string& m) { std::fprintf(stderr, "cut error: %s\n", m.c_str()); });
    c.Picture().Assign(LoadPictureFile(a.positional()[0]));
    if (seed)
      RandSeed(*seed);
    else
      Randomize();
    c.SetDifficulty(difficulty);
    if (pieces > 0) c.SetCountRange(PieceCountAround(pieces));
    c.ChooseGrid();
    c.LayoutPieces();
    if (c.PieceCount() == 0) throw EPieceError("The picture gives no pieces.");

    fs::create_directories(out);
    const int columns = c.Columns();
    for (int i = 0; i < c.PieceCount(); ++i)
      WritePng(c.Piece(i).Bitmap, out / pieceFile(i / columns, i % columns));

    const int margin = largestMargin(c) + 8;
    TBitmap32 sheet;
    sheet.SetSize(c.ScaledWidth() + 2 * margin, c.ScaledHeight() + 2 * margin);
    sheet.Clear(kSheetGround);
    for (int i = 0; i < c.PieceCount(); ++i)
      sheet.Draw(margin + c.Piece(i).X, margin + c.Piece(i).Y, c.Piece(i).Bitmap);
    WritePng(sheet, out / "sheet.png");

    // Spread apart by more than a knob reaches, so no two pieces touch.
    const int gap = margin;
    TBitmap32 spread;
    spread.SetSize(c.ScaledWidth() + 2 * margin + (columns - 1) * gap,
                   c.ScaledHeight() + 2 * margin + (c.Rows() - 1) * gap);
    spread.Clear(kSheetGround);
    for (int i = 0; i < c.PieceCount(); ++i) {
      const TPzPuzzlePieceItem& p = c.Piece(i);
      spread.Draw(margin + p.X + (i % columns) * gap, margin + p.Y + (i / columns) * gap, p.Bitmap);
    }
    WritePng(spread, out / "spread.png");
    writeJson(out / "pieces.json", c, a.positional()[0], difficulty, seed);

    const TGridEntry e = c.GridEntry(c.GridIndex());
    std::printf("%s: %d x %d = %d pieces of %dx%d (grid entry %d), picture scaled to %dx%d\n",
                out.string().c_str(), c.Rows(), columns, c.PieceCount(), e.Width, e.Height,
                c.GridIndex(), c.ScaledWidth(), c.ScaledHeight());
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack cut: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

}  // namespace

DUDURI_SUBCOMMAND(cut, "cut", "cut a picture into jigsaw pieces and write them as PNG", run);

}  // namespace duduri::pack
