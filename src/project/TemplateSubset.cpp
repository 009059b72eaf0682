#include "project/TemplateSubset.h"

#include <algorithm>

#include "project/PieceValues.h"
#include "project/Project.h"
#include "project/Zlib.h"

namespace duduri {

namespace {

TBytes shortBytes(TByteReader& in) {
  return in.CopyBytes(in.U16());
}

}  // namespace

TRawTemplateSet ParseTemplateSet(TByteSpan stored) {
  TByteReader outer(stored);
  const TByteSpan compressed = outer.Bytes(outer.Length());
  std::optional<TBytes> body = InflateBounded(compressed, InflateLimitFor(compressed.size()));
  if (!body) throw EProjectFormatError("The template set is not a valid zlib stream.");
  TByteReader in(*body);
  TRawTemplateSet set;
  const std::uint8_t n = in.U8();
  for (int i = 0; i < n; ++i) {
    const std::uint8_t w = in.U8();
    set.Grid.emplace_back(w, in.U8());
  }
  const std::uint16_t m = in.U16();
  set.Templates.reserve(std::min<std::size_t>(m, in.Remaining() / 7));
  for (int i = 0; i < m; ++i) {
    TRawTemplate t;
    t.Width = in.U8();
    t.Height = in.U8();
    t.MaskA = shortBytes(in);
    t.MaskB = shortBytes(in);
    t.Flags = in.U8();
    set.Templates.push_back(std::move(t));
  }
  return set;
}

TBytes CompressTemplateSet(const TRawTemplateSet& set) {
  if (set.Grid.size() > 255 || set.Templates.size() > 65535)
    throw EProjectFormatError("The template set has too many entries.");
  TByteWriter out;
  out.U8(std::uint8_t(set.Grid.size()));
  for (auto [w, h] : set.Grid) {
    out.U8(w);
    out.U8(h);
  }
  out.U16(std::uint16_t(set.Templates.size()));
  for (const TRawTemplate& t : set.Templates) {
    out.U8(t.Width);
    out.U8(t.Height);
    out.U16(std::uint16_t(t.MaskA.size()));
    out.Bytes(t.MaskA);
    out.U16(std::uint16_t(t.MaskB.size()));
    out.Bytes(t.MaskB);
    out.U8(t.Flags);
  }
  return DeflateDefault(out.Data());
}

TRawTemplateSet RestrictTemplateSet(const TRawTemplateSet& master,
                                    const std::vector<int>& usedEntries) {
  TRawTemplateSet set;
  for (std::size_t newIndex = 0; newIndex < usedEntries.size(); ++newIndex) {
    const int key = usedEntries[newIndex];
    set.Grid.push_back(master.Grid.at(std::size_t(key)));
    for (const TRawTemplate& t : master.Templates) {
      if (t.GridIndex() != key) continue;
      TRawTemplate copy = t;
      copy.Flags = std::uint8_t((t.Flags & 0x80) | (newIndex & 0x7F));
      set.Templates.push_back(std::move(copy));
    }
  }
  return set;
}

std::vector<int> UsedGridEntries(const TJigsawProject2& project, TByteSpan masterStored,
                                 const TRawTemplateSet& master) {
  std::vector<int> used;
  const TProjectCutServices& s = ProjectCutServices();
  if (!s.ChooseGrid) {
    for (std::size_t i = 0; i < master.Grid.size() && i < 128; ++i) used.push_back(int(i));
    return used;
  }
  std::vector<TPictureSize> sizes;
  for (const TBMPData& entry : project.Pictures) {
    if (!IsPictureId(entry.ID)) continue;
    try {
      sizes.push_back(ReadPictureSize(entry.Data));
    } catch (const EDuduriError&) {
      // a picture that cannot be read is never cut either
    }
  }
  if (sizes.empty()) return used;
  for (const std::int32_t key : s.ChooseGrid(masterStored, sizes)) {
    if (key < 0 || std::size_t(key) >= master.Grid.size()) continue;
    if (std::find(used.begin(), used.end(), key) == used.end()) used.push_back(key);
  }
  return used;
}

TBytes BuildProjectTemplateSet(const TJigsawProject2& project, TByteSpan masterStored) {
  const TRawTemplateSet master = ParseTemplateSet(masterStored);
  return CompressTemplateSet(
      RestrictTemplateSet(master, UsedGridEntries(project, masterStored, master)));
}

}  // namespace duduri
