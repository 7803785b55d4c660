#include "Sim/SimAccessibility.h"

#include <cmath>

#include "Sim/SimDesktop.h"

namespace zelvorn {

// One observer of one process. Its registrations live in a core the desktop holds weakly, so
// destroying the observer ends every delivery, even those already queued on the loop.
class SimAXObserver final : public IAXObserver {
 public:
  SimAXObserver(SimAccessibility& ax, std::weak_ptr<bool> alive,
                std::shared_ptr<SimDesktop::ObserverCore> core)
      : ax_(ax), alive_(std::move(alive)), core_(std::move(core)) {}

  AXError add(const AXElement& element, std::string_view notification) override {
    if (!alive_.lock()) return kAXErrorFailure;
    auto& desktop = ax_.desktop_;
    Seconds at = desktop.loop_.now();
    AXError result = addChecked(element, notification);
    desktop.recorder_.record({SimCallKind::axObserver,
                              "add " + std::string(notification),
                              element.identity(),
                              core_->pid,
                              {},
                              result,
                              at});
    return result;
  }

  AXError remove(const AXElement& element, std::string_view notification) override {
    if (!alive_.lock()) return kAXErrorFailure;
    auto& desktop = ax_.desktop_;
    Seconds at = desktop.loop_.now();
    auto erased = core_->registrations.erase({element.identity(), std::string(notification)});
    AXError result = erased ? kAXErrorSuccess : kAXErrorFailure;
    desktop.recorder_.record({SimCallKind::axObserver,
                              "remove " + std::string(notification),
                              element.identity(),
                              core_->pid,
                              {},
                              result,
                              at});
    return result;
  }

 private:
  AXError addChecked(const AXElement& element, std::string_view notification) {
    auto& desktop = ax_.desktop_;
    auto failure = desktop.registrationFailures_.find({core_->pid, std::string(notification)});
    if (failure != desktop.registrationFailures_.end() && failure->second.times > 0) {
      --failure->second.times;
      return failure->second.error;
    }
    const auto* rec = desktop.element(element.identity());
    if (!rec || rec->pid != core_->pid) return kAXErrorIllegalArgument;
    if (AXError e = ax_.enter(element); e != kAXErrorSuccess) return e;
    if (!core_->registrations.insert({element.identity(), std::string(notification)}).second)
      return kAXErrorNotificationAlreadyRegistered;
    return kAXErrorSuccess;
  }

