#include "Sim/SimSystemEvents.h"

namespace zelvorn {

Subscription SimSystemEvents::add(std::map<std::uint64_t, AppHandler>& table, AppHandler handler) {
  auto id = handlers_->nextId++;
  table.emplace(id, std::move(handler));
  std::weak_ptr<Handlers> weak = handlers_;
  return Subscription([weak, &table, id] {
    if (weak.lock()) table.erase(id);
  });
}

Subscription SimSystemEvents::onAppLaunched(std::function<void(const RunningApp&)> handler) {
  return add(handlers_->launched, std::move(handler));
}
Subscription SimSystemEvents::onAppTerminated(std::function<void(const RunningApp&)> handler) {
  return add(handlers_->terminated, std::move(handler));
}
Subscription SimSystemEvents::onAppActivated(std::function<void(const RunningApp&)> handler) {
  return add(handlers_->activated, std::move(handler));
}

Subscription SimSystemEvents::on(SystemEvent event, std::function<void()> handler) {
  auto id = handlers_->nextId++;
  handlers_->plain.emplace(id, std::make_pair(event, std::move(handler)));
  std::weak_ptr<Handlers> weak = handlers_;
  return Subscription([weak, id] {
    if (auto h = weak.lock()) h->plain.erase(id);
  });
}

void SimSystemEvents::emitApp(std::map<std::uint64_t, AppHandler>& table, const RunningApp& app) {
  // Deliver to those subscribed now, skipping any that unsubscribe before their turn.
  std::weak_ptr<Handlers> weak = handlers_;
  for (auto& [id, _] : table) {
    loop_.post([weak, &table, id = id, app] {
      if (!weak.lock()) return;
      auto it = table.find(id);
      if (it != table.end()) it->second(app);
    });
  }
}

void SimSystemEvents::emitAppLaunched(const RunningApp& app) {
  emitApp(handlers_->launched, app);
}
void SimSystemEvents::emitAppTerminated(const RunningApp& app) {
  emitApp(handlers_->terminated, app);
}
void SimSystemEvents::emitAppActivated(const RunningApp& app) {
  emitApp(handlers_->activated, app);
}

void SimSystemEvents::emit(SystemEvent event) {
  std::weak_ptr<Handlers> weak = handlers_;
  for (auto& [id, entry] : handlers_->plain) {
    if (entry.first != event) continue;
    loop_.post([weak, id = id] {
      auto h = weak.lock();
      if (!h) return;
      auto it = h->plain.find(id);
      if (it != h->plain.end()) it->second.second();
    });
  }
}

}  // namespace zelvorn
