// The one owner and writer of the workspace list and of the two "which workspace" pointers. Every
// change to the list is saved at once through the store. Loads the file at construction and
// repairs oversized icons and apps whose bundle identifier changed. There is no process-wide
// instance: the application delegate creates one and hands it to whoever needs it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Core/IAppRepairServices.h"
#include "Core/Published.h"
#include "Models/Workspace.h"
#include "Persistence/WorkspaceStore.h"

namespace zelvorn {

class WorkspaceManager {
 public:
  static constexpr std::size_t kMaxStoredIconBytes = 200000;
  static constexpr int kRepairedIconSide = 128;

  // `repairs` may be null: the load-time repairs are then skipped.
  WorkspaceManager(std::unique_ptr<WorkspaceStore> store, IAppRepairServices* repairs);

  const std::vector<Workspace>& workspaces() const { return workspaces_.value(); }
  const std::optional<Uuid>& activeWorkspaceID() const { return activeWorkspaceID_.value(); }
  const std::optional<Uuid>& lastShownWorkspaceID() const { return lastShownWorkspaceID_.value(); }
  const Published<std::vector<Workspace>>& workspacesPublisher() const { return workspaces_; }
  const Published<std::optional<Uuid>>& activeWorkspaceIDPublisher() const {
    return activeWorkspaceID_;
  }
  const Published<std::optional<Uuid>>& lastShownWorkspaceIDPublisher() const {
    return lastShownWorkspaceID_;
  }
  WorkspaceStore& store() { return *store_; }

  std::optional<Workspace> workspace(const Uuid& id) const;
  // "none" for no id, the workspace's name when found, else the id itself.
  std::string name(const std::optional<Uuid>& of) const;

  Workspace createWorkspace(std::string_view name);
  std::string uniqueName(std::string_view base) const;
  void renameWorkspace(const Uuid& id, std::string_view to);
  void deleteWorkspace(const Uuid& id);
  void setActiveWorkspace(const std::optional<Uuid>& id);
  void update(const Workspace& workspace);
  bool setLastDocument(const std::string& path, const Uuid& forPane);
  void addApp(ManagedApp app, const Uuid& to);
  void removeApp(const Uuid& appID, const Uuid& from);
  void moveApp(const Uuid& appID, const Uuid& in, int by);
  void setPrimaryApp(const Uuid& appID, const Uuid& in);
  void setLayoutType(LayoutType type, const Uuid& in);
  void setThreeColumns(bool on, const Uuid& in);

  void migrateOversizedIcons();
  void migrateChangedBundleIDs();

 private:
  std::optional<std::size_t> indexOf(const Uuid& id) const;
  // Index of the app with that id in the workspace at `workspaceIndex`.
  std::optional<std::size_t> appIndexOf(const Uuid& appID, std::size_t workspaceIndex) const;
  // Replaces the list (one notification) and saves it.
  void commit(std::vector<Workspace> list);
  void save();

  std::unique_ptr<WorkspaceStore> store_;
  IAppRepairServices* repairs_;
  Published<std::vector<Workspace>> workspaces_;
  Published<std::optional<Uuid>> activeWorkspaceID_;
  Published<std::optional<Uuid>> lastShownWorkspaceID_;
};

}  // namespace zelvorn