  SimAccessibility& ax_;
  std::weak_ptr<bool> alive_;
  std::shared_ptr<SimDesktop::ObserverCore> core_;
};

namespace {

AXValue optionalText(const std::optional<std::string>& s) {
  return s ? AXValue{*s} : AXValue{};
}

AXError answer(AXValue value, AXValue& out) {
  if (std::holds_alternative<std::monostate>(value)) return kAXErrorNoValue;
  out = std::move(value);
  return kAXErrorSuccess;
}

}  // namespace

bool SimAccessibility::isProcessTrusted() {
  desktop_.recorder_.record(
      {SimCallKind::axQuery, "isProcessTrusted", 0, 0, {}, 0, desktop_.loop_.now()});
  return desktop_.trusted_;
}

bool SimAccessibility::requestTrustWithPrompt() {
  desktop_.recorder_.record(
      {SimCallKind::axQuery, "requestTrustWithPrompt", 0, 0, {}, 0, desktop_.loop_.now()});
  ++desktop_.trustPrompts_;
  if (desktop_.grantsTrustOnPrompt_) desktop_.trusted_ = true;
  return desktop_.trusted_;
}

AXElement SimAccessibility::applicationElement(Pid pid) {
  if (const auto* proc = desktop_.process(pid)) return AXElement{proc->appElement};
  // Creating an application element always succeeds, even for a process that does not exist;
  // calls on it then fail.
  SimDesktop::Process ghost;
  ghost.pid = pid;
  ghost.running = false;
  ghost.bundle = SimDesktop::kOwnBundle;
  ghost.facts.pid = pid;
  ghost.appElement = desktop_.newElement({SimDesktop::ElementKind::application, pid});
  auto id = ghost.appElement;
  desktop_.processes_.emplace(pid, std::move(ghost));
  return AXElement{id};
}

Pid SimAccessibility::pidOf(const AXElement& element) {
  const auto* rec = desktop_.element(element.identity());
  Pid pid = rec ? rec->pid : 0;
  desktop_.recorder_.record(
      {SimCallKind::axQuery, "pid", element.identity(), pid, {}, 0, desktop_.loop_.now()});
  return pid;
}

std::optional<WindowNumber> SimAccessibility::windowNumber(const AXElement& element) {
  const auto* rec = desktop_.element(element.identity());
  std::optional<WindowNumber> number;
  if (desktop_.windowNumberLookup_ && rec && rec->kind == SimDesktop::ElementKind::window) {
    auto it = desktop_.windows_.find(rec->window);
    if (it != desktop_.windows_.end() && it->second.alive && it->second.desc.exposesWindowNumber)
      number = rec->window;
  }
  desktop_.recorder_.record({SimCallKind::axQuery,
                             "windowNumber",
                             element.identity(),
                             rec ? rec->pid : 0,
                             {},
                             number ? 0 : kAXErrorFailure,
                             desktop_.loop_.now()});
  return number;
}

AXError SimAccessibility::enter(const AXElement& element) {
  if (!desktop_.trusted_) return kAXErrorAPIDisabled;
  const auto* rec = desktop_.element(element.identity());
  if (!rec) return kAXErrorIllegalArgument;
  auto* proc = desktop_.process(rec->pid);
  if (!proc || !proc->running) {
    return rec->kind == SimDesktop::ElementKind::application ? kAXErrorCannotComplete
                                                             : kAXErrorInvalidUIElement;
  }
  if (proc->responseTime > 0) {
    Seconds timeout = desktop_.timeoutFor(element.identity(), rec->pid);
    if (proc->responseTime >= timeout) {
      desktop_.loop_.block(timeout);
      return kAXErrorCannotComplete;
    }
    desktop_.loop_.block(proc->responseTime);
  }
  if (rec->kind == SimDesktop::ElementKind::window && !desktop_.liveWindow(rec->window))
    return kAXErrorInvalidUIElement;
  return kAXErrorSuccess;
}

AXError SimAccessibility::copyAttribute(const AXElement& element, std::string_view attribute,
                                        AXValue& out) {
  Seconds at = desktop_.loop_.now();
  out = std::monostate{};
  AXError result = read(element, attribute, out);
  if (result != kAXErrorSuccess) out = std::monostate{};
  const auto* rec = desktop_.element(element.identity());
  desktop_.recorder_.record({SimCallKind::axRead,
                             std::string(attribute),
                             element.identity(),
                             rec ? rec->pid : 0,
                             {},
                             result,
                             at});
  return result;
}

AXError SimAccessibility::read(const AXElement& element, std::string_view attribute, AXValue& out) {
  using Kind = SimDesktop::ElementKind;
  if (AXError e = enter(element); e != kAXErrorSuccess) return e;
  const auto& rec = *desktop_.element(element.identity());
  auto& proc = *desktop_.process(rec.pid);
  auto asElement = [](std::uint64_t id) { return AXValue{AXElement{id}}; };
  auto windowValue = [&](std::optional<WindowNumber> n) {
    return n ? asElement(desktop_.windows_.at(*n).element) : AXValue{};
  };

  switch (rec.kind) {
    case Kind::application: {
      if (attribute == "AXWindows" || attribute == "AXChildren") {
        std::vector<AXElement> list;
        for (auto n : desktop_.windows(rec.pid))
          list.emplace_back(desktop_.windows_.at(n).element);
        out = std::move(list);
        return kAXErrorSuccess;
      }
      if (attribute == "AXFocusedWindow") return answer(windowValue(proc.focusedWindow), out);
      if (attribute == "AXMainWindow") return answer(windowValue(proc.mainWindow), out);
      if (attribute == "AXMenuBar")
        return answer(proc.menuBarElement ? asElement(proc.menuBarElement) : AXValue{}, out);
      if (attribute == "AXRole") return answer(std::string("AXApplication"), out);
      if (attribute == "AXTitle") return answer(optionalText(proc.facts.localizedName), out);
      if (attribute == "AXFrontmost") return answer(desktop_.frontmost_ == rec.pid, out);
      if (attribute == "AXHidden") return answer(proc.facts.isHidden, out);
      return kAXErrorAttributeUnsupported;
    }
    case Kind::window: {
      const auto& w = desktop_.windows_.at(rec.window);
      if (auto o = w.overrides.find(attribute); o != w.overrides.end()) {
        if (o->second.first == kAXErrorSuccess) out = o->second.second;
        return o->second.first;
      }
      const auto& s = w.desc;
      if (attribute == "AXTitle") return answer(optionalText(s.title), out);
      if (attribute == "AXRole") return answer(optionalText(s.role), out);
      if (attribute == "AXSubrole") return answer(optionalText(s.subrole), out);
      if (attribute == "AXIdentifier") return answer(optionalText(s.identifier), out);
      if (attribute == "AXDocument") return answer(optionalText(s.document), out);
      if (attribute == "AXPosition") return answer(s.frame.origin(), out);
      if (attribute == "AXSize") return answer(s.frame.size(), out);
      if (attribute == "AXMinimized") return answer(s.minimized, out);
      if (attribute == "AXMain") return answer(proc.mainWindow == rec.window, out);
      if (attribute == "AXFocused") return answer(proc.focusedWindow == rec.window, out);
      if (attribute == "AXFullScreen") return answer(s.fullScreen, out);
      if (attribute == "AXChildren") return answer(std::vector<AXElement>{}, out);
      if (attribute == "AXParent") return answer(asElement(proc.appElement), out);
      return kAXErrorAttributeUnsupported;
    }
    case Kind::menuBar: {
      if (attribute == "AXRole") return answer(std::string("AXMenuBar"), out);
      if (attribute == "AXChildren") {
        std::vector<AXElement> list;
        for (const auto& m : proc.menuElements)
          list.emplace_back(m.barItem);
        out = std::move(list);
        return kAXErrorSuccess;
      }
      return kAXErrorAttributeUnsupported;
    }
    case Kind::menuBarItem: {
      const auto& menu = proc.menus[static_cast<std::size_t>(rec.menu)];
      if (attribute == "AXRole") return answer(std::string("AXMenuBarItem"), out);
      if (attribute == "AXTitle") return answer(menu.title, out);
      if (attribute == "AXEnabled") return answer(true, out);
      if (attribute == "AXChildren") {
        out = std::vector<AXElement>{
            AXElement{proc.menuElements[static_cast<std::size_t>(rec.menu)].menu}};
        return kAXErrorSuccess;
      }
      return kAXErrorAttributeUnsupported;
    }
    case Kind::menu: {
      if (attribute == "AXRole") return answer(std::string("AXMenu"), out);
      if (attribute == "AXChildren") {
        std::vector<AXElement> list;
        for (auto id : proc.menuElements[static_cast<std::size_t>(rec.menu)].items)
          list.emplace_back(id);
        out = std::move(list);
        return kAXErrorSuccess;
      }
      return kAXErrorAttributeUnsupported;
    }
    case Kind::menuItem: {
      const auto& item =
          proc.menus[static_cast<std::size_t>(rec.menu)].items[static_cast<std::size_t>(rec.item)];
      if (attribute == "AXRole") return answer(std::string("AXMenuItem"), out);
      if (attribute == "AXTitle") return answer(optionalText(item.title), out);
      if (attribute == "AXEnabled") return answer(item.enabled, out);
      if (attribute == "AXMenuItemCmdChar") return answer(optionalText(item.commandChar), out);
      if (attribute == "AXMenuItemCmdModifiers")
        return answer(item.commandModifiers ? AXValue{*item.commandModifiers} : AXValue{}, out);
      if (attribute == "AXChildren") return answer(std::vector<AXElement>{}, out);
      return kAXErrorAttributeUnsupported;
    }
  }
  return kAXErrorAttributeUnsupported;
}

AXError SimAccessibility::setAttribute(const AXElement& element, std::string_view attribute,
                                       const AXValue& value) {
  Seconds at = desktop_.loop_.now();
  AXError result = write(element, attribute, value);
  const auto* rec = desktop_.element(element.identity());
  desktop_.recorder_.record({SimCallKind::axWrite, std::string(attribute), element.identity(),
                             rec ? rec->pid : 0, value, result, at});
  return result;
}

AXError SimAccessibility::write(const AXElement& element, std::string_view attribute,
                                const AXValue& value) {
  using Kind = SimDesktop::ElementKind;
  if (AXError e = enter(element); e != kAXErrorSuccess) return e;
  const auto& rec = *desktop_.element(element.identity());
  auto& proc = *desktop_.process(rec.pid);
  if (rec.kind == Kind::application) {
    if (attribute == "AXFrontmost") {
      const bool* on = std::get_if<bool>(&value);
      if (!on) return kAXErrorIllegalArgument;
      if (*on) desktop_.activate(rec.pid);
      return kAXErrorSuccess;
    }
    return kAXErrorAttributeUnsupported;
  }
  if (rec.kind != Kind::window) return kAXErrorAttributeUnsupported;
  auto& w = *desktop_.liveWindow(rec.window);
  if (attribute == "AXPosition") {
    const auto* p = std::get_if<AXPoint>(&value);
    if (!p) return kAXErrorIllegalArgument;
    return desktop_.writeFrame(w, *p, std::nullopt);
  }
  if (attribute == "AXSize") {
    const auto* s = std::get_if<Size>(&value);
    if (!s) return kAXErrorIllegalArgument;
    return desktop_.writeFrame(w, std::nullopt, *s);
  }
  const bool* flag = std::get_if<bool>(&value);
  if (attribute == "AXMinimized") {
    if (!flag) return kAXErrorIllegalArgument;
    desktop_.setMinimized(rec.window, *flag);
    return kAXErrorSuccess;
  }
  if (attribute == "AXMain" || attribute == "AXFocused") {
    if (!flag) return kAXErrorIllegalArgument;
    if (*flag) desktop_.makeMain(proc, rec.window);
    return kAXErrorSuccess;
  }
  if (attribute == "AXFullScreen") {
    if (!flag) return kAXErrorIllegalArgument;
    desktop_.setFullScreen(rec.window, *flag);
    return kAXErrorSuccess;
  }
  return kAXErrorAttributeUnsupported;
}

AXError SimAccessibility::performAction(const AXElement& element, std::string_view action) {
  Seconds at = desktop_.loop_.now();
  AXError result = act(element, action);
  const auto* rec = desktop_.element(element.identity());
  desktop_.recorder_.record({SimCallKind::axAction,
                             std::string(action),
                             element.identity(),
                             rec ? rec->pid : 0,
                             {},
                             result,
                             at});
  return result;
}

AXError SimAccessibility::act(const AXElement& element, std::string_view action) {
  using Kind = SimDesktop::ElementKind;
  if (AXError e = enter(element); e != kAXErrorSuccess) return e;
  const auto& rec = *desktop_.element(element.identity());
  auto& proc = *desktop_.process(rec.pid);
  if (rec.kind == Kind::window && action == "AXRaise") {
    desktop_.raise(rec.window);
    desktop_.makeMain(proc, rec.window);
    return kAXErrorSuccess;
  }
  if (rec.kind == Kind::menuItem && action == "AXPress") {
    const auto item =
        proc.menus[static_cast<std::size_t>(rec.menu)].items[static_cast<std::size_t>(rec.item)];
    if (!item.enabled) return kAXErrorCannotComplete;
    if (item.pressError != kAXErrorSuccess) return item.pressError;
    if (item.action == SimMenuAction::newWindow && proc.bundle != SimDesktop::kOwnBundle)
      desktop_.openWindow(rec.pid, desktop_.bundles_[proc.bundle].desc.newWindow);
    return kAXErrorSuccess;
  }
  return kAXErrorActionUnsupported;
}

AXError SimAccessibility::setMessagingTimeout(const AXElement& element, float seconds) {
  Seconds at = desktop_.loop_.now();
  const auto* rec = desktop_.element(element.identity());
  // The platform takes a float; kept to the microsecond so that virtual time stays on round
  // numbers (0.2f is 0.2 here, not 0.2000000030).
  const double timeout = std::round(static_cast<double>(seconds) * 1e6) / 1e6;
  AXError result = kAXErrorSuccess;
  if (!rec || seconds < 0) {
    result = kAXErrorIllegalArgument;
  } else if (seconds == 0) {
    desktop_.timeouts_.erase(element.identity());
  } else {
    desktop_.timeouts_[element.identity()] = timeout;
  }
  desktop_.recorder_.record({SimCallKind::axTimeout, "setMessagingTimeout", element.identity(),
                             rec ? rec->pid : 0, timeout, result, at});
  return result;
}

AXError SimAccessibility::createObserver(Pid pid,
                                         std::function<void(const AXNotification&)> callback,
                                         std::unique_ptr<IAXObserver>& observer) {
  Seconds at = desktop_.loop_.now();
  AXError result = kAXErrorSuccess;
  observer.reset();
  auto failure = desktop_.observerCreationFailures_.find(pid);
  if (!desktop_.trusted_) {
    result = kAXErrorAPIDisabled;
  } else if (failure != desktop_.observerCreationFailures_.end() && failure->second.times > 0) {
    --failure->second.times;
    result = failure->second.error;
  } else if (pid <= 0) {
    result = kAXErrorIllegalArgument;
  } else {
    auto core = std::make_shared<SimDesktop::ObserverCore>();
    core->pid = pid;
    core->callback = std::move(callback);
    desktop_.observers_.push_back(core);
    observer = std::make_unique<SimAXObserver>(*this, desktop_.alive_, std::move(core));
  }
  desktop_.recorder_.record({SimCallKind::axObserver, "create", 0, pid, {}, result, at});
  return result;
}

}  // namespace zelvorn
