#pragma once
// The template set a package carries: the master set restricted to the grid
// entries the project's pictures use, re-indexed in the order they were met.
//
// Stored form (file and chunk alike): i32 length, then a zlib stream of
//   u8 N, N x (u8 width, u8 height), u16 M, M templates of
//   u8 Width, u8 Height, u16 A, A bytes MaskA, u16 B, B bytes MaskB,
//   u8 flags (bit 7 vertical, bits 0..6 the grid entry).

#include <cstdint>
#include <vector>

#include "project/ByteStream.h"

namespace duduri {

class TJigsawProject2;

struct TRawTemplate {
  std::uint8_t Width = 0;
  std::uint8_t Height = 0;
  TBytes MaskA;
  TBytes MaskB;
  std::uint8_t Flags = 0;
  int GridIndex() const { return Flags & 0x7F; }
};

struct TRawTemplateSet {
  std::vector<std::pair<std::uint8_t, std::uint8_t>> Grid;
  std::vector<TRawTemplate> Templates;
};

// Parses a stored template set (length and zlib body); throws
// EProjectFormatError on anything malformed.
TRawTemplateSet ParseTemplateSet(TByteSpan stored);
// The zlib body of a set (without the length in front).
TBytes CompressTemplateSet(const TRawTemplateSet& set);

// Keeps the grid entries listed (master indices, in that order) and their
// templates, each template's grid index replaced by the entry's new index.
TRawTemplateSet RestrictTemplateSet(const TRawTemplateSet& master,
                                    const std::vector<int>& usedEntries);

// The grid entries the pictures of a project use at the six difficulties,
// in the order first met (needs the grid-choice service, PieceValues.h;
// without it every entry of the master set is kept).
std::vector<int> UsedGridEntries(const TJigsawProject2& project, TByteSpan masterStored,
                                 const TRawTemplateSet& master);

// The payload of chunk 8081 for a project: its master set restricted.
TBytes BuildProjectTemplateSet(const TJigsawProject2& project, TByteSpan masterStored);

}  // namespace duduri
