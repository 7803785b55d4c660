#include "Core/WorkspaceCapture.h"

#include <fmt/format.h>

#include <algorithm>
#include <map>
#include <set>
#include <utility>

#include "App/Log.h"
#include "Layout/ScreenGeometry.h"

namespace zelvorn {

namespace {

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i) out += separator;
    out += parts[i];
  }
  return out;
}

std::string orNil(const std::optional<std::string>& s) {
  return s ? *s : "nil";
}

std::string whole(double v) {
  return std::to_string(static_cast<long long>(v));
}

}  // namespace

std::vector<WorkspaceCapture::Candidate> WorkspaceCapture::candidates(std::size_t limit) {
  auto list = windowList_.copyWindowList(WindowListOption::onScreenOnly |
                                         WindowListOption::excludeDesktopElements);
  if (!list) return {};
  Pid own = runningApps_.ownPid();
  Seconds deadline = clock_.now() + kScanBudget;
  using Probed = std::vector<std::pair<AXWindowController::WindowInfo, WindowNumber>>;
  std::map<Pid, Probed> cache;
  std::vector<Candidate> result;
  std::optional<AXRect> display;
  std::vector<std::string> timings, rejections;

  for (const auto& entry : *list) {
    if (result.size() >= limit) break;
    if (entry.layer != 0 || !entry.ownerPid || *entry.ownerPid == own || !entry.bounds ||
        !entry.number)
      continue;
    auto app = runningApps_.byPid(*entry.ownerPid);
    if (!app || app->activationPolicy != ActivationPolicy::regular || !app->bundleIdentifier)
      continue;
    std::string name = app->localizedName.value_or(*app->bundleIdentifier);
    const AXRect& bounds = *entry.bounds;
    AXPoint mid{bounds.midX(), bounds.midY()};
    auto reject = [&](const std::string& reason) {
      std::string line = name + ": " + reason;
      if (std::find(rejections.begin(), rejections.end(), line) == rejections.end())
        rejections.push_back(line);
    };

    if (display && !display->contains(mid)) {
      reject("on another display than the front window");
      continue;
    }
    if (!cache.count(app->pid)) {
      if (cache.size() >= kMaxProbedProcesses || clock_.now() > deadline) {
        reject("scan budget spent");
        continue;
      }
      Seconds started = clock_.now();
      Probed probed;
      for (auto& info : ax_.windowInfos(app->pid, kProbeTimeout)) {
        WindowNumber number = ax_.windowNumber(info.element).value_or(0);
        probed.emplace_back(std::move(info), number);
      }
      cache[app->pid] = std::move(probed);
      Seconds took = clock_.now() - started;
      if (took >= kSlowProbe) timings.push_back(name + " " + whole(took * 1000) + "ms");
    }
    const auto& probed = cache[app->pid];
    auto match = std::find_if(probed.begin(), probed.end(),
                              [&](const auto& p) { return p.second == *entry.number; });
    if (match == probed.end()) {
      reject("no AX window matches CGWindowID " + std::to_string(*entry.number));
      continue;
    }
    const auto& info = match->first;
    if (!AXWindowController::isManageable(info)) {
      std::string size =
          info.size ? whole(info.size->width) + "×" + whole(info.size->height) : "unknown";
      reject("not manageable (role=" + orNil(info.role) + " subrole=" + orNil(info.subrole) +
             " size=" + size + " id=" + orNil(info.identifier) + ")");
      continue;
    }
    if (info.isFullScreen) {
      reject("native fullscreen");
      continue;
    }
    if (!display) display = screenFrame(mid).value_or(bounds);
    result.push_back({*app, name, bounds});
  }

  if (!timings.empty())
    Log::line("[Zelvorn] Window scan AX probes ≥50ms — " + joined(timings, ", "));
  if (!rejections.empty()) Log::line("[Zelvorn] Window scan skipped — " + joined(rejections, "; "));
  return result;
}

std::vector<WorkspaceCapture::Candidate> WorkspaceCapture::distinctFrontApps(std::size_t limit) {
  std::vector<Candidate> out;
  std::set<std::string> seen;
  for (auto& c : candidates(std::max<std::size_t>(limit * 4, 8))) {
    if (out.size() >= limit) break;
    if (seen.insert(c.app.bundleIdentifier.value_or(c.displayName)).second)
      out.push_back(std::move(c));
  }
  return out;
}

std::string WorkspaceCapture::suggestedName(const std::vector<std::string>& names) {
  if (names.size() < 3) return joined(names, " + ");
  return names[0] + " + " + names[1] + " + " + std::to_string(names.size() - 2) + " more";
}

std::optional<AXRect> WorkspaceCapture::screenFrame(const AXPoint& containing) const {
  double h = ScreenGeometry::primaryDisplayHeight(displays_);
  for (const auto& s : displays_.screens()) {
    AXRect frame = ScreenGeometry::cocoaToAX(s.frame, h);
    if (frame.contains(containing)) return frame;
  }
  return std::nullopt;
}

}  // namespace zelvorn
