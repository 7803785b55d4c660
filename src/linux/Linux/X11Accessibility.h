// Accessibility over X11 and EWMH: an application element per process, a window element per
// managed top-level window (its number is the window id), attributes read from the window
// manager's properties and frame geometry, writes sent as window-manager requests and awaited
// with a bound so that a read-back sees their effect, and observers fed by client events.
#pragma once

#include <xcb/xcb.h>

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/IAccessibility.h"

namespace zelvorn {

class X11Accessibility final : public IAccessibility {
 public:
  // Besides the usual names, a window answers "AXResizeIncrements" (a size; none when the client
  // declares no increments): a window manager rounds such a window's size down to a whole number
  // of increments, so a frame may come out short of the one asked for by less than one increment.
  static constexpr std::string_view kResizeIncrements = "AXResizeIncrements";
  // How long a write waits for the window manager to answer before a read-back.
  static constexpr Seconds kAnswerBound = 0.1;
  // After an answer that does not match the request, how long to wait for a further one.
  static constexpr Seconds kQuietAfterAnswer = 0.015;

  X11Accessibility(X11Connection& x, X11Clients& clients);
  ~X11Accessibility() override;

  bool isProcessTrusted() override { return true; }
  bool requestTrustWithPrompt() override { return true; }
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

  static AXElement windowElement(xcb_window_t window);

  // Sends every write still held back; the window manager's answers are awaited on the next read.
  void flushWrites();
  // Asks the window manager to activate the window (restoring it when iconic) without waiting for
  // the answer: activating an application is a request that completes later, as it is elsewhere.
  void requestActivation(xcb_window_t window);

  // Parking. Window managers keep windows on screen, so a frame written to lie off every monitor
  // but for a sliver (at most kParkingSliver square pixels on screen) parks the window instead:
  // it is iconified, keeps its geometry, and reads as being where it was asked to go (and not
  // minimized). The next on-screen frame written brings it back. A parked window the user
  // restores by other means (a task bar) is simply back.
  static constexpr double kParkingSliver = 64;
  // Where the window is parked (AX space), or none.
  std::optional<AXPoint> parkedAt(xcb_window_t window);

 private:
  struct Pending {
    std::optional<double> x, y, width, height;  // the frame, in AX space
  };
  struct Awaiting {
    std::uint64_t configuresBefore = 0;
    Rect target;           // the frame asked for, root coordinates
    FrameExtents extents;  // the decoration the request was computed with
    FrameExtents shadow;   // and the client's own shadow
    Rect expectedClient;   // root coordinates, after the client's size hints
  };
  class Observer;
  struct ObserverHub;

  std::optional<xcb_window_t> windowOf(const AXElement& element) const;
  std::optional<Pid> appOf(const AXElement& element) const;
  AXError copyAppAttribute(Pid pid, std::string_view attribute, AXValue& out);
  AXError copyWindowAttribute(xcb_window_t window, std::string_view attribute, AXValue& out);
  bool isManaged(xcb_window_t window) const;
  // Sends the held-back frame of one window.
  void flush(xcb_window_t window);
  // Asks the window manager for `target` (a frame in root coordinates) given the window's current
  // geometry; false when it is there already.
  bool request(xcb_window_t window, const Rect& target, const X11Geometry& current,
               const X11SizeHints& hints);
  // Waits for the answer to the last request; false when the bound passed without one.
  void awaitAnswer(xcb_window_t window, const Awaiting& a);
  // Waits (bounded) until the window manager answered the last frame sent to the window.
  void settle(xcb_window_t window);
  // Answers whether it had to (and so changed the window's geometry and decoration).
  bool leaveMaximizedAndFullScreen(xcb_window_t window, const std::vector<xcb_atom_t>& states);
  bool changeState(xcb_window_t window, bool add, xcb_atom_t state);
  bool setIconic(xcb_window_t window, bool iconic);
  bool isParkingFrame(const Rect& frame);
  void park(xcb_window_t window, const AXPoint& at);
  // Activates the window and waits (bounded) until it is the active one, unless it never takes
  // the focus.
  bool activate(xcb_window_t window);
  void onChange(const X11ClientChange& change);

  X11Connection& x_;
  X11Clients& clients_;
  std::map<xcb_window_t, Pending> pending_;
  std::map<xcb_window_t, Awaiting> awaiting_;
  std::map<xcb_window_t, Rect> lastFrames_;
  bool flushPosted_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::shared_ptr<ObserverHub> hub_;
  Subscription changes_;
};

}  // namespace zelvorn
