#include "Accessibility/AccessibilityPermission.h"

#include "App/Log.h"

namespace zelvorn {

namespace {

const char* text(bool b) {
  return b ? "true" : "false";
}

}  // namespace

std::string AccessibilityPermission::Diagnostics::logLine() const {
  return std::string("trusted=") + text(isTrusted) + " id=" + bundleIdentifier +
         " pid=" + std::to_string(pid) + " fromApplications=" + text(isRunningFromApplications) +
         " fromBundle=" + text(isRunningFromBundle) + " path=" + bundlePath;
}

AccessibilityPermission::Diagnostics AccessibilityPermission::diagnostics() {
  const ProcessFacts& p = environment_.process();
  Diagnostics d;
  d.isTrusted = ax_.isProcessTrusted();
  d.bundleIdentifier = p.bundleIdentifier.value_or("(none)");
  d.bundlePath = p.bundlePath;
  d.executablePath = p.executablePath.value_or("(none)");
  d.processName = p.processName;
  d.pid = p.pid;
  d.isRunningFromBundle = d.bundlePath.ends_with(".app");
  d.isRunningFromApplications = d.bundlePath.starts_with("/Applications/");
  return d;
}

void AccessibilityPermission::logDiagnostics(std::string_view context) {
  Log::line("[Zelvorn][AX] " + std::string(context) + ": " + diagnostics().logLine());
}

}  // namespace zelvorn
