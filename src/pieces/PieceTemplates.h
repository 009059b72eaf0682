#pragma once
// Edge templates and the template-set format.
//
// A template set is stored as an i32 length followed by that many bytes of a
// zlib stream. Decompressed it holds the grid table (u8 count, then u8 width
// and u8 height per entry: the piece sizes in pixels) and the templates (u16
// count, then per template u8 Width, u8 Height, u16 size and bytes of MaskA,
// u16 size and bytes of MaskB, and a flags byte whose bit 7 marks a vertical
// template and whose low seven bits name its grid entry). All integers are
// little-endian.
//
// A mask is a row-by-row run code over Height rows of Width columns (see
// PaintEdge). A piece paints MaskA on its top and right edges and MaskB on its
// bottom and left edges, so a horizontal template's MaskB belongs to the upper
// piece and its MaskA to the lower one, and a vertical template's MaskA to the
// left piece and its MaskB to the right one.
//
// The readers take data from outside: every count is checked against what
// remains, inflation stops at kMaxTemplateSetBytes, and every failure is an
// ETemplateError whose message starts with "Invalid template set: ". A set is
// parsed whole into a fresh object before anything is handed back.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <vector>

#include "pieces/PieceErrors.h"

namespace duduri {

// One grid table entry: the piece cell size in pixels.
struct TGridEntry {
  std::uint8_t Width = 0;
  std::uint8_t Height = 0;
  friend bool operator==(const TGridEntry&, const TGridEntry&) = default;
};

// One edge shape. The cutter reads Width and Height to place it and the masks
// to paint it; a template is never drawn as a picture.
struct TPzPieceTemplate {
  std::uint16_t Width = 0;   // extent along x in pixels
  std::uint16_t Height = 0;  // extent along y in pixels
  std::vector<std::uint8_t> MaskA;
  std::vector<std::uint8_t> MaskB;
  bool Vertical = false;        // serves a left/right edge
  std::uint16_t GridIndex = 0;  // 0..127, the grid entry it belongs to

  std::size_t MaskASize() const { return MaskA.size(); }
  std::size_t MaskBSize() const { return MaskB.size(); }
  friend bool operator==(const TPzPieceTemplate&, const TPzPieceTemplate&) = default;
};

struct TTemplateSet {
  std::vector<TGridEntry> GridTable;
  std::vector<TPzPieceTemplate> Templates;
  friend bool operator==(const TTemplateSet&, const TTemplateSet&) = default;
};

// A template set is small; anything that inflates past this is refused.
inline constexpr std::size_t kMaxTemplateSetBytes = std::size_t(64) << 20;
// The stored form never needs more compressed bytes than this.
inline constexpr std::size_t kMaxTemplateSetStoredBytes = kMaxTemplateSetBytes + (1 << 20);

// Reads the stored form (i32 length, zlib body) from the start of data.
// consumed, when given, receives the bytes taken (4 + length); bytes after
// the body are left to the caller.
TTemplateSet ReadTemplateSet(std::span<const std::byte> data, std::size_t* consumed = nullptr);
// The same from a stream positioned at the length field; the stream is left
// just after the body.
TTemplateSet ReadTemplateSet(std::istream& in);
TTemplateSet ReadTemplateSetFile(const std::filesystem::path& path);

// The decompressed content alone (grid table and templates).
TTemplateSet ParseTemplateBody(std::span<const std::byte> body);

// Writes the stored form. level is a zlib level (-1 = zlib's default, which
// packages use). Throws ETemplateError when the set does not fit the format
// (more than 255 grid entries or 65535 templates, a side above 255, a mask
// above 65535 bytes, a grid index above 127).
std::vector<std::byte> WriteTemplateSet(const TTemplateSet& set, int level = -1);
std::vector<std::byte> EncodeTemplateBody(const TTemplateSet& set);

// Number of mask bytes that the run code of Height rows of Width columns
// takes, or throws ETemplateError naming `what` when the runs need more bytes
// than the mask holds. An empty mask takes 0.
std::size_t CheckMaskRuns(std::span<const std::uint8_t> mask, int width, int height,
                          const char* what);

}  // namespace duduri
