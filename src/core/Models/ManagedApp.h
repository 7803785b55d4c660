// One application in one pane of a workspace. Its id is the pane id that window bindings refer
// to. The bookmark and the icon are opaque bytes made and read by the app registry.
#pragma once

#include <optional>
#include <string>

#include "Models/AppRole.h"
#include "Models/SizeModel.h"
#include "Models/Uuid.h"
#include "Platform/Types.h"

namespace zelvorn {

struct ManagedApp {
  Uuid id;
  std::string displayName;
  std::string bundleIdentifier;
  std::optional<Bytes> appURLBookmark;
  std::optional<std::string> appPath;
  // A PNG of the application icon, 128 × 128 when the program made it.
  std::optional<Bytes> iconData;
  std::optional<std::string> preferredPaneId;
  AppRole role = AppRole::secondary;
  // The smallest window size the application was seen to accept.
  std::optional<SizeModel> observedMinSize;
  // What the application's window showed when last recorded; reopened on show.
  std::optional<std::string> lastDocumentPath;

  bool operator==(const ManagedApp&) const = default;
};

}  // namespace zelvorn
