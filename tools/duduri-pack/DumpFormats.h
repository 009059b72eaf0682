#pragma once
// The file kinds `duduri-pack dump` understands. Each kind registers itself
// from its own file with DUDURI_DUMP_KIND; dump tries them by rank (lower
// first) and uses the first whose matcher accepts the file's bytes, so a new
// kind is added without touching the others.

#include <vector>

#include "common/Json.h"
#include "project/ByteStream.h"

namespace duduri::pack {

struct DumpKind {
  const char* name;
  int rank;                         // specific formats low, catch-all formats high
  bool (*matches)(TByteSpan file);  // recognises the file by content
  void (*dump)(TByteSpan file, tools::JsonWriter& json);  // writes one JSON object
};

bool registerDumpKind(const DumpKind& kind);
std::vector<DumpKind> dumpKinds();  // sorted by rank

}  // namespace duduri::pack

#define DUDURI_DUMP_KIND(ident, ...) \
  static const bool ident##_dump_registered = ::duduri::pack::registerDumpKind({__VA_ARGS__})
