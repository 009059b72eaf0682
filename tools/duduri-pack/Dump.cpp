// duduri-pack dump FILE: a complete canonical JSON description of a file,
// its kind recognised by content (see DumpFormats.h).

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "DumpFormats.h"
#include "Subcommand.h"
#include "common/Args.h"
#include "common/Sha256.h"
#include "raster/Picture.h"

namespace duduri::pack {

namespace {

std::vector<DumpKind>& registry() {
  static std::vector<DumpKind> kinds;
  return kinds;
}

std::string lowerExtension(const std::string& fileName) {
  std::string extension = std::filesystem::path(fileName).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return extension;
}

int runDump(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack dump FILE [--out JSON]\n\n"
        "Writes every field and list of FILE as canonical JSON (byte blobs as their\n"
        "length and SHA-256). FILE is recognised by content:");
    for (const DumpKind& k : dumpKinds()) std::printf(" %s;", k.name);
    std::printf(
        "\nwithout --out the JSON goes to standard output. A file that cannot be read\n"
        "gives its reader's message on standard error and exit status 1.\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {"--out"});
  if (a.positional().size() != 1) throw tools::UsageError("dump takes one FILE");
  const std::string& name = a.positional()[0];
  const TBytes bytes = ReadFileBytes(name);
  const DumpKind* kind = dumpKindFor(bytes, name);
  if (!kind) {
    std::fprintf(stderr, "duduri-pack dump: %s: not a file kind duduri-pack knows\n", name.c_str());
    return 1;
  }
  tools::JsonWriter json;
  if (!runReader("dump", name, [&] { kind->dump(bytes, name, json); })) return 1;
  if (const auto out = a.value("--out")) {
    const std::string& text = json.str();
    WriteFileAtomically(*out, {reinterpret_cast<const std::byte*>(text.data()), text.size()});
  } else {
    std::fwrite(json.str().data(), 1, json.str().size(), stdout);
  }
  return 0;
}

}  // namespace

bool registerDumpKind(const DumpKind& kind) {
  registry().push_back(kind);
  return true;
}

std::vector<DumpKind> dumpKinds() {
  std::vector<DumpKind> kinds = registry();
  std::stable_sort(kinds.begin(), kinds.end(),
                   [](const DumpKind& a, const DumpKind& b) { return a.rank < b.rank; });
  return kinds;
}

bool runReader(const char* command, const std::string& fileName,
               const std::function<void()>& read) {
  try {
    read();
    return true;
  } catch (const std::exception& e) {
    const std::string message = e.what();
    if (message.find(fileName) != std::string::npos) {
      std::fprintf(stderr, "duduri-pack %s: %s\n", command, message.c_str());
    } else {
      std::fprintf(stderr, "duduri-pack %s: %s: %s\n", command, fileName.c_str(), message.c_str());
    }
    return false;
  }
}

const DumpKind* dumpKindFor(TByteSpan file, const std::string& fileName) {
  static const std::vector<DumpKind> kinds = dumpKinds();
  for (const DumpKind& kind : kinds) {
    if (kind.matches(file)) return &kind;
  }
  const std::string extension = lowerExtension(fileName);
  for (const DumpKind& kind : kinds) {
    if (kind.extension && extension == kind.extension) return &kind;
  }
  return nullptr;
}

DUDURI_SUBCOMMAND(dump, "dump", "describe a project, package or executable as JSON", runDump);

}  // namespace duduri::pack
