// System notifications on the simulated desktop: the desktop (or a test) emits them, and each
// handler is called on the main loop in subscription order.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "Platform/IMainLoop.h"
#include "Platform/ISystemEvents.h"

namespace zelvorn {

class SimSystemEvents final : public ISystemEvents {
 public:
  explicit SimSystemEvents(IMainLoop& loop) : loop_(loop) {}

  Subscription onAppLaunched(std::function<void(const RunningApp&)> handler) override;
  Subscription onAppTerminated(std::function<void(const RunningApp&)> handler) override;
  Subscription onAppActivated(std::function<void(const RunningApp&)> handler) override;
  Subscription on(SystemEvent event, std::function<void()> handler) override;

  // Each posts one delivery to every current subscriber of that kind.
  void emitAppLaunched(const RunningApp& app);
  void emitAppTerminated(const RunningApp& app);
  void emitAppActivated(const RunningApp& app);
  void emit(SystemEvent event);

 private:
  using AppHandler = std::function<void(const RunningApp&)>;
  struct Handlers {
    std::uint64_t nextId = 0;
    std::map<std::uint64_t, AppHandler> launched, terminated, activated;
    std::map<std::uint64_t, std::pair<SystemEvent, std::function<void()>>> plain;
  };
  Subscription add(std::map<std::uint64_t, AppHandler>& table, AppHandler handler);
  void emitApp(std::map<std::uint64_t, AppHandler>& table, const RunningApp& app);

  IMainLoop& loop_;
  std::shared_ptr<Handlers> handlers_ = std::make_shared<Handlers>();
};

}  // namespace zelvorn
