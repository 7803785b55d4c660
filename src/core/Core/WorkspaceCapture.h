// Proposes which applications a new workspace could start with, from the windows on screen now:
// front-most first, all on the display of the front window, probing at most 8 applications within
// about 0.4 seconds so that a hung application cannot stall the caller. Holds no state between
// calls; the builder and onboarding reach it through the session controller.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Accessibility/AXWindowController.h"
#include "Platform/IDisplays.h"
#include "Platform/IMainLoop.h"
#include "Platform/IRunningApps.h"
#include "Platform/IWindowList.h"
#include "Platform/RunningApp.h"

namespace zelvorn {

class WorkspaceCapture {
 public:
  static constexpr Seconds kScanBudget = 0.4;
  static constexpr float kProbeTimeout = 0.2f;
  static constexpr std::size_t kMaxProbedProcesses = 8;
  static constexpr Seconds kSlowProbe = 0.05;

  struct Candidate {
    RunningApp app;
    std::string displayName;
    AXRect frame;  // as the window server reports it
    bool operator==(const Candidate&) const = default;
  };

  WorkspaceCapture(AXWindowController& ax, IWindowList& windowList, IRunningApps& runningApps,
                   const IDisplays& displays, const IMainLoop& clock)
      : ax_(ax),
        windowList_(windowList),
        runningApps_(runningApps),
        displays_(displays),
        clock_(clock) {}

  std::vector<Candidate> candidates(std::size_t limit);
  std::vector<Candidate> distinctFrontApps(std::size_t limit);
  static std::string suggestedName(const std::vector<std::string>& displayNames);
  // The frame, in AX space, of the display holding the point.
  std::optional<AXRect> screenFrame(const AXPoint& containing) const;

 private:
  AXWindowController& ax_;
  IWindowList& windowList_;
  IRunningApps& runningApps_;
  const IDisplays& displays_;
  const IMainLoop& clock_;
};

}  // namespace zelvorn
