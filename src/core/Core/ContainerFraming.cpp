#include "Core/ContainerFraming.h"

#include <algorithm>

#include "App/Log.h"
#include "Core/ControllerScreens.h"
#include "Core/FocusState.h"
#include "Core/StageManagerGate.h"
#include "Core/ThreeColumnsFitting.h"
#include "Core/UserGeometry.h"
#include "Core/WorkspaceController.h"
#include "Layout/DisplayResolver.h"
#include "Layout/GeometryLog.h"
#include "Layout/WorkspaceGeometry.h"

namespace zelvorn {

AXRect ContainerFraming::containerRect(const Workspace& workspace) {
  return WorkspaceGeometry::rememberedContainerAXRect(workspace, ctx_.screens->currentTopology(),
                                                      ctx_.screens->mainScreenVisibleAX());
}

AXRect ContainerFraming::grownToMinimum(const AXRect& rect) {
  Size min = kMinContainer;
  auto frames = ctx_.screens->screenFramesAX();
  auto visible = ctx_.screens->availableScreensVisibleAX();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    if (!frames[i].contains({rect.midX(), rect.midY()})) continue;
    min = {std::min(kMinContainer.width, visible[i].width),
           std::min(kMinContainer.height, visible[i].height)};
    break;
  }
  return {rect.x, rect.y, std::max(rect.width, min.width), std::max(rect.height, min.height)};
}

std::pair<AXRect, std::optional<DisplayNumber>> ContainerFraming::expectedFrame(
    const Workspace& workspace) {
  AXRect rect;
  if (auto* session = ctx_.session(workspace.id); session && session->containerAXRect) {
    rect = *session->containerAXRect;
  } else {
    rect = grownToMinimum(containerRect(workspace));
    auto current = ctx_.screens->currentDisplayVisibleAX();
    if (current && !DisplayResolver::isUsablyVisible(
                       rect, ctx_.screens->availableScreensVisibleAX(), kMinUsablyVisible))
      rect = DisplayResolver::clamped(rect, current->first, kMinContainer);
  }
  return {rect, ctx_.screens->displayID(rect)};
}

std::set<Uuid> ContainerFraming::sameDisplayGroupsSharing(const Uuid& withShown) {
  std::set<Uuid> out;
  bool othersShown = std::any_of(ctx_.sessions.begin(), ctx_.sessions.end(),
                                 [&](const auto& entry) { return entry.first != withShown; });
  auto workspace = ctx_.workspace(withShown);
  if (!othersShown || !workspace) return out;
  auto display = expectedFrame(*workspace).second;
  if (!display) return out;
  std::set<std::string> bundles;
  for (const auto& app : workspace->apps)
    bundles.insert(app.bundleIdentifier);
  for (const auto& [id, session] : ctx_.sessions) {
    if (id == withShown) continue;
    auto other = ctx_.workspace(id);
    if (!other) continue;
    bool shares = std::any_of(other->apps.begin(), other->apps.end(), [&](const ManagedApp& a) {
      return bundles.count(a.bundleIdentifier);
    });
    if (!shares) continue;
    if (!session.containerAXRect) {
      out.insert(id);
      continue;
    }
    auto theirs = ctx_.screens->displayID(*session.containerAXRect);
    if (!theirs || theirs == display) out.insert(id);
  }
  return out;
}

Workspace ContainerFraming::showContainerFrame(const Workspace& original) {
  ++ctx_.placement.current;
  AXRect remembered = grownToMinimum(containerRect(original));
  AXRect rect = remembered;
  bool relocated = false;
  if (auto current = ctx_.screens->currentDisplayVisibleAX()) {
    if (!DisplayResolver::isUsablyVisible(rect, ctx_.screens->availableScreensVisibleAX(),
                                          kMinUsablyVisible)) {
      rect = DisplayResolver::clamped(rect, current->first, kMinContainer);
      relocated = true;
    }
  }
  ctx_.threeColumns->beginThreeColumnsOperation(original.id);
  Workspace workspace = ctx_.threeColumns->applyThreeColumnsFold(original, rect, true);

  ctx_.manager.setActiveWorkspace(workspace.id);
  ctx_.focus->pulseChromeGuard();

  auto* session = ctx_.session(workspace.id);
  if (!session) session = &ctx_.controller->makeSession(workspace.id);
  ctx_.focus->publishShownWorkspaces();
  ctx_.tiledSignature[workspace.id] = signature(workspace);
  ctx_.focus->stampFront(workspace.id);
  if (ctx_.focus->soloWorkspaceID() == workspace.id) ctx_.focus->clearSolo();
  session->containerAXRect = rect;
  configureChrome(*session, workspace, rect);

  if (relocated) {
    Log::line(
        "[Zelvorn] Show: offscreen / missing display — relocated to current display. original=" +
        GeometryLog::rectLog(remembered) + " resolved=" + GeometryLog::rectLog(rect) + ". " +
        GeometryLog::screensLogSummary(ctx_.screens->availableScreensVisibleAX()));
    ctx_.geometry->persistContainerFrame(workspace.id);
  }
  return workspace;
}

void ContainerFraming::configureChrome(WorkspaceSession& session, const Workspace& workspace,
                                       const AXRect& rect) {
  auto& chrome = *session.chrome;
  chrome.currentTitle = workspace.name;
  chrome.currentLayoutType = WorkspaceGeometry::geometryType(workspace);
  chrome.currentAppCount = static_cast<int>(workspace.apps.size());
  chrome.currentRatios = WorkspaceGeometry::isThreeColumnsWorkspace(workspace)
                             ? WorkspaceGeometry::threeColumnsRatios(workspace)
                             : WorkspaceGeometry::storedRatios(workspace);
  chrome.currentAppIcons.clear();
  for (const auto& app : workspace.apps)
    chrome.currentAppIcons.push_back(app.iconData);
  if (!chrome.hasRailPanel()) chrome.makeRailPanel();
  chrome.isMaximized = false;
  chrome.preMaximizeFrame.reset();
  chrome.dividersHidden = false;
  chrome.paneShieldsHidden = false;
  chrome.isSoloed = false;
  chrome.containerCocoaRect = ctx_.screens->toCocoa(rect);
  chrome.applyGeometry(true);
  chrome.orderFront();
}

std::string ContainerFraming::signature(const Workspace& workspace) {
  std::string out;
  for (std::size_t i = 0; i < workspace.apps.size(); ++i)
    out += (i ? "," : "") + workspace.apps[i].id.string();
  out += "|" + std::string(rawValue(workspace.layout.type));
  if (workspace.layout.threeColumns) out += "+columns";
  return out;
}

}  // namespace zelvorn
