// Whether this program may use Accessibility: the trust test, the system prompt, the settings pane
// and the diagnostics line logged at launch, at each show and after prompting.
#pragma once

#include <string>
#include <string_view>

#include "Platform/IAccessibility.h"
#include "Platform/IEnvironment.h"
#include "Platform/ILaunchServices.h"
#include "Platform/Types.h"

namespace zelvorn {

class AccessibilityPermission {
 public:
  static constexpr std::string_view kSettingsURL =
      "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";

  struct Diagnostics {
    bool isTrusted = false;
    std::string bundleIdentifier;
    std::string bundlePath;
    std::string executablePath;
    std::string processName;
    Pid pid = 0;
    bool isRunningFromBundle = false;
    bool isRunningFromApplications = false;
    bool operator==(const Diagnostics&) const = default;

    // "trusted=<b> id=<id> pid=<pid> fromApplications=<b> fromBundle=<b> path=<bundlePath>"
    std::string logLine() const;
  };

  AccessibilityPermission(IAccessibility& ax, const IEnvironment& environment,
                          ILaunchServices& launchServices)
      : ax_(ax), environment_(environment), launchServices_(launchServices) {}

  bool isTrusted() { return ax_.isProcessTrusted(); }
  // Shows the system's prompt asking the user to allow this program.
  void promptForTrust() { ax_.requestTrustWithPrompt(); }
  void openSystemSettings() { launchServices_.openURL(kSettingsURL); }
  Diagnostics diagnostics();
  // "[Zelvorn][AX] <context>: <logLine>"
  void logDiagnostics(std::string_view context);

 private:
  IAccessibility& ax_;
  const IEnvironment& environment_;
  ILaunchServices& launchServices_;
};

}  // namespace zelvorn
