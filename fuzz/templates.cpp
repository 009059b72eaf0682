// Template-set reader and cutter: any input either loads or fails with
// ETemplateError; what loads is written back and read again unchanged, and
// cutting a small picture with it never touches memory outside its buffers.
// The input is tried both in its stored form (length and zlib body) and as a
// decompressed body, so mutations reach the parser without valid zlib.
#include <algorithm>
#include <cstdlib>
#include <optional>

#include "pieces/PieceCollection.h"
#include "pieces/PieceTemplates.h"
#include "pieces/Random.h"

namespace {

using namespace duduri;

void cutWith(const TTemplateSet& set) {
  // A small input may inflate to megabytes; writing those back three times
  // would only slow the fuzzer down.
  if (EncodeTemplateBody(set).size() < (1u << 20)) {
    const std::vector<std::byte> stored = WriteTemplateSet(set);
    if (WriteTemplateSet(ReadTemplateSet(stored)) != stored) std::abort();
  }
  TPzJigsawPieceCollection c;
  c.SetErrorReporter([](const std::string&) {});
  c.AddTemplateSet(set);
  c.Picture().SetSize(48, 36);
  c.Picture().Clear(0xFF336699);
  RandSeed(1);
  try {
    c.SetDifficulty(0);
    c.ChooseGrid();
    c.LayoutPieces();
  } catch (const ETemplateError&) {
  }
  // Every template on every side of one cell, whatever its orientation.
  if (c.GridCount() == 0) return;
  c.SelectGrid(0);
  TBitmap32 piece;
  const int n = std::min(c.TemplateCount(), 6);
  for (int i = -1; i < n; ++i)
    c.CutPiece(c.ScaledPicture(), piece, i, n - 1 - i, i, (i + 2) % (n + 1) - 1, 3, -2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(data), size);
  for (int form = 0; form < 2; ++form) {
    std::optional<TTemplateSet> set;
    try {
      set = form == 0 ? ReadTemplateSet(bytes) : ParseTemplateBody(bytes);
    } catch (const ETemplateError&) {
      continue;
    }
    cutWith(*set);
  }
  return 0;
}
