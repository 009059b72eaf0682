// The project kinds of `duduri-pack dump` and `info`: an executable carrying
// a package, an executable without one, a package file (with the 0xDEAD
// prefix) and a bare package body.

#include <cstdio>

#include "DumpFormats.h"
#include "ProjectFiles.h"
#include "common/Sha256.h"
#include "project/Overlay.h"
#include "project/Package.h"
#include "shell/PeResources.h"

namespace duduri::pack {

namespace {

bool looksLikeZlib(TByteSpan f) {
  if (f.size() < 2) return false;
  const auto cmf = std::uint8_t(f[0]);
  const auto flg = std::uint8_t(f[1]);
  return (cmf & 0x0F) == 8 && (cmf >> 4) <= 7 && ((cmf << 8) | flg) % 31 == 0;
}

bool isProgram(TByteSpan f) {
  return IsElfImage(f) || (f.size() >= 2 && std::uint8_t(f[0]) == 'M' && std::uint8_t(f[1]) == 'Z');
}

bool isPrefixed(TByteSpan f) {
  return f.size() >= 8 && std::uint8_t(f[0]) == 0xAD && std::uint8_t(f[1]) == 0xDE;
}

void dumpPackage(TByteSpan package, tools::JsonWriter& json) {
  const TPackageHeader header = ReadPackageHeader(package);
  json.key("header");
  json.beginObject();
  json.field("prefix", header.HasPrefix);
  json.field("previewColumns", header.PreviewColumns);
  json.field("previewRows", header.PreviewRows);
  writeBlob(json, "previewBitmap", header.PreviewBitmap);
  writeBlob(json, "body", header.Body);
  json.endObject();
  TJigsawProject2 project;
  project.LoadFromStream(package);
  json.key("project");
  writeProjectJson(json, project);
}

void beginDump(tools::JsonWriter& json, const char* kind, TByteSpan file) {
  json.beginObject();
  json.field("kind", kind);
  writeBlob(json, "file", file);
}

void dumpExecutable(TByteSpan file, const std::string&, tools::JsonWriter& json) {
  const TOverlayLayout layout = FindOverlay(file);
  beginDump(json, "executable", file);
  json.key("overlay");
  json.beginObject();
  json.field("playerImageSize", layout.PlayerImageSize);
  json.field("packageOffset", layout.PackageOffset);
  json.field("packageSize", layout.PackageSize);
  json.field("extraImages", layout.HasExtraImages);
  if (layout.HasExtraImages) {
    json.field("extraImagesOffset", layout.ExtraImagesOffset);
    json.field("extraImagesSize", layout.ExtraImagesSize);
  }
  json.endObject();
  dumpPackage(*OverlayPackage(file), json);
  json.endObject();
}

// A program, or a file called an executable, that carries no project: what
// it is, not an error.
void dumpBareExecutable(TByteSpan file, const std::string&, tools::JsonWriter& json) {
  beginDump(json, "executable", file);
  json.key("overlay");
  json.null();
  json.field("note", "no project appended");
  json.endObject();
}

void summariseBareExecutable(TByteSpan file, const std::string&) {
  std::printf("executable: %zu bytes, no project appended\n", file.size());
}

void dumpPrefixed(TByteSpan file, const std::string&, tools::JsonWriter& json) {
  beginDump(json, "package", file);
  dumpPackage(file, json);
  json.endObject();
}

void dumpBare(TByteSpan file, const std::string&, tools::JsonWriter& json) {
  beginDump(json, "package body", file);
  dumpPackage(file, json);
  json.endObject();
}

}  // namespace

DUDURI_DUMP_KIND(
    executable, "executable with a project", 50,
    [](TByteSpan f) { return FindOverlay(f).HasPackage; }, dumpExecutable, summariseProject);
DUDURI_DUMP_KIND(bareExecutable, "executable without a project", 55, isProgram, dumpBareExecutable,
                 summariseBareExecutable, ".exe");
DUDURI_DUMP_KIND(package, "project package", 60, isPrefixed, dumpPrefixed, summariseProject);
DUDURI_DUMP_KIND(body, "package without prefix", 90, looksLikeZlib, dumpBare, summariseProject);

}  // namespace duduri::pack
