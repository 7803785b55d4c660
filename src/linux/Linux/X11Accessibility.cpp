// Accessibility over X11: elements, attribute reads and writes, observers. What a write asks of the
// window manager (moves, parking, states, activation) is in X11WindowRequests.cpp.
#include "Linux/X11Accessibility.h"

#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace zelvorn {

namespace {

constexpr std::uint64_t kWindowTag = 1ull << 32;
constexpr std::uint64_t kAppTag = 2ull << 32;
constexpr std::uint64_t kTagMask = 0xffffffffull << 32;

}  // namespace

// The observers alive right now; a notification is posted to each observer of the process that
// registered for it on the window or on the application.
struct X11Accessibility::ObserverHub {
  std::vector<Observer*> observers;
};

class X11Accessibility::Observer final : public IAXObserver {
 public:
  Observer(std::shared_ptr<ObserverHub> hub, PosixMainLoop& loop, Pid pid,
           std::function<void(const AXNotification&)> callback)
      : hub_(std::move(hub)), loop_(loop), pid_(pid), callback_(std::move(callback)) {
    hub_->observers.push_back(this);
  }
  ~Observer() override {
    *alive_ = false;
    std::erase(hub_->observers, this);
  }
  AXError add(const AXElement& element, std::string_view notification) override {
    if (element.isNull()) return kAXErrorIllegalArgument;
    if (!registrations_.emplace(element.identity(), std::string(notification)).second)
      return kAXErrorNotificationAlreadyRegistered;
    return kAXErrorSuccess;
  }
  AXError remove(const AXElement& element, std::string_view notification) override {
    return registrations_.erase({element.identity(), std::string(notification)}) ? kAXErrorSuccess
                                                                                 : kAXErrorFailure;
  }
  void deliver(Pid pid, const AXElement& element, const std::string& name) {
    if (pid != pid_) return;
    bool wanted = registrations_.count({element.identity(), name}) ||
                  registrations_.count({kAppTag | static_cast<std::uint32_t>(pid), name});
    if (!wanted) return;
    std::weak_ptr<bool> alive = alive_;
    auto callback = callback_;
    loop_.post([alive, callback, n = AXNotification{element, name}] {
      if (auto a = alive.lock(); a && *a) callback(n);
    });
  }

