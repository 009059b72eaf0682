// duduri-pack info FILE: a short human summary of a project, or of any other
// file kind dump knows (see DumpFormats.h).

#include <cstdio>

#include "DumpFormats.h"
#include "ProjectFiles.h"
#include "Subcommand.h"
#include "common/Args.h"
#include "project/Overlay.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

const char* choiceName(std::uint8_t choice) {
  switch (choice) {
    case kChoicePlayer:
      return "the player chooses";
    case kChoiceSequence:
      return "in sequence";
    case kChoiceRandom:
      return "at random";
    default:
      return "unknown";
  }
}

}  // namespace

void summariseProject(TByteSpan file, const std::string& /*fileName*/) {
  TJigsawProject2 p;
  const TOverlayLayout overlay = FindOverlay(file);
  if (overlay.HasPackage) {
    p.LoadFromStream(*OverlayPackage(file));
  } else {
    p.LoadFromStream(file);
  }
  if (overlay.HasPackage)
    std::printf("executable: player %llu bytes, package %llu bytes%s\n",
                static_cast<unsigned long long>(overlay.PlayerImageSize),
                static_cast<unsigned long long>(overlay.PackageSize),
                overlay.HasExtraImages ? ", with extra images" : "");
  std::printf("caption: %s\n", p.Title.Caption.c_str());
  std::printf("pictures: %d, backgrounds: %d\n", p.PictureCount, p.BackgroundCount);
  for (const TBMPData& e : p.Pictures) {
    std::string size = "?";
    try {
      const TPictureSize s = ReadPictureSize(e.Data);
      size = std::to_string(s.Width) + "x" + std::to_string(s.Height);
    } catch (const EDuduriError&) {
    }
    std::printf("  %s %d %s %s (%zu bytes)\n", IsPictureId(e.ID) ? "picture   " : "background",
                e.ID, e.Name.c_str(), size.c_str(), e.Data.size());
  }
  std::printf("picture choice: %s\n", choiceName(p.PictureChoice));
  if (p.PieceRangeMin == -1 || p.PieceRangeMax == -1)
    std::printf("piece range: not set\n");
  else
    std::printf("piece range: %d - %d\n", p.PieceRangeMin, p.PieceRangeMax);
  if (p.TimeTrial) std::printf("time trial: %d s\n", p.TimeTrialTicks);
  std::printf("snap distance: %d, rotation %s, shadows %s\n", p.SnapDistance,
              p.NoPieceRotation ? "off" : "on", p.NoPieceShadow ? "off" : "on");
  std::printf("sounds: %zu, skins: %zu, regions: %zu, banners: %zu, containers: %zu\n",
              p.Sounds.size(), p.Skins.size(), p.Regions.size(), p.Banners.Count(),
              p.BannerContainers.Count());
  std::printf("window style: %d, splash: %s, high scores: %s\n", p.WindowStyle,
              p.Splash.Empty() ? "none" : "yes",
              p.HighScoresDisabled() ? "not recorded" : "recorded");
  if (p.UnknownChunkRead)
    std::printf("note: the package holds chunks this version does not know\n");
}

namespace {

int runInfo(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack info FILE\n\n"
        "Summarises FILE: a project (a package file, or an executable with a package),\n"
        "a saved game or a high-score file. A file that cannot be read gives its\n"
        "reader's message on standard error and exit status 1.\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {});
  if (a.positional().size() != 1) throw tools::UsageError("info takes one FILE");
  const std::string& name = a.positional()[0];
  const TBytes bytes = ReadFileBytes(name);
  const DumpKind* kind = dumpKindFor(bytes, name);
  if (!kind) {
    std::fprintf(stderr, "duduri-pack info: %s: not a file kind duduri-pack knows\n", name.c_str());
    return 1;
  }
  return runReader("info", name, [&] { kind->summarise(bytes, name); }) ? 0 : 1;
}

}  // namespace

DUDURI_SUBCOMMAND(info, "info", "summarise a project, saved game or high-score file", runInfo);

}  // namespace duduri::pack
