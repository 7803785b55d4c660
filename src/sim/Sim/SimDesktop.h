// The simulated desktop: one deterministic model of applications on disk, running processes,
// windows with their stacking order, menus and Accessibility behaviour. It stands behind every
// platform interface the core uses (through the adapters it owns) and is driven by the virtual
// main loop. Tests, benchmarks and the demo all run on it.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "Platform/IAccessibility.h"
#include "Platform/ILaunchServices.h"
#include "Platform/IRunningApps.h"
#include "Platform/IWindowList.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimAccessibility.h"
#include "Sim/SimCallRecorder.h"
#include "Sim/SimDesktopTypes.h"
#include "Sim/SimDisplays.h"
#include "Sim/SimLaunchServices.h"
#include "Sim/SimRunningApps.h"
#include "Sim/SimSystemEvents.h"
#include "Sim/SimWindowList.h"
#include "Sim/VirtualMainLoop.h"

namespace zelvorn {

// This program's own process as the desktop lists it.
struct SimOwnProcess {
  Pid pid = 4242;
  std::string bundleIdentifier = "app.zelvorn.Zelvorn";
  std::string name = "Zelvorn";
  std::string bundlePath = "/Applications/Zelvorn.app";
};

class SimDesktop {
 public:
  static constexpr Seconds kHung = std::numeric_limits<Seconds>::infinity();

  explicit SimDesktop(VirtualMainLoop& loop, SimOwnProcess own = {});
  ~SimDesktop();
  SimDesktop(const SimDesktop&) = delete;
  SimDesktop& operator=(const SimDesktop&) = delete;

  // The platform as the core sees it.
  IAccessibility& accessibility() { return accessibility_; }
  IWindowList& windowList() { return windowList_; }
  IRunningApps& runningApps() { return runningApps_; }
  ILaunchServices& launchServices() { return launchServices_; }
  SimSystemEvents& systemEvents() { return systemEvents_; }
  // One 1440×900 display to begin with; tests and the demo rearrange them at run time.
  SimDisplays& displays() { return displays_; }
  SimCallRecorder& recorder() { return recorder_; }
  VirtualMainLoop& loop() { return loop_; }

  // --- The disk ---
  // Keeps the bundles as files of `files` too (installed, moved and removed along with them), so
  // that the program's existence checks and launch services agree. Bundles already installed are
  // put there at once.
  void attachFileSystem(InMemoryFileSystem& files);
  void install(SimAppSpec bundle);
  bool uninstall(std::string_view bundlePath);
  bool moveBundle(std::string_view from, std::string_view to);
  bool bundleExists(std::string_view bundlePath) const;

  // --- Processes ---
  // Starts an installed application at once: running, finished launching, its launch windows
  // open. The launch notification is delivered on the main loop. 0 when it is not installed.
  Pid launch(std::string_view bundleIdentifier);
  // Ends a process now, as if it crashed or was killed: its windows go away.
  void quit(Pid pid);
  // Every Accessibility call on the process takes this long; a call whose time-out is shorter
  // gives up after the time-out with kAXErrorCannotComplete. kHung: it never answers.
  void setResponseTime(Pid pid, Seconds seconds);
  void setHung(Pid pid, bool hung) { setResponseTime(pid, hung ? kHung : 0); }
  // The next `times` unhide requests are accepted but have no effect.
  void ignoreUnhide(Pid pid, int times);
  void setQuitsOnRequest(Pid pid, bool quits);
  std::optional<RunningApp> app(Pid pid) const;
  std::optional<Pid> frontmostPid() const { return frontmost_; }

