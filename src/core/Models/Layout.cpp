#include "Models/Layout.h"

namespace zelvorn {

namespace {

bool hasValues(const std::optional<std::vector<double>>& v) {
  return v && !v->empty();
}

}  // namespace

std::string Layout::displayName() const {
  if (threeColumns) return "Three Columns";
  return std::string(zelvorn::displayName(type));
}

Layout Layout::foldingThreeColumns(bool folded) const {
  if (!threeColumns || threeColumns->folded == folded) return *this;
  const auto& target = folded ? oneLeftTwoRightDefaultRatios : threeColumnsDefaultRatios;
  const auto& leaving = folded ? threeColumnsDefaultRatios : oneLeftTwoRightDefaultRatios;
  Layout out = *this;
  out.ratios = hasValues(threeColumns->parkedRatios) ? *threeColumns->parkedRatios : target;
  out.threeColumns = ThreeColumnsState{folded, hasValues(ratios) ? *ratios : leaving};
  return out;
}

}  // namespace zelvorn
