// The installed applications: every desktop entry in the XDG data folders' "applications"
// subfolders, the earlier folder winning for one desktop-file id. Read again on request, since
// packages come and go while the program runs. Serves launching and the running applications.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Linux/DesktopEntry.h"

namespace zelvorn {

class DesktopEntryIndex {
 public:
  // `dataDirs`: most important first; by default $XDG_DATA_HOME then $XDG_DATA_DIRS.
  explicit DesktopEntryIndex(std::vector<std::string> dataDirs = defaultDataDirs());

  static std::vector<std::string> defaultDataDirs();

  // Re-reads the folders.
  void rescan();
  const std::vector<DesktopEntry>& entries() const { return entries_; }
  std::optional<DesktopEntry> byId(std::string_view id) const;
  std::optional<DesktopEntry> byPath(std::string_view path) const;
  // The entry of a running client: its StartupWMClass names the window class, else its id is the
  // class or instance name, else its Exec line runs the same executable. Hidden entries never
  // match; entries shown in menus win over NoDisplay ones.
  std::optional<DesktopEntry> match(std::string_view className, std::string_view instanceName,
                                    std::string_view executable) const;
  // The desktop-file id of a file under one of the folders: its path below "applications" with
  // "/" turned into "-". None for a file elsewhere.
  std::optional<std::string> idOfPath(std::string_view path) const;
  const std::vector<std::string>& dataDirs() const { return dataDirs_; }

 private:
  std::vector<std::string> dataDirs_;
  std::vector<DesktopEntry> entries_;
};

}  // namespace zelvorn
