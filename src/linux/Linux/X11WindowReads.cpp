// The X connection's readers of one window: its facts (class, title, type, state, pid, the park
// mark), its geometry and decoration, its size hints and state, each kept until an event about the
// window says it changed.
#include <unistd.h>
#include <xcb/res.h>
#include <xcb/xcb_icccm.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "Linux/X11Connection.h"
#include "Linux/X11Replies.h"

namespace zelvorn {

using x11::Reply;
using x11::windowsOf;

namespace {

// The program's own property on a window it parked: two 32-bit integers, the AX point it parked at.
constexpr const char* kParkMark = "_ZELVORN_PARKED";

std::uint32_t fnv1a(const std::string& s) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : s)
    h = (h ^ c) * 16777619u;
  return h;
}

}  // namespace

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

}  // namespace zelvorn
