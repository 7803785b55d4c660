#include "Posix/XdgLoginItemService.h"

#include <cerrno>

namespace zelvorn {

XdgLoginItemService::XdgLoginItemService(IFileSystem& fileSystem, std::string autostartDirectory,
                                         std::string executablePath)
    : fileSystem_(fileSystem),
      directory_(std::move(autostartDirectory)),
      entryPath_(directory_ + "/" + std::string(kEntryName)),
      executablePath_(std::move(executablePath)) {}

std::optional<std::string> XdgLoginItemService::desktopEntry(std::string_view executablePath) {
  // The Exec value is one quoted argument. Inside the quotes ", `, $ and \ take a backslash; the
  // file's own string escaping then doubles every backslash; % would start a field code.
  std::string exec = "\"";
  for (char c : executablePath) {
    if (c == '\n' || c == '\r' || c == '\0') return std::nullopt;
    if (c == '"' || c == '`' || c == '$') {
      exec += "\\\\";
    } else if (c == '\\') {
      exec += "\\\\\\";
    } else if (c == '%') {
      exec += '%';
    }
    exec += c;
  }
  exec += '"';
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Zelvorn\n"
         "Comment=Workspaces of applications, tiled side by side\n"
         "Exec=" +
         exec +
         "\n"
         "X-GNOME-Autostart-enabled=true\n";
}

LoginItemReading XdgLoginItemService::status() {
  if (fileSystem_.stat(entryPath_).exists) return {LoginItemStatus::enabled, kRawEnabled};
  return {LoginItemStatus::notRegistered, kRawNotRegistered};
}

std::optional<Error> XdgLoginItemService::registerMainApp() {
  auto entry = desktopEntry(executablePath_);
  if (!entry)
    return Error{EINVAL,
                 "The program's path cannot be written in an autostart entry: " + executablePath_};
  if (auto made = fileSystem_.createDirectories(directory_); !made) return made.error();
  if (auto written = fileSystem_.writeFileAtomically(entryPath_, *entry); !written)
    return written.error();
  return std::nullopt;
}

std::optional<Error> XdgLoginItemService::unregisterMainApp() {
  if (!fileSystem_.stat(entryPath_).exists) return std::nullopt;
  if (auto removed = fileSystem_.removeFile(entryPath_); !removed) return removed.error();
  return std::nullopt;
}

}  // namespace zelvorn
