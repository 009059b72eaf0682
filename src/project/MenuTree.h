#pragma once
// The project's menu records. TMenuExRec is a tree (children nested in their
// parent); TMenuRec is the flat record of older projects, read and kept but
// not written.
//
// Menu-tree stream: i32 count, then count records, each: i32 id, i32 parent
// id, u8 menu number, name, caption, u8 visible, i32 command code, i32 L + L
// bytes script-item stream (L = 0: none), i32 value, then the children as a
// nested menu-tree stream. The older form has no script-item bytes. Trees
// deeper than kMaxMenuDepth levels are refused; nothing recurses further.

#include <cstdint>
#include <string>
#include <vector>

#include "project/ByteStream.h"
#include "project/Scripts.h"

namespace duduri {

inline constexpr int kMaxMenuDepth = 256;

enum class TMenuStreamForm { msfCurrent, msfOlder };

struct TMenuExRec {
  std::int32_t ID = 0;
  std::int32_t ParentID = 0;
  std::uint8_t MenuNumber = 0;  // 0 the toolbar menu, 1 the popup menu
  std::string Name;
  std::string Caption;  // empty: Name is shown; "-": a separator
  std::uint8_t Visible = 1;
  TScriptItem Script;  // code -1: no command
  std::int32_t Value = 0;
  std::vector<TMenuExRec> Children;
};

struct TMenuRec {
  std::string Name;
  std::string Caption;
  std::uint8_t Flag = 0;
};

using TMenuTree = std::vector<TMenuExRec>;

void WriteMenuTree(TByteWriter& out, const TMenuTree& tree);
TBytes MenuTreeBytes(const TMenuTree& tree);
// Reads one menu-tree stream (with its nested children) from in.
TMenuTree ReadMenuTree(TByteReader& in, TMenuStreamForm form);

// Older flat records until the stream is used up.
std::vector<TMenuRec> ReadFlatMenuRecords(TByteReader& in);

// Every record at every level, parents before children.
template <typename Fn>
void ForEachMenuRecord(const TMenuTree& tree, Fn&& fn);
// The depth of the deepest record (0 for an empty tree).
int MenuTreeDepth(const TMenuTree& tree);

// ---- implementation --------------------------------------------------------

template <typename Fn>
void ForEachMenuRecord(const TMenuTree& tree, Fn&& fn) {
  // An explicit stack: a tree built in memory may be deeper than the call
  // stack allows.
  std::vector<const TMenuExRec*> stack;
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) stack.push_back(&*it);
  while (!stack.empty()) {
    const TMenuExRec* r = stack.back();
    stack.pop_back();
    fn(*r);
    for (auto it = r->Children.rbegin(); it != r->Children.rend(); ++it) stack.push_back(&*it);
  }
}

}  // namespace duduri
