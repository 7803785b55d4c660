#include "Core/WorkspaceManager.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "App/Log.h"
#include "Core/TextTrimming.h"

namespace zelvorn {

namespace {

constexpr const char* kDefaultName = "New Workspace";

bool allFinite(const std::optional<std::vector<double>>& values) {
  if (!values) return true;
  return std::all_of(values->begin(), values->end(), [](double v) { return std::isfinite(v); });
}

bool allFinite(const SplitNode& node) {
  const auto* b = node.branch();
  if (!b) return true;
  if (!std::isfinite(b->ratio)) return false;
  return std::all_of(b->children.begin(), b->children.end(),
                     [](const SplitNode& c) { return allFinite(c); });
}

void appendField(std::string& fields, std::string_view name) {
  if (fields.find(name) != std::string::npos) return;
  if (!fields.empty()) fields += ", ";
  fields += name;
}

// A non-finite number can never be written to the file, so it is refused where it enters: each
// offending field keeps its previous value (or is left out when there was none). Returns the
// names of the refused fields.
std::string keepFiniteGeometry(Workspace& incoming, const Workspace* current) {
  std::string refused;
  if (incoming.lastContainerFrame && !incoming.lastContainerFrame->isFinite()) {
    incoming.lastContainerFrame = current ? current->lastContainerFrame : std::nullopt;
    appendField(refused, "lastContainerFrame");
  }
  if (incoming.topologyFrames) {
    auto& frames = *incoming.topologyFrames;
    for (auto it = frames.begin(); it != frames.end();) {
      if (it->second.isFinite()) {
        ++it;
        continue;
      }
      appendField(refused, "topologyFrames");
      const RectModel* previous = nullptr;
      if (current && current->topologyFrames) {
        auto old = current->topologyFrames->find(it->first);
        if (old != current->topologyFrames->end()) previous = &old->second;
      }
      if (previous) {
        it->second = *previous;
        ++it;
      } else {
        it = frames.erase(it);
      }
    }
  }
  if (incoming.savedLayout && (!incoming.savedLayout->containerFrame.isFinite() ||
                               !allFinite(incoming.savedLayout->ratios))) {
    incoming.savedLayout = current ? current->savedLayout : std::nullopt;
    appendField(refused, "savedLayout");
  }
  auto& layout = incoming.layout;
  if (!allFinite(layout.ratios)) {
    layout.ratios = current ? current->layout.ratios : std::nullopt;
    appendField(refused, "ratios");
  }
  if (layout.threeColumns && !allFinite(layout.threeColumns->parkedRatios)) {
    layout.threeColumns->parkedRatios = current && current->layout.threeColumns
                                            ? current->layout.threeColumns->parkedRatios
                                            : std::nullopt;
    appendField(refused, "parkedRatios");
  }
  if (layout.splitTree && !allFinite(*layout.splitTree)) {
    layout.splitTree = current ? current->layout.splitTree : std::nullopt;
    appendField(refused, "splitTree");
  }
  for (auto& app : incoming.apps) {
    if (!app.observedMinSize || app.observedMinSize->isFinite()) continue;
    app.observedMinSize.reset();
    if (current) {
      for (const auto& old : current->apps)
        if (old.id == app.id) app.observedMinSize = old.observedMinSize;
    }
    appendField(refused, "observedMinSize");
  }
  return refused;
}

void logRefused(const std::string& workspaceName, const std::string& fields) {
  Log::line("[Zelvorn] Refused non-finite geometry for workspace " + workspaceName + " (" + fields +
            "); kept the previous values.");
}

// Forgets what was learned for an arrangement that no longer applies.
void forgetLearnedGeometry(Workspace& w) {
  for (auto& app : w.apps)
    app.observedMinSize.reset();
  w.lastContainerFrame.reset();
  w.topologyFrames.reset();
  w.savedLayout.reset();
}

}  // namespace

WorkspaceManager::WorkspaceManager(std::unique_ptr<WorkspaceStore> store,
                                   IAppRepairServices* repairs)
    : store_(std::move(store)), repairs_(repairs) {
  auto loaded = store_->load();
  if (loaded) {
    workspaces_.set(std::move(loaded).value());
  } else {
    Log::line("[Zelvorn] Failed to load workspaces (" + loaded.error().description +
              "); starting empty.");
  }
  if (repairs_) {
    migrateOversizedIcons();
    migrateChangedBundleIDs();
  }
}

std::optional<std::size_t> WorkspaceManager::indexOf(const Uuid& id) const {
  const auto& list = workspaces();
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].id == id) return i;
  return std::nullopt;
}

std::optional<std::size_t> WorkspaceManager::appIndexOf(const Uuid& appID,
                                                        std::size_t workspaceIndex) const {
  const auto& apps = workspaces()[workspaceIndex].apps;
  for (std::size_t k = 0; k < apps.size(); ++k)
    if (apps[k].id == appID) return k;
  return std::nullopt;
}

