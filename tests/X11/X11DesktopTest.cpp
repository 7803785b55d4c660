// The rest of the desktop on a real X display: an idle loop sleeps, launching runs a desktop
// entry and completes with its running application, hiding iconifies an application's windows,
// activation and launches are announced once, the window list is front to back, a monitor added
// at run time makes a new display set, and how long placements take against the window manager.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Core/AppRegistry.h"
#include "Layout/DisplayTopology.h"
#include "Linux/X11LaunchServices.h"
#include "Posix/PosixFileSystem.h"
#include "Support/TempDir.h"
#include "X11/LiveDesktop.h"

namespace zelvorn {
namespace {

TEST(X11Desktop, IdleLoopSleepsWithoutTimerWakeups) {
  ZELVORN_REQUIRE_DESKTOP(d);
  d->loop.runUntil([] { return false; }, 0.05);  // let earlier work drain
  auto before = d->loop.timeoutWakeups();
  std::thread quitter([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    d->loop.postFromAnyThread([&] { d->loop.quit(); });
  });
  d->loop.run();
  quitter.join();
  EXPECT_EQ(d->loop.timeoutWakeups(), before);
}

struct Apps {
  TempDir data;
  std::string clockEntry;
  std::unique_ptr<DesktopEntryIndex> index;
  std::unique_ptr<X11RunningApps> apps;
  std::unique_ptr<X11LaunchServices> launch;
};

// Launch services over a folder of test entries, beside the desktop's own.
std::unique_ptr<Apps> appsOver(LiveDesktop& d) {
  auto a = std::make_unique<Apps>();
  std::filesystem::create_directories(a->data / "applications");
  a->clockEntry = a->data / "applications/zelvorn-test-clock.desktop";
  std::ofstream(a->clockEntry) << "[Desktop Entry]\nType=Application\nName=Test Clock\n"
                                  "Exec=xclock -geometry 160x160+900+100 -update 1\n"
                                  "StartupWMClass=XClock\n";
  std::ofstream(a->data / "applications/zelvorn-test-missing.desktop")
      << "[Desktop Entry]\nType=Application\nName=Missing\nExec=/nonexistent/zelvorn-nothing\n";
  std::ofstream(a->data / "applications/zelvorn-test-shell.desktop")
      << "[Desktop Entry]\nType=Application\nName=Shell\nExec=sh -c 'xclock | cat'\n";
  std::ofstream(a->data / "applications/zelvorn-test-message.desktop")
      << "[Desktop Entry]\nType=Application\nName=Message\nExec=xmessage -file %f\n";
  a->index = std::make_unique<DesktopEntryIndex>(std::vector<std::string>{a->data.path()});
  a->apps = std::make_unique<X11RunningApps>(*d.x, *d.clients, *d.ax, *a->index);
  a->launch = std::make_unique<X11LaunchServices>(*d.x, *d.clients, *a->apps, *a->index);
  return a;
}

TEST(X11Desktop, LaunchesAnEntryAndAnnouncesItsLaunchAndTermination) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto a = appsOver(*d);
  auto& events = d->desktop->systemEvents();
  std::vector<RunningApp> launched, terminated;
  auto s1 = events.onAppLaunched([&](const RunningApp& app) { launched.push_back(app); });
  auto s2 = events.onAppTerminated([&](const RunningApp& app) { terminated.push_back(app); });

  EXPECT_EQ(a->launch->applicationPath("zelvorn-test-clock.desktop"), a->clockEntry);
  auto info = a->launch->readBundle(a->clockEntry);
  ASSERT_TRUE(info);
  EXPECT_EQ(info->identifier, "zelvorn-test-clock.desktop");
  EXPECT_EQ(info->displayName, "Test Clock");
  // The program's registry takes a desktop entry as an application, and nothing else.
  PosixFileSystem files;
  AppRegistry registry(*a->launch, files);
  auto managed = registry.makeManagedApp(a->clockEntry);
  ASSERT_TRUE(managed.ok());
  EXPECT_EQ(managed.value().bundleIdentifier, "zelvorn-test-clock.desktop");
  EXPECT_EQ(managed.value().displayName, "Test Clock");
  EXPECT_FALSE(registry.makeManagedApp(a->data / "Notes.app").ok());
  auto bookmark = a->launch->makeBookmark(a->clockEntry);
  ASSERT_TRUE(bookmark);
  EXPECT_EQ(a->launch->resolveBookmark(*bookmark), a->clockEntry);

