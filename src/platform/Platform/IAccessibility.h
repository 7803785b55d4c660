// The Accessibility interface to other applications' user-interface elements: trust, elements,
// attribute reads and writes by name, actions, per-element messaging time-outs and observers.
// Every call is synchronous on the main thread and may block up to the element's time-out; every
// observer notification arrives later on the main loop.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Platform/Geometry.h"
#include "Platform/Types.h"

namespace zelvorn {

// The platform's error codes. A call that does not answer within the messaging time-out fails
// with `kAXErrorCannotComplete`, like any other call the target process could not complete.
using AXError = std::int32_t;
inline constexpr AXError kAXErrorSuccess = 0;
inline constexpr AXError kAXErrorFailure = -25200;
inline constexpr AXError kAXErrorIllegalArgument = -25201;
inline constexpr AXError kAXErrorInvalidUIElement = -25202;
inline constexpr AXError kAXErrorCannotComplete = -25204;
inline constexpr AXError kAXErrorAttributeUnsupported = -25205;
inline constexpr AXError kAXErrorActionUnsupported = -25206;
inline constexpr AXError kAXErrorNotificationAlreadyRegistered = -25209;
inline constexpr AXError kAXErrorAPIDisabled = -25211;
inline constexpr AXError kAXErrorNoValue = -25212;

// A reference to one element of another process (application, window, menu, menu item).
// Two references to the same element compare equal and hash alike, and a reference outlives the
// element: once its window is gone, calls on it simply fail.
class AXElement {
 public:
  AXElement() = default;
  // For backends: `identity` names the element (0 is the null element); `backing` keeps whatever
  // the backend needs alive for as long as the reference exists.
  explicit AXElement(std::uint64_t identity, std::shared_ptr<const void> backing = nullptr)
      : identity_(identity), backing_(std::move(backing)) {}

  bool isNull() const { return identity_ == 0; }
  std::uint64_t identity() const { return identity_; }
  const void* backing() const { return backing_.get(); }
  std::size_t hash() const { return std::hash<std::uint64_t>{}(identity_); }

  friend bool operator==(const AXElement& a, const AXElement& b) {
    return a.identity_ == b.identity_;
  }

 private:
  std::uint64_t identity_ = 0;
  std::shared_ptr<const void> backing_;
};

struct AXElementHash {
  std::size_t operator()(const AXElement& e) const { return e.hash(); }
};

// An attribute value as the platform hands it over. A point (AX value type 1) is in AX space; a
// size is AX value type 2. `monostate` is "no value". Readers in the core treat a value of another
// type than the one they expect as empty.
using AXValue = std::variant<std::monostate, std::string, AXPoint, Size, bool, std::int64_t, double,
                             AXElement, std::vector<AXElement>>;

// One notification: the element it concerns (for window-created and focus changes, the window) and
// its name ("AXWindowMoved", "AXUIElementDestroyed", …).
struct AXNotification {
  AXElement element;
  std::string name;
  bool operator==(const AXNotification&) const = default;
};

// Observes one process. Destroying it stops every delivery, including ones already queued.
class IAXObserver {
 public:
  virtual ~IAXObserver() = default;
  // Registers for `notification` on `element` (a window, or the application element to hear about
  // all of its windows and its focus).
  virtual AXError add(const AXElement& element, std::string_view notification) = 0;
  virtual AXError remove(const AXElement& element, std::string_view notification) = 0;
};

class IAccessibility {
 public:
  virtual ~IAccessibility() = default;

  // Whether this process may use Accessibility, and the system prompt that asks the user to allow
  // it (the answer is the state at the time of asking).
  virtual bool isProcessTrusted() = 0;
  virtual bool requestTrustWithPrompt() = 0;

  virtual AXElement applicationElement(Pid pid) = 0;
  // The process an element belongs to; 0 when it cannot be told.
  virtual Pid pidOf(const AXElement& element) = 0;
  // The window-server number of a window element, from a look-up the platform may not offer at
  // all; none when it is missing or fails for this element.
  virtual std::optional<WindowNumber> windowNumber(const AXElement& element) = 0;

  // Copies an attribute into `out` (left as monostate on failure).
  virtual AXError copyAttribute(const AXElement& element, std::string_view attribute,
                                AXValue& out) = 0;
  virtual AXError setAttribute(const AXElement& element, std::string_view attribute,
                               const AXValue& value) = 0;
  virtual AXError performAction(const AXElement& element, std::string_view action) = 0;
  // Bounds every later call on the element; 0 restores the system default.
  virtual AXError setMessagingTimeout(const AXElement& element, float seconds) = 0;

  // One observer per process; its callback runs on the main loop, in the order the notifications
  // happened, and only for registered (element, name) pairs.
  virtual AXError createObserver(Pid pid, std::function<void(const AXNotification&)> callback,
                                 std::unique_ptr<IAXObserver>& observer) = 0;
};

}  // namespace zelvorn
