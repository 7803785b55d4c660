#include "Sim/SimLaunchServices.h"

#include <string>

#include "Sim/SimDesktop.h"

namespace zelvorn {

namespace {

constexpr std::string_view kBookmarkPrefix = "simbookmark:";

}  // namespace

void SimLaunchServices::record(std::string_view name, std::string_view argument) {
  desktop_.recorder_.record({SimCallKind::launch, std::string(name), 0, 0, std::string(argument),
                             kAXErrorSuccess, desktop_.loop_.now()});
}

std::optional<std::string> SimLaunchServices::applicationPath(std::string_view bundleIdentifier) {
  record("applicationPath", bundleIdentifier);
  const auto* b = desktop_.bundleWithIdentifier(bundleIdentifier);
  if (!b) return std::nullopt;
  return b->desc.bundlePath;
}

std::optional<BundleInfo> SimLaunchServices::readBundle(std::string_view bundlePath) {
  record("readBundle", bundlePath);
  const auto* b = desktop_.bundleAt(bundlePath);
  if (!b) return std::nullopt;
  return BundleInfo{b->desc.bundleIdentifier, b->desc.displayName, b->desc.name};
}

// A bookmark names the bundle itself, so it follows the bundle when it moves.
std::optional<Bytes> SimLaunchServices::makeBookmark(std::string_view path) {
  record("makeBookmark", path);
  const auto* b = desktop_.bundleAt(path);
  if (!b) return std::nullopt;
  std::string text = std::string(kBookmarkPrefix) + std::to_string(b->serial);
  return Bytes(text.begin(), text.end());
}

std::optional<std::string> SimLaunchServices::resolveBookmark(const Bytes& bookmark) {
  std::string text(bookmark.begin(), bookmark.end());
  record("resolveBookmark", text);
  if (!text.starts_with(kBookmarkPrefix)) return std::nullopt;
  std::uint64_t serial = 0;
  try {
    serial = std::stoull(text.substr(kBookmarkPrefix.size()));
  } catch (...) {
    return std::nullopt;
  }
  // A deleted bundle still resolves to where it was; the caller checks that it exists.
  for (const auto& b : desktop_.bundles_)
    if (b.serial == serial) return b.desc.bundlePath;
  return std::nullopt;
}

std::optional<Bytes> SimLaunchServices::iconPNG(std::string_view path, int sidePixels) {
  record("iconPNG", path);
  const auto* b = desktop_.bundleAt(path);
  if (!b || sidePixels <= 0) return std::nullopt;
  return b->desc.icon;
}

void SimLaunchServices::openApplication(std::string_view appPath,
                                        const std::vector<std::string>& documents, bool activates,
                                        std::function<void(Result<RunningApp>)> completion) {
  record(activates ? "openApplication activating" : "openApplication", appPath);
  auto& d = desktop_;
  std::weak_ptr<bool> alive = d.alive_;
  SimDesktop* desk = &d;
  const auto* bundle = d.bundleAt(appPath);
  if (!bundle) {
    std::string path(appPath);
    auto slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    Error error{4, "The file “" + name + "” couldn’t be opened because there is no such file."};
    d.loop_.post([completion, error] { completion(Result<RunningApp>(error)); });
    return;
  }
  auto index = static_cast<std::size_t>(bundle - d.bundles_.data());
  // An instance already running takes the documents (or, when activated without any and showing
  // no window, opens one) and comes forward.
  for (Pid pid : d.pidsInOrder()) {
    if (d.process(pid)->bundle != index) continue;
    d.loop_.post([desk, alive, pid, documents, activates, completion] {
      if (!alive.lock()) return;
      auto* proc = desk->process(pid);
      if (!proc || !proc->running) return;
      const auto& desc = desk->bundles_[proc->bundle].desc;
      if (desc.opensDocuments)
        for (const auto& doc : documents)
          desk->openDocumentWindow(pid, doc);
      if (activates && documents.empty() && desk->windows(pid).empty() && desc.reopenOpensWindow)
        desk->openWindow(pid, desc.newWindow);
      if (activates) desk->activate(pid);
      completion(desk->snapshot(*desk->process(pid)));
    });
    return;
  }
  if (auto pending = d.pendingLaunches_.find(index); pending != d.pendingLaunches_.end()) {
    auto& p = pending->second;
    p.documents.insert(p.documents.end(), documents.begin(), documents.end());
    p.activates = p.activates || activates;
    p.completions.push_back(std::move(completion));
    return;
  }
  d.pendingLaunches_[index] = {documents, activates, {std::move(completion)}};
  d.loop_.postAfter(bundle->desc.launchDelay, [desk, alive, index] {
    if (!alive.lock()) return;
    auto request = std::move(desk->pendingLaunches_.at(index));
    desk->pendingLaunches_.erase(index);
    const SimAppSpec& s = desk->bundles_[index].desc;
    if (s.launchError) {
      for (auto& c : request.completions)
        c(Result<RunningApp>(*s.launchError));
      return;
    }
    Pid pid = desk->startProcess(index, s.finishLaunchingDelay <= 0);
    for (auto& c : request.completions)
      c(desk->snapshot(*desk->process(pid)));
    auto openWindows = [desk, alive, pid, documents = request.documents,
                        activates = request.activates] {
      if (!alive.lock()) return;
      desk->openLaunchWindows(pid, documents);
      if (activates) desk->activate(pid);
    };
    auto finish = [desk, alive, pid, openWindows, windowDelay = s.windowDelay] {
      if (!alive.lock()) return;
      desk->finishLaunching(pid);
      desk->loop_.postAfter(windowDelay, openWindows);
    };
    if (s.finishLaunchingDelay <= 0)
      desk->loop_.postAfter(s.windowDelay, openWindows);
    else
      desk->loop_.postAfter(s.finishLaunchingDelay, finish);
  });
}

bool SimLaunchServices::openURL(std::string_view url) {
  record("openURL", url);
  desktop_.openedURLs_.emplace_back(url);
  return true;
}

void SimLaunchServices::revealInFileBrowser(std::string_view path) {
  record("revealInFileBrowser", path);
  desktop_.revealedPaths_.emplace_back(path);
}

}  // namespace zelvorn
