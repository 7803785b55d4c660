#include "Accessibility/NewWindowCapability.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace zelvorn {

void NewWindowCapability::rememberUnable(std::string_view bundleID, IKeyValueStore& defaults) {
  auto stored = defaults.stringArray(kDefaultsKey).value_or(std::vector<std::string>{});
  std::set<std::string> ids(stored.begin(), stored.end());
  if (!ids.insert(std::string(bundleID)).second) return;
  defaults.set(kDefaultsKey, std::vector<std::string>(ids.begin(), ids.end()));
}

bool NewWindowCapability::isUnable(std::string_view bundleID, const IKeyValueStore& defaults) {
  auto stored = defaults.stringArray(kDefaultsKey);
  return stored && std::find(stored->begin(), stored->end(), bundleID) != stored->end();
}

}  // namespace zelvorn
