#include "project/MenuTree.h"

#include <algorithm>

namespace duduri {

namespace {

constexpr std::size_t kMinCurrentRecord = 34;
constexpr std::size_t kMinOlderRecord = 30;

void writeLevel(TByteWriter& out, const TMenuTree& level, int depth) {
  if (depth > kMaxMenuDepth && !level.empty()) throw EProjectFormatError();
  out.I32(CheckedLength(level.size()));
  for (const TMenuExRec& r : level) {
    out.I32(r.ID);
    out.I32(r.ParentID);
    out.U8(r.MenuNumber);
    out.String(r.Name);
    out.String(r.Caption);
    out.U8(r.Visible);
    out.I32(r.Script.Code);
    out.LengthPrefixedBytes(r.Script.StreamBytes());
    out.I32(r.Value);
    writeLevel(out, r.Children, depth + 1);
  }
}

TMenuTree readLevel(TByteReader& in, TMenuStreamForm form, int depth) {
  const std::size_t count =
      in.Count(form == TMenuStreamForm::msfCurrent ? kMinCurrentRecord : kMinOlderRecord);
  if (depth > kMaxMenuDepth && count > 0) throw EProjectFormatError();
  TMenuTree level;
  level.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    TMenuExRec r;
    r.ID = in.I32();
    r.ParentID = in.I32();
    r.MenuNumber = in.U8();
    r.Name = in.String();
    r.Caption = in.String();
    r.Visible = in.U8();
    r.Script.Code = in.I32();
    if (form == TMenuStreamForm::msfCurrent) {
      const std::size_t length = in.Length();
      if (length > 0) {
        TByteReader script(in.Bytes(length));
        r.Script.ReadStream(script);
      }
    }
    r.Value = in.I32();
    r.Children = readLevel(in, form, depth + 1);
    level.push_back(std::move(r));
  }
  return level;
}

}  // namespace

void WriteMenuTree(TByteWriter& out, const TMenuTree& tree) {
  writeLevel(out, tree, 1);
}

TBytes MenuTreeBytes(const TMenuTree& tree) {
  TByteWriter out;
  WriteMenuTree(out, tree);
  return out.Take();
}

TMenuTree ReadMenuTree(TByteReader& in, TMenuStreamForm form) {
  return readLevel(in, form, 1);
}

std::vector<TMenuRec> ReadFlatMenuRecords(TByteReader& in) {
  std::vector<TMenuRec> records;
  while (!in.AtEnd()) {
    TMenuRec r;
    r.Name = in.String();
    r.Caption = in.String();
    r.Flag = in.U8();
    in.Skip(in.Length());
    records.push_back(std::move(r));
  }
  return records;
}

int MenuTreeDepth(const TMenuTree& tree) {
  int deepest = 0;
  std::vector<std::pair<const TMenuTree*, int>> stack{{&tree, 1}};
  while (!stack.empty()) {
    auto [level, depth] = stack.back();
    stack.pop_back();
    if (!level->empty()) deepest = std::max(deepest, depth);
    for (const TMenuExRec& r : *level) stack.push_back({&r.Children, depth + 1});
  }
  return deepest;
}

}  // namespace duduri
