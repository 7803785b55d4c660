// The simulated desktop seen through the Accessibility interface: attribute reads and writes,
// actions, time-outs and observers over the desktop's applications, windows and menus. Every call
// is recorded; a slow or hung application blocks the virtual main loop.
#pragma once

#include "Platform/IAccessibility.h"

namespace zelvorn {

class SimDesktop;

class SimAccessibility final : public IAccessibility {
 public:
  explicit SimAccessibility(SimDesktop& desktop) : desktop_(desktop) {}

  bool isProcessTrusted() override;
  bool requestTrustWithPrompt() override;
  AXElement applicationElement(Pid pid) override;
  Pid pidOf(const AXElement& element) override;
  std::optional<WindowNumber> windowNumber(const AXElement& element) override;
  AXError copyAttribute(const AXElement& element, std::string_view attribute,
                        AXValue& out) override;
  AXError setAttribute(const AXElement& element, std::string_view attribute,
                       const AXValue& value) override;
  AXError performAction(const AXElement& element, std::string_view action) override;
  AXError setMessagingTimeout(const AXElement& element, float seconds) override;
  AXError createObserver(Pid pid, std::function<void(const AXNotification&)> callback,
                         std::unique_ptr<IAXObserver>& observer) override;

 private:
  friend class SimAXObserver;
  // Checks trust and the element, and spends the process's response time (bounded by the
  // element's time-out). Anything but success means the call goes no further.
  AXError enter(const AXElement& element);
  AXError read(const AXElement& element, std::string_view attribute, AXValue& out);
  AXError write(const AXElement& element, std::string_view attribute, const AXValue& value);
  AXError act(const AXElement& element, std::string_view action);

  SimDesktop& desktop_;
};

}  // namespace zelvorn
