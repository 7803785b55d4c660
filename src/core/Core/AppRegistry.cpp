#include "Core/AppRegistry.h"

#include <algorithm>
#include <cctype>

#include "Models/Uuid.h"

namespace zelvorn {

namespace {

std::string lowercased(std::string_view s) {
  std::string out(s);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}

std::string_view trimmedOfSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/')
    path.remove_suffix(1);
  return path;
}

std::string pathExtension(std::string_view path) {
  std::string last = lastPathComponent(path);
  auto dot = last.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return {};
  return last.substr(dot + 1);
}

std::string deletingExtension(const std::string& name) {
  auto dot = name.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return name;
  return name.substr(0, dot);
}

bool nonEmpty(const std::optional<std::string>& s) {
  return s && !s->empty();
}

}  // namespace

std::string lastPathComponent(std::string_view path) {
  path = trimmedOfSlashes(path);
  auto slash = path.find_last_of('/');
  if (slash == std::string_view::npos || path.size() == 1) return std::string(path);
  return std::string(path.substr(slash + 1));
}

std::string AppRegistry::AppRegistryError::description() const {
  std::string name = lastPathComponent(bundlePath);
  switch (kind) {
    case Kind::notAnApp:
      return name + " is not a Mac application.";
    case Kind::missingBundleIdentifier:
      return "Couldn't read a bundle identifier for " + name + ".";
  }
  return {};
}

Result<ManagedApp, AppRegistry::AppRegistryError> AppRegistry::makeManagedApp(
    std::string_view bundlePath) {
  using Kind = AppRegistryError::Kind;
  if (lowercased(pathExtension(bundlePath)) != launchServices_.applicationExtension())
    return AppRegistryError{Kind::notAnApp, std::string(bundlePath)};
  auto bundle = launchServices_.readBundle(bundlePath);
  if (!bundle || !nonEmpty(bundle->identifier))
    return AppRegistryError{Kind::missingBundleIdentifier, std::string(bundlePath)};
  ManagedApp app;
  app.id = Uuid::random();
  app.displayName = readDisplayName(bundlePath, *bundle);
  app.bundleIdentifier = *bundle->identifier;
  app.appURLBookmark = launchServices_.makeBookmark(bundlePath);
  app.appPath = std::string(bundlePath);
  app.iconData = iconPNG(bundlePath, kIconSide);
  app.role = AppRole::secondary;
  return app;
}

std::string AppRegistry::readDisplayName(std::string_view bundlePath, const BundleInfo& bundle) {
  if (nonEmpty(bundle.displayName)) return *bundle.displayName;
  if (nonEmpty(bundle.name)) return *bundle.name;
  return deletingExtension(lastPathComponent(bundlePath));
}

std::optional<Bytes> AppRegistry::iconPNG(std::string_view path, int side) {
  if (side <= 0) return std::nullopt;
  return launchServices_.iconPNG(path, side);
}

std::optional<std::string> AppRegistry::resolveURL(const ManagedApp& app) {
  if (app.appURLBookmark)
    if (auto path = resolveBookmark(*app.appURLBookmark); path && fileExists(*path)) return path;
  if (app.appPath && fileExists(*app.appPath)) return app.appPath;
  if (app.bundleIdentifier.empty()) return std::nullopt;
  return applicationPath(app.bundleIdentifier);
}

std::optional<std::string> AppRegistry::resolveBookmark(const Bytes& bookmark) {
  if (bookmark.empty()) return std::nullopt;
  return launchServices_.resolveBookmark(bookmark);
}

bool AppRegistry::fileExists(const std::string& path) {
  return !path.empty() && files_.stat(path).exists;
}

std::optional<std::string> AppRegistry::applicationPath(const std::string& bundleIdentifier) {
  return launchServices_.applicationPath(bundleIdentifier);
}

// The system's look-up by identifier is deliberately not used: it would find the bundle by the old
// identifier, which is exactly what may have stopped working.
std::optional<ManagedApp> AppRegistry::migratedForChangedBundleID(const ManagedApp& app) {
  std::optional<std::string> path;
  if (app.appURLBookmark)
    if (auto p = resolveBookmark(*app.appURLBookmark); p && fileExists(*p)) path = p;
  if (!path && app.appPath && fileExists(*app.appPath)) path = app.appPath;
  if (!path) return std::nullopt;
  auto bundle = launchServices_.readBundle(*path);
  if (!bundle || !nonEmpty(bundle->identifier) || *bundle->identifier == app.bundleIdentifier)
    return std::nullopt;
  ManagedApp out = app;
  out.bundleIdentifier = *bundle->identifier;
  out.appPath = *path;
  if (auto bookmark = launchServices_.makeBookmark(*path)) out.appURLBookmark = bookmark;
  if (auto icon = iconPNG(*path, kIconSide)) out.iconData = icon;
  return out;
}

}  // namespace zelvorn