  std::optional<Result<RunningApp>> result;
  a->launch->openApplication(a->clockEntry, {}, false, [&](Result<RunningApp> r) { result = r; });
  EXPECT_FALSE(result);  // completions come on the loop
  ASSERT_TRUE(d->loop.runUntil([&] { return result.has_value(); }, 10));
  ASSERT_TRUE(result->ok()) << result->error().description;
  const RunningApp app = result->value();
  EXPECT_EQ(app.bundleIdentifier, "zelvorn-test-clock.desktop");
  EXPECT_EQ(app.localizedName, "Test Clock");
  EXPECT_EQ(app.bundlePath, a->clockEntry);
  ASSERT_TRUE(app.launchDate);
  EXPECT_NEAR(app.launchDate->unixSeconds, d->loop.wallNow().unixSeconds, 30);
  EXPECT_FALSE(d->clients->windowsOf(app.pid).empty());
  // Every clock matches the entry by its window class; the launched one is among them.
  auto same = a->apps->withBundleIdentifier("zelvorn-test-clock.desktop");
  EXPECT_TRUE(
      std::any_of(same.begin(), same.end(), [&](const RunningApp& r) { return r.pid == app.pid; }));

  d->loop.runUntil([&] { return !launched.empty(); }, 2);
  ASSERT_EQ(launched.size(), 1u);
  EXPECT_EQ(launched.front().pid, app.pid);

  ASSERT_TRUE(a->apps->terminate(app.pid));
  ASSERT_TRUE(d->loop.runUntil([&] { return !terminated.empty(); }, 5));
  EXPECT_EQ(terminated.front().pid, app.pid);
  EXPECT_TRUE(d->loop.runUntil([&] { return !a->apps->byPid(app.pid); }, 5));

  // A line that takes one document runs once per document; the first process is the launch.
  std::ofstream(a->data / "one.txt") << "one";
  std::ofstream(a->data / "two.txt") << "two";
  std::optional<Result<RunningApp>> message;
  a->launch->openApplication(a->data / "applications/zelvorn-test-message.desktop",
                             {a->data / "one.txt", "file://" + a->data / "two.txt"}, false,
                             [&](Result<RunningApp> r) { message = r; });
  ASSERT_TRUE(d->loop.runUntil([&] { return message.has_value(); }, 10));
  ASSERT_TRUE(message->ok()) << message->error().description;
  auto messages = [&] {
    std::vector<Pid> pids;
    for (const auto& c : d->clients->clients())
      if (d->x->facts(c.window).className == "Xmessage") pids.push_back(c.pid);
    return pids;
  };
  ASSERT_TRUE(d->loop.runUntil([&] { return messages().size() == 2; }, 10));
  for (Pid p : messages())
    a->apps->terminate(p);
  EXPECT_TRUE(d->loop.runUntil([&] { return messages().empty(); }, 5));

