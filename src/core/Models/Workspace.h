// A named group of applications in pane order, with its layout and the geometry the program
// remembered for it. A plain value: the workspace manager is the only writer of the stored list.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Models/Layout.h"
#include "Models/LayoutCheckpoint.h"
#include "Models/ManagedApp.h"
#include "Models/RectModel.h"
#include "Models/ShortcutConfig.h"
#include "Models/Uuid.h"
#include "Platform/Geometry.h"

namespace zelvorn {

struct Workspace {
  Uuid id;
  std::string name;
  // Pane order: the app at index i occupies pane i.
  std::vector<ManagedApp> apps;
  Layout layout;
  // Kept beside `primaryAppID` as a fallback.
  std::optional<std::string> primaryAppBundleIdentifier;
  std::optional<Uuid> primaryAppID;
  std::optional<ShortcutConfig> shortcut;
  // AX space.
  std::optional<RectModel> lastContainerFrame;
  // Container rectangle per display arrangement, keyed by the topology fingerprint.
  std::optional<std::map<std::string, RectModel>> topologyFrames;
  std::optional<LayoutCheckpoint> savedLayout;
  bool isEnabled = true;

  bool operator==(const Workspace&) const = default;

  // The app matching `primaryAppID`, else the first matching `primaryAppBundleIdentifier`, else
  // the first app; none without apps.
  std::optional<ManagedApp> primaryApp() const;
  std::optional<std::size_t> primaryAppIndex() const;
  // The remembered container for a display arrangement, when it has a real size.
  std::optional<AXRect> homeFrame(const std::optional<std::string>& topology) const;
  std::string appsSummary() const;
};

}  // namespace zelvorn
