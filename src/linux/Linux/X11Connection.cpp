// The X connection: set-up (EWMH atoms, RandR and X-Resource), root and client event selection,
// the event pump that the main loop and synchronous waits share, and what it reads of the root
// (client lists, stacking, monitors, work area). What it reads of one window is in
// X11WindowReads.cpp.
#include "Linux/X11Connection.h"

#include <poll.h>
#include <unistd.h>
#include <xcb/randr.h>
#include <xcb/res.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "Linux/X11Replies.h"

namespace zelvorn {

using x11::Reply;
using x11::windowsOf;

std::unique_ptr<X11Connection> X11Connection::open(PosixMainLoop& loop, const char* displayName) {
  int screen = 0;
  xcb_connection_t* conn = xcb_connect(displayName, &screen);
  if (!conn || xcb_connection_has_error(conn)) {
    if (conn) xcb_disconnect(conn);
    return nullptr;
  }
  std::unique_ptr<X11Connection> c(new X11Connection(loop, conn, screen));
  if (!c->initialize()) return nullptr;
  return c;
}

X11Connection::X11Connection(PosixMainLoop& loop, xcb_connection_t* conn, int screenNumber)
    : loop_(loop), conn_(conn), screenNumber_(screenNumber) {}

X11Connection::~X11Connection() {
  fdWatch_.reset();
  sleepHook_.reset();
  if (ewmhReady_) xcb_ewmh_connection_wipe(&ewmh_);
  xcb_disconnect(conn_);
}

bool X11Connection::initialize() {
  const xcb_setup_t* setup = xcb_get_setup(conn_);
  auto it = xcb_setup_roots_iterator(setup);
  for (int i = 0; i < screenNumber_ && it.rem; ++i)
    xcb_screen_next(&it);
  if (!it.rem) return false;
  root_ = it.data->root;

  xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(conn_, &ewmh_);
  if (!xcb_ewmh_init_atoms_replies(&ewmh_, cookies, nullptr)) return false;
  ewmhReady_ = true;

  // Substructure events too: a window manager moves a client by moving the frame it put the
  // client in, and only the frame's ConfigureNotify (a child of the root) tells of that move.
  std::uint32_t rootMask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                           XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  xcb_change_window_attributes(conn_, root_, XCB_CW_EVENT_MASK, &rootMask);

  if (const auto* randr = xcb_get_extension_data(conn_, &xcb_randr_id); randr && randr->present) {
    randrEventBase_ = randr->first_event;
    xcb_randr_select_input(conn_, root_,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE);
  }
  if (const auto* res = xcb_get_extension_data(conn_, &xcb_res_id); res && res->present) {
    Reply<xcb_res_query_version_reply_t> v(
        xcb_res_query_version_reply(conn_, xcb_res_query_version(conn_, 1, 2), nullptr));
    hasRes_ = v && (v->server_major > 1 || (v->server_major == 1 && v->server_minor >= 2));
  }
  xcb_flush(conn_);

  fdWatch_ = loop_.watchReadable(xcb_get_file_descriptor(conn_), [this] {
    pump();
    // The server went away: its socket stays readable for ever, so stop watching it (or the loop
    // would spin) and say so once.
    if (xcb_connection_has_error(conn_)) {
      fdWatch_ = {};
      sleepHook_ = {};
      if (auto lost = std::move(onLost_)) lost();
    }
  });
  // xcb may have read events off the socket while waiting for a reply; poll() would not see them.
  sleepHook_ = loop_.beforeSleep([this] {
    pump();
    geometryCache_.clear();
    // The properties of a watched client cannot change without a PropertyNotify, which forgets
    // them; only what was read of other windows goes stale.
    auto unwatched = [this](const auto& p) {
      return std::find(watched_.begin(), watched_.end(), p.first) == watched_.end();
    };
    std::erase_if(iconicCache_, unwatched);
    std::erase_if(stateCache_, unwatched);
    std::erase_if(hintsCache_, unwatched);
    std::erase_if(factsCache_, unwatched);
    xcb_flush(conn_);
  });
  return !xcb_connection_has_error(conn_);
}

xcb_atom_t X11Connection::atom(const char* name) {
  for (auto& [n, a] : atoms_)
    if (n == name) return a;
  Reply<xcb_intern_atom_reply_t> r(xcb_intern_atom_reply(
      conn_, xcb_intern_atom(conn_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
      nullptr));
  xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
  atoms_.emplace_back(name, a);
  return a;
}

Subscription X11Connection::onEvent(std::function<void(const xcb_generic_event_t&)> listener) {
  std::uint64_t id = nextListener_++;
  listeners_.push_back(Listener{
      id, std::make_shared<std::function<void(const xcb_generic_event_t&)>>(std::move(listener))});
  return Subscription(
      [this, id] { std::erase_if(listeners_, [id](const Listener& l) { return l.id == id; }); });
}

void X11Connection::dispatch(const xcb_generic_event_t& event) {
  ++dispatched_;
  std::uint8_t type = event.response_type & 0x7f;
  bool rootConfigure = type == XCB_CONFIGURE_NOTIFY &&
                       reinterpret_cast<const xcb_configure_notify_event_t&>(event).window == root_;
  if (rootConfigure ||
      (randrEventBase_ && (type == randrEventBase_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                           type == randrEventBase_ + XCB_RANDR_NOTIFY)))
    monitors_.reset();
  switch (type) {
    case XCB_CONFIGURE_NOTIFY: {
      auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
      forgetGeometry(e.window);
      // A top-level window (a frame) moved: the client inside moved with it, unannounced.
      if (e.event == root_ && e.window != root_) geometryCache_.clear();
      break;
    }
    case XCB_PROPERTY_NOTIFY: {
      auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      if (e.window == root_) {
        // The root's properties change all the time (the active window, the stacking order);
        // each cached one is forgotten only when it is the one that changed.
        ++forgets_;
        if (e.atom == ewmh_._NET_WORKAREA || e.atom == ewmh_._NET_CURRENT_DESKTOP)
          rootCache_.workArea.reset();
        if (e.atom == ewmh_._NET_CLIENT_LIST_STACKING) rootCache_.stacking.reset();
      } else {
        forget(e.window);
      }
      break;
    }
    case XCB_MAP_NOTIFY:
      forgetGeometry(reinterpret_cast<const xcb_map_notify_event_t&>(event).window);
      break;
    case XCB_UNMAP_NOTIFY:
      forgetGeometry(reinterpret_cast<const xcb_unmap_notify_event_t&>(event).window);
      break;
    case XCB_REPARENT_NOTIFY: {
      auto w = reinterpret_cast<const xcb_reparent_notify_event_t&>(event).window;
      forgetGeometry(w);
      std::erase_if(topLevelCache_, [&](const auto& p) { return p.first == w; });
      break;
    }
    case XCB_DESTROY_NOTIFY: {
      auto w = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
      forget(w);
      std::erase_if(topLevelCache_, [&](const auto& p) { return p.first == w || p.second == w; });
      break;
    }
    default:
      break;
  }
  // The root's children were restacked, added, removed or reparented (reported through the
  // root's substructure events, whose `event` is the root).
  auto aboutRootChild = [&]() -> bool {
    switch (type) {
      case XCB_CONFIGURE_NOTIFY:
        return reinterpret_cast<const xcb_configure_notify_event_t&>(event).event == root_;
      case XCB_CREATE_NOTIFY:
        return reinterpret_cast<const xcb_create_notify_event_t&>(event).parent == root_;
      case XCB_DESTROY_NOTIFY:
        return reinterpret_cast<const xcb_destroy_notify_event_t&>(event).event == root_;
      case XCB_REPARENT_NOTIFY:
        return reinterpret_cast<const xcb_reparent_notify_event_t&>(event).event == root_;
      case XCB_CIRCULATE_NOTIFY:
        return reinterpret_cast<const xcb_circulate_notify_event_t&>(event).event == root_;
      default:
        return false;
    }
  };
  if (aboutRootChild()) rootCache_.children.reset();
  // The whole screen changed: every frame may have moved.
  if (rootConfigure) geometryCache_.clear();
  if (type == XCB_CONFIGURE_NOTIFY &&
      reinterpret_cast<const xcb_configure_notify_event_t&>(event).event ==
          reinterpret_cast<const xcb_configure_notify_event_t&>(event).window) {
    // Counted once per change, from the window's own structure events.
    auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
    auto it = std::find_if(configureCounts_.begin(), configureCounts_.end(),
                           [&](const auto& p) { return p.first == e.window; });
    if (it == configureCounts_.end())
      configureCounts_.emplace_back(e.window, 1);
    else
      ++it->second;
  }
  if (type == XCB_DESTROY_NOTIFY) {
    auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
    std::erase_if(configureCounts_, [&](const auto& p) { return p.first == e.window; });
    std::erase(watched_, e.window);
  }
  for (auto listeners = listeners_; auto& l : listeners)
    (*l.fn)(event);
}

void X11Connection::forgetGeometry(xcb_window_t window) {
  ++forgets_;
  std::erase_if(geometryCache_, [&](const auto& p) { return p.first == window; });
}

void X11Connection::forget(xcb_window_t window) {
  forgetGeometry(window);
  std::erase_if(iconicCache_, [&](const auto& p) { return p.first == window; });
  std::erase_if(stateCache_, [&](const auto& p) { return p.first == window; });
  std::erase_if(hintsCache_, [&](const auto& p) { return p.first == window; });
  std::erase_if(factsCache_, [&](const auto& p) { return p.first == window; });
}

std::size_t X11Connection::pump() {
  std::size_t count = 0;
  while (xcb_generic_event_t* e = xcb_poll_for_event(conn_)) {
    // Errors of requests whose replies nobody waits for (a window gone meanwhile) are expected.
    if (e->response_type != 0) dispatch(*e);
    std::free(e);
    ++count;
  }
  return count;
}

bool X11Connection::waitUntil(const std::function<bool()>& done, Seconds bound, Seconds recheck) {
  Seconds end = loop_.now() + bound;
  xcb_flush(conn_);
  for (;;) {
    pump();
    std::uint64_t before = dispatched_;
    if (done()) return true;
    // The replies `done` waited for may have brought events along (dispatched by now, or kept
    // in xcb's queue): they may have changed the answer, and poll() would sleep through them.
    if (pump() > 0 || dispatched_ != before) continue;
    Seconds left = end - loop_.now();
    if (left <= 0 || xcb_connection_has_error(conn_)) return done();
    if (recheck > 0) left = std::min(left, recheck);
    pollfd p{xcb_get_file_descriptor(conn_), POLLIN, 0};
    poll(&p, 1, std::max(1, static_cast<int>(std::ceil(left * 1000))));
  }
}

std::uint64_t X11Connection::configureCount(xcb_window_t window) const {
  for (auto& [w, n] : configureCounts_)
    if (w == window) return n;
  return 0;
}

std::vector<xcb_window_t> X11Connection::clientList() {
  Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
      conn_,
      xcb_get_property(conn_, 0, root_, ewmh_._NET_CLIENT_LIST, XCB_ATOM_WINDOW, 0, 1u << 16),
      nullptr));
  return windowsOf(r.get());
}

