// duduri-pack extract FILE DIR: writes what a project carries out as files.
// Names are made from ids, never from the names stored in the project, so a
// stranger's project cannot write outside DIR.

#include <cstdio>

#include "ProjectFiles.h"
#include "Subcommand.h"
#include "common/Args.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

void write(const std::filesystem::path& dir, const std::string& name, TByteSpan bytes, int& count) {
  WriteFileAtomically(dir / name, bytes);
  std::printf("%s (%zu bytes)\n", name.c_str(), bytes.size());
  ++count;
}

int runExtract(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack extract FILE DIR\n\n"
        "Writes the pictures (picture-ID.jpg), backgrounds (background-ID.jpg), sounds\n"
        "(sound-ID.wav/.mid/.mp3/.wma), banners, splash.jpg, about.jpg, icon.ico and the\n"
        "template set (templates.pzjc, the form all.pzjc has) of FILE into DIR.\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {});
  if (a.positional().size() != 2) throw tools::UsageError("extract takes FILE and DIR");
  TJigsawProject2 p;
  loadProject(p, a.positional()[0]);
  const std::filesystem::path dir = a.positional()[1];
  std::filesystem::create_directories(dir);
  int count = 0;
  for (const TBMPData& e : p.Pictures) {
    if (e.Data.empty()) continue;
    const char* kind = IsPictureId(e.ID) ? "picture" : "background";
    write(dir, std::string(kind) + "-" + std::to_string(e.ID) + ".jpg", e.Data, count);
  }
  for (const TBMPData& s : p.Sounds)
    if (!s.Data.empty())
      write(dir, "sound-" + std::to_string(s.ID) + soundExtension(p, s), s.Data, count);
  for (std::size_t i = 0; i < p.Banners.Count(); ++i) {
    const TBanner& b = *p.Banners.Banner(i);
    if (b.Data.empty()) continue;
    write(dir, "banner-" + std::to_string(b.ID) + (b.TypeData == tdBMP ? ".bmp" : ".jpg"), b.Data,
          count);
  }
  if (!p.Splash.Empty()) write(dir, "splash.jpg", p.Splash.Data(), count);
  if (!p.AboutPicture.empty()) write(dir, "about.jpg", p.AboutPicture, count);
  if (!p.Icon.empty()) write(dir, "icon.ico", p.Icon, count);
  if (!p.TemplateSetStore.empty()) write(dir, "templates.pzjc", p.TemplateSetStore, count);
  std::printf("%d files written to %s\n", count, dir.string().c_str());
  return 0;
}

}  // namespace

DUDURI_SUBCOMMAND(extract, "extract", "write a project's pictures, sounds and templates as files",
                  runExtract);

}  // namespace duduri::pack
