// duduri-pack templates: draws the master template set (all.pzjc) of real
// jigsaw edge shapes. The same seed always gives the same file.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "common/Args.h"
#include "pieces/PieceTemplates.h"
#include "pieces/TemplateGenerator.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

constexpr const char* kHelp =
    "usage: duduri-pack templates OUT.pzjc [--seed S] [--per-edge N] [--grid WxH,...]\n"
    "\n"
    "Writes a template set for every piece size of the master grid table\n"
    "(16 to 200 pixels, square, 4:3 and 3:4): classic knobs with a round head on\n"
    "a narrower neck, each edge drawn at random (knob position, head size, neck,\n"
    "tilt, shoulder waves, tab up or down), with an anti-aliased outline and a\n"
    "light and a dark bevel. The two sides of every edge fit pixel for pixel.\n"
    "  --seed S       varies the shapes; the default gives the bundled all.pzjc\n"
    "  --per-edge N   templates per orientation and piece size, default 8\n"
    "  --grid WxH,... piece sizes instead of the master grid table (small sets\n"
    "                 for tests), each side 8 to 255 pixels\n";

std::vector<TGridEntry> parseGrid(const std::string& text) {
  std::vector<TGridEntry> grid;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(',', start), text.size());
    const tools::Size s = tools::parseSize(text.substr(start, end - start), 255);
    if (s.width < 8 || s.height < 8) throw tools::UsageError("piece sides start at 8 pixels");
    grid.push_back({std::uint8_t(s.width), std::uint8_t(s.height)});
    start = end + 1;
  }
  if (grid.size() > 128) throw tools::UsageError("at most 128 piece sizes");
  return grid;
}

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a = tools::parseArgs(args, {"--seed", "--per-edge", "--grid"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one OUT.pzjc");
    const auto seed = std::uint64_t(a.integer("--seed", std::int64_t(kMasterSeed), 0, INT64_MAX));
    const int perEdge = int(a.integer("--per-edge", kMasterTemplatesPerOrientation, 1, 64));
    const std::vector<TGridEntry> grid =
        a.value("--grid") ? parseGrid(*a.value("--grid")) : MasterGridTable();
    const TTemplateSet set = GenerateTemplateSet(grid, seed, perEdge);
    // The master set is written once and read often: the best compression.
    const std::vector<std::byte> bytes = WriteTemplateSet(set, 9);
    WriteFileAtomically(a.positional()[0], bytes);
    std::printf("%s: %zu grid entries, %zu templates, %zu bytes\n", a.positional()[0].c_str(),
                set.GridTable.size(), set.Templates.size(), bytes.size());
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack templates: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

}  // namespace

DUDURI_SUBCOMMAND(templates, "templates", "draw the master template set of jigsaw edge shapes",
                  run);

}  // namespace duduri::pack