  // --- Windows ---
  WindowNumber openWindow(Pid pid, SimWindowSpec desc);
  // Closes the window; its element stays valid as a reference, but reads on it fail.
  void closeWindow(WindowNumber number);
  // The user drags or resizes the window (no constraints beyond the window's own).
  void moveWindowByUser(WindowNumber number, AXRect frame);
  void setMinimized(WindowNumber number, bool minimized);
  // Enters or leaves native full screen. Entering takes `frame` as the window's frame, by default
  // the frame of the screen that holds the window's centre (the main screen when none does).
  void setFullScreen(WindowNumber number, bool on, std::optional<AXRect> frame = std::nullopt);
  // Raises the window, makes it its application's main and focused window and the application
  // frontmost.
  void focusWindow(WindowNumber number);
  // Changes a window's attributes directly, without notifications (titles, documents, habits).
  void updateWindow(WindowNumber number, const std::function<void(SimWindowSpec&)>& change);
  // Makes reads of one attribute answer `error` and `value` (a wrong type, a failure).
  void overrideAttribute(WindowNumber number, std::string attribute, AXError error,
                         AXValue value = {});

  std::optional<SimWindowState> window(WindowNumber number) const;
  // The process's live windows in its Accessibility order (front to back).
  std::vector<WindowNumber> windows(Pid pid) const;
  // All live windows, front to back.
  std::vector<WindowNumber> stackingOrder() const;
  AXElement windowElement(WindowNumber number) const;
  AXElement applicationElement(Pid pid) const;
  // The element of a menu item, found by its menu's and its own title; null when none.
  AXElement menuItemElement(Pid pid, std::string_view menuTitle, std::string_view itemTitle) const;

  // --- Platform switches ---
  void setTrusted(bool trusted) { trusted_ = trusted; }
  bool trusted() const { return trusted_; }
  void setGrantsTrustOnPrompt(bool grants) { grantsTrustOnPrompt_ = grants; }
  int trustPrompts() const { return trustPrompts_; }
  void setWindowNumberLookupAvailable(bool available) { windowNumberLookup_ = available; }
  void setWindowListAvailable(bool available) { windowListAvailable_ = available; }
  // The time-out of an element without one of its own (the system default).
  void setDefaultMessagingTimeout(Seconds seconds) { defaultTimeout_ = seconds; }
  // Whether window and menu elements without their own time-out use their application's.
  void setTimeoutInheritedFromApplication(bool inherited) { inheritTimeout_ = inherited; }
  // The next `times` observer creations (or registrations of `notification`) for the process fail.
  void failObserverCreation(Pid pid, AXError error, int times);
  void failObserverRegistration(Pid pid, std::string notification, AXError error, int times);
  const std::vector<std::string>& openedURLs() const { return openedURLs_; }
  const std::vector<std::string>& revealedPaths() const { return revealedPaths_; }

 private:
  friend class SimAccessibility;
  friend class SimAXObserver;
  friend class SimWindowList;
  friend class SimRunningApps;
  friend class SimLaunchServices;

  enum class ElementKind { application, window, menuBar, menuBarItem, menu, menuItem };
  struct ElementRecord {
    ElementKind kind = ElementKind::application;
    Pid pid = 0;
    WindowNumber window = 0;
    int menu = -1;
    int item = -1;
  };
  struct Bundle {
    SimAppSpec desc;
    std::uint64_t serial = 0;
    bool installed = true;
  };
  struct MenuElements {
    std::uint64_t barItem = 0;
    std::uint64_t menu = 0;
    std::vector<std::uint64_t> items;
  };
  struct Process {
    Pid pid = 0;
    std::size_t bundle = 0;  // index into bundles_; own process: npos
    RunningApp facts;
    bool running = true;
    Seconds responseTime = 0;
    int ignoreUnhide = 0;
    bool quitsOnRequest = true;
    std::optional<WindowNumber> mainWindow;
    std::optional<WindowNumber> focusedWindow;
    std::uint64_t appElement = 0;
    std::uint64_t menuBarElement = 0;
    std::vector<SimMenu> menus;
    std::vector<MenuElements> menuElements;
  };
  struct Window {
    WindowNumber number = 0;
    Pid pid = 0;
    std::uint64_t element = 0;
    bool alive = true;
    SimWindowSpec desc;
    TaskHandle moveBack;
    std::optional<AXRect> moveBackTo;
    std::map<std::string, std::pair<AXError, AXValue>, std::less<>> overrides;
  };
  struct ObserverCore {
    Pid pid = 0;
    std::function<void(const AXNotification&)> callback;
    std::set<std::pair<std::uint64_t, std::string>, std::less<>> registrations;
  };
  // Requests to open a bundle that is still starting: they all get the one process.
  struct PendingLaunch {
    std::vector<std::string> documents;
    bool activates = false;
    std::vector<std::function<void(Result<RunningApp>)>> completions;
  };
  struct Injected {
    AXError error = kAXErrorSuccess;
    int times = 0;
  };

