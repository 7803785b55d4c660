// What Accessibility writes ask of the window manager. Frame writes are held back and sent as one
// _NET_MOVERESIZE_WINDOW per window (the separate size, position, size writes of a placement would
// otherwise cost three window-manager round trips); the next read of a frame sends what is held
// and waits, bounded, for the window manager's ConfigureNotify so that it reads the new geometry.
// Also parking, state changes (maximized, full screen, iconic) and activation.
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cmath>

#include "Linux/X11Accessibility.h"

namespace zelvorn {

namespace {

// The length a window manager gives a client that sizes in increments (a terminal's cells).
double applyIncrement(double length, double base, double increment, double minimum) {
  if (increment > 1) length = base + std::floor((length - base) / increment) * increment;
  return std::max({length, minimum, 1.0});
}

}  // namespace

void X11Accessibility::flushWrites() {
  flushPosted_ = false;
  while (!pending_.empty())
    flush(pending_.begin()->first);
}

void X11Accessibility::flush(xcb_window_t window) {
  auto node = pending_.extract(window);
  if (!node) return;
  const Pending& p = node.mapped();
  auto facts = x_.requestFacts(window);
  if (leaveMaximizedAndFullScreen(window, facts.states)) facts = x_.requestFacts(window);
  auto& g = facts.geometry;
  if (!g) return;
  Point o = x_.axOrigin();
  Rect current = g->frame();
  Rect target{p.x ? *p.x + o.x : current.x, p.y ? *p.y + o.y : current.y,
              p.width ? *p.width : current.width, p.height ? *p.height : current.height};
  if (isParkingFrame(target)) {
    park(window, AXPoint{target.x - o.x, target.y - o.y});
    return;
  }
  // An on-screen frame for a parked window brings it back first (at the geometry it kept).
  if (parkedAt(window)) setIconic(window, false);
  request(window, target, *g, facts.hints);
}

bool X11Accessibility::isParkingFrame(const Rect& frame) {
  if (frame.width <= 0 || frame.height <= 0) return false;
  double onScreen = 0;
  for (const auto& m : x_.monitors())
    if (Rect inside = frame.intersection(m.rect); !inside.isEmpty())
      onScreen += inside.width * inside.height;
  return onScreen <= kParkingSliver;
}

void X11Accessibility::park(xcb_window_t window, const AXPoint& at) {
  // The mark first: should the program stop in between, a marked window that is not iconic is
  // merely back, never lost.
  x_.setParkMark(window, Point{at.x, at.y});
  setIconic(window, true);
}

std::optional<AXPoint> X11Accessibility::parkedAt(xcb_window_t window) {
  auto f = x_.facts(window);
  if (!f.parkMark) return std::nullopt;
  // Marked but shown: restored by someone else (or parking was cut short); it is back.
  if (!f.iconic) {
    x_.setParkMark(window, std::nullopt);
    return std::nullopt;
  }
  return AXPoint{f.parkMark->x, f.parkMark->y};
}

bool X11Accessibility::request(xcb_window_t window, const Rect& target, const X11Geometry& current,
                               const X11SizeHints& hints) {
  const auto& e = current.extents;
  const auto& s = current.shadow;
  // The client is the frame seen plus its own shadow, less the window manager's decoration.
  double clientWidth = target.width - e.left - e.right + s.left + s.right;
  double clientHeight = target.height - e.top - e.bottom + s.top + s.bottom;
  // NorthWest gravity: x and y name the corner of the window manager's frame (for a client that
  // draws its own decoration, the corner of its shadow), width and height the client's size.
  double x = target.x - s.left, y = target.y - s.top;
  Rect expected{
      x + e.left, y + e.top,
      applyIncrement(clientWidth, hints.base.width, hints.increment.width, hints.minimum.width),
      applyIncrement(clientHeight, hints.base.height, hints.increment.height,
                     hints.minimum.height)};
  if (expected == current.client) return false;
  awaiting_[window] = Awaiting{x_.configureCount(window), target, e, s, expected};
  auto flags = static_cast<xcb_ewmh_moveresize_window_opt_flags_t>(
      XCB_EWMH_MOVERESIZE_WINDOW_X | XCB_EWMH_MOVERESIZE_WINDOW_Y |
      XCB_EWMH_MOVERESIZE_WINDOW_WIDTH | XCB_EWMH_MOVERESIZE_WINDOW_HEIGHT);
  // The coordinates travel as 32-bit values a window manager reads as signed.
  xcb_ewmh_request_moveresize_window(
      x_.ewmh(), x_.screenNumber(), window, XCB_GRAVITY_NORTH_WEST,
      XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, flags, static_cast<std::uint32_t>(std::lround(x)),
      static_cast<std::uint32_t>(std::lround(y)),
      static_cast<std::uint32_t>(std::max(1L, std::lround(clientWidth))),
      static_cast<std::uint32_t>(std::max(1L, std::lround(clientHeight))));
  x_.flush();
  return true;
}

void X11Accessibility::settle(xcb_window_t window) {
  auto node = awaiting_.extract(window);
  if (!node) return;
  const Awaiting a = node.mapped();
  awaitAnswer(window, a);
  // The decoration changed under the request (a state change the window manager finished only
  // now): the client size was computed for the old one, so ask once more with the new.
  auto g = x_.geometry(window);
  if (g && (g->extents != a.extents || g->shadow != a.shadow) &&
      request(window, a.target, *g, x_.sizeHints(window).value_or(X11SizeHints{}))) {
    auto again = awaiting_.extract(window);
    awaitAnswer(window, again.mapped());
  }
}

void X11Accessibility::awaitAnswer(xcb_window_t window, const Awaiting& a) {
  std::uint64_t seen = a.configuresBefore;
  Seconds lastAnswer = 0;
  // Done when the client has the geometry its size hints predict; otherwise (the window manager
  // clamped or refused it) once the answers have stopped for a moment.
  x_.waitUntil(
      [&] {
        std::uint64_t count = x_.configureCount(window);
        if (count != seen) {
          seen = count;
          lastAnswer = x_.loop().now();
          auto g = x_.geometry(window);
          if (!g || g->client == a.expectedClient) return true;
        }
        return seen != a.configuresBefore && x_.loop().now() - lastAnswer >= kQuietAfterAnswer;
      },
      kAnswerBound, kQuietAfterAnswer);
}

bool X11Accessibility::leaveMaximizedAndFullScreen(xcb_window_t window,
                                                   const std::vector<xcb_atom_t>& states) {
  auto* ewmh = x_.ewmh();
  auto has = [&](xcb_atom_t a) {
    return std::find(states.begin(), states.end(), a) != states.end();
  };
  bool maximized =
      has(ewmh->_NET_WM_STATE_MAXIMIZED_VERT) || has(ewmh->_NET_WM_STATE_MAXIMIZED_HORZ);
  bool fullScreen = has(ewmh->_NET_WM_STATE_FULLSCREEN);
  if (!maximized && !fullScreen) return false;
  auto extentsBefore = x_.geometry(window).value_or(X11Geometry{}).extents;
  std::uint64_t configuresBefore = x_.configureCount(window);
  // A maximized window ignores move and resize requests altogether.
  if (maximized)
    xcb_ewmh_request_change_wm_state(ewmh, x_.screenNumber(), window, XCB_EWMH_WM_STATE_REMOVE,
                                     ewmh->_NET_WM_STATE_MAXIMIZED_VERT,
                                     ewmh->_NET_WM_STATE_MAXIMIZED_HORZ,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  if (fullScreen)
    xcb_ewmh_request_change_wm_state(ewmh, x_.screenNumber(), window, XCB_EWMH_WM_STATE_REMOVE,
                                     ewmh->_NET_WM_STATE_FULLSCREEN, 0,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  // The decoration changes with the state (no borders while maximized): the frame maths must wait
  // for the new extents, or for the window manager's configure to settle when they stay the same.
  std::uint64_t seen = configuresBefore;
  Seconds lastAnswer = x_.loop().now();
  x_.waitUntil(
      [&] {
        auto s = x_.wmState(window);
        auto in = [&](xcb_atom_t a) { return std::find(s.begin(), s.end(), a) != s.end(); };
        if (in(ewmh->_NET_WM_STATE_MAXIMIZED_VERT) || in(ewmh->_NET_WM_STATE_MAXIMIZED_HORZ) ||
            in(ewmh->_NET_WM_STATE_FULLSCREEN))
          return false;
        auto g = x_.geometry(window);
        if (!g || g->extents != extentsBefore) return true;
        if (std::uint64_t c = x_.configureCount(window); c != seen) {
          seen = c;
          lastAnswer = x_.loop().now();
        }
        return seen != configuresBefore && x_.loop().now() - lastAnswer >= kQuietAfterAnswer;
      },
      kAnswerBound, kQuietAfterAnswer);
  return true;
}

bool X11Accessibility::changeState(xcb_window_t window, bool add, xcb_atom_t state) {
  auto states = x_.wmState(window);
  bool has = std::find(states.begin(), states.end(), state) != states.end();
  if (has == add) return true;
  xcb_ewmh_request_change_wm_state(x_.ewmh(), x_.screenNumber(), window,
                                   add ? XCB_EWMH_WM_STATE_ADD : XCB_EWMH_WM_STATE_REMOVE, state, 0,
                                   XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  return x_.waitUntil(
      [&] {
        auto s = x_.wmState(window);
        return (std::find(s.begin(), s.end(), state) != s.end()) == add;
      },
      kAnswerBound);
}

bool X11Accessibility::setIconic(xcb_window_t window, bool iconic) {
  // Restoring a parked window un-parks it.
  if (!iconic && x_.facts(window).parkMark) x_.setParkMark(window, std::nullopt);
  if (x_.isIconic(window) == iconic) return true;
  if (iconic) {
    xcb_client_message_event_t m{};
    m.response_type = XCB_CLIENT_MESSAGE;
    m.format = 32;
    m.window = window;
    m.type = x_.atom("WM_CHANGE_STATE");
    m.data.data32[0] = XCB_ICCCM_WM_STATE_ICONIC;
    xcb_send_event(x_.xcb(), 0, x_.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&m));
  } else {
    // Clearing the hidden state restores the window without activating it.
    xcb_ewmh_request_change_wm_state(x_.ewmh(), x_.screenNumber(), window, XCB_EWMH_WM_STATE_REMOVE,
                                     x_.ewmh()->_NET_WM_STATE_HIDDEN, 0,
                                     XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  }
  if (x_.waitUntil([&] { return x_.isIconic(window) == iconic; }, kAnswerBound)) return true;
  if (!iconic) {
    // A window manager that ignores the state request still maps a window its client maps.
    xcb_map_window(x_.xcb(), window);
    return x_.waitUntil([&] { return !x_.isIconic(window); }, kAnswerBound);
  }
  return false;
}

void X11Accessibility::requestActivation(xcb_window_t window) {
  if (!isManaged(window)) return;
  flush(window);
  if (x_.isIconic(window)) setIconic(window, false);
  xcb_ewmh_request_change_active_window(x_.ewmh(), x_.screenNumber(), window,
                                        XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME,
                                        clients_.active());
  // Activating brings the window to the front; some window managers only focus it.
  xcb_ewmh_request_restack_window(x_.ewmh(), x_.screenNumber(), window, XCB_NONE,
                                  XCB_STACK_MODE_ABOVE);
  x_.flush();
}

bool X11Accessibility::activate(xcb_window_t window) {
  requestActivation(window);
  // A client that never takes the focus is raised but never becomes the active window.
  if (!x_.acceptsFocus(window)) return true;
  return x_.waitUntil([&] { return x_.activeWindow() == window; }, kAnswerBound / 2);
}

}  // namespace zelvorn
