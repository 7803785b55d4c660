// A menu as plain data: titled items with an action id and a key equivalent, separators and
// submenus. The core builds it; a backend draws it and reports the chosen item's action id.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelvorn {

// A key and the modifiers held with it, e.g. Command-Shift-Z is {"z", command, shift}.
struct KeyEquivalent {
  std::string key;
  bool command = true;
  bool shift = false;
  bool option = false;
  bool control = false;
  bool operator==(const KeyEquivalent&) const = default;
};

struct MenuItemModel {
  std::string title;
  // What choosing the item does ("terminate:", "copy:", …); empty for an item that only opens
  // its submenu, or for a separator.
  std::string actionId;
  std::optional<KeyEquivalent> key;
  bool isSeparator = false;
  bool enabled = true;
  std::vector<MenuItemModel> submenu;
  bool operator==(const MenuItemModel&) const = default;

  static MenuItemModel separator() {
    MenuItemModel item;
    item.isSeparator = true;
    return item;
  }
};

struct MenuModel {
  std::vector<MenuItemModel> items;
  bool operator==(const MenuModel&) const = default;
};

}  // namespace zelvorn
