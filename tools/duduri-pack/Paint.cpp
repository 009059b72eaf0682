// duduri-pack paint: draws one of the procedural scenes and writes it as a
// JPEG. The pictures bundled in data/ were made with it (see data/README.md).

#include <cstdio>
#include <string>
#include <vector>

#include "PaintScenes.h"
#include "Subcommand.h"
#include "common/Args.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

constexpr const char* kHelp =
    "usage: duduri-pack paint OUT.jpg --scene harbour|meadow|mosaic|tower\n"
    "                         [--size WxH] [--seed S] [--quality Q]\n"
    "\n"
    "Paints a colourful, detailed picture for playing and writes it as JPEG.\n"
    "The same scene, size and seed always give the same picture.\n"
    "  --scene NAME   harbour (a harbour at sunset), meadow (hills, trees and\n"
    "                 flowers), mosaic (a stained-glass window) or tower (a castle\n"
    "                 tower by the sea at dusk)\n"
    "  --size WxH     picture size, default 1024x768\n"
    "  --seed S       varies the details, default 1\n"
    "  --quality Q    JPEG quality 1 to 100, default 90\n";

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a =
        tools::parseArgs(args, {"--scene", "--size", "--seed", "--quality"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one OUT.jpg");
    const std::string scene = a.required("--scene");
    const tools::Size size = tools::parseSize(a.value("--size").value_or("1024x768"));
    const auto seed = std::uint64_t(a.integer("--seed", 1, 0, INT64_MAX));
    const int quality = int(a.integer("--quality", 90, 1, 100));

    TBitmap32 bitmap;
    bitmap.SetSize(size.width, size.height);
    bitmap.Clear(0xFF000000);
    Canvas canvas(bitmap);
    if (!paintScene(scene, canvas, seed)) throw tools::UsageError("unknown scene '" + scene + "'");
    const std::vector<std::byte> jpeg = EncodeJpeg(bitmap, quality);
    WriteFileAtomically(a.positional()[0], jpeg);
    std::printf("%s: %s %dx%d, %zu bytes\n", a.positional()[0].c_str(), scene.c_str(), size.width,
                size.height, jpeg.size());
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack paint: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

}  // namespace

DUDURI_SUBCOMMAND(paint, "paint", "paint a procedural scene as a JPEG picture", run);

}  // namespace duduri::pack
