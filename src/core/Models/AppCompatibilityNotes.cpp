#include "Models/AppCompatibilityNotes.h"

#include <set>

namespace zelvorn {

namespace {

struct Entry {
  std::string_view bundleIdentifier;
  AppCompatibilityNotes::Note note;
};

const std::vector<Entry>& table() {
  static const std::vector<Entry> kTable = {
      {"com.google.GeminiMacOS",
       {"Gemini can move its own window",
        "When this workspace moves to another display, Gemini sometimes pulls its window back to "
        "the display it was on. Zelvorn puts it back in its pane \u2014 if the pane is ever left "
        "empty, show the workspace again."}},
  };
  return kTable;
}

}  // namespace

const AppCompatibilityNotes::Note* AppCompatibilityNotes::note(std::string_view bundleIdentifier) {
  for (const auto& e : table())
    if (e.bundleIdentifier == bundleIdentifier) return &e.note;
  return nullptr;
}

std::vector<AppCompatibilityNotes::Row> AppCompatibilityNotes::notes(
    const std::vector<ManagedApp>& apps) {
  std::vector<Row> rows;
  std::set<std::string_view> seen;
  for (const auto& app : apps) {
    if (!seen.insert(app.bundleIdentifier).second) continue;
    if (const Note* n = note(app.bundleIdentifier)) rows.push_back({app.displayName, *n});
  }
  return rows;
}

}  // namespace zelvorn
