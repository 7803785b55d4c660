// The nine pane arrangements, in their fixed declaration order (tables elsewhere are indexed by
// it), with their pane counts, display names and where the pickers offer them.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace zelvorn {

enum class LayoutType {
  leftRightSplit,
  topBottomSplit,
  grid2x2,
  mainSidebar,
  threeTopTwoBottomOne,
  threeTopOneBottomTwo,
  threeLeftTwoRightOne,
  threeLeftOneRightTwo,
  threeColumns,
};

inline constexpr std::array<LayoutType, 9> kAllLayoutTypes = {
    LayoutType::leftRightSplit,
    LayoutType::topBottomSplit,
    LayoutType::grid2x2,
    LayoutType::mainSidebar,
    LayoutType::threeTopTwoBottomOne,
    LayoutType::threeTopOneBottomTwo,
    LayoutType::threeLeftTwoRightOne,
    LayoutType::threeLeftOneRightTwo,
    LayoutType::threeColumns,
};

// The case name, which is also the stored string.
std::string_view rawValue(LayoutType type);
std::optional<LayoutType> layoutTypeFromRawValue(std::string_view raw);
// How many apps the layout is meant for.
int paneCount(LayoutType type);
std::string_view displayName(LayoutType type);
bool isSelectableInSettings(LayoutType type);
// The types the builder and the settings picker offer, in their order.
const std::array<LayoutType, 8>& offeredInPickers();

}  // namespace zelvorn
