// The program's own connection to the X server and the window manager's shared facts: atoms,
// properties, the facts of one managed window read in one round of requests, its frame in root
// coordinates, and the event pump. Every X11 service of the Linux backend reads through it.
#pragma once

#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>
#include <xcb/xcb_icccm.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Linux/PosixMainLoop.h"
#include "Platform/Geometry.h"
#include "Platform/Subscription.h"
#include "Platform/Types.h"

namespace zelvorn {

// Left, right, top and bottom widths of the decoration the window manager draws around a client.
struct FrameExtents {
  std::uint32_t left = 0, right = 0, top = 0, bottom = 0;
  bool operator==(const FrameExtents&) const = default;
};

// What the window manager and the client say about one top-level window.
struct X11WindowFacts {
  xcb_window_t window = 0;
  Pid pid = 0;               // negative: a stand-in for a client that names no process (see pidOf)
  std::string instanceName;  // WM_CLASS, first part
  std::string className;     // WM_CLASS, second part
  std::optional<std::string> title;
  std::vector<xcb_atom_t> types;
  std::vector<xcb_atom_t> states;
  xcb_window_t transientFor = 0;
  bool iconic = false;
  bool exists = false;
  // Where the program parked the window (AX space), from its own property on the window.
  std::optional<Point> parkMark;
};

// The client's own rectangle and the decoration around it, in root coordinates. A client that
// draws its own decoration (GTK's headerbar windows) draws a shadow inside its rectangle and
// names its width in _GTK_FRAME_EXTENTS: the frame the user sees is the client less that shadow.
struct X11Geometry {
  Rect client;
  FrameExtents extents;  // the window manager's decoration, outside the client
  FrameExtents shadow;   // the client's own invisible margin, inside it
  Rect frame() const {
    return {client.x - extents.left + shadow.left, client.y - extents.top + shadow.top,
            client.width + extents.left + extents.right - shadow.left - shadow.right,
            client.height + extents.top + extents.bottom - shadow.top - shadow.bottom};
  }
  bool operator==(const X11Geometry&) const = default;
};

// The size constraints a client declares (WM_NORMAL_HINTS); zero means "not declared".
struct X11SizeHints {
  Size minimum;
  Size base;
  Size increment;
  bool operator==(const X11SizeHints&) const = default;
};

// One RandR monitor: its name and rectangle in root coordinates.
struct X11Monitor {
  std::string name;
  Rect rect;
  bool primary = false;
  bool operator==(const X11Monitor&) const = default;
};

class X11Connection {
 public:
  // None when no X server answers at `displayName` (null: $DISPLAY) or it has no EWMH atoms.
  static std::unique_ptr<X11Connection> open(PosixMainLoop& loop,
                                             const char* displayName = nullptr);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  xcb_connection_t* xcb() const { return conn_; }
  xcb_ewmh_connection_t* ewmh() { return &ewmh_; }
  xcb_window_t root() const { return root_; }
  int screenNumber() const { return screenNumber_; }
  PosixMainLoop& loop() { return loop_; }
  std::uint8_t randrEventBase() const { return randrEventBase_; }

  xcb_atom_t atom(const char* name);

  // Listeners run as soon as an event is read, which may be in the middle of a synchronous call
  // that waits for the window manager; whatever reaches the core must be posted to the loop.
  Subscription onEvent(std::function<void(const xcb_generic_event_t&)> listener);
  // Reads and dispatches every event already received; answers how many there were.
  std::size_t pump();
  // Pumps until `done` answers true or `bound` seconds passed; answers `done()`. `done` is asked
  // after every batch of events and, with a positive `recheck`, at least that often.
  bool waitUntil(const std::function<bool()>& done, Seconds bound, Seconds recheck = 0);
  void flush() { xcb_flush(conn_); }
  // Called once, on the loop, when the connection to the server is lost.
  void setOnLost(std::function<void()> handler) { onLost_ = std::move(handler); }
  // Counts ConfigureNotify events per window, so a writer can tell the window manager answered.
  std::uint64_t configureCount(xcb_window_t window) const;

  // --- Root facts ---
  std::vector<xcb_window_t> clientList();
  // Bottom to top: the window manager's list, in the order the server really stacks the windows
  // (a window manager may keep its list the wrong way round).
  std::vector<xcb_window_t> clientListStacking();
  // `listed` in the order of each window's top-level ancestor among `children` (the root's
  // children, bottom to top); windows whose ancestor is not there stay below, in listed order,
  // and windows sharing one keep their listed order.
  static std::vector<xcb_window_t> orderByServerStacking(
      std::vector<xcb_window_t> listed, const std::function<xcb_window_t(xcb_window_t)>& topLevelOf,
      const std::vector<xcb_window_t>& children);
  xcb_window_t activeWindow();
  // The window manager's check window, or 0 when no EWMH window manager runs.
  xcb_window_t supportingWMCheck();

  // The monitors, primary first when one is marked primary; cached until the screen changes.
  // A copy: reading anything else may dispatch an event that makes the connection forget them.
  std::vector<X11Monitor> monitors();
  // The origin of AX space in root coordinates: the primary monitor's top-left corner.
  Point axOrigin();
  // _NET_WORKAREA of the current desktop, in root coordinates.
  std::optional<Rect> workArea();

