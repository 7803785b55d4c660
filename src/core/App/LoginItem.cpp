#include "App/LoginItem.h"

#include <fmt/format.h>

#include "App/Log.h"

namespace zelvorn {

namespace {

LoginItem::State stateOf(ILoginItemService& service, const IEnvironment& environment) {
  if (!environment.process().isAppBundle) return LoginItem::State::unavailable;
  switch (service.status().status) {
    case LoginItemStatus::enabled:
      return LoginItem::State::enabled;
    case LoginItemStatus::requiresApproval:
      return LoginItem::State::requiresApproval;
    case LoginItemStatus::notRegistered:
    case LoginItemStatus::notFound:
      return LoginItem::State::disabled;
  }
  return LoginItem::State::disabled;
}

}  // namespace

std::string_view LoginItem::name(State state) {
  switch (state) {
    case State::enabled:
      return "enabled";
    case State::disabled:
      return "disabled";
    case State::requiresApproval:
      return "requiresApproval";
    case State::unavailable:
      return "unavailable";
  }
  return "unavailable";
}

LoginItem::State LoginItem::state() {
  return stateOf(service_, environment_);
}

std::optional<Error> LoginItem::setEnabled(bool on) {
  if (on) {
    if (auto error = service_.registerMainApp()) {
      Log::line("[Zelvorn] Launch at Login: register failed — " + error->description);
      return error;
    }
    Log::line(fmt::format("[Zelvorn] Launch at Login: registered (status={})",
                          service_.status().rawStatus));
    return std::nullopt;
  }
  auto error = service_.unregisterMainApp();
  if (!error) {
    Log::line("[Zelvorn] Launch at Login: unregistered");
    return std::nullopt;
  }
  if (service_.status().status != LoginItemStatus::enabled) {
    Log::line("[Zelvorn] Launch at Login: unregister reported " + error->description +
              ", but it is no longer enabled — treating as success.");
    return std::nullopt;
  }
  Log::line("[Zelvorn] Launch at Login: unregister failed — " + error->description);
  return error;
}

void LoginItem::logDiagnostics() {
  // The service and the environment live as long as the program; this object may not.
  loop_.post([&service = service_, &environment = environment_] {
    const ProcessFacts& facts = environment.process();
    bool bundled = facts.isAppBundle;
    std::string raw = bundled ? std::to_string(service.status().rawStatus) : "n/a";
    Log::line(fmt::format("[Zelvorn][LoginItem] state={} rawStatus={} bundled={} path={}",
                          name(stateOf(service, environment)), raw, bundled ? "true" : "false",
                          facts.bundlePath));
  });
}

}  // namespace zelvorn
