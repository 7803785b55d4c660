// Modal alerts as view-models: the core describes an alert (style, texts, buttons, an optional
// "don't ask again" check box) and the backend shows it and answers which button was pressed.
// Also the two program-level requests alerts go with: come to the front, and whether the program
// is active with a visible key window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zelvorn {

enum class AlertStyle { informational, warning, critical };

struct AlertSpec {
  AlertStyle style = AlertStyle::informational;
  std::string messageText;
  std::string informativeText;
  // In the order they are added; the first is the default button.
  std::vector<std::string> buttons;
  // The title of a suppression check box, when the alert offers one.
  std::optional<std::string> suppressionTitle;
  bool operator==(const AlertSpec&) const = default;
};

struct AlertResponse {
  int buttonIndex = 0;  // index into AlertSpec::buttons
  bool suppressionChecked = false;
  bool operator==(const AlertResponse&) const = default;
};

class IModalUI {
 public:
  virtual ~IModalUI() = default;
  // Shows the alert and blocks until the user answers.
  virtual AlertResponse runAlert(const AlertSpec& alert) = 0;
  // Brings this program to the front, ignoring other applications.
  virtual void activateProgram() = 0;
  virtual bool isProgramActiveWithKeyWindow() = 0;
};

}  // namespace zelvorn