  // --- Window facts ---
  X11WindowFacts facts(xcb_window_t window);
  // _NET_WM_PID; else the local process behind the client's connection (X-Resource); else a
  // negative stand-in shared by the windows of one client leader or one WM_CLASS.
  Pid pidOf(xcb_window_t window);
  // Cached until an event about the window arrives or the loop goes to sleep, so the reads of one
  // burst of work (a placement and its read-back) share one round trip.
  std::optional<X11Geometry> geometry(xcb_window_t window);
  // Whether the client runs on this machine (WM_CLIENT_MACHINE is this host, or unset).
  bool isLocalClient(xcb_window_t window);
  // What a move/resize request is computed from, in one round trip: state, geometry, size hints.
  struct RequestFacts {
    std::vector<xcb_atom_t> states;
    std::optional<X11Geometry> geometry;
    X11SizeHints hints;
  };
  RequestFacts requestFacts(xcb_window_t window);
  std::optional<X11SizeHints> sizeHints(xcb_window_t window);
  // False for a client of the ICCCM "no input" model (input hint false, no WM_TAKE_FOCUS): the
  // window manager raises it when asked to activate it but never gives it the focus.
  bool acceptsFocus(xcb_window_t window);
  std::vector<xcb_atom_t> wmState(xcb_window_t window);
  bool isIconic(xcb_window_t window);
  // Selects the structure and property events of a client (idempotent).
  void watchClient(xcb_window_t window);
  // Sets (or with none, removes) the program's park mark on a window. The mark lives on the
  // window in the server, so it outlives the program: a window parked before a crash is known as
  // parked by the next run.
  void setParkMark(xcb_window_t window, std::optional<Point> at);

 private:
  X11Connection(PosixMainLoop& loop, xcb_connection_t* conn, int screenNumber);
  bool initialize();
  void dispatch(const xcb_generic_event_t& event);
  std::optional<X11Geometry> geometryReplies(xcb_window_t window, xcb_get_geometry_cookie_t cGeom,
                                             xcb_translate_coordinates_cookie_t cTrans,
                                             xcb_get_property_cookie_t cExt,
                                             xcb_get_property_cookie_t cShadow);
  static X11SizeHints hintsOf(const xcb_size_hints_t& hints);
  xcb_get_property_cookie_t shadowCookie(xcb_window_t window);

  PosixMainLoop& loop_;
  xcb_connection_t* conn_;
  xcb_ewmh_connection_t ewmh_{};
  bool ewmhReady_ = false;
  int screenNumber_;
  xcb_window_t root_ = 0;
  std::uint8_t randrEventBase_ = 0;
  bool hasRes_ = false;
  std::vector<std::pair<std::string, xcb_atom_t>> atoms_;
  struct Listener {
    std::uint64_t id;
    std::shared_ptr<std::function<void(const xcb_generic_event_t&)>> fn;
  };
  std::vector<Listener> listeners_;
  std::uint64_t nextListener_ = 1;
  std::vector<std::pair<xcb_window_t, std::uint64_t>> configureCounts_;
  std::vector<xcb_window_t> watched_;
  std::optional<std::vector<X11Monitor>> monitors_;
  std::vector<std::pair<xcb_window_t, X11Geometry>> geometryCache_;
  std::vector<std::pair<xcb_window_t, bool>> iconicCache_;
  std::vector<std::pair<xcb_window_t, std::vector<xcb_atom_t>>> stateCache_;
  std::vector<std::pair<xcb_window_t, X11SizeHints>> hintsCache_;
  std::vector<std::pair<xcb_window_t, X11WindowFacts>> factsCache_;
  // Properties of the root window, each forgotten when it changes.
  struct RootCache {
    std::optional<std::optional<Rect>> workArea;
    std::optional<std::vector<xcb_window_t>> stacking;  // the window manager's list
    std::optional<std::vector<xcb_window_t>> children;  // the server's order, bottom to top
  };
  // The child of the root that holds a window (its frame, or the window itself); kept until the
  // window is reparented or destroyed.
  std::vector<std::pair<xcb_window_t, xcb_window_t>> topLevelCache_;
  xcb_window_t topLevelOf(xcb_window_t window);
  std::vector<xcb_window_t> rootChildren();
  RootCache rootCache_;
  std::uint64_t forgets_ = 0;
  std::uint64_t dispatched_ = 0;  // events dispatched so far
  // Dispatches the events received so far; false when one of them made the program forget
  // something, so that a value just read may be stale and must not be kept.
  bool stillValid();
  X11WindowFacts readFacts(xcb_window_t window);
  std::optional<Rect> readWorkArea();
  // A window's geometry changed: its frame is read again.
  void forgetGeometry(xcb_window_t window);
  // A property changed (or the window went): everything about it is read again.
  void forget(xcb_window_t window);
  std::function<void()> onLost_;
  Subscription fdWatch_;
  Subscription sleepHook_;
};

}  // namespace zelvorn