 private:
  std::shared_ptr<ObserverHub> hub_;
  PosixMainLoop& loop_;
  Pid pid_;
  std::function<void(const AXNotification&)> callback_;
  std::set<std::pair<std::uint64_t, std::string>> registrations_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

X11Accessibility::X11Accessibility(X11Connection& x, X11Clients& clients)
    : x_(x), clients_(clients), hub_(std::make_shared<ObserverHub>()) {
  changes_ = clients_.onChange([this](const X11ClientChange& c) { onChange(c); });
}

X11Accessibility::~X11Accessibility() {
  *alive_ = false;
}

AXElement X11Accessibility::windowElement(xcb_window_t window) {
  return AXElement(kWindowTag | window);
}

AXElement X11Accessibility::applicationElement(Pid pid) {
  if (pid == 0) return {};
  return AXElement(kAppTag | static_cast<std::uint32_t>(pid));
}

std::optional<xcb_window_t> X11Accessibility::windowOf(const AXElement& element) const {
  if ((element.identity() & kTagMask) != kWindowTag) return std::nullopt;
  return static_cast<xcb_window_t>(element.identity() & 0xffffffffu);
}

std::optional<Pid> X11Accessibility::appOf(const AXElement& element) const {
  if ((element.identity() & kTagMask) != kAppTag) return std::nullopt;
  return static_cast<Pid>(static_cast<std::uint32_t>(element.identity() & 0xffffffffu));
}

Pid X11Accessibility::pidOf(const AXElement& element) {
  if (auto pid = appOf(element)) return *pid;
  if (auto w = windowOf(element)) {
    if (auto pid = clients_.pidOfWindow(*w)) return *pid;
    return x_.pidOf(*w);
  }
  return 0;
}

std::optional<WindowNumber> X11Accessibility::windowNumber(const AXElement& element) {
  if (auto w = windowOf(element)) return *w;
  return std::nullopt;
}

bool X11Accessibility::isManaged(xcb_window_t window) const {
  return clients_.pidOfWindow(window).has_value();
}

AXError X11Accessibility::copyAttribute(const AXElement& element, std::string_view attribute,
                                        AXValue& out) {
  out = std::monostate{};
  if (auto pid = appOf(element)) return copyAppAttribute(*pid, attribute, out);
  if (auto w = windowOf(element)) return copyWindowAttribute(*w, attribute, out);
  return kAXErrorIllegalArgument;
}

AXError X11Accessibility::copyAppAttribute(Pid pid, std::string_view attribute, AXValue& out) {
  auto windows = [&] { return clients_.windowsOfFrontToBack(pid); };
  if (attribute == "AXRole") {
    out = std::string("AXApplication");
  } else if (attribute == "AXWindows") {
    std::vector<AXElement> elements;
    for (auto w : windows())
      elements.push_back(windowElement(w));
    out = std::move(elements);
  } else if (attribute == "AXFocusedWindow" || attribute == "AXMainWindow") {
    xcb_window_t w = clients_.lastActiveOf(pid);
    if (!w) {
      auto all = windows();
      if (all.empty()) return kAXErrorNoValue;
      w = all.front();
    }
    out = windowElement(w);
  } else if (attribute == "AXFrontmost") {
    out = clients_.pidOfWindow(clients_.active()) == pid;
  } else if (attribute == "AXHidden") {
    // Hidden when every window is iconic; parked windows do not count either way.
    std::vector<xcb_window_t> shown;
    for (auto w : windows())
      if (!parkedAt(w)) shown.push_back(w);
    out = !shown.empty() &&
          std::all_of(shown.begin(), shown.end(), [&](xcb_window_t w) { return x_.isIconic(w); });
  } else if (attribute == "AXTitle") {
    auto all = clients_.windowsOf(pid);
    if (all.empty()) return kAXErrorNoValue;
    auto f = x_.facts(all.front());
    if (f.className.empty()) return kAXErrorNoValue;
    out = f.className;
  } else {
    // Menu bars, documents and the rest have no X11 counterpart.
    return kAXErrorAttributeUnsupported;
  }
  return kAXErrorSuccess;
}

AXError X11Accessibility::copyWindowAttribute(xcb_window_t window, std::string_view attribute,
                                              AXValue& out) {
  if (!isManaged(window)) return kAXErrorInvalidUIElement;
  auto* ewmh = x_.ewmh();
  if (attribute == "AXPosition" || attribute == "AXSize") {
    // Every held write goes out before this window's answer is awaited: windows placed together
    // are then moved by the window manager together, and each answer is waited for once.
    flushWrites();
    settle(window);
    auto g = x_.geometry(window);
    if (!g) return kAXErrorInvalidUIElement;
    Rect f = g->frame();
    Point o = x_.axOrigin();
    if (attribute == "AXPosition")
      out = parkedAt(window).value_or(AXPoint{f.x - o.x, f.y - o.y});
    else
      out = Size{f.width, f.height};
    return kAXErrorSuccess;
  }
  if (attribute == kResizeIncrements) {
    auto h = x_.sizeHints(window);
    if (!h || (h->increment.width <= 1 && h->increment.height <= 1)) return kAXErrorNoValue;
    out = Size{std::max(1.0, h->increment.width), std::max(1.0, h->increment.height)};
    return kAXErrorSuccess;
  }
  if (attribute == "AXIdentifier" || attribute == "AXDocument" || attribute == "AXChildren")
    return kAXErrorNoValue;
  auto f = x_.facts(window);
  if (!f.exists) return kAXErrorInvalidUIElement;
  auto has = [&](xcb_atom_t a) {
    return std::find(f.states.begin(), f.states.end(), a) != f.states.end();
  };
  if (attribute == "AXRole") {
    out = std::string("AXWindow");
  } else if (attribute == "AXSubrole") {
    // The first type the program knows decides (the list is in the client's order of preference);
    // a window with no known type is a dialog when it is transient for another, else normal.
    std::optional<std::string> subrole;
    for (auto t : f.types) {
      if (t == ewmh->_NET_WM_WINDOW_TYPE_NORMAL)
        subrole = "AXStandardWindow";
      else if (t == ewmh->_NET_WM_WINDOW_TYPE_DIALOG)
        subrole = "AXDialog";
      else if (t == ewmh->_NET_WM_WINDOW_TYPE_UTILITY || t == ewmh->_NET_WM_WINDOW_TYPE_TOOLBAR ||
               t == ewmh->_NET_WM_WINDOW_TYPE_MENU)
        subrole = "AXFloatingWindow";
      else if (t == ewmh->_NET_WM_WINDOW_TYPE_SPLASH || t == ewmh->_NET_WM_WINDOW_TYPE_DOCK ||
               t == ewmh->_NET_WM_WINDOW_TYPE_DESKTOP ||
               t == ewmh->_NET_WM_WINDOW_TYPE_NOTIFICATION)
        subrole = "AXUnknown";
      if (subrole) break;
    }
    if (!subrole) subrole = f.transientFor ? "AXDialog" : "AXStandardWindow";
    if (*subrole == "AXStandardWindow" && has(ewmh->_NET_WM_STATE_MODAL)) subrole = "AXDialog";
    out = *subrole;
  } else if (attribute == "AXTitle") {
    if (!f.title) return kAXErrorNoValue;
    out = *f.title;
  } else if (attribute == "AXMinimized") {
    out = f.iconic && !parkedAt(window);
  } else if (attribute == "AXFullScreen") {
    out = has(ewmh->_NET_WM_STATE_FULLSCREEN);
  } else if (attribute == "AXMain") {
    xcb_window_t main = clients_.lastActiveOf(f.pid);
    if (!main) {
      auto front = clients_.windowsOfFrontToBack(f.pid);
      main = front.empty() ? 0 : front.front();
    }
    out = main == window;
  } else if (attribute == "AXFocused") {
    out = clients_.active() == window;
  } else {
    return kAXErrorAttributeUnsupported;
  }
  return kAXErrorSuccess;
}

AXError X11Accessibility::setAttribute(const AXElement& element, std::string_view attribute,
                                       const AXValue& value) {
  if (auto pid = appOf(element)) {
    auto* b = std::get_if<bool>(&value);
    if (attribute == "AXFrontmost") {
      if (!b) return kAXErrorIllegalArgument;
      auto front = clients_.windowsOfFrontToBack(*pid);
      if (*b && !front.empty()) activate(front.front());
      return kAXErrorSuccess;
    }
    if (attribute == "AXHidden") {
      if (!b) return kAXErrorIllegalArgument;
      // Showing the application again leaves its parked windows where they are.
      for (auto w : clients_.windowsOf(*pid))
        if (*b || !parkedAt(w)) setIconic(w, *b);
      return kAXErrorSuccess;
    }
    return kAXErrorAttributeUnsupported;
  }
  auto window = windowOf(element);
  if (!window) return kAXErrorIllegalArgument;
  if (!isManaged(*window)) return kAXErrorInvalidUIElement;

  if (attribute == "AXPosition" || attribute == "AXSize") {
    auto& p = pending_[*window];
    if (attribute == "AXPosition") {
      auto* pt = std::get_if<AXPoint>(&value);
      if (!pt || !std::isfinite(pt->x) || !std::isfinite(pt->y)) return kAXErrorIllegalArgument;
      p.x = std::round(pt->x);
      p.y = std::round(pt->y);
    } else {
      auto* s = std::get_if<Size>(&value);
      if (!s || !std::isfinite(s->width) || !std::isfinite(s->height) || s->width < 0 ||
          s->height < 0)
        return kAXErrorIllegalArgument;
      p.width = std::round(s->width);
      p.height = std::round(s->height);
    }
    // A write nobody reads back still reaches the window manager on the next turn of the loop.
    if (!flushPosted_) {
      flushPosted_ = true;
      std::weak_ptr<bool> alive = alive_;
      x_.loop().post([this, alive] {
        if (auto a = alive.lock(); a && *a) flushWrites();
      });
    }
    return kAXErrorSuccess;
  }
  auto* b = std::get_if<bool>(&value);
  if (attribute == "AXMinimized") {
    if (!b) return kAXErrorIllegalArgument;
    setIconic(*window, *b);
    return kAXErrorSuccess;
  }
  if (attribute == "AXFullScreen") {
    if (!b) return kAXErrorIllegalArgument;
    changeState(*window, *b, x_.ewmh()->_NET_WM_STATE_FULLSCREEN);
    return kAXErrorSuccess;
  }
  if (attribute == "AXMain" || attribute == "AXFocused") {
    if (!b) return kAXErrorIllegalArgument;
    if (*b) activate(*window);
    return kAXErrorSuccess;
  }
  return kAXErrorAttributeUnsupported;
}

AXError X11Accessibility::performAction(const AXElement& element, std::string_view action) {
  auto window = windowOf(element);
  if (!window || action != "AXRaise") return kAXErrorActionUnsupported;
  if (!isManaged(*window)) return kAXErrorInvalidUIElement;
  flush(*window);
  xcb_ewmh_request_restack_window(x_.ewmh(), x_.screenNumber(), *window, XCB_NONE,
                                  XCB_STACK_MODE_ABOVE);
  x_.flush();
  return kAXErrorSuccess;
}

AXError X11Accessibility::setMessagingTimeout(const AXElement& element, float seconds) {
  // Every wait here is bounded already (kAnswerBound); the X server itself answers at once.
  if (element.isNull() || seconds < 0) return kAXErrorIllegalArgument;
  return kAXErrorSuccess;
}

AXError X11Accessibility::createObserver(Pid pid,
                                         std::function<void(const AXNotification&)> callback,
                                         std::unique_ptr<IAXObserver>& observer) {
  if (pid == 0 || !callback) return kAXErrorIllegalArgument;
  observer = std::make_unique<Observer>(hub_, x_.loop(), pid, std::move(callback));
  return kAXErrorSuccess;
}

void X11Accessibility::onChange(const X11ClientChange& c) {
  auto deliver = [&](const AXElement& element, const char* name) {
    for (auto observers = hub_->observers; auto* o : observers)
      if (std::find(hub_->observers.begin(), hub_->observers.end(), o) != hub_->observers.end())
        o->deliver(c.pid, element, name);
  };
  AXElement window = windowElement(c.window);
  switch (c.kind) {
    case X11ClientChange::Kind::added:
      if (auto g = x_.geometry(c.window)) lastFrames_[c.window] = g->frame();
      deliver(window, "AXWindowCreated");
      break;
    case X11ClientChange::Kind::removed:
      lastFrames_.erase(c.window);
      pending_.erase(c.window);
      awaiting_.erase(c.window);
      deliver(window, "AXUIElementDestroyed");
      break;
    case X11ClientChange::Kind::activated:
      deliver(window, "AXFocusedWindowChanged");
      deliver(window, "AXMainWindowChanged");
      deliver(applicationElement(c.pid), "AXApplicationActivated");
      break;
    case X11ClientChange::Kind::configured: {
      auto g = x_.geometry(c.window);
      if (!g) break;
      Rect now = g->frame();
      auto it = lastFrames_.find(c.window);
      std::optional<Rect> before;
      if (it != lastFrames_.end()) before = it->second;
      lastFrames_[c.window] = now;
      if (before && before->x == now.x && before->y == now.y && before->width == now.width &&
          before->height == now.height)
        break;
      if (!before || before->x != now.x || before->y != now.y) deliver(window, "AXWindowMoved");
      if (!before || before->width != now.width || before->height != now.height)
        deliver(window, "AXWindowResized");
      break;
    }
    case X11ClientChange::Kind::iconicChanged:
      // Parking and un-parking are moves, as they are where windows can leave the screen.
      if (x_.facts(c.window).parkMark)
        deliver(window, "AXWindowMoved");
      else
        deliver(window, x_.isIconic(c.window) ? "AXWindowMiniaturized" : "AXWindowDeminiaturized");
      break;
    case X11ClientChange::Kind::titleChanged:
      deliver(window, "AXTitleChanged");
      break;
    case X11ClientChange::Kind::stateChanged:
      break;
  }
}

}  // namespace zelvorn