  static constexpr std::size_t kOwnBundle = static_cast<std::size_t>(-1);

  std::uint64_t newElement(ElementRecord record);
  const ElementRecord* element(std::uint64_t identity) const;
  Process* process(Pid pid);
  const Process* process(Pid pid) const;
  Window* liveWindow(WindowNumber number);
  const Bundle* bundleAt(std::string_view path) const;
  const Bundle* bundleWithIdentifier(std::string_view identifier) const;
  Pid startProcess(std::size_t bundle, bool finishedLaunching);
  void finishLaunching(Pid pid);
  void openLaunchWindows(Pid pid, const std::vector<std::string>& documents);
  WindowNumber openDocumentWindow(Pid pid, const std::string& path);
  void endProcess(Pid pid);
  void raise(WindowNumber number);
  void makeMain(Process& proc, std::optional<WindowNumber> number);
  void activate(Pid pid);
  void hide(Pid pid);
  bool unhide(Pid pid);
  // Applies a position or size write the way the window allows; returns the result code.
  AXError writeFrame(Window& w, std::optional<AXPoint> origin, std::optional<Size> size);
  Size constrainedSize(const SimWindowSpec& desc, Size requested) const;
  void scheduleMoveBack(Window& w, AXRect before);
  // Posts a notification to every observer registered for it on `target` or on the app element.
  void notify(Pid pid, std::uint64_t target, std::uint64_t delivered, std::string_view name);
  void notifyWindow(const Window& w, std::string_view name);
  void notifyApp(Pid pid, std::uint64_t deliveredElement, std::string_view name);
  // The time a call on the element may take before it gives up.
  Seconds timeoutFor(std::uint64_t identity, Pid pid) const;
  RunningApp snapshot(const Process& proc) const;
  // The AX-space frame of the screen holding the point, else of the main screen.
  std::optional<AXRect> screenFrameAX(AXPoint point) const;
  std::vector<Pid> pidsInOrder() const;

  VirtualMainLoop& loop_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  SimCallRecorder recorder_;
  SimSystemEvents systemEvents_;
  SimDisplays displays_;
  SimAccessibility accessibility_;
  SimWindowList windowList_;
  SimRunningApps runningApps_;
  SimLaunchServices launchServices_;

  InMemoryFileSystem* files_ = nullptr;
  std::vector<Bundle> bundles_;
  std::uint64_t nextBundleSerial_ = 1;
  std::map<Pid, Process> processes_;
  std::vector<Pid> launchOrder_;
  std::map<std::size_t, PendingLaunch>
      pendingLaunches_;  // the system's order of running applications
  Pid nextPid_ = 1001;
  Pid ownPid_;
  std::map<WindowNumber, Window> windows_;
  WindowNumber nextWindowNumber_ = 101;
  std::vector<WindowNumber> stack_;  // live windows, front to back within equal layers
  std::unordered_map<std::uint64_t, ElementRecord> elements_;
  std::uint64_t nextElement_ = 1;
  std::unordered_map<std::uint64_t, Seconds> timeouts_;
  std::vector<std::weak_ptr<ObserverCore>> observers_;
  std::optional<Pid> frontmost_;

  bool trusted_ = true;
  bool grantsTrustOnPrompt_ = false;
  int trustPrompts_ = 0;
  bool windowNumberLookup_ = true;
  bool windowListAvailable_ = true;
  Seconds defaultTimeout_ = 6.0;
  bool inheritTimeout_ = true;
  std::map<Pid, Injected> observerCreationFailures_;
  std::map<std::pair<Pid, std::string>, Injected, std::less<>> registrationFailures_;
  std::vector<std::string> openedURLs_;
  std::vector<std::string> revealedPaths_;
};

}  // namespace zelvorn
