// "Launch at login" on a freedesktop session: an autostart entry for the program in the user's
// autostart folder. Present means enabled; there is no approval step.
#pragma once

#include <string>

#include "Platform/IFileSystem.h"
#include "Platform/ILoginItemService.h"

namespace zelvorn {

class XdgLoginItemService final : public ILoginItemService {
 public:
  // The raw numbers reported with each status.
  static constexpr int kRawNotRegistered = 0;
  static constexpr int kRawEnabled = 1;
  static constexpr std::string_view kEntryName = "zelvorn.desktop";

  // `autostartDirectory` is normally $XDG_CONFIG_HOME/autostart; `executablePath` is what the
  // session starts.
  XdgLoginItemService(IFileSystem& fileSystem, std::string autostartDirectory,
                      std::string executablePath);

  LoginItemReading status() override;
  std::optional<Error> registerMainApp() override;
  std::optional<Error> unregisterMainApp() override;

  const std::string& entryPath() const { return entryPath_; }
  // The autostart entry's text for an executable; none when the path cannot be written in one.
  static std::optional<std::string> desktopEntry(std::string_view executablePath);

 private:
  IFileSystem& fileSystem_;
  std::string directory_;
  std::string entryPath_;
  std::string executablePath_;
};

}  // namespace zelvorn
