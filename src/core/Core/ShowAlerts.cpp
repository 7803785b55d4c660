#include "Core/ShowAlerts.h"

namespace zelvorn {

namespace {

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i)
    out += (i ? separator : "") + parts[i];
  return out;
}

}  // namespace

void ShowAlerts::presentError(const std::string& message, const std::string& informative) {
  ctx_.services.modal.activateProgram();
  ctx_.services.modal.runAlert({AlertStyle::informational, message, informative, {"OK"}, {}});
}

void ShowAlerts::warn(const std::string& message, const std::string& informative) {
  ctx_.services.modal.activateProgram();
  ctx_.services.modal.runAlert({AlertStyle::warning, message, informative, {"OK"}, {}});
}

void ShowAlerts::reportShowIssues(const std::string& workspaceName,
                                  const std::vector<std::string>& missing,
                                  const std::vector<std::string>& launchErrors) {
  std::vector<std::string> lines;
  if (!missing.empty()) lines.push_back("Not installed: " + joined(missing, ", "));
  lines.insert(lines.end(), launchErrors.begin(), launchErrors.end());
  if (lines.empty()) return;
  warn("Some apps in “" + workspaceName + "” couldn't be shown", joined(lines, "\n"));
}

void ShowAlerts::presentArrangeIssues(const std::string& workspaceName,
                                      const std::vector<std::string>& issues) {
  warn("Some windows in “" + workspaceName + "” couldn’t be arranged", joined(issues, "\n"));
}

void ShowAlerts::presentTooSmall() {
  warn("Workspace is too small for this layout",
       "Resize the container or choose a simpler layout.");
}

}  // namespace zelvorn
