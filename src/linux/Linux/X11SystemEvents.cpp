// A burst of screen events (RandR sends several per change, the window manager adds a work-area
// update) is one notification: it is posted once and not again until it ran.
#include "Linux/X11SystemEvents.h"

#include <xcb/randr.h>

namespace zelvorn {

X11SystemEvents::X11SystemEvents(X11Connection& x, X11Clients& clients, IRunningApps& apps)
    : x_(x), clients_(clients), apps_(apps) {
  for (Pid pid : clients_.pids())
    if (auto app = apps_.byPid(pid)) known_[pid] = *app;
  lastActivated_ = clients_.pidOfWindow(clients_.active()).value_or(0);
  changes_ = clients_.onChange([this](const X11ClientChange& c) { onChange(c); });
  events_ = x_.onEvent([this](const xcb_generic_event_t& e) { onEvent(e); });
}

X11SystemEvents::~X11SystemEvents() {
  *alive_ = false;
}

Subscription X11SystemEvents::add(std::map<std::uint64_t, AppHandler> Handlers::*table,
                                  AppHandler handler) {
  auto id = handlers_->nextId++;
  ((*handlers_).*table)[id] = std::move(handler);
  std::weak_ptr<Handlers> weak = handlers_;
  return Subscription([weak, table, id] {
    if (auto h = weak.lock()) ((*h).*table).erase(id);
  });
}

Subscription X11SystemEvents::onAppLaunched(AppHandler handler) {
  return add(&Handlers::launched, std::move(handler));
}
Subscription X11SystemEvents::onAppTerminated(AppHandler handler) {
  return add(&Handlers::terminated, std::move(handler));
}
Subscription X11SystemEvents::onAppActivated(AppHandler handler) {
  return add(&Handlers::activated, std::move(handler));
}

Subscription X11SystemEvents::on(SystemEvent event, std::function<void()> handler) {
  auto id = handlers_->nextId++;
  handlers_->plain[id] = {event, std::move(handler)};
  std::weak_ptr<Handlers> weak = handlers_;
  return Subscription([weak, id] {
    if (auto h = weak.lock()) h->plain.erase(id);
  });
}

void X11SystemEvents::post(std::map<std::uint64_t, AppHandler> Handlers::*table,
                           const RunningApp& app) {
  std::weak_ptr<Handlers> weak = handlers_;
  x_.loop().post([weak, table, app] {
    auto h = weak.lock();
    if (!h) return;
    // Handlers removed by an earlier handler of this same delivery are skipped.
    std::vector<std::uint64_t> ids;
    for (auto& [id, fn] : (*h).*table)
      ids.push_back(id);
    for (auto id : ids) {
      auto& t = (*h).*table;
      if (auto it = t.find(id); it != t.end()) {
        auto fn = it->second;
        fn(app);
      }
    }
  });
}

void X11SystemEvents::postScreenChange() {
  if (screenChangePosted_) return;
  screenChangePosted_ = true;
  std::weak_ptr<Handlers> weak = handlers_;
  std::weak_ptr<bool> alive = alive_;
  x_.loop().post([this, weak, alive] {
    auto a = alive.lock();
    if (!a || !*a) return;
    screenChangePosted_ = false;
    auto h = weak.lock();
    std::vector<std::uint64_t> ids;
    for (auto& [id, entry] : h->plain)
      if (entry.first == SystemEvent::screenParametersChanged) ids.push_back(id);
    for (auto id : ids)
      if (auto it = h->plain.find(id); it != h->plain.end()) {
        auto fn = it->second.second;
        fn();
      }
  });
}

void X11SystemEvents::onChange(const X11ClientChange& c) {
  using Kind = X11ClientChange::Kind;
  if (c.kind == Kind::activated && c.window == 0) {
    lastActivated_ = 0;  // nothing active: the next activation is news whoever it is
    return;
  }
  if (c.pid == 0) return;
  if (c.kind == Kind::added && !known_.count(c.pid)) {
    auto app = apps_.byPid(c.pid);
    if (!app) return;
    known_[c.pid] = *app;
    post(&Handlers::launched, *app);
  } else if (c.kind == Kind::removed && clients_.windowsOf(c.pid).empty()) {
    auto it = known_.find(c.pid);
    if (it == known_.end()) return;
    RunningApp app = it->second;
    known_.erase(it);
    if (lastActivated_ == c.pid) lastActivated_ = 0;
    post(&Handlers::terminated, app);
  } else if (c.kind == Kind::activated && c.pid != lastActivated_) {
    lastActivated_ = c.pid;
    if (auto app = apps_.byPid(c.pid)) post(&Handlers::activated, *app);
  }
}

void X11SystemEvents::onEvent(const xcb_generic_event_t& e) {
  std::uint8_t type = e.response_type & 0x7f;
  std::uint8_t base = x_.randrEventBase();
  if (base && (type == base + XCB_RANDR_SCREEN_CHANGE_NOTIFY || type == base + XCB_RANDR_NOTIFY)) {
    postScreenChange();
  } else if (type == XCB_CONFIGURE_NOTIFY &&
             reinterpret_cast<const xcb_configure_notify_event_t&>(e).window == x_.root()) {
    postScreenChange();
  } else if (type == XCB_PROPERTY_NOTIFY) {
    auto& p = reinterpret_cast<const xcb_property_notify_event_t&>(e);
    if (p.window == x_.root() && p.atom == x_.ewmh()->_NET_WORKAREA) postScreenChange();
  }
}

}  // namespace zelvorn
