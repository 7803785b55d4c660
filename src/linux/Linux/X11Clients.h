// The managed top-level windows as the window manager lists them, with the process owning each,
// the active window and what changed. Accessibility, the running applications, launching and the
// system events all follow the desktop through it, so the client list is diffed in one place.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "Linux/X11Connection.h"
#include "Platform/Subscription.h"
#include "Platform/Types.h"

namespace zelvorn {

struct X11ClientChange {
  enum class Kind {
    added,
    removed,
    activated,
    configured,
    iconicChanged,
    titleChanged,
    stateChanged
  };
  Kind kind;
  xcb_window_t window = 0;
  Pid pid = 0;
};

class X11Clients {
 public:
  explicit X11Clients(X11Connection& x);
  X11Clients(const X11Clients&) = delete;
  X11Clients& operator=(const X11Clients&) = delete;

  struct Client {
    xcb_window_t window;
    Pid pid;
  };
  // In the window manager's mapping order. A copy: any read from the server may dispatch an
  // event that changes the list.
  std::vector<Client> clients() const { return clients_; }
  std::vector<xcb_window_t> windowsOf(Pid pid) const;
  // Front to back.
  std::vector<xcb_window_t> windowsOfFrontToBack(Pid pid);
  std::optional<Pid> pidOfWindow(xcb_window_t window) const;
  // Distinct owners, in the order their first window was mapped.
  std::vector<Pid> pids() const;
  xcb_window_t active() const { return active_; }
  // The window of `pid` that was active last; 0 when none of its windows has been.
  xcb_window_t lastActiveOf(Pid pid) const;

  // Called as changes are read (possibly inside a synchronous wait); post before reaching the core.
  Subscription onChange(std::function<void(const X11ClientChange&)> listener);
  // Re-reads the client list and the active window, reporting what changed.
  void refresh();

 private:
  void handle(const xcb_generic_event_t& event);
  void emit(const X11ClientChange& change);
  void readActive();

  X11Connection& x_;
  std::vector<Client> clients_;
  xcb_window_t active_ = 0;
  std::vector<std::pair<Pid, xcb_window_t>> lastActive_;
  struct Listener {
    std::uint64_t id;
    std::shared_ptr<std::function<void(const X11ClientChange&)>> fn;
  };
  std::vector<Listener> listeners_;
  std::uint64_t nextId_ = 1;
  Subscription events_;
};

}  // namespace zelvorn
