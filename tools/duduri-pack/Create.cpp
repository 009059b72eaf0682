// duduri-pack create OUT PICTURE... : builds a project package from picture,
// sound and skin files. Pictures given as BMP are stored as JPEG, as the
// player stores them. The output is deterministic for the same arguments.

#include <algorithm>
#include <cstdio>
#include <map>
#include <random>

#include "CreateStyles.h"
#include "Pages.h"
#include "Subcommand.h"
#include "ToolPictures.h"
#include "common/Args.h"
#include "project/NewId.h"
#include "project/Project.h"
#include "project/SoundFormats.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"
#include "shell/UserPictures.h"

namespace duduri::pack {

namespace {

using tools::UsageError;

constexpr const char* kHelp =
    "usage: duduri-pack create OUT PICTURE... [options]\n"
    "\n"
    "Writes a project package OUT with the pictures (JPEG, BMP, PNG, GIF or WebP) in\n"
    "the order given, each stored as JPEG and turned upright by its EXIF orientation.\n"
    "\n"
    "  --background FILE         add a background texture (repeatable)\n"
    "  --fill MODE               background fill: topleft|centre|tile|stretch\n"
    "  --title T                 window caption\n"
    "  --choice player|sequence|random   how the next picture is chosen\n"
    "  --range MIN MAX           piece-count range of the project and of every picture\n"
    "  --scale N                 default piece scale (1..255)\n"
    "  --time-trial SECONDS      play against the clock\n"
    "  --snap N                  snap distance in pixels\n"
    "  --no-rotation --no-shadow --flat   piece options\n"
    "  --store-layout            store the first picture's cut layout in the project\n"
    "  --sound-off               start with sound off\n"
    "  --no-highscores           do not record high scores\n"
    "  --splash FILE             splash picture shown at start\n"
    "  --about FILE              picture of the about box\n"
    "  --icon FILE               window icon file\n"
    "  --sound EVENT FILE        sound for game event 0..9 (.wav .mid .mp3 .wma; repeatable)\n"
    "  --start-script CODE TEXT, --exit-script CODE TEXT, --win-script CODE TEXT\n"
    "                            add a command to that script\n"
    "  --page FILE               ship an HTML page, and the files it refers to, beside OUT\n"
    "                            (open it with command 13 and its name, e.g.\n"
    "                            --start-script 13 intro.html)\n"
    "  --entry-page FILE W H     HTML page that takes a new best time's name, in a\n"
    "                            W x H window (shipped like --page)\n"
    "  --templates FILE          master template set (default: all.pzjc beside the tool)\n"
    "\nWindow styles, skins, banners and menus:\n";

// Options and how many values each takes.
const std::map<std::string, int> kArity = {
    {"--background", 1},  {"--fill", 1},          {"--title", 1},        {"--choice", 1},
    {"--range", 2},       {"--scale", 1},         {"--time-trial", 1},   {"--snap", 1},
    {"--no-rotation", 0}, {"--no-shadow", 0},     {"--flat", 0},         {"--store-layout", 0},
    {"--sound-off", 0},   {"--no-highscores", 0}, {"--splash", 1},       {"--about", 1},
    {"--icon", 1},        {"--sound", 2},         {"--start-script", 2}, {"--exit-script", 2},
    {"--win-script", 2},  {"--templates", 1},     {"--page", 1},         {"--entry-page", 3}};

struct Option {
  std::string name;
  std::vector<std::string> values;
};

std::int32_t integer(const std::string& text, const char* what, std::int64_t lo, std::int64_t hi) {
  return std::int32_t(tools::parseInteger(text, what, lo, hi));
}

// The picture as the player stores it: JPEG bytes, turned upright by its
// EXIF orientation; PNG, GIF and WebP pictures are converted.
TBytes pictureAsJpeg(const std::filesystem::path& file) {
  return UserPictureAsJpeg(file, toolPictureDecoder());
}

std::uint8_t soundCodeFor(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  if (ext == ".wav") return kSoundCodeWave;
  if (ext == ".mid" || ext == ".midi") return kSoundCodeMidi;
  if (ext == ".mp3") return kSoundCodeMp3;
  if (ext == ".wma") return kSoundCodeWma;
  throw UsageError(file.string() + ": sounds are .wav, .mid, .mp3 or .wma files");
}

void addScript(TScriptItem& item, const std::string& code, const std::string& text) {
  item.Code = integer(code, "command code", -1, 1000);
  if (!text.empty()) item.AddTextParameter(text);
}

std::int32_t fillMode(const std::string& name) {
  if (name == "topleft") return fmTopLeft;
  if (name == "centre" || name == "center") return fmCentre;
  if (name == "tile") return fmTile;
  if (name == "stretch") return fmStretch;
  throw UsageError("--fill takes topleft, centre, tile or stretch");
}

void apply(TJigsawProject2& p, const Option& o) {
  const auto& v = o.values;
  if (applyStyleOption(p, o.name, v)) return;
  if (o.name == "--background") {
    TBMPData& e = p.AddPictureEntry(TPictureKind::pkBackground, 65536 * (p.BackgroundCount + 1));
    e.Name = std::filesystem::path(v[0]).filename().string();
    e.Data = pictureAsJpeg(v[0]);
  } else if (o.name == "--fill") {
    p.DefaultBackground.FillMode = fillMode(v[0]);
    for (TBackgroundSettings& b : p.BackgroundSettings) b.FillMode = p.DefaultBackground.FillMode;
  } else if (o.name == "--title") {
    p.Title.Caption = v[0];
  } else if (o.name == "--choice") {
    if (v[0] == "player")
      p.PictureChoice = kChoicePlayer;
    else if (v[0] == "sequence")
      p.PictureChoice = kChoiceSequence;
    else if (v[0] == "random")
      p.PictureChoice = kChoiceRandom;
    else
      throw UsageError("--choice takes player, sequence or random");
  } else if (o.name == "--range") {
    p.PieceRangeMin = integer(v[0], "--range MIN", 0, 65535);
    p.PieceRangeMax = integer(v[1], "--range MAX", p.PieceRangeMin, 65535);
    for (TPicturePieceRange& r : p.PieceCountRanges) {
      r.MinPieces = p.PieceRangeMin;
      r.MaxPieces = p.PieceRangeMax;
    }
  } else if (o.name == "--scale") {
    p.DefaultPieceScale = std::uint8_t(integer(v[0], "--scale", 1, 255));
  } else if (o.name == "--time-trial") {
    p.TimeTrial = 1;
    p.TimeTrialTicks = integer(v[0], "--time-trial", 1, 2147483647);
  } else if (o.name == "--snap") {
    p.SnapDistance = std::uint8_t(integer(v[0], "--snap", 0, 255));
  } else if (o.name == "--no-rotation") {
    p.NoPieceRotation = 1;
  } else if (o.name == "--no-shadow") {
    p.NoPieceShadow = 1;
  } else if (o.name == "--flat") {
    p.FlatPiece = 1;
  } else if (o.name == "--store-layout") {
    p.StoreGameLayout = 1;
  } else if (o.name == "--sound-off") {
    p.SoundOn = 0;
  } else if (o.name == "--no-highscores") {
    p.ProjectFlags |= kFlagNoHighScores;
  } else if (o.name == "--splash") {
    p.Splash.SetData(pictureAsJpeg(v[0]));
  } else if (o.name == "--about") {
    p.AboutPicture = pictureAsJpeg(v[0]);
  } else if (o.name == "--icon") {
    p.Icon = ReadFileBytes(v[0]);
  } else if (o.name == "--sound") {
    const std::int32_t event = integer(v[0], "--sound EVENT", 0, 9);
    const std::uint8_t code = soundCodeFor(v[1]);
    // Waveform-like sounds take ids 1..255, MIDI ids with only bits 8..15.
    std::int32_t id = 0;
    auto used = [&](std::int32_t candidate) {
      return std::any_of(p.Sounds.begin(), p.Sounds.end(),
                         [&](const TBMPData& s) { return s.ID == candidate; });
    };
    for (std::int32_t k = 1; k <= 255 && id == 0; ++k) {
      const std::int32_t candidate = code == kSoundCodeMidi ? k << 8 : k;
      if (!used(candidate)) id = candidate;
    }
    if (id == 0) throw UsageError("too many sounds of one kind");
    p.Sounds.push_back({id, std::filesystem::path(v[1]).filename().string(), ReadFileBytes(v[1])});
    p.SoundFormats.Add(id, code);
    p.SoundSlots[std::size_t(event)].SoundIDs.push_back(id);
  } else if (o.name == "--start-script" || o.name == "--exit-script" || o.name == "--win-script") {
    TActionItem& script = o.name == "--start-script"  ? p.StartScript
                          : o.name == "--exit-script" ? p.ExitScript
                                                      : p.WinScript;
    addScript(script.AddScriptItem(), v[0], v[1]);
  } else if (o.name == "--templates") {
    p.MasterTemplateSet = v[0];
  } else if (o.name == "--entry-page") {
    p.HighscoreOptions.EntryPage = 1;
    p.HighscoreOptions.PageText = std::filesystem::path(v[0]).filename().string();
    p.HighscoreOptions.Value1 = integer(v[1], "--entry-page W", 1, 65535);
    p.HighscoreOptions.Value2 = integer(v[2], "--entry-page H", 1, 65535);
  }
}

int runCreate(const std::vector<std::string>& commandLine) {
  const std::vector<std::string> args = expandArgumentFiles(commandLine);
  if (wantsHelp(args)) {
    std::fputs(kHelp, stdout);
    std::fputs(kStyleOptionsHelp, stdout);
    return 0;
  }
  std::vector<std::string> positional;
  std::vector<Option> options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) != 0) {
      positional.push_back(a);
      continue;
    }
    auto it = kArity.find(a);
    if (it == kArity.end()) {
      it = styleOptionArity().find(a);
      if (it == styleOptionArity().end()) throw UsageError("unknown option " + a);
    }
    if (args.size() - i - 1 < std::size_t(it->second))
      throw UsageError(a + " takes " + std::to_string(it->second) + " value(s)");
    Option o{
        a,
        {args.begin() + std::ptrdiff_t(i) + 1, args.begin() + std::ptrdiff_t(i) + 1 + it->second}};
    i += std::size_t(it->second);
    options.push_back(std::move(o));
  }
  if (positional.size() < 2) throw UsageError("create needs OUT and at least one PICTURE");

  // Ids drawn for skins, menus and banners come from a fixed seed, so the
  // same arguments always give the same package.
  std::mt19937 generator(20240601u);
  SetProjectRandomSource([&](std::int32_t n) {
    return std::uniform_int_distribution<std::int32_t>(0, n - 1)(generator);
  });
  struct RestoreRandom {
    ~RestoreRandom() { SetProjectRandomSource({}); }
  } restore;
  TJigsawProject2 project;
  for (std::size_t i = 1; i < positional.size(); ++i) {
    TBMPData& e = project.AddPictureEntry(TPictureKind::pkPicture, std::int32_t(i));
    e.Name = std::filesystem::path(positional[i]).filename().string();
    e.Data = pictureAsJpeg(positional[i]);
  }
  // Pictures first so that --range reaches every picture whatever the order.
  auto late = [](const std::string& name) {
    return name == "--range" || name == "--fill" || isLateStyleOption(name);
  };
  for (const Option& o : options)
    if (!late(o.name)) apply(project, o);
  for (const Option& o : options)
    if (late(o.name)) apply(project, o);
  project.Normalise();
  // Pages are checked before anything is written: a missing page is a
  // mistake in the command, not a project without it.
  std::vector<std::filesystem::path> pages;
  for (const Option& o : options) {
    if (o.name == "--page" || o.name == "--entry-page") {
      PageFiles(o.values[0]);
      pages.emplace_back(o.values[0]);
    }
  }
  project.SaveToFile(positional[0]);
  ShipPages(pages, std::filesystem::absolute(positional[0]).parent_path());
  return 0;
}

}  // namespace

DUDURI_SUBCOMMAND(create, "create", "build a project package from pictures and settings",
                  runCreate);

}  // namespace duduri::pack
