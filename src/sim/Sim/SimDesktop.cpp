#include "Sim/SimDesktop.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace zelvorn {

namespace {

// "file://" URL of a path, escaping what a URL path may not hold.
std::string fileURL(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string out = "file://";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string lastComponent(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

SimDesktop::SimDesktop(VirtualMainLoop& loop, SimOwnProcess own)
    : loop_(loop),
      systemEvents_(loop),
      displays_(systemEvents_),
      accessibility_(*this),
      windowList_(*this),
      runningApps_(*this),
      launchServices_(*this),
      ownPid_(own.pid) {
  Process proc;
  proc.pid = own.pid;
  proc.bundle = kOwnBundle;
  proc.facts.pid = own.pid;
  proc.facts.bundleIdentifier = own.bundleIdentifier;
  proc.facts.localizedName = own.name;
  proc.facts.bundlePath = own.bundlePath;
  proc.facts.activationPolicy = ActivationPolicy::accessory;
  proc.facts.launchDate = loop.wallNow();
  proc.appElement = newElement({ElementKind::application, own.pid});
  processes_.emplace(own.pid, std::move(proc));
  launchOrder_.push_back(own.pid);
  displays_.setScreens({SimDisplays::makeScreen(1, {0, 0, 1440, 900})});
}

SimDesktop::~SimDesktop() {
  *alive_ = false;
}

// --- Bookkeeping ---

std::uint64_t SimDesktop::newElement(ElementRecord record) {
  auto id = nextElement_++;
  elements_.emplace(id, record);
  return id;
}

const SimDesktop::ElementRecord* SimDesktop::element(std::uint64_t identity) const {
  auto it = elements_.find(identity);
  return it == elements_.end() ? nullptr : &it->second;
}

SimDesktop::Process* SimDesktop::process(Pid pid) {
  auto it = processes_.find(pid);
  return it == processes_.end() ? nullptr : &it->second;
}

const SimDesktop::Process* SimDesktop::process(Pid pid) const {
  auto it = processes_.find(pid);
  return it == processes_.end() ? nullptr : &it->second;
}

SimDesktop::Window* SimDesktop::liveWindow(WindowNumber number) {
  auto it = windows_.find(number);
  return it == windows_.end() || !it->second.alive ? nullptr : &it->second;
}

const SimDesktop::Bundle* SimDesktop::bundleAt(std::string_view path) const {
  for (const auto& b : bundles_)
    if (b.installed && b.desc.bundlePath == path) return &b;
  return nullptr;
}

const SimDesktop::Bundle* SimDesktop::bundleWithIdentifier(std::string_view identifier) const {
  for (const auto& b : bundles_)
    if (b.installed && b.desc.bundleIdentifier == identifier) return &b;
  return nullptr;
}

RunningApp SimDesktop::snapshot(const Process& proc) const {
  return proc.facts;
}

std::vector<Pid> SimDesktop::pidsInOrder() const {
  std::vector<Pid> out;
  for (Pid pid : launchOrder_)
    if (process(pid)->running) out.push_back(pid);
  return out;
}

Seconds SimDesktop::timeoutFor(std::uint64_t identity, Pid pid) const {
  auto own = timeouts_.find(identity);
  if (own != timeouts_.end()) return own->second;
  const auto* rec = element(identity);
  if (inheritTimeout_ && rec && rec->kind != ElementKind::application) {
    if (const auto* proc = process(pid)) {
      auto app = timeouts_.find(proc->appElement);
      if (app != timeouts_.end()) return app->second;
    }
  }
  return defaultTimeout_;
}

// --- The disk ---

void SimDesktop::attachFileSystem(InMemoryFileSystem& files) {
  files_ = &files;
  for (const auto& b : bundles_)
    if (b.installed) files.putFile(b.desc.bundlePath, "bundle");
}

void SimDesktop::install(SimAppSpec bundle) {
  if (files_) files_->putFile(bundle.bundlePath, "bundle");
  for (auto& b : bundles_)
    if (b.installed && b.desc.bundlePath == bundle.bundlePath) b.installed = false;
  if (!bundle.icon) {
    // A recognisable stand-in: the PNG signature followed by the bundle's name.
    Bytes icon{0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (char c : bundle.bundlePath)
      icon.push_back(static_cast<std::uint8_t>(c));
    bundle.icon = std::move(icon);
  }
  bundles_.push_back(Bundle{std::move(bundle), nextBundleSerial_++, true});
}

bool SimDesktop::uninstall(std::string_view bundlePath) {
  for (auto& b : bundles_) {
    if (b.installed && b.desc.bundlePath == bundlePath) {
      b.installed = false;
      if (files_) (void)files_->removeFile(bundlePath);
      return true;
    }
  }
  return false;
}

bool SimDesktop::moveBundle(std::string_view from, std::string_view to) {
  if (bundleAt(to)) return false;
  for (auto& b : bundles_) {
    if (b.installed && b.desc.bundlePath == from) {
      b.desc.bundlePath = std::string(to);
      if (files_) {
        (void)files_->removeFile(from);
        files_->putFile(to, "bundle");
      }
      return true;
    }
  }
  return false;
}

bool SimDesktop::bundleExists(std::string_view bundlePath) const {
  return bundleAt(bundlePath) != nullptr;
}

// --- Processes ---

Pid SimDesktop::startProcess(std::size_t bundleIndex, bool finishedLaunching) {
  const SimAppSpec& desc = bundles_[bundleIndex].desc;
  while (processes_.count(nextPid_))
    ++nextPid_;
  Process proc;
  proc.pid = nextPid_++;
  proc.bundle = bundleIndex;
  proc.facts.pid = proc.pid;
  proc.facts.bundleIdentifier = desc.bundleIdentifier;
  proc.facts.localizedName = desc.name ? desc.name : desc.displayName;
  if (!proc.facts.localizedName) {
    auto file = lastComponent(desc.bundlePath);
    proc.facts.localizedName = file.substr(0, file.rfind('.'));
  }
  proc.facts.bundlePath = desc.bundlePath;
  proc.facts.activationPolicy = desc.activationPolicy;
  proc.facts.isFinishedLaunching = false;
  proc.facts.launchDate = loop_.wallNow();
  proc.quitsOnRequest = desc.quitsOnRequest;
  proc.appElement = newElement({ElementKind::application, proc.pid});
  proc.menus = desc.menus;
  if (!proc.menus.empty()) {
    proc.menuBarElement = newElement({ElementKind::menuBar, proc.pid});
    for (int m = 0; m < static_cast<int>(proc.menus.size()); ++m) {
      MenuElements me;
      me.barItem = newElement({ElementKind::menuBarItem, proc.pid, 0, m});
      me.menu = newElement({ElementKind::menu, proc.pid, 0, m});
      for (int i = 0; i < static_cast<int>(proc.menus[m].items.size()); ++i)
        me.items.push_back(newElement({ElementKind::menuItem, proc.pid, 0, m, i}));
      proc.menuElements.push_back(std::move(me));
    }
  }
  Pid pid = proc.pid;
  processes_.emplace(pid, std::move(proc));
  launchOrder_.push_back(pid);
  if (finishedLaunching) finishLaunching(pid);
  return pid;
}

void SimDesktop::finishLaunching(Pid pid) {
  auto* proc = process(pid);
  if (!proc || !proc->running || proc->facts.isFinishedLaunching) return;
  proc->facts.isFinishedLaunching = true;
  systemEvents_.emitAppLaunched(snapshot(*proc));
}

WindowNumber SimDesktop::openDocumentWindow(Pid pid, const std::string& path) {
  auto* proc = process(pid);
  SimWindowSpec desc = bundles_[proc->bundle].desc.newWindow;
  desc.title = lastComponent(path);
  desc.document = fileURL(path);
  return openWindow(pid, desc);
}

void SimDesktop::openLaunchWindows(Pid pid, const std::vector<std::string>& documents) {
  auto* proc = process(pid);
  if (!proc || !proc->running) return;
  const SimAppSpec& desc = bundles_[proc->bundle].desc;
  if (!documents.empty() && desc.opensDocuments) {
    for (const auto& d : documents)
      openDocumentWindow(pid, d);
    return;
  }
  for (const auto& w : desc.windowsAtLaunch)
    openWindow(pid, w);
}

Pid SimDesktop::launch(std::string_view bundleIdentifier) {
  for (std::size_t i = 0; i < bundles_.size(); ++i) {
    if (bundles_[i].installed && bundles_[i].desc.bundleIdentifier == bundleIdentifier) {
      Pid pid = startProcess(i, true);
      openLaunchWindows(pid, {});
      return pid;
    }
  }
  return 0;
}

void SimDesktop::endProcess(Pid pid) {
  auto* proc = process(pid);
  if (!proc || !proc->running || pid == ownPid_) return;
  for (auto number : windows(pid))
    closeWindow(number);
  proc->running = false;
  if (frontmost_ == pid) frontmost_.reset();
  systemEvents_.emitAppTerminated(snapshot(*proc));
}

void SimDesktop::quit(Pid pid) {
  endProcess(pid);
}

void SimDesktop::setResponseTime(Pid pid, Seconds seconds) {
  if (auto* proc = process(pid)) proc->responseTime = std::max(0.0, seconds);
}

void SimDesktop::ignoreUnhide(Pid pid, int times) {
  if (auto* proc = process(pid)) proc->ignoreUnhide = times;
}

void SimDesktop::setQuitsOnRequest(Pid pid, bool quits) {
  if (auto* proc = process(pid)) proc->quitsOnRequest = quits;
}

std::optional<RunningApp> SimDesktop::app(Pid pid) const {
  const auto* proc = process(pid);
  if (!proc || !proc->running) return std::nullopt;
  return snapshot(*proc);
}

void SimDesktop::activate(Pid pid) {
  auto* proc = process(pid);
  if (!proc || !proc->running) return;
  proc->facts.isHidden = false;
  // Its windows come to the front, keeping their order among themselves.
  std::vector<WindowNumber> mine, others;
  for (auto n : stack_)
    (windows_.at(n).pid == pid ? mine : others).push_back(n);
  mine.insert(mine.end(), others.begin(), others.end());
  stack_ = std::move(mine);
  bool changed = frontmost_ != pid;
  frontmost_ = pid;
  if (changed) systemEvents_.emitAppActivated(snapshot(*proc));
}

void SimDesktop::hide(Pid pid) {
  auto* proc = process(pid);
  if (!proc || !proc->running) return;
  proc->facts.isHidden = true;
  if (frontmost_ == pid) frontmost_.reset();
}

bool SimDesktop::unhide(Pid pid) {
  auto* proc = process(pid);
  if (!proc || !proc->running) return false;
  if (proc->ignoreUnhide > 0) {
    --proc->ignoreUnhide;
    return true;
  }
  proc->facts.isHidden = false;
  return true;
}

// --- Windows ---

WindowNumber SimDesktop::openWindow(Pid pid, SimWindowSpec desc) {
  auto* proc = process(pid);
  if (!proc || !proc->running) return 0;
  Window w;
  w.number = nextWindowNumber_++;
  w.pid = pid;
  w.element = newElement({ElementKind::window, pid, w.number});
  desc.frame.width = constrainedSize(desc, desc.frame.size()).width;
  desc.frame.height = constrainedSize(desc, desc.frame.size()).height;
  w.desc = std::move(desc);
  WindowNumber number = w.number;
  auto element = w.element;
  windows_.emplace(number, std::move(w));
  stack_.insert(stack_.begin(), number);
  notifyApp(pid, element, "AXWindowCreated");
  const auto& created = windows_.at(number).desc;
  if (!created.minimized && created.layer == 0) makeMain(*proc, number);
  return number;
}

void SimDesktop::closeWindow(WindowNumber number) {
  auto* w = liveWindow(number);
  if (!w) return;
  w->alive = false;
  w->moveBack.cancel();
  stack_.erase(std::remove(stack_.begin(), stack_.end(), number), stack_.end());
  notifyWindow(*w, "AXUIElementDestroyed");
  auto* proc = process(w->pid);
  if (proc && (proc->mainWindow == number || proc->focusedWindow == number)) {
    std::optional<WindowNumber> next;
    for (auto n : windows(w->pid)) {
      const auto& s = windows_.at(n).desc;
      if (!s.minimized && s.layer == 0) {
        next = n;
        break;
      }
    }
    makeMain(*proc, next);
  }
}

void SimDesktop::makeMain(Process& proc, std::optional<WindowNumber> number) {
  bool focusChanged = proc.focusedWindow != number;
  bool mainChanged = proc.mainWindow != number;
  proc.focusedWindow = number;
  proc.mainWindow = number;
  std::uint64_t delivered = number ? windows_.at(*number).element : proc.appElement;
  if (focusChanged) notifyApp(proc.pid, delivered, "AXFocusedWindowChanged");
  if (mainChanged) notifyApp(proc.pid, delivered, "AXMainWindowChanged");
}

void SimDesktop::raise(WindowNumber number) {
  stack_.erase(std::remove(stack_.begin(), stack_.end(), number), stack_.end());
  stack_.insert(stack_.begin(), number);
}

void SimDesktop::focusWindow(WindowNumber number) {
  auto* w = liveWindow(number);
  if (!w) return;
  Pid pid = w->pid;
  activate(pid);
  raise(number);
  makeMain(*process(pid), number);
}

void SimDesktop::moveWindowByUser(WindowNumber number, AXRect frame) {
  auto* w = liveWindow(number);
  if (!w) return;
  AXRect before = w->desc.frame;
  Size size = constrainedSize(w->desc, frame.size());
  w->desc.frame = {frame.x, frame.y, size.width, size.height};
  if (before.origin() != w->desc.frame.origin()) notifyWindow(*w, "AXWindowMoved");
  if (before.size() != w->desc.frame.size()) notifyWindow(*w, "AXWindowResized");
}

void SimDesktop::setMinimized(WindowNumber number, bool minimized) {
  auto* w = liveWindow(number);
  if (!w || w->desc.minimized == minimized) return;
  w->desc.minimized = minimized;
  notifyWindow(*w, minimized ? "AXWindowMiniaturized" : "AXWindowDeminiaturized");
}

void SimDesktop::setFullScreen(WindowNumber number, bool on, std::optional<AXRect> frame) {
  auto* w = liveWindow(number);
  if (!w) return;
  w->desc.fullScreen = on;
  if (on && !frame) frame = screenFrameAX({w->desc.frame.midX(), w->desc.frame.midY()});
  if (frame) {
    AXRect before = w->desc.frame;
    w->desc.frame = *frame;
    if (before.origin() != frame->origin()) notifyWindow(*w, "AXWindowMoved");
    if (before.size() != frame->size()) notifyWindow(*w, "AXWindowResized");
  }
}

void SimDesktop::updateWindow(WindowNumber number,
                              const std::function<void(SimWindowSpec&)>& change) {
  if (auto* w = liveWindow(number)) change(w->desc);
}

void SimDesktop::overrideAttribute(WindowNumber number, std::string attribute, AXError error,
                                   AXValue value) {
  auto it = windows_.find(number);
  if (it != windows_.end())
    it->second.overrides.insert_or_assign(std::move(attribute),
                                          std::make_pair(error, std::move(value)));
}

std::optional<SimWindowState> SimDesktop::window(WindowNumber number) const {
  auto it = windows_.find(number);
  if (it == windows_.end()) return std::nullopt;
  return SimWindowState{it->second.number, it->second.pid, it->second.alive, it->second.desc};
}

std::vector<WindowNumber> SimDesktop::stackingOrder() const {
  std::vector<WindowNumber> out = stack_;
  std::stable_sort(out.begin(), out.end(), [&](WindowNumber a, WindowNumber b) {
    return windows_.at(a).desc.layer > windows_.at(b).desc.layer;
  });
  return out;
}

std::vector<WindowNumber> SimDesktop::windows(Pid pid) const {
  std::vector<WindowNumber> out;
  for (auto n : stackingOrder())
    if (windows_.at(n).pid == pid) out.push_back(n);
  return out;
}

AXElement SimDesktop::windowElement(WindowNumber number) const {
  auto it = windows_.find(number);
  return it == windows_.end() ? AXElement{} : AXElement{it->second.element};
}

AXElement SimDesktop::applicationElement(Pid pid) const {
  const auto* proc = process(pid);
  return proc ? AXElement{proc->appElement} : AXElement{};
}

AXElement SimDesktop::menuItemElement(Pid pid, std::string_view menuTitle,
                                      std::string_view itemTitle) const {
  const auto* proc = process(pid);
  if (!proc) return {};
  for (std::size_t m = 0; m < proc->menus.size(); ++m) {
    if (proc->menus[m].title != menuTitle) continue;
    for (std::size_t i = 0; i < proc->menus[m].items.size(); ++i)
      if (proc->menus[m].items[i].title == itemTitle)
        return AXElement{proc->menuElements[m].items[i]};
  }
  return {};
}

// --- Frames ---

std::optional<AXRect> SimDesktop::screenFrameAX(AXPoint point) const {
  auto screens = displays_.screens();
  if (screens.empty()) return std::nullopt;
  // AX space hangs from the top-left of the primary display (the one at the Cocoa origin).
  double primaryHeight = screens.front().frame.height;
  for (const auto& s : screens)
    if (s.frame.x == 0 && s.frame.y == 0) primaryHeight = s.frame.height;
  auto toAX = [&](const CocoaRect& r) {
    return AXRect{r.x, primaryHeight - r.y - r.height, r.width, r.height};
  };
  for (const auto& s : screens)
    if (toAX(s.frame).contains(point)) return toAX(s.frame);
  return toAX(screens[displays_.mainScreenIndex().value_or(0)].frame);
}

Size SimDesktop::constrainedSize(const SimWindowSpec& desc, Size requested) const {
  auto fit = [](double want, double min, std::optional<double> max, double inc, double base) {
    double v = std::max(want, min);
    if (max) v = std::min(v, *max);
    if (inc > 0) {
      v = base + std::floor((v - base) / inc) * inc;
      if (v < min) v += inc;
    }
    return v;
  };
  std::optional<double> maxW, maxH;
  if (desc.maxSize) {
    maxW = desc.maxSize->width;
    maxH = desc.maxSize->height;
  }
  return {fit(requested.width, desc.minSize.width, maxW, desc.resizeIncrements.width,
              desc.resizeBase.width),
          fit(requested.height, desc.minSize.height, maxH, desc.resizeIncrements.height,
              desc.resizeBase.height)};
}

AXError SimDesktop::writeFrame(Window& w, std::optional<AXPoint> origin, std::optional<Size> size) {
  AXRect before = w.desc.frame;
  if (origin) {
    if (w.desc.move == SimRefusal::fails) return w.desc.refusalError;
    if (w.desc.ignoresNextMoves > 0) {
      --w.desc.ignoresNextMoves;
    } else if (w.desc.move == SimRefusal::none && !w.desc.fullScreen) {
      w.desc.frame.x = origin->x;
      w.desc.frame.y = origin->y;
    }
  }
  if (size) {
    if (w.desc.resize == SimRefusal::fails) return w.desc.refusalError;
    if (w.desc.resize == SimRefusal::none && !w.desc.fullScreen) {
      Size s = constrainedSize(w.desc, *size);
      w.desc.frame.width = s.width;
      w.desc.frame.height = s.height;
    }
  }
  if (before != w.desc.frame) {
    if (before.origin() != w.desc.frame.origin()) notifyWindow(w, "AXWindowMoved");
    if (before.size() != w.desc.frame.size()) notifyWindow(w, "AXWindowResized");
    scheduleMoveBack(w, before);
  }
  return kAXErrorSuccess;
}

void SimDesktop::scheduleMoveBack(Window& w, AXRect before) {
  if (!w.desc.movesBackAfter) return;
  if (!w.moveBackTo) w.moveBackTo = before;
  w.moveBack.cancel();
  std::weak_ptr<bool> alive = alive_;
  WindowNumber number = w.number;
  w.moveBack = loop_.postAfter(*w.desc.movesBackAfter, [this, alive, number] {
    if (!alive.lock()) return;
    auto* win = liveWindow(number);
    if (!win || !win->moveBackTo) return;
    AXRect target = *win->moveBackTo;
    win->moveBackTo.reset();
    AXRect now = win->desc.frame;
    win->desc.frame = target;
    if (now.origin() != target.origin()) notifyWindow(*win, "AXWindowMoved");
    if (now.size() != target.size()) notifyWindow(*win, "AXWindowResized");
  });
}

// --- Notifications ---

void SimDesktop::notify(Pid pid, std::uint64_t target, std::uint64_t delivered,
                        std::string_view name) {
  const auto* proc = process(pid);
  std::uint64_t appElement = proc ? proc->appElement : 0;
  std::erase_if(observers_, [](const auto& w) { return w.expired(); });
  for (const auto& weak : observers_) {
    auto core = weak.lock();
    if (!core || core->pid != pid) continue;
    std::uint64_t on = 0;
    if (core->registrations.count({target, std::string(name)}))
      on = target;
    else if (target != appElement && core->registrations.count({appElement, std::string(name)}))
      on = appElement;
    else
      continue;
    AXNotification n{AXElement{delivered}, std::string(name)};
    std::weak_ptr<ObserverCore> keep = core;
    loop_.post([keep, on, n] {
      auto c = keep.lock();
      if (c && c->registrations.count({on, n.name})) c->callback(n);
    });
  }
}

void SimDesktop::notifyWindow(const Window& w, std::string_view name) {
  notify(w.pid, w.element, w.element, name);
}

void SimDesktop::notifyApp(Pid pid, std::uint64_t deliveredElement, std::string_view name) {
  const auto* proc = process(pid);
  if (proc) notify(pid, proc->appElement, deliveredElement, name);
}

void SimDesktop::failObserverCreation(Pid pid, AXError error, int times) {
  observerCreationFailures_[pid] = Injected{error, times};
}

void SimDesktop::failObserverRegistration(Pid pid, std::string notification, AXError error,
                                          int times) {
  registrationFailures_[{pid, std::move(notification)}] = Injected{error, times};
}

}  // namespace zelvorn
