// duduri-pack dump FILE: a complete canonical JSON description of a file,
// its kind recognised by content (see DumpFormats.h).

#include <algorithm>
#include <cstdio>

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

int runDump(const std::vector<std::string>& args) {
  if (wantsHelp(args)) {
    std::printf(
        "usage: duduri-pack dump FILE [--out JSON]\n\n"
        "Writes every field and list of FILE as canonical JSON (byte blobs as their\n"
        "length and SHA-256). FILE is recognised by content:");
    for (const DumpKind& k : dumpKinds()) std::printf(" %s;", k.name);
    std::printf("\nwithout --out the JSON goes to standard output.\n");
    return 0;
  }
  const tools::ParsedArgs a = tools::parseArgs(args, {"--out"});
  if (a.positional().size() != 1) throw tools::UsageError("dump takes one FILE");
  const TBytes bytes = ReadFileBytes(a.positional()[0]);
  for (const DumpKind& kind : dumpKinds()) {
    if (!kind.matches(bytes)) continue;
    tools::JsonWriter json;
    kind.dump(bytes, json);
    if (const auto out = a.value("--out")) {
      const std::string& text = json.str();
      WriteFileAtomically(*out, {reinterpret_cast<const std::byte*>(text.data()), text.size()});
    } else {
      std::fwrite(json.str().data(), 1, json.str().size(), stdout);
    }
    return 0;
  }
  std::fprintf(stderr, "duduri-pack dump: %s: not a file kind duduri-pack knows\n",
               a.positional()[0].c_str());
  return 1;
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

DUDURI_SUBCOMMAND(dump, "dump", "describe a project, package or executable as JSON", runDump);

}  // namespace duduri::pack
