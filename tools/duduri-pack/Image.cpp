// duduri-pack image: loads a picture the way the game does (format by
// content), optionally turns, resizes or shadows it, and writes a PNG so the
// result can be looked at.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "common/Args.h"
#include "common/Png.h"
#include "pieces/Shadow.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

constexpr const char* kHelp =
    "usage: duduri-pack image PICTURE [--rotate 90|180|270] [--resize WxH] [--shadow]\n"
    "                         --out FILE.png\n"
    "\n"
    "Loads a JPEG or BMP picture (recognised by its content, whatever its name)\n"
    "and writes it as a PNG with its alpha. The steps run in this order:\n"
    "  --rotate DEGREES  turn clockwise by 90, 180 or 270 degrees\n"
    "  --resize WxH      resample to W x H pixels, nearest neighbour\n"
    "  --shadow          write the piece shadow of the picture instead: a dark\n"
    "                    grey silhouette whose alpha is the picture's alpha\n"
    "                    blurred over 5 x 5 pixels\n"
    "  --out FILE        the PNG to write (replaced only when all went well)\n";

void rotate(TBitmap32& bitmap, const std::string& degrees) {
  if (degrees == "90") {
    bitmap.Rotate90();
  } else if (degrees == "180") {
    bitmap.Rotate180();
  } else if (degrees == "270") {
    bitmap.Rotate270();
  } else if (degrees != "0") {
    throw tools::UsageError("--rotate takes 90, 180 or 270, not '" + degrees + "'");
  }
}

void resize(TBitmap32& bitmap, tools::Size size) {
  TBitmap32 resized;
  resized.SetSize(size.width, size.height);
  bitmap.SetDrawMode(dmOpaque);
  bitmap.SetStretchFilter(sfNearest);
  resized.Draw(resized.BoundsRect(), bitmap.BoundsRect(), bitmap);
  bitmap = std::move(resized);
}

void shadow(TBitmap32& bitmap) {
  TDivisionTable table;
  FillDivisionTable(table);
  // MakeShadow destroys its source's colour, so it gets a scratch copy.
  TBitmap32 scratch;
  scratch.Assign(bitmap);
  MakeShadow(scratch.Bits(), bitmap.Bits(), bitmap.Width(), table, kShadowGrey, kShadowGrey,
             kShadowGrey, bitmap.Height());
}

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a =
        tools::parseArgs(args, {"--rotate", "--resize", "--out"}, {"--shadow"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one PICTURE");
    const std::string out = a.required("--out");
    const std::optional<std::string> degrees = a.value("--rotate");
    const std::optional<std::string> size = a.value("--resize");
    const tools::Size target = size ? tools::parseSize(*size) : tools::Size{};
    if (degrees && *degrees != "0" && *degrees != "90" && *degrees != "180" && *degrees != "270") {
      throw tools::UsageError("--rotate takes 90, 180 or 270, not '" + *degrees + "'");
    }

    TBitmap32 bitmap;
    bitmap.Assign(LoadPictureFile(a.positional()[0]));
    if (degrees) rotate(bitmap, *degrees);
    if (size) resize(bitmap, target);
    if (a.has("--shadow")) shadow(bitmap);
    WritePng(bitmap, out);
    std::printf("%s: %dx%d\n", out.c_str(), bitmap.Width(), bitmap.Height());
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack image: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

}  // namespace

DUDURI_SUBCOMMAND(image, "image", "convert a JPEG or BMP picture to PNG (turn, resize, shadow)",
                  run);

}  // namespace duduri::pack