  // Failures arrive as results on the loop: a program that is not there, a line meant for a shell.
  for (const char* entry : {"zelvorn-test-missing.desktop", "zelvorn-test-shell.desktop"}) {
    SCOPED_TRACE(entry);
    std::optional<Result<RunningApp>> failed;
    a->launch->openApplication(a->data / (std::string("applications/") + entry), {}, false,
                               [&](Result<RunningApp> r) { failed = r; });
    ASSERT_TRUE(d->loop.runUntil([&] { return failed.has_value(); }, 5));
    EXPECT_FALSE(failed->ok());
  }
}

TEST(X11Desktop, HidingIconifiesTheAppsWindowsAndActivationIsAnnouncedOnce) {
  ZELVORN_REQUIRE_DESKTOP(d);
  Pid term = d->start({"xterm", "-geometry", "60x10+100+600"});
  ASSERT_NE(term, 0);
  auto& apps = d->desktop->runningApps();
  auto& events = d->desktop->systemEvents();
  std::vector<Pid> activated;
  auto s = events.onAppActivated([&](const RunningApp& app) { activated.push_back(app.pid); });

  ASSERT_TRUE(apps.hide(term));
  for (auto w : d->clients->windowsOf(term))
    EXPECT_TRUE(d->x->isIconic(w));
  EXPECT_TRUE(apps.byPid(term)->isHidden);
  ASSERT_TRUE(apps.unhide(term));
  for (auto w : d->clients->windowsOf(term))
    EXPECT_FALSE(d->x->isIconic(w));
  EXPECT_FALSE(apps.byPid(term)->isHidden);

  // Activation is announced once per change of application, though the window manager
  // announces each change twice and a second request for the same application changes nothing.
  Pid other = d->start({"xterm", "-geometry", "40x8+700+600"});
  ASSERT_NE(other, 0);
  d->loop.runUntil([] { return false; }, 0.2);
  activated.clear();
  // Activating is a request; the window manager answers in its own time.
  for (Pid p : {term, term, other, term}) {
    ASSERT_TRUE(apps.activate(p, ActivateOptions::none));
    EXPECT_TRUE(d->loop.runUntil(
        [&] {
          auto front = apps.frontmost();
          return front && front->pid == p;
        },
        2));
    d->loop.runUntil([] { return false; }, 0.05);
  }
  ASSERT_GE(activated.size(), 2u);
  EXPECT_EQ(std::vector<Pid>(activated.end() - 2, activated.end()),
            (std::vector<Pid>{other, term}));
  EXPECT_EQ(std::adjacent_find(activated.begin(), activated.end()), activated.end());
  EXPECT_EQ(apps.frontmost()->pid, term);
  d->stop(other);

  // The window list is front to back: the active terminal comes in front of everything else
  // (once the window manager has restacked it).
  std::optional<std::vector<WindowListEntry>> list;
  d->loop.runUntil(
      [&] {
        list = d->windowList->copyWindowList(WindowListOption::onScreenOnly |
                                             WindowListOption::excludeDesktopElements);
        return list && !list->empty() && list->front().ownerPid == term;
      },
      2);
  ASSERT_TRUE(list && !list->empty());
  EXPECT_EQ(list->front().ownerPid, term);
  EXPECT_EQ(list->front().layer, 0);
  AXWindowController controller = d->controller();
  AXElement w = X11Accessibility::windowElement(d->firstWindow(term));
  auto p = controller.point(w, "AXPosition");
  auto sz = controller.sizeValue(w, "AXSize");
  EXPECT_EQ(list->front().bounds, (AXRect{p->x, p->y, sz->width, sz->height}));
  d->stop(term);
}

// Runs an X client to completion (xrandr) without a shell.
int runToEnd(const std::vector<std::string>& argv) {
  auto pid = spawnProcess(argv);
  if (!pid) return -1;
  int status = 0;
  waitpid(pid.value(), &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(X11Desktop, AMonitorAddedAtRunTimeIsANewDisplaySet) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& displays = d->desktop->displays();
  auto before = displays.screens();
  ASSERT_EQ(before.size(), 1u);
  EXPECT_EQ(before.front().frame, (CocoaRect{0, 0, 1920, 1080}));
  int changes = 0;
  auto s = d->desktop->systemEvents().on(SystemEvent::screenParametersChanged, [&] { ++changes; });

  ASSERT_EQ(runToEnd({"xrandr", "--setmonitor", "SIDE", "1280/338x1024/270+1920+0", "none"}), 0);
  ASSERT_TRUE(d->loop.runUntil([&] { return displays.screens().size() == 2; }, 3));
  d->loop.runUntil([&] { return changes > 0; }, 2);
  EXPECT_GE(changes, 1);
  auto after = displays.screens();
  EXPECT_EQ(after[0].frame, (CocoaRect{0, 0, 1920, 1080}));
  // Cocoa space: the side monitor's top is level with the primary's, so its bottom sits 56 up.
  EXPECT_EQ(after[1].frame, (CocoaRect{1920, 56, 1280, 1024}));
  EXPECT_NE(DisplayTopology::currentFingerprint(before),
            DisplayTopology::currentFingerprint(after));

  ASSERT_EQ(runToEnd({"xrandr", "--delmonitor", "SIDE"}), 0);
  EXPECT_TRUE(d->loop.runUntil([&] { return displays.screens().size() == 1; }, 3));
}

// Four windows written together and read back together (as a placement pass does): every one
// ends in its pane, so no read-back saw a frame from before the window manager's answer. How
// long this takes is measured by bench/bench_x11_show.
TEST(X11Desktop, FourWindowsPlacedTogetherAllEndInTheirPanes) {
  ZELVORN_REQUIRE_DESKTOP(d);
  std::vector<Pid> clocks;
  for (int i = 0; i < 4; ++i) {
    Pid p = d->start({"xclock", "-geometry", "120x120+" + std::to_string(50 + 130 * i) + "+700"});
    ASSERT_NE(p, 0);
    clocks.push_back(p);
  }
  AXWindowController controller = d->controller();
  for (double width : {480.0, 440.0, 480.0}) {
    std::vector<AXWindowController::PlacementRequest> requests;
    for (std::size_t i = 0; i < clocks.size(); ++i) {
      AXRect pane{static_cast<double>(i) * 480, 0, width, 540};
      auto request = controller.requestPlacement(
          X11Accessibility::windowElement(d->firstWindow(clocks[i])), pane);
      ASSERT_TRUE(std::holds_alternative<AXWindowController::PlacementRequest>(request));
      requests.push_back(std::get<AXWindowController::PlacementRequest>(request));
    }
    for (const auto& request : requests) {
      EXPECT_EQ(controller.finishPlacement(request),
                AXWindowController::PlacementOutcome{AXWindowController::Placed{}})
          << "width " << width;
      auto p = controller.point(request.window, "AXPosition");
      auto s = controller.sizeValue(request.window, "AXSize");
      ASSERT_TRUE(p && s);
      EXPECT_TRUE(AXWindowController::matches({p->x, p->y, s->width, s->height}, request.frame, 1))
          << "width " << width;
    }
  }
  for (Pid p : clocks)
    d->stop(p);
}

}  // namespace
}  // namespace zelvorn

