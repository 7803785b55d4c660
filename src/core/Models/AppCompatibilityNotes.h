// Known behaviours of particular applications that the workspace builder warns about, keyed by
// bundle identifier.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Models/ManagedApp.h"

namespace zelvorn {

struct AppCompatibilityNotes {
  struct Note {
    std::string title;
    std::string message;
    bool operator==(const Note&) const = default;
  };

  struct Row {
    std::string appName;
    Note note;
    bool operator==(const Row&) const = default;
  };

  static const Note* note(std::string_view bundleIdentifier);
  // One row per noted bundle identifier, at its first app, in app order.
  static std::vector<Row> notes(const std::vector<ManagedApp>& apps);
};

}  // namespace zelvorn
