#pragma once
// The toolbar and the popup menu as the project's menu records describe them,
// built without widgets: the window turns the model into its own menu items
// and calls back with the node that was clicked.
//
// Nodes never move once the model is built, so a node's address identifies
// its menu item for as long as the model lives; it is the "sender" a command
// receives, which is how a command finds the item to check.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/MenuTree.h"
#include "project/Scripts.h"

namespace duduri {

inline constexpr std::uint8_t kToolbarMenu = 0;
inline constexpr std::uint8_t kPopupMenu = 1;

enum class TMenuNodeKind { mnItem, mnSubmenu, mnSeparator };

struct TMenuNode {
  TMenuNodeKind Kind = TMenuNodeKind::mnItem;
  std::string Caption;  // the record's caption, else its name
  bool Visible = true;
  // The command a click runs; nullptr when the record has none (code -1).
  // Top-level nodes carry themselves as the command's sender, nested ones none.
  std::unique_ptr<TScriptItem> Command;
  std::vector<std::unique_ptr<TMenuNode>> Children;  // submenus only
};

class TMenuModel {
 public:
  // The records of one menu number, in list order, children matching the
  // same menu number.
  static std::unique_ptr<TMenuModel> Build(const TMenuTree& tree, std::uint8_t menuNumber);

  const std::vector<std::unique_ptr<TMenuNode>>& Items() const { return items_; }
  bool Empty() const { return items_.empty(); }
  // Whether `sender` is one of this model's nodes (at any depth).
  bool Contains(const void* sender) const;

 private:
  std::vector<std::unique_ptr<TMenuNode>> items_;
};

// Whether the project has any menu records at all.
bool HasMenuRecords(const TMenuTree& tree);

}  // namespace duduri
