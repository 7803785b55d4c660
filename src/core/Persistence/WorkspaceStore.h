// Where the workspaces file lives, and reading and writing it. Saves are whole-file atomic
// writes; their failures are logged and swallowed, so the in-memory list stays the truth. A file
// that could not be read is moved aside before the first save, never overwritten.
// Serves the workspace manager.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Models/Workspace.h"
#include "Platform/IEnvironment.h"
#include "Platform/IFileSystem.h"
#include "Platform/Result.h"

namespace zelvorn {

class WorkspaceStore {
 public:
  static constexpr const char* kFileName = "workspaces.json";

  // `clock` names the moved-aside copy of an unreadable file; the system clock without it.
  WorkspaceStore(IFileSystem& fileSystem, std::string directory,
                 std::function<WallTime()> clock = {});
  // The Zelvorn folder under Application Support, else under the temporary folder.
  static std::string defaultDirectory(const StandardLocations& locations);

  const std::string& directoryURL() const { return directory_; }
  const std::string& fileURL() const { return fileURL_; }

  // The stored list; an empty one when there is no file. An error when the file exists but cannot
  // be read or decoded; the next save then keeps that file aside first.
  Result<std::vector<Workspace>> load();
  // True when the file was written.
  bool save(const std::vector<Workspace>& workspaces);

 private:
  bool moveUnreadableFileAside();

  IFileSystem& fileSystem_;
  std::string directory_;
  std::string fileURL_;
  std::function<WallTime()> clock_;
  bool unreadableFileOnDisk_ = false;
};

}  // namespace zelvorn