void WorkspaceManager::save() {
  store_->save(workspaces());
}

void WorkspaceManager::commit(std::vector<Workspace> list) {
  workspaces_.set(std::move(list));
  save();
}

std::optional<Workspace> WorkspaceManager::workspace(const Uuid& id) const {
  if (auto i = indexOf(id)) return workspaces()[*i];
  return std::nullopt;
}

std::string WorkspaceManager::name(const std::optional<Uuid>& of) const {
  if (!of) return "none";
  if (auto i = indexOf(*of)) return workspaces()[*i].name;
  return of->string();
}

std::string WorkspaceManager::uniqueName(std::string_view base) const {
  auto taken = [this](std::string_view candidate) {
    return std::any_of(workspaces().begin(), workspaces().end(),
                       [&](const Workspace& w) { return w.name == candidate; });
  };
  if (!taken(base)) return std::string(base);
  for (int n = 2;; ++n) {
    std::string candidate = std::string(base) + " " + std::to_string(n);
    if (!taken(candidate)) return candidate;
  }
}

Workspace WorkspaceManager::createWorkspace(std::string_view name) {
  std::string trimmed = trimmingWhitespaceAndNewlines(name);
  if (trimmed.empty()) trimmed = kDefaultName;
  Workspace w;
  w.id = Uuid::random();
  w.name = uniqueName(trimmed);
  w.layout.type = LayoutType::leftRightSplit;
  w.isEnabled = true;
  auto list = workspaces();
  list.push_back(w);
  commit(std::move(list));
  return w;
}

void WorkspaceManager::renameWorkspace(const Uuid& id, std::string_view to) {
  auto i = indexOf(id);
  if (!i) return;
  std::string trimmed = trimmingWhitespaceAndNewlines(to);
  if (trimmed.empty() || trimmed == workspaces()[*i].name) return;
  auto list = workspaces();
  list[*i].name = std::move(trimmed);
  commit(std::move(list));
}

void WorkspaceManager::deleteWorkspace(const Uuid& id) {
  if (!indexOf(id)) return;
  auto list = workspaces();
  std::erase_if(list, [&](const Workspace& w) { return w.id == id; });
  workspaces_.set(std::move(list));
  if (activeWorkspaceID() == id) activeWorkspaceID_.set(std::nullopt);
  if (lastShownWorkspaceID() == id) lastShownWorkspaceID_.set(std::nullopt);
  save();
}

void WorkspaceManager::setActiveWorkspace(const std::optional<Uuid>& id) {
  const auto old = activeWorkspaceID();
  if (old == id) return;
  Log::line("[Zelvorn] Active workspace changed: " + name(old) + " \u2192 " + name(id));
  activeWorkspaceID_.set(id);
  if (id) lastShownWorkspaceID_.set(id);
}

void WorkspaceManager::update(const Workspace& workspace) {
  auto i = indexOf(workspace.id);
  if (!i) return;
  Workspace incoming = workspace;
  auto refused = keepFiniteGeometry(incoming, &workspaces()[*i]);
  if (!refused.empty()) logRefused(incoming.name, refused);
  auto list = workspaces();
  list[*i] = std::move(incoming);
  commit(std::move(list));
}

bool WorkspaceManager::setLastDocument(const std::string& path, const Uuid& forPane) {
  const auto& list = workspaces();
  for (std::size_t wi = 0; wi < list.size(); ++wi) {
    for (std::size_t ai = 0; ai < list[wi].apps.size(); ++ai) {
      const auto& app = list[wi].apps[ai];
      if (app.id != forPane) continue;
      if (app.lastDocumentPath == path) return false;
      auto copy = list;
      copy[wi].apps[ai].lastDocumentPath = path;
      commit(std::move(copy));
      return true;
    }
  }
  return false;
}

void WorkspaceManager::addApp(ManagedApp app, const Uuid& to) {
  auto i = indexOf(to);
  if (!i) return;
  if (app.observedMinSize && !app.observedMinSize->isFinite()) {
    app.observedMinSize.reset();
    logRefused(workspaces()[*i].name, "observedMinSize");
  }
  auto list = workspaces();
  auto& w = list[*i];
  if (w.apps.empty()) {
    app.role = AppRole::primary;
    w.primaryAppID = app.id;
    w.primaryAppBundleIdentifier = app.bundleIdentifier;
  }
  w.apps.push_back(std::move(app));
  commit(std::move(list));
}

void WorkspaceManager::removeApp(const Uuid& appID, const Uuid& from) {
  auto i = indexOf(from);
  if (!i) return;
  auto list = workspaces();
  auto& w = list[*i];
  auto primary = w.primaryApp();
  std::erase_if(w.apps, [&](const ManagedApp& a) { return a.id == appID; });
  if (primary && primary->id == appID) {
    if (w.apps.empty()) {
      w.primaryAppID.reset();
      w.primaryAppBundleIdentifier.reset();
    } else {
      w.primaryAppID = w.apps[0].id;
      w.primaryAppBundleIdentifier = w.apps[0].bundleIdentifier;
    }
    for (std::size_t k = 0; k < w.apps.size(); ++k)
      w.apps[k].role = k == 0 ? AppRole::primary : AppRole::secondary;
  }
  commit(std::move(list));
}

