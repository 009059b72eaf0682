#pragma once
// The file kinds `duduri-pack dump` and `duduri-pack info` understand. Each
// kind registers itself from its own file with DUDURI_DUMP_KIND; the tools
// try them by rank (lower first) and use the first whose matcher accepts the
// file's bytes, so a new kind is added without touching the others. A file
// that no matcher accepts goes to the kind its extension names, if any, so
// that the reader of that format says what is wrong with it.
//
// A kind that cannot read a file throws, with the reader's message: the
// tools then exit non-zero with that message on standard error and write
// nothing else.

#include <functional>
#include <string>
#include <vector>

#include "common/Json.h"
#include "project/ByteStream.h"

namespace duduri::pack {

struct DumpKind {
  const char* name;
  int rank;                         // specific formats low, catch-all formats high
  bool (*matches)(TByteSpan file);  // recognises the file by content
  // Writes one JSON object; `fileName` is the name to use in messages.
  void (*dump)(TByteSpan file, const std::string& fileName, tools::JsonWriter& json);
  // Prints a short summary for people to standard output.
  void (*summarise)(TByteSpan file, const std::string& fileName);
  // The extension (lower case, with the dot) of files of this kind that the
  // kind reads even when their content is not recognised; nullptr for none.
  const char* extension = nullptr;
};

bool registerDumpKind(const DumpKind& kind);
std::vector<DumpKind> dumpKinds();  // sorted by rank

// The kind for a file: by content, else by the extension of `fileName`;
// nullptr when neither says.
const DumpKind* dumpKindFor(TByteSpan file, const std::string& fileName);

// Runs a kind's reader; when it throws, prints "duduri-pack COMMAND: FILE:
// message" (the name left out when the message names the file already) to
// standard error and returns false.
bool runReader(const char* command, const std::string& fileName, const std::function<void()>& read);

// The human summary of a project package, package body or executable with a
// package.
void summariseProject(TByteSpan file, const std::string& fileName);

}  // namespace duduri::pack

#define DUDURI_DUMP_KIND(ident, ...) \
  static const bool ident##_dump_registered = ::duduri::pack::registerDumpKind({__VA_ARGS__})
