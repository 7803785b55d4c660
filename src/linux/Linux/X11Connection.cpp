// The X connection: set-up (EWMH atoms, RandR and X-Resource), root and client event selection,
// the event pump that the main loop and synchronous waits share, and property readers.
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

namespace zelvorn {

namespace {

// The program's own property on a window it parked: two 32-bit integers, the AX point it parked at.
constexpr const char* kParkMark = "_ZELVORN_PARKED";

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

std::vector<xcb_window_t> windowsOf(xcb_get_property_reply_t* reply) {
  std::vector<xcb_window_t> out;
  if (!reply || reply->format != 32) return out;
  auto* data = static_cast<xcb_window_t*>(xcb_get_property_value(reply));
  int n = xcb_get_property_value_length(reply) / 4;
  out.assign(data, data + n);
  return out;
}

std::uint32_t fnv1a(const std::string& s) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s)
    h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace

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

X11WindowFacts X11Connection::facts(xcb_window_t window) {
  for (const auto& [w, f] : factsCache_)
    if (w == window) return f;
  X11WindowFacts f = readFacts(window);
  // Only a watched client's facts stay true until an event says otherwise.
  if (f.exists && std::find(watched_.begin(), watched_.end(), window) != watched_.end() &&
      stillValid())
    factsCache_.emplace_back(window, f);
  return f;
}

X11WindowFacts X11Connection::readFacts(xcb_window_t window) {
  X11WindowFacts f;
  f.window = window;
  // Every request first, then every reply: one round trip for the lot.
  auto cClass = xcb_icccm_get_wm_class(conn_, window);
  auto cNetName = xcb_ewmh_get_wm_name(&ewmh_, window);
  auto cName = xcb_icccm_get_wm_name(conn_, window);
  auto cType = xcb_ewmh_get_wm_window_type(&ewmh_, window);
  auto cState = xcb_ewmh_get_wm_state(&ewmh_, window);
  auto cTransient = xcb_icccm_get_wm_transient_for(conn_, window);
  auto cWMState = xcb_get_property(conn_, 0, window, atom("WM_STATE"), XCB_ATOM_ANY, 0, 2);
  auto cAttr = xcb_get_window_attributes(conn_, window);
  auto cMark = xcb_get_property(conn_, 0, window, atom(kParkMark), XCB_ATOM_INTEGER, 0, 2);

  xcb_icccm_get_wm_class_reply_t cls;
  if (xcb_icccm_get_wm_class_reply(conn_, cClass, &cls, nullptr)) {
    if (cls.instance_name) f.instanceName = cls.instance_name;
    if (cls.class_name) f.className = cls.class_name;
    xcb_icccm_get_wm_class_reply_wipe(&cls);
  }
  xcb_ewmh_get_utf8_strings_reply_t utf8;
  if (xcb_ewmh_get_wm_name_reply(&ewmh_, cNetName, &utf8, nullptr)) {
    f.title = std::string(utf8.strings, utf8.strings_len);
    xcb_ewmh_get_utf8_strings_reply_wipe(&utf8);
  }
  xcb_icccm_get_text_property_reply_t text;
  if (xcb_icccm_get_wm_name_reply(conn_, cName, &text, nullptr)) {
    if (!f.title) f.title = std::string(text.name, text.name_len);
    xcb_icccm_get_text_property_reply_wipe(&text);
  }
  xcb_ewmh_get_atoms_reply_t atoms;
  if (xcb_ewmh_get_wm_window_type_reply(&ewmh_, cType, &atoms, nullptr)) {
    f.types.assign(atoms.atoms, atoms.atoms + atoms.atoms_len);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
  }
  if (xcb_ewmh_get_wm_state_reply(&ewmh_, cState, &atoms, nullptr)) {
    f.states.assign(atoms.atoms, atoms.atoms + atoms.atoms_len);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
  }
  xcb_window_t transient = 0;
  if (xcb_icccm_get_wm_transient_for_reply(conn_, cTransient, &transient, nullptr))
    f.transientFor = transient;
  Reply<xcb_get_property_reply_t> ws(xcb_get_property_reply(conn_, cWMState, nullptr));
  if (ws && ws->format == 32 && xcb_get_property_value_length(ws.get()) >= 4)
    f.iconic =
        *static_cast<std::uint32_t*>(xcb_get_property_value(ws.get())) == XCB_ICCCM_WM_STATE_ICONIC;
  Reply<xcb_get_window_attributes_reply_t> attr(
      xcb_get_window_attributes_reply(conn_, cAttr, nullptr));
  f.exists = attr != nullptr;
  Reply<xcb_get_property_reply_t> mark(xcb_get_property_reply(conn_, cMark, nullptr));
  if (mark && mark->format == 32 && xcb_get_property_value_length(mark.get()) == 8) {
    auto* v = static_cast<std::int32_t*>(xcb_get_property_value(mark.get()));
    f.parkMark = Point{static_cast<double>(v[0]), static_cast<double>(v[1])};
  }
  if (f.exists) f.pid = pidOf(window);
  return f;
}

void X11Connection::setParkMark(xcb_window_t window, std::optional<Point> at) {
  if (at) {
    std::int32_t v[2] = {static_cast<std::int32_t>(std::lround(at->x)),
                         static_cast<std::int32_t>(std::lround(at->y))};
    xcb_change_property(conn_, XCB_PROP_MODE_REPLACE, window, atom(kParkMark), XCB_ATOM_INTEGER, 32,
                        2, v);
  } else {
    xcb_delete_property(conn_, window, atom(kParkMark));
  }
  xcb_flush(conn_);
  // Read afresh from now on, without waiting for the PropertyNotify.
  forget(window);
}

bool X11Connection::isLocalClient(xcb_window_t window) {
  xcb_icccm_get_text_property_reply_t machine;
  if (!xcb_icccm_get_wm_client_machine_reply(conn_, xcb_icccm_get_wm_client_machine(conn_, window),
                                             &machine, nullptr))
    return true;  // clients that do not say are taken as local, as every desktop does
  std::string name(machine.name, machine.name_len);
  xcb_icccm_get_text_property_reply_wipe(&machine);
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return true;
  return name == host || name == "localhost";
}

Pid X11Connection::pidOf(xcb_window_t window) {
  std::uint32_t pid = 0;
  // A pid is only meaningful on the machine the client runs on: a remote client's pid names some
  // unrelated local process, which must never be signalled or matched.
  if (xcb_ewmh_get_wm_pid_reply(&ewmh_, xcb_ewmh_get_wm_pid(&ewmh_, window), &pid, nullptr) &&
      pid > 0 && pid <= 0x7fffffff && isLocalClient(window))
    return static_cast<Pid>(pid);
  if (hasRes_) {
    xcb_res_client_id_spec_t wanted{window, XCB_RES_CLIENT_ID_MASK_LOCAL_CLIENT_PID};
    Reply<xcb_res_query_client_ids_reply_t> r(xcb_res_query_client_ids_reply(
        conn_, xcb_res_query_client_ids(conn_, 1, &wanted), nullptr));
    if (r) {
      // Only the local-client-pid kind was asked for, so each value the server answers is one.
      for (auto it = xcb_res_query_client_ids_ids_iterator(r.get()); it.rem;
           xcb_res_client_id_value_next(&it)) {
        if (xcb_res_client_id_value_value_length(it.data) < 1) continue;
        std::uint32_t v = *xcb_res_client_id_value_value(it.data);
        if (v > 0 && v <= 0x7fffffff) return static_cast<Pid>(v);
      }
    }
  }
  // A remote client: group its windows under one negative stand-in, never a real process id.
  Reply<xcb_get_property_reply_t> leader(xcb_get_property_reply(
      conn_, xcb_get_property(conn_, 0, window, atom("WM_CLIENT_LEADER"), XCB_ATOM_WINDOW, 0, 1),
      nullptr));
  auto l = windowsOf(leader.get());
  if (!l.empty() && l.front() != 0) return -static_cast<Pid>((l.front() & 0x3fffffff) | 1);
  xcb_icccm_get_wm_class_reply_t cls;
  if (xcb_icccm_get_wm_class_reply(conn_, xcb_icccm_get_wm_class(conn_, window), &cls, nullptr)) {
    std::string name = cls.class_name ? cls.class_name : "";
    xcb_icccm_get_wm_class_reply_wipe(&cls);
    if (!name.empty()) return -static_cast<Pid>((fnv1a(name) & 0x3fffffff) | 0x40000000);
  }
  return 0;
}

std::optional<X11Geometry> X11Connection::geometry(xcb_window_t window) {
  for (const auto& [w, g] : geometryCache_)
    if (w == window) return g;
  auto cGeom = xcb_get_geometry(conn_, window);
  auto cTrans = xcb_translate_coordinates(conn_, window, root_, 0, 0);
  auto cExt = xcb_ewmh_get_frame_extents(&ewmh_, window);
  return geometryReplies(window, cGeom, cTrans, cExt, shadowCookie(window));
}

xcb_get_property_cookie_t X11Connection::shadowCookie(xcb_window_t window) {
  return xcb_get_property(conn_, 0, window, atom("_GTK_FRAME_EXTENTS"), XCB_ATOM_CARDINAL, 0, 4);
}

std::optional<X11Geometry> X11Connection::geometryReplies(xcb_window_t window,
                                                          xcb_get_geometry_cookie_t cGeom,
                                                          xcb_translate_coordinates_cookie_t cTrans,
                                                          xcb_get_property_cookie_t cExt,
                                                          xcb_get_property_cookie_t cShadow) {
  Reply<xcb_get_geometry_reply_t> g(xcb_get_geometry_reply(conn_, cGeom, nullptr));
  Reply<xcb_translate_coordinates_reply_t> t(
      xcb_translate_coordinates_reply(conn_, cTrans, nullptr));
  xcb_ewmh_get_extents_reply_t ext{};
  bool hasExtents = xcb_ewmh_get_frame_extents_reply(&ewmh_, cExt, &ext, nullptr);
  Reply<xcb_get_property_reply_t> shadow(xcb_get_property_reply(conn_, cShadow, nullptr));
  if (!g || !t) return std::nullopt;
  X11Geometry out;
  out.client = {static_cast<double>(t->dst_x), static_cast<double>(t->dst_y),
                static_cast<double>(g->width), static_cast<double>(g->height)};
  if (hasExtents) out.extents = {ext.left, ext.right, ext.top, ext.bottom};
  if (shadow && shadow->format == 32 && xcb_get_property_value_length(shadow.get()) == 16) {
    auto* v = static_cast<std::uint32_t*>(xcb_get_property_value(shadow.get()));
    // A shadow wider than the window is nonsense; such a value is ignored.
    if (v[0] + v[1] < g->width && v[2] + v[3] < g->height) out.shadow = {v[0], v[1], v[2], v[3]};
  }
  // xcb has read whatever arrived with the reply, older or newer; when any of it concerned a
  // window the reply may already be stale, so it is not kept.
  std::uint64_t before = forgets_;
  pump();
  std::erase_if(geometryCache_, [&](const auto& p) { return p.first == window; });
  if (forgets_ == before) geometryCache_.emplace_back(window, out);
  return out;
}

X11Connection::RequestFacts X11Connection::requestFacts(xcb_window_t window) {
  auto find = [&](auto& cache) -> decltype(&cache.front().second) {
    for (auto& [w, v] : cache)
      if (w == window) return &v;
    return nullptr;
  };
  RequestFacts f;
  auto* states = find(stateCache_);
  auto* hints = find(hintsCache_);
  auto* geometry = find(geometryCache_);
  if (states && hints && geometry) {
    f.states = *states;
    f.hints = *hints;
    f.geometry = *geometry;
    return f;
  }
  auto cState = xcb_ewmh_get_wm_state(&ewmh_, window);
  auto cHints = xcb_icccm_get_wm_normal_hints(conn_, window);
  auto cGeom = xcb_get_geometry(conn_, window);
  auto cTrans = xcb_translate_coordinates(conn_, window, root_, 0, 0);
  auto cExt = xcb_ewmh_get_frame_extents(&ewmh_, window);
  xcb_ewmh_get_atoms_reply_t atoms;
  if (xcb_ewmh_get_wm_state_reply(&ewmh_, cState, &atoms, nullptr)) {
    f.states.assign(atoms.atoms, atoms.atoms + atoms.atoms_len);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
  }
  xcb_size_hints_t h{};
  if (xcb_icccm_get_wm_normal_hints_reply(conn_, cHints, &h, nullptr)) f.hints = hintsOf(h);
  std::uint64_t before = forgets_;
  f.geometry = geometryReplies(window, cGeom, cTrans, cExt, shadowCookie(window));
  if (forgets_ == before && f.geometry) {
    std::erase_if(stateCache_, [&](const auto& p) { return p.first == window; });
    std::erase_if(hintsCache_, [&](const auto& p) { return p.first == window; });
    stateCache_.emplace_back(window, f.states);
    hintsCache_.emplace_back(window, f.hints);
  }
  return f;
}

X11SizeHints X11Connection::hintsOf(const xcb_size_hints_t& h) {
  X11SizeHints out;
  if (h.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE)
    out.minimum = {static_cast<double>(h.min_width), static_cast<double>(h.min_height)};
  if (h.flags & XCB_ICCCM_SIZE_HINT_BASE_SIZE)
    out.base = {static_cast<double>(h.base_width), static_cast<double>(h.base_height)};
  else
    out.base = out.minimum;  // ICCCM: the minimum stands in for a missing base
  if (h.flags & XCB_ICCCM_SIZE_HINT_P_RESIZE_INC)
    out.increment = {static_cast<double>(h.width_inc), static_cast<double>(h.height_inc)};
  return out;
}

std::optional<X11SizeHints> X11Connection::sizeHints(xcb_window_t window) {
  xcb_size_hints_t h{};
  if (!xcb_icccm_get_wm_normal_hints_reply(conn_, xcb_icccm_get_wm_normal_hints(conn_, window), &h,
                                           nullptr))
    return std::nullopt;
  return hintsOf(h);
}

bool X11Connection::acceptsFocus(xcb_window_t window) {
  auto cHints = xcb_icccm_get_wm_hints(conn_, window);
  auto cProtocols = xcb_icccm_get_wm_protocols(conn_, window, atom("WM_PROTOCOLS"));
  bool takesFocus = false;
  xcb_icccm_get_wm_protocols_reply_t protocols;
  if (xcb_icccm_get_wm_protocols_reply(conn_, cProtocols, &protocols, nullptr)) {
    xcb_atom_t take = atom("WM_TAKE_FOCUS");
    takesFocus = std::find(protocols.atoms, protocols.atoms + protocols.atoms_len, take) !=
                 protocols.atoms + protocols.atoms_len;
    xcb_icccm_get_wm_protocols_reply_wipe(&protocols);
  }
  xcb_icccm_wm_hints_t hints{};
  if (!xcb_icccm_get_wm_hints_reply(conn_, cHints, &hints, nullptr)) return true;
  bool noInput = (hints.flags & XCB_ICCCM_WM_HINT_INPUT) && !hints.input;
  return !noInput || takesFocus;
}

std::vector<xcb_atom_t> X11Connection::wmState(xcb_window_t window) {
  for (const auto& [w, states] : stateCache_)
    if (w == window) return states;
  std::vector<xcb_atom_t> out;
  xcb_ewmh_get_atoms_reply_t atoms;
  if (xcb_ewmh_get_wm_state_reply(&ewmh_, xcb_ewmh_get_wm_state(&ewmh_, window), &atoms, nullptr)) {
    out.assign(atoms.atoms, atoms.atoms + atoms.atoms_len);
    xcb_ewmh_get_atoms_reply_wipe(&atoms);
  }
  return out;
}

bool X11Connection::isIconic(xcb_window_t window) {
  for (const auto& [w, iconic] : iconicCache_)
    if (w == window) return iconic;
  Reply<xcb_get_property_reply_t> ws(xcb_get_property_reply(
      conn_, xcb_get_property(conn_, 0, window, atom("WM_STATE"), XCB_ATOM_ANY, 0, 2), nullptr));
  bool iconic =
      ws && ws->format == 32 && xcb_get_property_value_length(ws.get()) >= 4 &&
      *static_cast<std::uint32_t*>(xcb_get_property_value(ws.get())) == XCB_ICCCM_WM_STATE_ICONIC;
  std::uint64_t before = forgets_;
  pump();
  if (forgets_ == before) iconicCache_.emplace_back(window, iconic);
  return iconic;
}

void X11Connection::watchClient(xcb_window_t window) {
  if (std::find(watched_.begin(), watched_.end(), window) != watched_.end()) return;
  watched_.push_back(window);
  std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
  xcb_change_window_attributes(conn_, window, XCB_CW_EVENT_MASK, &mask);
}

}  // namespace zelvorn
