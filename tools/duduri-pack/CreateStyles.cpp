// `duduri-pack create` options for window styles, skins, banners and menus.

#include "CreateStyles.h"

#include <algorithm>
#include <cstring>

#include "common/Args.h"
#include "project/Banners.h"
#include "raster/Bitmap32.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

using tools::UsageError;

std::int32_t integer(const std::string& text, const std::string& what, std::int64_t lo,
                     std::int64_t hi) {
  return std::int32_t(tools::parseInteger(text, what, lo, hi));
}

std::int32_t coordinate(const std::string& text, const std::string& what) {
  return integer(text, what, -65535, 65535);
}

std::int32_t extent(const std::string& text, const std::string& what) {
  return integer(text, what, 0, 65535);
}

// A skin picture keeps its file's bytes: a BMP stays lossless, so its black
// surround is exactly black and the window's shape follows it to the pixel.
TBytes skinPicture(const std::string& file) {
  TBytes bytes = ReadFileBytes(file);
  const TPictureFormat format = DetectPictureFormat(bytes);
  if (format != TPictureFormat::pfBMP && format != TPictureFormat::pfJPEG)
    throw EPictureError(file + ": not a JPEG or BMP picture");
  DecodePicture(bytes);  // refuse a broken picture now, not at play time
  return bytes;
}

// A button picture as the project stores it: raw 32-bit pixels (little
// endian ARGB), with the file's alpha when it has one.
TBytes rawPixels(const std::string& file, std::int32_t& width, std::int32_t& height) {
  const TPicture picture = DecodePicture(ReadFileBytes(file));
  if (width == 0 && height == 0) {
    width = picture.Width;
    height = picture.Height;
  } else if (picture.Width != width || picture.Height != height) {
    throw UsageError(file + ": a button's three pictures must have the same size");
  }
  TBytes raw(picture.Pixels.size() * 4);
  for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
    TColor32 c = picture.Pixels[i];
    if (picture.BitsPerPixel != 32) c |= 0xFF000000u;
    for (int b = 0; b < 4; ++b) raw[i * 4 + std::size_t(b)] = std::byte((c >> (8 * b)) & 0xFF);
  }
  return raw;
}

// "#RRGGBB", "RRGGBB" or "system:N" as a platform colour (0x00BBGGRR, or a
// system colour code).
std::int32_t colour(const std::string& text, const std::string& what) {
  if (text.rfind("system:", 0) == 0) {
    return std::int32_t(0xFF000000u | std::uint32_t(integer(text.substr(7), what, 0, 255)));
  }
  const std::string hex = text.rfind('#', 0) == 0 ? text.substr(1) : text;
  if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
    throw UsageError(what + " takes RRGGBB or system:N, not " + text);
  const auto rgb = std::uint32_t(std::stoul(hex, nullptr, 16));
  return std::int32_t(((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16));
}

TSkinEntry& lastSkin(TJigsawProject2& p, const std::string& option) {
  if (p.Skins.empty()) throw UsageError(option + " needs a --skin before it");
  return p.Skins.back();
}

TTextStyle& lastTextStyle(TJigsawProject2& p, const std::string& option) {
  if (p.TextStyles.empty()) throw UsageError(option + " needs a --text-style before it");
  return p.TextStyles.back();
}

void addScript(TScriptItem& item, const std::string& code, const std::string& text) {
  item.Code = integer(code, "command code", -1, 1000);
  if (!text.empty()) item.AddTextParameter(text);
}

// PATH like "&Game/&Next": each level is found by name (within the menu) or
// made; a last level "-" is always a new separator.
void addMenu(TJigsawProject2& p, std::uint8_t menu, const std::string& path,
             const std::string& code, const std::string& text) {
  TMenuTree* level = &p.MenuTree;
  std::int32_t parent = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = path.find('/', start);
    const bool last = slash == std::string::npos;
    const std::string name = path.substr(start, last ? std::string::npos : slash - start);
    if (name.empty()) throw UsageError(std::string("empty menu name in ").append(path));
    auto it = std::find_if(level->begin(), level->end(), [&](const TMenuExRec& r) {
      return r.Name == name && r.MenuNumber == menu && r.Caption != "-";
    });
    if (it == level->end() || (last && name == "-")) {
      TMenuExRec r;
      r.ID = p.NewMenuId();
      r.ParentID = parent;
      r.MenuNumber = menu;
      r.Name = name;
      if (name == "-") r.Caption = name;  // the separator mark
      r.Script.Code = kNoCommand;
      level->push_back(std::move(r));
      it = level->end() - 1;
    }
    if (last) {
      if (name != "-") {
        it->Script.Parameter.Clear();
        addScript(it->Script, code, text);
      }
      return;
    }
    parent = it->ID;
    level = &it->Children;
    start = slash + 1;
  }
}

