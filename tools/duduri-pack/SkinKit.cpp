// duduri-pack skinkit DIR: paints the pictures of the sample skinned and
// banner projects into DIR (see SkinKit.h for what goes where).

#include "SkinKit.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "Subcommand.h"
#include "common/Args.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

constexpr const char* kHelp =
    "usage: duduri-pack skinkit DIR [--seed S]\n"
    "\n"
    "Paints the sample skins and their parts into DIR:\n"
    "  skin-amber.bmp, skin-jade.bmp            window skins (black: no window there)\n"
    "  button-SKIN-ICON-FACE.bmp                40 x 40 skin buttons with alpha, ICON one of\n"
    "                                           new show pause skin exit, FACE one of\n"
    "                                           normal hover pressed\n"
    "  banner-1.jpg, banner-2.jpg, banner-3.jpg 468 x 60 banners\n"
    "The same seed always gives the same pictures (default 1).\n";

void writeBmp(const std::filesystem::path& file, const TBitmap32& bitmap, int bits) {
  WriteFileAtomically(file, EncodeBmp(bitmap, bits));
}

int run(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  try {
    const tools::ParsedArgs a = tools::parseArgs(args, {"--seed"});
    if (a.positional().size() != 1) throw tools::UsageError("expected one DIR");
    const auto seed = std::uint64_t(a.integer("--seed", 1, 0, INT64_MAX));
    const std::filesystem::path dir = a.positional()[0];
    std::filesystem::create_directories(dir);
    int files = 0;
    for (const kit::SkinGeometry& skin : {kit::kAmber, kit::kJade}) {
      TBitmap32 picture;
      picture.SetSize(skin.width, skin.height);
      picture.Clear(0xFF000000);
      Canvas canvas(picture);
      kit::paintSkin(canvas, skin, seed);
      writeBmp(dir / ("skin-" + std::string(skin.name) + ".bmp"), picture, 24);
      ++files;
      for (std::size_t icon = 0; icon < kit::kIconNames.size(); ++icon) {
        for (std::size_t face = 0; face < kit::kFaceNames.size(); ++face) {
          TBitmap32 button;
          kit::paintButton(button, skin, kit::Icon(icon), kit::Face(face));
          writeBmp(dir / ("button-" + std::string(skin.name) + "-" +
                          std::string(kit::kIconNames[icon]) + "-" +
                          std::string(kit::kFaceNames[face]) + ".bmp"),
                   button, 32);
          ++files;
        }
      }
    }
    for (int i = 0; i < 3; ++i) {
      TBitmap32 banner;
      kit::paintBanner(banner, i, seed + std::uint64_t(i));
      WriteFileAtomically(dir / ("banner-" + std::to_string(i + 1) + ".jpg"),
                          EncodeJpeg(banner, 90));
      ++files;
    }
    std::printf("%s: %d pictures\n", dir.string().c_str(), files);
    return 0;
  } catch (const tools::UsageError& e) {
    std::fprintf(stderr, "duduri-pack skinkit: %s\n\n%s", e.what(), kHelp);
    return 2;
  }
}

}  // namespace

DUDURI_SUBCOMMAND(skinkit, "skinkit", "paint the sample skins, skin buttons and banners", run);

}  // namespace duduri::pack
