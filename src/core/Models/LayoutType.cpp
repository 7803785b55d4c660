#include "Models/LayoutType.h"

namespace zelvorn {

namespace {

struct Row {
  std::string_view raw;
  int panes;
  std::string_view name;
  bool selectable;
};

constexpr std::array<Row, 9> kRows = {{
    {"leftRightSplit", 2, "Left / Right Split", true},
    {"topBottomSplit", 2, "Top / Bottom Split", true},
    {"grid2x2", 4, "2 \u00D7 2 Grid", true},
    {"mainSidebar", 2, "Main + Sidebar", false},
    {"threeTopTwoBottomOne", 3, "2 Top / 1 Bottom", true},
    {"threeTopOneBottomTwo", 3, "1 Top / 2 Bottom", true},
    {"threeLeftTwoRightOne", 3, "2 Left / 1 Right", true},
    {"threeLeftOneRightTwo", 3, "1 Left / 2 Right", true},
    {"threeColumns", 3, "Three Columns", false},
}};

const Row& row(LayoutType t) {
  return kRows[static_cast<std::size_t>(t)];
}

}  // namespace

std::string_view rawValue(LayoutType type) {
  return row(type).raw;
}

std::optional<LayoutType> layoutTypeFromRawValue(std::string_view raw) {
  for (auto t : kAllLayoutTypes)
    if (row(t).raw == raw) return t;
  return std::nullopt;
}

int paneCount(LayoutType type) {
  return row(type).panes;
}
std::string_view displayName(LayoutType type) {
  return row(type).name;
}
bool isSelectableInSettings(LayoutType type) {
  return row(type).selectable;
}

const std::array<LayoutType, 8>& offeredInPickers() {
  static constexpr std::array<LayoutType, 8> kOffered = {
      LayoutType::leftRightSplit,
      LayoutType::topBottomSplit,
      LayoutType::threeTopTwoBottomOne,
      LayoutType::threeTopOneBottomTwo,
      LayoutType::threeLeftTwoRightOne,
      LayoutType::threeLeftOneRightTwo,
      LayoutType::grid2x2,
      LayoutType::threeColumns,
  };
  return kOffered;
}

}  // namespace zelvorn
