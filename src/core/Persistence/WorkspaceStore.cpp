#include "Persistence/WorkspaceStore.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include <fmt/format.h>

#include "App/Log.h"
#include "Persistence/WorkspaceCodec.h"

namespace zelvorn {

namespace {

WallTime systemNow() {
  auto t = std::chrono::system_clock::now().time_since_epoch();
  return WallTime{std::chrono::duration<double>(t).count()};
}

// "20261211T120000Z"
std::string utcStamp(WallTime t) {
  auto whole = static_cast<std::time_t>(std::floor(t.unixSeconds));
  std::tm utc{};
  gmtime_r(&whole, &utc);
  return fmt::format("{:04}{:02}{:02}T{:02}{:02}{:02}Z", utc.tm_year + 1900, utc.tm_mon + 1,
                     utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec);
}

void logSaveFailure(const std::string& description) {
  Log::line("[Zelvorn] Failed to save workspaces: " + description);
}

}  // namespace

WorkspaceStore::WorkspaceStore(IFileSystem& fileSystem, std::string directory,
                               std::function<WallTime()> clock)
    : fileSystem_(fileSystem),
      directory_(std::move(directory)),
      fileURL_(directory_ + "/" + kFileName),
      clock_(clock ? std::move(clock) : systemNow) {}

std::string WorkspaceStore::defaultDirectory(const StandardLocations& locations) {
  if (locations.applicationSupportDirectory)
    return *locations.applicationSupportDirectory + "/Zelvorn";
  return locations.temporaryDirectory + "/Zelvorn";
}

Result<std::vector<Workspace>> WorkspaceStore::load() {
  if (!fileSystem_.stat(fileURL_).exists) return std::vector<Workspace>{};
  auto bytes = fileSystem_.readFile(fileURL_);
  if (!bytes) {
    unreadableFileOnDisk_ = true;
    return bytes.error();
  }
  const auto& b = bytes.value();
  auto decoded =
      WorkspaceCodec::decode(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
  if (!decoded) unreadableFileOnDisk_ = true;
  return decoded;
}

bool WorkspaceStore::moveUnreadableFileAside() {
  if (!fileSystem_.stat(fileURL_).exists) return true;
  std::string base = fileURL_ + ".unreadable-" + utcStamp(clock_());
  std::string target = base;
  for (int n = 2; fileSystem_.stat(target).exists; ++n)
    target = base + "-" + std::to_string(n);
  if (auto moved = fileSystem_.moveFile(fileURL_, target); !moved) {
    logSaveFailure("could not move the unreadable workspaces file aside (" +
                   moved.error().description + ")");
    return false;
  }
  Log::line("[Zelvorn] Moved the unreadable workspaces file aside to " + target + ".");
  return true;
}

bool WorkspaceStore::save(const std::vector<Workspace>& workspaces) {
  if (auto made = fileSystem_.createDirectories(directory_); !made) {
    logSaveFailure(made.error().description);
    return false;
  }
  auto encoded = WorkspaceCodec::encode(workspaces);
  if (!encoded) {
    logSaveFailure(encoded.error().description);
    return false;
  }
  if (unreadableFileOnDisk_) {
    if (!moveUnreadableFileAside()) return false;
    unreadableFileOnDisk_ = false;
  }
  if (auto written = fileSystem_.writeFileAtomically(fileURL_, encoded.value()); !written) {
    logSaveFailure(written.error().description);
    return false;
  }
  return true;
}

}  // namespace zelvorn