namespace zelvorn {
namespace {

TEST(X11Desktop, ARemoteClientsPidNamesNoLocalProcess) {
  ZELVORN_REQUIRE_DESKTOP(d);
  // A window that claims pid 1 from another machine: that pid means nothing here.
  xcb_connection_t* c = d->x->xcb();
  xcb_window_t w = xcb_generate_id(c);
  const xcb_setup_t* setup = xcb_get_setup(c);
  xcb_screen_t* screen = xcb_setup_roots_iterator(setup).data;
  xcb_create_window(c, XCB_COPY_FROM_PARENT, w, d->x->root(), 300, 300, 200, 150, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  std::uint32_t one = 1;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, d->x->ewmh()->_NET_WM_PID, XCB_ATOM_CARDINAL, 32,
                      1, &one);
  std::string host = "elsewhere.example";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, w, XCB_ATOM_WM_CLIENT_MACHINE, XCB_ATOM_STRING, 8,
                      host.size(), host.data());
  xcb_map_window(c, w);
  ASSERT_TRUE(d->loop.runUntil([&] { return d->clients->pidOfWindow(w).has_value(); }, 5));
  // The connection behind it is this process's, which the server can vouch for.
  EXPECT_EQ(d->clients->pidOfWindow(w), static_cast<Pid>(getpid()));
  xcb_destroy_window(c, w);
  d->x->flush();
  d->loop.runUntil([&] { return !d->clients->pidOfWindow(w).has_value(); }, 2);
}

}  // namespace
}  // namespace zelvorn