void addSkinButton(TJigsawProject2& p, const std::vector<std::string>& v) {
  TSkinEntry& skin = lastSkin(p, "--skin-button");
  TSkinRegion region;
  region.Left = coordinate(v[0], "--skin-button L");
  region.Top = coordinate(v[1], "--skin-button T");
  region.Normal = rawPixels(v[2], region.Width, region.Height);
  region.Hover = rawPixels(v[3], region.Width, region.Height);
  region.Pressed = rawPixels(v[4], region.Width, region.Height);
  region.CommandCode = integer(v[5], "--skin-button CODE", -1, 1000);
  region.ID = p.NewRegionId();
  const std::int32_t id = region.ID;
  p.Regions.push_back(std::move(region));
  skin.RegionIDs.push_back(id);
  TScriptItemEntry& entry = p.NewScriptItemEntry();
  entry.RegionID = id;
  addScript(entry.Script, v[5], v[6]);
}

void addBanner(TJigsawProject2& p, const std::vector<std::string>& v) {
  TBanner& b = p.Banners.Add();
  b.Name = std::filesystem::path(v[0]).filename().string();
  b.Data = ReadFileBytes(v[0]);
  const TPictureFormat format = DetectPictureFormat(b.Data);
  if (format != TPictureFormat::pfJPEG && format != TPictureFormat::pfBMP)
    throw EPictureError(v[0] + ": not a JPEG or BMP picture");
  b.TypeData = format == TPictureFormat::pfBMP ? tdBMP : tdJPG;
  b.URL = v[1];
  b.Interval = integer(v[2], "--banner MS", 0, 2147483647);
  b.SetEventID(b.URL.empty() ? 0 : kOpenAddressCommand);
  b.RecomputeSize();
  // On a skinned project a banner goes into the latest container (one is
  // made on the last skin when there is none yet).
  if (p.BannerContainers.Count() > 0) {
    p.BannerContainers.Container(p.BannerContainers.Count() - 1)->AddBanner(b);
  } else if (!p.Skins.empty()) {
    TBannerContainer& c = p.BannerContainers.Add();
    c.Name = "banners";
    c.SkinID = p.Skins.back().ID;
    c.AddBanner(b);
  }
}

}  // namespace

namespace {

// Argument files may name further argument files, up to this depth (a file
// that names itself must not loop).
constexpr int kMaxArgumentFileDepth = 8;

void expandInto(const std::vector<std::string>& args, int depth, std::vector<std::string>& out) {
  for (const std::string& a : args) {
    if (a.size() < 2 || a[0] != '@') {
      out.push_back(a);
      continue;
    }
    if (depth >= kMaxArgumentFileDepth) throw UsageError(a + ": argument files nested too deep");
    const TBytes bytes = ReadFileBytes(a.substr(1));
    std::string text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
      const std::size_t end = text.find('\n', start);
      std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(std::move(line));
      if (end == std::string::npos) break;
      start = end + 1;
    }
    expandInto(lines, depth + 1, out);
  }
}

}  // namespace

std::vector<std::string> expandArgumentFiles(const std::vector<std::string>& args) {
  std::vector<std::string> out;
  expandInto(args, 0, out);
  return out;
}

const char* const kStyleOptionsHelp =
    "  --style 15|19|20|21|49    window style: 15 Default, 20 OfficeXP, 21 Stripes toolbar\n"
    "                            themes, 19 skinned window, 49 full screen\n"
    "  --skin FILE L T W H       a skinned window with this picture (BMP keeps black\n"
    "                            exact: black pixels are not part of the window) and\n"
    "                            board area; implies --style 19\n"
    "  --skin-button L T NORMAL HOVER PRESSED CODE TEXT\n"
    "                            a button on the last skin: three pictures of one size,\n"
    "                            command CODE with parameter TEXT (\"\" for none)\n"
    "  --text-style L T W H FONT SIZE   a clock panel on the last skin (see-through)\n"
    "  --text-colour RRGGBB      the last clock panel's text colour\n"
    "  --text-background RRGGBB  the last clock panel fills with this colour instead\n"
    "  --text-bold               the last clock panel's text in bold\n"
    "  --banner FILE URL MS      a banner shown MS milliseconds; clicking opens URL\n"
    "  --banner-container L T    banners after it go into a container at L T on the\n"
    "                            last skin\n"
    "  --container-banner N      also put the Nth banner (from 1) into the latest container\n"
    "  --menu PATH CODE TEXT     toolbar entry (PATH like \"&Game/&Next\"), command CODE,\n"
    "                            TEXT its parameter (\"\" for none); a last level \"-\" is\n"
    "                            a separator\n"
    "  --popup PATH CODE TEXT    the same for the popup menu\n"
    "  @FILE                     the lines of FILE as arguments, one a line\n";

