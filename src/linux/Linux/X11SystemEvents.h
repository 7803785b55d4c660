// System notifications on an X11 desktop: a process's first managed window is its launch and its
// last window's end is its termination (both from _NET_CLIENT_LIST changes), activation follows
// _NET_ACTIVE_WINDOW across processes, and the screen parameters change with RandR events, a
// resized root window or a new _NET_WORKAREA. Every handler runs on the main loop.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "Linux/X11Clients.h"
#include "Linux/X11Connection.h"
#include "Platform/IRunningApps.h"
#include "Platform/ISystemEvents.h"

namespace zelvorn {

class X11SystemEvents final : public ISystemEvents {
 public:
  X11SystemEvents(X11Connection& x, X11Clients& clients, IRunningApps& apps);
  ~X11SystemEvents() override;

  Subscription onAppLaunched(std::function<void(const RunningApp&)> handler) override;
  Subscription onAppTerminated(std::function<void(const RunningApp&)> handler) override;
  Subscription onAppActivated(std::function<void(const RunningApp&)> handler) override;
  Subscription on(SystemEvent event, std::function<void()> handler) override;

 private:
  using AppHandler = std::function<void(const RunningApp&)>;
  struct Handlers {
    std::uint64_t nextId = 0;
    std::map<std::uint64_t, AppHandler> launched, terminated, activated;
    std::map<std::uint64_t, std::pair<SystemEvent, std::function<void()>>> plain;
  };
  Subscription add(std::map<std::uint64_t, AppHandler> Handlers::*table, AppHandler handler);
  void post(std::map<std::uint64_t, AppHandler> Handlers::*table, const RunningApp& app);
  void postScreenChange();
  void onChange(const X11ClientChange& change);
  void onEvent(const xcb_generic_event_t& event);

  X11Connection& x_;
  X11Clients& clients_;
  IRunningApps& apps_;
  std::shared_ptr<Handlers> handlers_ = std::make_shared<Handlers>();
  // What each process was when it was last seen, for its termination notice.
  std::map<Pid, RunningApp> known_;
  Pid lastActivated_ = 0;
  bool screenChangePosted_ = false;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  Subscription changes_;
  Subscription events_;
};

}  // namespace zelvorn