void WorkspaceManager::moveApp(const Uuid& appID, const Uuid& in, int by) {
  auto i = indexOf(in);
  if (!i) return;
  auto k = appIndexOf(appID, *i);
  if (!k) return;
  auto from = static_cast<long long>(*k);
  long long target = from + by;
  if (target < 0 || target >= static_cast<long long>(workspaces()[*i].apps.size())) return;
  auto list = workspaces();
  std::swap(list[*i].apps[static_cast<std::size_t>(from)],
            list[*i].apps[static_cast<std::size_t>(target)]);
  commit(std::move(list));
}

void WorkspaceManager::setPrimaryApp(const Uuid& appID, const Uuid& in) {
  auto i = indexOf(in);
  if (!i) return;
  auto k = appIndexOf(appID, *i);
  if (!k) return;
  auto list = workspaces();
  auto& w = list[*i];
  w.primaryAppID = appID;
  w.primaryAppBundleIdentifier = w.apps[*k].bundleIdentifier;
  for (auto& app : w.apps)
    app.role = app.id == appID ? AppRole::primary : AppRole::secondary;
  commit(std::move(list));
}

void WorkspaceManager::setLayoutType(LayoutType type, const Uuid& in) {
  auto i = indexOf(in);
  if (!i || workspaces()[*i].layout.type == type) return;
  auto list = workspaces();
  auto& w = list[*i];
  w.layout.type = type;
  w.layout.threeColumns.reset();
  forgetLearnedGeometry(w);
  commit(std::move(list));
}

void WorkspaceManager::setThreeColumns(bool on, const Uuid& in) {
  auto i = indexOf(in);
  if (!i) return;
  const auto& current = workspaces()[*i];
  if (on == current.layout.threeColumns.has_value()) return;
  auto list = workspaces();
  auto& w = list[*i];
  if (on) {
    if (w.layout.type != LayoutType::threeLeftOneRightTwo) {
      w.layout.type = LayoutType::threeLeftOneRightTwo;
      forgetLearnedGeometry(w);
    }
    w.layout.ratios = Layout::threeColumnsDefaultRatios;
    w.layout.threeColumns = ThreeColumnsState{false, Layout::oneLeftTwoRightDefaultRatios};
  } else {
    w.layout = w.layout.foldingThreeColumns(true);
    w.layout.threeColumns.reset();
  }
  commit(std::move(list));
}

void WorkspaceManager::migrateOversizedIcons() {
  if (!repairs_) return;
  auto list = workspaces();
  bool changed = false;
  for (auto& w : list) {
    for (auto& app : w.apps) {
      if (!app.iconData || app.iconData->size() <= kMaxStoredIconBytes) continue;
      std::optional<std::string> source;
      if (app.appURLBookmark) {
        auto resolved = repairs_->resolveBookmark(*app.appURLBookmark);
        if (resolved && repairs_->fileExists(*resolved)) source = resolved;
      }
      if (!source && app.appPath && repairs_->fileExists(*app.appPath)) source = app.appPath;
      if (!source) source = repairs_->applicationPath(app.bundleIdentifier);
      app.iconData = source ? repairs_->iconPNG(*source, kRepairedIconSide) : std::nullopt;
      changed = true;
    }
  }
  if (!changed) return;
  Log::line("[Zelvorn] Migrated oversized app icons to small PNGs; re-persisting workspaces.");
  commit(std::move(list));
}

void WorkspaceManager::migrateChangedBundleIDs() {
  if (!repairs_) return;
  auto list = workspaces();
  std::string entries;
  bool changed = false;
  for (auto& w : list) {
    std::set<std::string> inUse;
    for (const auto& app : w.apps)
      inUse.insert(app.bundleIdentifier);
    for (auto& app : w.apps) {
      auto replacement = repairs_->migratedForChangedBundleID(app);
      if (!replacement) continue;
      const auto& oldID = app.bundleIdentifier;
      const auto& newID = replacement->bundleIdentifier;
      if (inUse.count(newID)) {
        Log::line("[Zelvorn] Bundle-id migration skipped for " + app.displayName + ": " + oldID +
                  " \u2192 " + newID + " already in use (would duplicate).");
        continue;
      }
      inUse.erase(oldID);
      inUse.insert(newID);
      if (!entries.empty()) entries += "; ";
      entries += app.displayName + " " + oldID + " \u2192 " + newID;
      app = std::move(*replacement);
      changed = true;
    }
  }
  if (!changed) return;
  Log::line("[Zelvorn] Re-linked apps that changed bundle identifier: " + entries +
            "; re-persisting workspaces.");
  commit(std::move(list));
}

}  // namespace zelvorn