std::vector<xcb_window_t> X11Connection::clientListStacking() {
  std::vector<xcb_window_t> listed;
  if (rootCache_.stacking) {
    listed = *rootCache_.stacking;
  } else {
    Reply<xcb_get_property_reply_t> r(
        xcb_get_property_reply(conn_,
                               xcb_get_property(conn_, 0, root_, ewmh_._NET_CLIENT_LIST_STACKING,
                                                XCB_ATOM_WINDOW, 0, 1u << 16),
                               nullptr));
    listed = windowsOf(r.get());
    if (stillValid()) rootCache_.stacking = listed;
  }
  auto children = rootChildren();
  return orderByServerStacking(
      std::move(listed), [this](xcb_window_t w) { return topLevelOf(w); }, children);
}

std::vector<xcb_window_t> X11Connection::orderByServerStacking(
    std::vector<xcb_window_t> listed, const std::function<xcb_window_t(xcb_window_t)>& topLevelOf,
    const std::vector<xcb_window_t>& children) {
  std::vector<std::pair<long, xcb_window_t>> keyed;
  keyed.reserve(listed.size());
  for (auto w : listed) {
    auto at = std::find(children.begin(), children.end(), topLevelOf(w));
    keyed.emplace_back(at == children.end() ? -1 : at - children.begin(), w);
  }
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < keyed.size(); ++i)
    listed[i] = keyed[i].second;
  return listed;
}