const std::map<std::string, int>& styleOptionArity() {
  static const std::map<std::string, int> arity = {
      {"--style", 1},          {"--skin", 5},           {"--skin-button", 7},
      {"--text-style", 6},     {"--text-colour", 1},    {"--text-background", 1},
      {"--text-bold", 0},      {"--banner", 3},         {"--banner-container", 2},
      {"--container-banner", 1}, {"--menu", 3},         {"--popup", 3}};
  return arity;
}

bool isLateStyleOption(const std::string& name) {
  return name == "--style";
}

bool applyStyleOption(TJigsawProject2& p, const std::string& name,
                      const std::vector<std::string>& v) {
  if (name == "--style") {
    const std::int32_t style = integer(v[0], "--style", 0, 65535);
    if (style != kStyleDefault && style != kStyleSkinned && style != kStyleOfficeXP &&
        style != kStyleStripes && style != kStyleFullScreen)
      throw UsageError("--style takes 15, 19, 20, 21 or 49");
    p.WindowStyle = std::uint16_t(style);
  } else if (name == "--skin") {
    TSkinEntry& skin = p.NewSkinEntry();
    skin.Kind = kStyleSkinned;
    skin.Image = skinPicture(v[0]);
    skin.BoardArea = {coordinate(v[1], "--skin L"), coordinate(v[2], "--skin T"),
                      extent(v[3], "--skin W"), extent(v[4], "--skin H")};
    p.WindowStyle = kStyleSkinned;
    if (p.Skins.size() == 1) p.BoardArea = skin.BoardArea;
  } else if (name == "--skin-button") {
    addSkinButton(p, v);
  } else if (name == "--text-style") {
    TTextStyle t;
    t.ID = std::int32_t(p.TextStyles.size()) + 1;
    t.SkinID = lastSkin(p, name).ID;
    t.Left = coordinate(v[0], "--text-style L");
    t.Top = coordinate(v[1], "--text-style T");
    t.Width = extent(v[2], "--text-style W");
    t.Height = extent(v[3], "--text-style H");
    t.SeeThrough = 1;
    t.Font.Name = v[4];
    t.Font.Size = integer(v[5], "--text-style SIZE", 1, 400);
    p.TextStyles.push_back(std::move(t));
  } else if (name == "--text-colour") {
    lastTextStyle(p, name).Font.Color = colour(v[0], name);
  } else if (name == "--text-background") {
    TTextStyle& t = lastTextStyle(p, name);
    t.BackgroundColor = colour(v[0], name);
    t.SeeThrough = 0;
  } else if (name == "--text-bold") {
    lastTextStyle(p, name).Font.Style |= 1;
  } else if (name == "--banner") {
    addBanner(p, v);
  } else if (name == "--banner-container") {
    TBannerContainer& c = p.BannerContainers.Add();
    c.SkinID = lastSkin(p, name).ID;
    c.Name = "banners " + std::to_string(p.BannerContainers.Count());
    c.Left = coordinate(v[0], "--banner-container L");
    c.Top = coordinate(v[1], "--banner-container T");
  } else if (name == "--container-banner") {
    if (p.BannerContainers.Count() == 0) throw UsageError(name + " needs a --banner-container");
    const std::int32_t n = integer(v[0], name, 1, std::int64_t(p.Banners.Count()));
    p.BannerContainers.Container(p.BannerContainers.Count() - 1)
        ->AddBanner(*p.Banners.Banner(std::size_t(n - 1)));
  } else if (name == "--menu" || name == "--popup") {
    addMenu(p, name == "--menu" ? 0 : 1, v[0], v[1], v[2]);
  } else {
    return false;
  }
  return true;
}

}  // namespace duduri::pack
