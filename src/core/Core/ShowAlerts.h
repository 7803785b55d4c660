// The alerts of showing a workspace: the refusal of a workspace that cannot be shown, apps that
// could not be launched, windows that could not be arranged and panes too small for the layout.
// Each brings the program forward first.
#pragma once

#include <string>
#include <vector>

#include "Core/ControllerContext.h"

namespace zelvorn {

class ShowAlerts {
 public:
  explicit ShowAlerts(ControllerContext& ctx) : ctx_(ctx) {}

  void presentError(const std::string& message, const std::string& informative);
  void reportShowIssues(const std::string& workspaceName, const std::vector<std::string>& missing,
                        const std::vector<std::string>& launchErrors);
  void presentArrangeIssues(const std::string& workspaceName,
                            const std::vector<std::string>& issues);
  void presentTooSmall();

 private:
  void warn(const std::string& message, const std::string& informative);

  ControllerContext& ctx_;
};

}  // namespace zelvorn
