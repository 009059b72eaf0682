#include "shell/MenuModel.h"

namespace duduri {

namespace {

std::unique_ptr<TScriptItem> commandOf(const TMenuExRec& record) {
  if (record.Script.Code == kNoCommand) return nullptr;
  auto item = std::make_unique<TScriptItem>();
  item->Assign(record.Script);
  return item;
}

// Menus deeper than a stored tree may be are not shown past that depth; a
// tree built in memory must not take the call stack with it.
void addRecords(const std::vector<TMenuExRec>& records, std::uint8_t menuNumber, int depth,
                std::vector<std::unique_ptr<TMenuNode>>& out) {
  if (depth >= kMaxMenuDepth) return;
  const bool topLevel = depth == 0;
  for (const TMenuExRec& record : records) {
    if (record.MenuNumber != menuNumber) continue;
    auto node = std::make_unique<TMenuNode>();
    node->Caption = record.Caption.empty() ? record.Name : record.Caption;
    if (!record.Children.empty()) {
      node->Kind = TMenuNodeKind::mnSubmenu;
      node->Visible = topLevel || record.Visible != 0;
      node->Command = commandOf(record);
      addRecords(record.Children, menuNumber, depth + 1, node->Children);
    } else if (record.Caption == "-") {
      node->Kind = TMenuNodeKind::mnSeparator;
    } else {
      node->Kind = TMenuNodeKind::mnItem;
      node->Visible = record.Visible != 0;
      node->Command = commandOf(record);
      if (node->Command && topLevel) node->Command->ActualSender = node.get();
    }
    out.push_back(std::move(node));
  }
}

bool contains(const std::vector<std::unique_ptr<TMenuNode>>& nodes, const void* sender) {
  for (const auto& n : nodes) {
    if (n.get() == sender || contains(n->Children, sender)) return true;
  }
  return false;
}

}  // namespace

std::unique_ptr<TMenuModel> TMenuModel::Build(const TMenuTree& tree, std::uint8_t menuNumber) {
  auto model = std::make_unique<TMenuModel>();
  addRecords(tree, menuNumber, 0, model->items_);
  return model;
}

bool TMenuModel::Contains(const void* sender) const {
  return sender != nullptr && contains(items_, sender);
}

bool HasMenuRecords(const TMenuTree& tree) {
  return !tree.empty();
}

}  // namespace duduri