std::vector<xcb_window_t> X11Connection::rootChildren() {
  if (rootCache_.children) return *rootCache_.children;
  std::vector<xcb_window_t> out;
  Reply<xcb_query_tree_reply_t> r(
      xcb_query_tree_reply(conn_, xcb_query_tree(conn_, root_), nullptr));
  if (r) {
    auto* c = xcb_query_tree_children(r.get());
    out.assign(c, c + xcb_query_tree_children_length(r.get()));
  }
  // Kept until an event about the root's children, which may already be on its way, says
  // otherwise.
  rootCache_.children = out;
  return out;
}

xcb_window_t X11Connection::topLevelOf(xcb_window_t window) {
  for (const auto& [w, top] : topLevelCache_)
    if (w == window) return top;
  xcb_window_t at = window;
  // Frames nest a few levels at most; a deeper chain is not followed.
  for (int depth = 0; depth < 8; ++depth) {
    Reply<xcb_query_tree_reply_t> r(
        xcb_query_tree_reply(conn_, xcb_query_tree(conn_, at), nullptr));
    if (!r) return 0;
    if (r->parent == root_ || r->parent == XCB_NONE) {
      // Kept until the window is reparented or destroyed (an event already on its way included).
      topLevelCache_.emplace_back(window, at);
      return at;
    }
    at = r->parent;
  }
  return 0;
}

