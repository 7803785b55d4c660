// Diffs _NET_CLIENT_LIST on every change, follows _NET_ACTIVE_WINDOW (which the window manager
// announces twice per change, hence the de-duplication) and turns client events into changes.
#include "Linux/X11Clients.h"

#include <algorithm>

namespace zelvorn {

X11Clients::X11Clients(X11Connection& x) : x_(x) {
  events_ = x_.onEvent([this](const xcb_generic_event_t& e) { handle(e); });
  refresh();
}

std::vector<xcb_window_t> X11Clients::windowsOf(Pid pid) const {
  std::vector<xcb_window_t> out;
  for (const auto& c : clients_)
    if (c.pid == pid) out.push_back(c.window);
  return out;
}

std::vector<xcb_window_t> X11Clients::windowsOfFrontToBack(Pid pid) {
  auto stacking = x_.clientListStacking();
  std::vector<xcb_window_t> out;
  for (auto it = stacking.rbegin(); it != stacking.rend(); ++it)
    if (pidOfWindow(*it) == pid) out.push_back(*it);
  // A window the stacking list misses (being mapped right now) goes last.
  for (auto w : windowsOf(pid))
    if (std::find(out.begin(), out.end(), w) == out.end()) out.push_back(w);
  return out;
}

std::optional<Pid> X11Clients::pidOfWindow(xcb_window_t window) const {
  for (const auto& c : clients_)
    if (c.window == window) return c.pid;
  return std::nullopt;
}

std::vector<Pid> X11Clients::pids() const {
  std::vector<Pid> out;
  for (const auto& c : clients_)
    if (std::find(out.begin(), out.end(), c.pid) == out.end()) out.push_back(c.pid);
  return out;
}

xcb_window_t X11Clients::lastActiveOf(Pid pid) const {
  for (const auto& [p, w] : lastActive_)
    if (p == pid) return w;
  return 0;
}

Subscription X11Clients::onChange(std::function<void(const X11ClientChange&)> listener) {
  std::uint64_t id = nextId_++;
  listeners_.push_back(Listener{
      id, std::make_shared<std::function<void(const X11ClientChange&)>>(std::move(listener))});
  return Subscription(
      [this, id] { std::erase_if(listeners_, [id](const Listener& l) { return l.id == id; }); });
}

void X11Clients::emit(const X11ClientChange& change) {
  for (auto listeners = listeners_; auto& l : listeners)
    (*l.fn)(change);
}

void X11Clients::refresh() {
  auto list = x_.clientList();
  std::vector<Client> next;
  std::vector<Client> added;
  for (auto w : list) {
    auto known = std::find_if(clients_.begin(), clients_.end(),
                              [&](const Client& c) { return c.window == w; });
    if (known != clients_.end()) {
      next.push_back(*known);
      continue;
    }
    x_.watchClient(w);
    Client c{w, x_.pidOf(w)};
    next.push_back(c);
    added.push_back(c);
  }
  std::vector<Client> removed;
  for (const auto& c : clients_)
    if (std::find(list.begin(), list.end(), c.window) == list.end()) removed.push_back(c);
  clients_ = std::move(next);
  for (const auto& c : removed) {
    std::erase_if(lastActive_, [&](const auto& p) { return p.second == c.window; });
    emit({X11ClientChange::Kind::removed, c.window, c.pid});
  }
  for (const auto& c : added)
    emit({X11ClientChange::Kind::added, c.window, c.pid});
  readActive();
}

void X11Clients::readActive() {
  xcb_window_t now = x_.activeWindow();
  if (now == active_) return;
  active_ = now;
  auto pid = pidOfWindow(now);
  if (!pid) {
    if (now == 0) emit({X11ClientChange::Kind::activated, 0, 0});
    return;
  }
  std::erase_if(lastActive_, [&](const auto& p) { return p.first == *pid; });
  lastActive_.emplace_back(*pid, now);
  emit({X11ClientChange::Kind::activated, now, *pid});
}

void X11Clients::handle(const xcb_generic_event_t& event) {
  auto* ewmh = x_.ewmh();
  switch (event.response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
      auto& e = reinterpret_cast<const xcb_property_notify_event_t&>(event);
      if (e.window == x_.root()) {
        if (e.atom == ewmh->_NET_CLIENT_LIST) refresh();
        if (e.atom == ewmh->_NET_ACTIVE_WINDOW) readActive();
        return;
      }
      auto pid = pidOfWindow(e.window);
      if (!pid) return;
      if (e.atom == x_.atom("WM_STATE"))
        emit({X11ClientChange::Kind::iconicChanged, e.window, *pid});
      else if (e.atom == ewmh->_NET_WM_NAME || e.atom == XCB_ATOM_WM_NAME)
        emit({X11ClientChange::Kind::titleChanged, e.window, *pid});
      else if (e.atom == ewmh->_NET_WM_STATE || e.atom == ewmh->_NET_FRAME_EXTENTS)
        emit({X11ClientChange::Kind::stateChanged, e.window, *pid});
      return;
    }
    case XCB_CONFIGURE_NOTIFY: {
      auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
      // A client that is a child of the root is reported by its own events, not the root's too.
      if (e.event != e.window) return;
      if (auto pid = pidOfWindow(e.window))
        emit({X11ClientChange::Kind::configured, e.window, *pid});
      return;
    }
    case XCB_DESTROY_NOTIFY: {
      auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
      if (pidOfWindow(e.window)) refresh();
      return;
    }
    default:
      return;
  }
}

}  // namespace zelvorn
