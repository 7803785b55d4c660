// The placement pass: moving one window into each pane of a shown workspace, the cases of one
// pane (still launching, cached window, full screen, refusals and failures), the two-step move of
// a window to another display, and logging each distinct refusal once. A pass makes every
// window's writes before it reads any of them back, so the windows are moved together.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <variant>
#include <vector>

#include "Core/ControllerContext.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

class WindowPlacement {
 public:
  static constexpr double kMinPaneLength = 200;
  static constexpr Seconds kSecondPhaseDelay = 0.4;
  static constexpr Seconds kSlowCall = 0.15;

  struct PlacementReport {
    std::vector<std::string> issues;
    std::vector<std::string> fullScreenApps;
    bool operator==(const PlacementReport&) const = default;
  };

  // The answer for one pane; no answer at all means the pane stays pending.
  struct Placed {
    AXElement window;
    bool operator==(const Placed&) const = default;
  };
  struct FullScreen {
    std::optional<AXElement> window;
    bool operator==(const FullScreen&) const = default;
  };
  using ManagedPlacement = std::variant<Placed, FullScreen>;
  using PlacementOutcome = AXWindowController::PlacementOutcome;

  explicit WindowPlacement(ControllerContext& ctx) : ctx_(ctx) {}

  PlacementReport placeWindows(const Workspace& workspace, bool quiet, bool scheduleLearn);
  // One window, written and read back at once.
  PlacementOutcome placeWindow(const AXElement& window, const AXRect& rect,
                               const std::string& appName);
  void noteRefusal(const ManagedApp& app, const PlacementOutcome& outcome, const AXRect& requested,
                   const AXElement& window);

  bool hasPendingSecondPhase(const AXElement& window) const {
    return pendingSecondPhase_.count(window.hash()) > 0;
  }

 private:
  // A pane whose window has been written and is still to be read back.
  struct PendingCheck {
    const ManagedApp* app = nullptr;
    std::string appName;
    AXWindowController::PlacementRequest request;
    Seconds spent = 0;  // time the writes took
  };
  using Begun = std::variant<PlacementOutcome, PendingCheck>;

  static std::string cannotMoveIssue(const ManagedApp& app);
  std::optional<ManagedPlacement> placeManagedWindow(const ManagedApp& app,
                                                     const RunningApp& running, const AXRect& rect,
                                                     std::vector<std::string>& issues,
                                                     std::vector<PendingCheck>& checks);
  Begun beginPlacement(const AXElement& window, const AXRect& rect, const std::string& appName);
  PlacementOutcome finishPlacement(const PendingCheck& check);
  void logIfSlow(const std::string& appName, Seconds took) const;

  ControllerContext& ctx_;
  // Element hash → the mark of the second move still to come; a newer placement replaces it.
  std::unordered_map<std::size_t, std::uint64_t> pendingSecondPhase_;
  std::uint64_t secondPhaseSerial_ = 0;
};

}  // namespace zelvorn