bool X11Connection::stillValid() {
  std::uint64_t before = forgets_;
  pump();
  return forgets_ == before;
}

xcb_window_t X11Connection::activeWindow() {
  Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
      conn_, xcb_get_property(conn_, 0, root_, ewmh_._NET_ACTIVE_WINDOW, XCB_ATOM_WINDOW, 0, 1),
      nullptr));
  auto w = windowsOf(r.get());
  return w.empty() ? 0 : w.front();
}

xcb_window_t X11Connection::supportingWMCheck() {
  Reply<xcb_get_property_reply_t> r(xcb_get_property_reply(
      conn_,
      xcb_get_property(conn_, 0, root_, ewmh_._NET_SUPPORTING_WM_CHECK, XCB_ATOM_WINDOW, 0, 1),
      nullptr));
  auto w = windowsOf(r.get());
  return w.empty() ? 0 : w.front();
}

std::vector<X11Monitor> X11Connection::monitors() {
  if (monitors_) return *monitors_;
  std::vector<X11Monitor> out;
  Reply<xcb_randr_get_monitors_reply_t> r(
      xcb_randr_get_monitors_reply(conn_, xcb_randr_get_monitors(conn_, root_, 1), nullptr));
  if (r) {
    for (auto it = xcb_randr_get_monitors_monitors_iterator(r.get()); it.rem;
         xcb_randr_monitor_info_next(&it)) {
      X11Monitor m;
      Reply<xcb_get_atom_name_reply_t> n(
          xcb_get_atom_name_reply(conn_, xcb_get_atom_name(conn_, it.data->name), nullptr));
      if (n) m.name.assign(xcb_get_atom_name_name(n.get()), xcb_get_atom_name_name_length(n.get()));
      m.rect = {static_cast<double>(it.data->x), static_cast<double>(it.data->y),
                static_cast<double>(it.data->width), static_cast<double>(it.data->height)};
      m.primary = it.data->primary;
      out.push_back(std::move(m));
    }
  }
  if (out.empty()) {
    // No RandR (or no monitor carved out of the screen): the whole root window is one display.
    Reply<xcb_get_geometry_reply_t> g(
        xcb_get_geometry_reply(conn_, xcb_get_geometry(conn_, root_), nullptr));
    if (g) out.push_back(X11Monitor{"screen", {0, 0, double(g->width), double(g->height)}, true});
  }
  std::stable_partition(out.begin(), out.end(), [](const X11Monitor& m) { return m.primary; });
  monitors_ = std::move(out);
  return *monitors_;
}

Point X11Connection::axOrigin() {
  const auto& ms = monitors();
  if (ms.empty()) return {};
  // Without a marked primary, the monitor at the root origin plays the part, else the first.
  if (!ms.front().primary)
    for (const auto& m : ms)
      if (m.rect.x == 0 && m.rect.y == 0) return {0, 0};
  return {ms.front().rect.x, ms.front().rect.y};
}

std::optional<Rect> X11Connection::workArea() {
  if (rootCache_.workArea) return *rootCache_.workArea;
  auto out = readWorkArea();
  if (stillValid()) rootCache_.workArea = out;
  return out;
}

std::optional<Rect> X11Connection::readWorkArea() {
  std::uint32_t desktop = 0;
  if (!xcb_ewmh_get_current_desktop_reply(
          &ewmh_, xcb_ewmh_get_current_desktop(&ewmh_, screenNumber_), &desktop, nullptr))
    desktop = 0;
  xcb_ewmh_get_workarea_reply_t wa;
  if (!xcb_ewmh_get_workarea_reply(&ewmh_, xcb_ewmh_get_workarea(&ewmh_, screenNumber_), &wa,
                                   nullptr))
    return std::nullopt;
  std::optional<Rect> out;
  if (wa.workarea_len > 0) {
    const auto& g = wa.workarea[desktop < wa.workarea_len ? desktop : 0];
    out = Rect{double(g.x), double(g.y), double(g.width), double(g.height)};
  }
  xcb_ewmh_get_workarea_reply_wipe(&wa);
  return out;
}

void X11Connection::watchClient(xcb_window_t window) {
  if (std::find(watched_.begin(), watched_.end(), window) != watched_.end()) return;
  watched_.push_back(window);
  std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(conn_, window, XCB_CW_EVENT_MASK, &mask);
}

}  // namespace zelvorn
