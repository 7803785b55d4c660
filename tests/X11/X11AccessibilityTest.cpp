// Accessibility on a real X display: real xterm and xclock windows are listed with their
// attributes, placed through the core's controller (exactly, or for a terminal short by less than
// one resize increment), un-maximized before a placement, minimized and restored, and observed.
#include "Linux/X11Accessibility.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Accessibility/AXWindowController.h"
#include "X11/LiveDesktop.h"

namespace zelvorn {
namespace {

struct Clients {
  Pid xterm = 0;
  Pid xclock = 0;
};

Clients& clientsOnce(LiveDesktop& d) {
  static Clients c = [&] {
    Clients out;
    out.xterm = d.start({"xterm", "-geometry", "80x24+40+40"});
    out.xclock = d.start({"xclock", "-geometry", "200x200+700+60"});
    return out;
  }();
  return c;
}

TEST(X11Accessibility, ListsEachProcessWindowsWithTheirAttributes) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& c = clientsOnce(*d);
  ASSERT_NE(c.xterm, 0);
  ASSERT_NE(c.xclock, 0);
  AXWindowController controller = d->controller();

  for (Pid pid : {c.xterm, c.xclock}) {
    auto infos = controller.windowInfos(pid);
    ASSERT_EQ(infos.size(), 1u) << "pid " << pid;
    const auto& w = infos.front();
    EXPECT_EQ(w.role, "AXWindow");
    EXPECT_EQ(w.subrole, "AXStandardWindow");
    EXPECT_TRUE(AXWindowController::isManageable(w));
    EXPECT_FALSE(w.isMinimized);
    EXPECT_FALSE(w.isFullScreen);
    ASSERT_TRUE(w.position && w.size);
    EXPECT_GT(w.size->width, 50);
    EXPECT_EQ(controller.windowNumber(w.element), d->firstWindow(pid));
    EXPECT_EQ(d->ax->pidOf(w.element), pid);
    EXPECT_EQ(controller.mainWindow(pid)->element, w.element);
  }
  // The frame includes the decoration: openbox puts a title bar above the client.
  auto g = d->x->geometry(d->firstWindow(c.xclock));
  ASSERT_TRUE(g);
  EXPECT_GT(g->extents.top, 0u);
  auto pos =
      controller.point(X11Accessibility::windowElement(d->firstWindow(c.xclock)), "AXPosition");
  EXPECT_EQ(pos->y, g->client.y - g->extents.top);

  // What X11 cannot express reads as missing, and the core's readers fall back.
  AXValue v;
  EXPECT_EQ(d->ax->copyAttribute(d->ax->applicationElement(c.xterm), "AXMenuBar", v),
            kAXErrorAttributeUnsupported);
  EXPECT_FALSE(controller.newWindowMenuItem(c.xterm));
  EXPECT_FALSE(controller.documentPath(X11Accessibility::windowElement(d->firstWindow(c.xterm))));
  EXPECT_EQ(
      d->ax->performAction(X11Accessibility::windowElement(d->firstWindow(c.xterm)), "AXPress"),
      kAXErrorActionUnsupported);
  EXPECT_TRUE(d->ax->isProcessTrusted());

  // Only the terminal declares resize increments.
  EXPECT_TRUE(controller.sizeValue(X11Accessibility::windowElement(d->firstWindow(c.xterm)),
                                   X11Accessibility::kResizeIncrements));
  EXPECT_FALSE(controller.sizeValue(X11Accessibility::windowElement(d->firstWindow(c.xclock)),
                                    X11Accessibility::kResizeIncrements));

  // A window that is gone answers as an invalid element.
  EXPECT_EQ(d->ax->copyAttribute(X11Accessibility::windowElement(0x7ffffff), "AXPosition", v),
            kAXErrorInvalidUIElement);
}

// The frame a placement left, as the backend reads it back.
AXRect frameOf(AXWindowController& c, const AXElement& w) {
  auto p = c.point(w, "AXPosition");
  auto s = c.sizeValue(w, "AXSize");
  return {p->x, p->y, s->width, s->height};
}

TEST(X11Accessibility, PlacesRealWindowsWithinToleranceOrShortByLessThanOneIncrement) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& c = clientsOnce(*d);
  ASSERT_NE(c.xterm, 0);
  AXWindowController controller = d->controller();
  const AXRect panes[] = {
      {0, 0, 960, 1080}, {10, 30, 701, 517}, {480, 270, 960, 540}, {1300, 500, 613, 473}};
  for (const auto& pane : panes) {
    SCOPED_TRACE(testing::Message()
                 << pane.x << "," << pane.y << " " << pane.width << "x" << pane.height);
    AXElement clock = X11Accessibility::windowElement(d->firstWindow(c.xclock));
    auto outcome = controller.place(clock, pane);
    EXPECT_TRUE(std::holds_alternative<AXWindowController::Placed>(outcome));
    EXPECT_EQ(frameOf(controller, clock), pane);

    AXElement term = X11Accessibility::windowElement(d->firstWindow(c.xterm));
    outcome = controller.place(term, pane);
    EXPECT_FALSE(std::holds_alternative<AXWindowController::Failed>(outcome));
    AXRect got = frameOf(controller, term);
    Size inc = *controller.sizeValue(term, X11Accessibility::kResizeIncrements);
    EXPECT_EQ(got.origin(), pane.origin());
    EXPECT_GE(pane.width - got.width, 0);
    EXPECT_LT(pane.width - got.width, inc.width);
    EXPECT_GE(pane.height - got.height, 0);
    EXPECT_LT(pane.height - got.height, inc.height);
    // A refusal carries exactly the frame the window has.
    if (auto* r = std::get_if<AXWindowController::Refused>(&outcome)) {
      EXPECT_EQ(r->actual, got);
    }
  }
}

TEST(X11Accessibility, LeavesMaximizedStateBeforePlacing) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& c = clientsOnce(*d);
  ASSERT_NE(c.xclock, 0);
  AXWindowController controller = d->controller();
  xcb_window_t w = d->firstWindow(c.xclock);
  auto* ewmh = d->x->ewmh();
  auto before = d->x->geometry(w);
  xcb_ewmh_request_change_wm_state(
      ewmh, d->x->screenNumber(), w, XCB_EWMH_WM_STATE_ADD, ewmh->_NET_WM_STATE_MAXIMIZED_VERT,
      ewmh->_NET_WM_STATE_MAXIMIZED_HORZ, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  // Maximized: both states set and the frame as wide as the monitor, give or take the borders
  // a window manager keeps.
  ASSERT_TRUE(d->x->waitUntil(
      [&] {
        auto g = d->x->geometry(w);
        return d->x->wmState(w).size() >= 2 && g && g != before && g->frame().width >= 1900;
      },
      1.0));
  AXRect pane{100, 120, 500, 400};
  auto outcome = controller.place(X11Accessibility::windowElement(w), pane);
  EXPECT_TRUE(std::holds_alternative<AXWindowController::Placed>(outcome));
  EXPECT_EQ(frameOf(controller, X11Accessibility::windowElement(w)), pane);
}

TEST(X11Accessibility, MinimizesAndRestoresAWindow) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& c = clientsOnce(*d);
  ASSERT_NE(c.xclock, 0);
  AXWindowController controller = d->controller();
  AXElement w = X11Accessibility::windowElement(d->firstWindow(c.xclock));
  ASSERT_EQ(d->ax->setAttribute(w, "AXMinimized", true), kAXErrorSuccess);
  EXPECT_TRUE(controller.boolValue(w, "AXMinimized"));
  auto onScreen = d->windowList->copyWindowList(WindowListOption::onScreenOnly);
  ASSERT_TRUE(onScreen);
  EXPECT_TRUE(std::none_of(onScreen->begin(), onScreen->end(), [&](const WindowListEntry& e) {
    return e.number == controller.windowNumber(w);
  }));
  ASSERT_EQ(d->ax->setAttribute(w, "AXMinimized", false), kAXErrorSuccess);
  EXPECT_FALSE(controller.boolValue(w, "AXMinimized"));
}

// A client that draws its own decoration, as GTK's headerbar windows do: the window manager adds
// none, and the client's rectangle includes a shadow it names in _GTK_FRAME_EXTENTS. The frame the
// user sees is what lands in the pane.
TEST(X11Accessibility, PlacesTheVisibleFrameOfAWindowThatDrawsItsOwnDecoration) {
  ZELVORN_REQUIRE_DESKTOP(d);
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  ASSERT_FALSE(xcb_connection_has_error(c));
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  auto atom = [&](const std::string& name) {
    auto* r = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr);
    xcb_atom_t a = r ? r->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(r);
    return a;
  };
  xcb_window_t window = xcb_generate_id(c);
  xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 100, 100, 400, 300, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
  std::uint32_t pid = static_cast<std::uint32_t>(getpid());
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32,
                      1, &pid);
  const char cls[] = "headerbar\0HeaderBar";
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                      sizeof cls, cls);
  const std::uint32_t shadow[4] = {20, 20, 15, 25};  // left, right, top, bottom
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_GTK_FRAME_EXTENTS"),
                      XCB_ATOM_CARDINAL, 32, 4, shadow);
  const std::uint32_t noDecoration[5] = {2, 0, 0, 0, 0};  // flags: decorations; decorations: none
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom("_MOTIF_WM_HINTS"),
                      atom("_MOTIF_WM_HINTS"), 32, 5, noDecoration);
  xcb_map_window(c, window);
  xcb_flush(c);
  ASSERT_TRUE(d->loop.runUntil([&] { return d->clients->pidOfWindow(window).has_value(); }, 5));

  AXWindowController controller = d->controller();
  AXElement w = X11Accessibility::windowElement(window);
  for (AXRect pane : {AXRect{300, 200, 640, 480}, AXRect{0, 0, 960, 540}}) {
    EXPECT_TRUE(std::holds_alternative<AXWindowController::Placed>(controller.place(w, pane)));
    EXPECT_EQ(frameOf(controller, w), pane);
    auto g = d->x->geometry(window);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->client, (Rect{pane.x - 20, pane.y - 15, pane.width + 40, pane.height + 40}))
        << "the shadow reaches beyond the pane";
  }
  xcb_destroy_window(c, window);
  xcb_disconnect(c);
}

// The window manager would pull a window parked at a screen corner back on screen; the backend
// iconifies it instead, and it reads as parked until an on-screen frame is written, even by a
// later run of the program (the mark is on the window), or until the user restores it.
TEST(X11Accessibility, ParksAWindowByIconifyingItUntilItIsPlacedAgain) {
  ZELVORN_REQUIRE_DESKTOP(d);
  Pid clock = d->start({"xclock", "-geometry", "150x150+300+300"});
  ASSERT_NE(clock, 0);
  xcb_window_t window = d->firstWindow(clock);
  AXElement w = X11Accessibility::windowElement(window);
  AXWindowController controller = d->controller();
  ASSERT_TRUE(std::holds_alternative<AXWindowController::Placed>(
      controller.place(w, {100, 100, 300, 300})));

  // The bottom-right corner of the 1920×1080 primary monitor: one pixel left on screen.
  const AXPoint corner{1919, 1079};
  auto park = [&] {
    auto size = controller.sizeValue(w, "AXSize");
    ASSERT_EQ(d->ax->setAttribute(w, "AXPosition", corner), kAXErrorSuccess);
    EXPECT_EQ(controller.point(w, "AXPosition"), corner);
    EXPECT_EQ(controller.sizeValue(w, "AXSize"), size) << "it keeps its size";
    EXPECT_FALSE(controller.boolValue(w, "AXMinimized"));
    EXPECT_TRUE(d->x->isIconic(window));
  };
  park();
  auto& apps = d->desktop->runningApps();
  EXPECT_FALSE(apps.byPid(clock)->isHidden);
  apps.unhide(clock);
  EXPECT_TRUE(d->x->isIconic(window)) << "showing the app again left it parked";

  {
    // A later run knows it as parked, and brings it back by placing it.
    X11Accessibility later(*d->x, *d->clients);
    AXWindowController again(later, *d->windowList, d->desktop->displays());
    EXPECT_EQ(again.point(w, "AXPosition"), corner);
    AXRect pane{200, 150, 320, 300};
    EXPECT_TRUE(std::holds_alternative<AXWindowController::Placed>(again.place(w, pane)));
    EXPECT_FALSE(d->x->isIconic(window));
    EXPECT_EQ(frameOf(again, w), pane);
    EXPECT_FALSE(later.parkedAt(window));
  }

  // Restored by the user: no longer parked, and wherever the window manager put it back.
  park();
  xcb_ewmh_request_change_wm_state(d->x->ewmh(), d->x->screenNumber(), window,
                                   XCB_EWMH_WM_STATE_REMOVE, d->x->ewmh()->_NET_WM_STATE_HIDDEN, 0,
                                   XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER);
  xcb_map_window(d->x->xcb(), window);
  ASSERT_TRUE(d->x->waitUntil([&] { return !d->x->isIconic(window); }, 1.0));
  EXPECT_NE(controller.point(w, "AXPosition"), corner);
  EXPECT_FALSE(controller.boolValue(w, "AXMinimized"));
  EXPECT_FALSE(d->ax->parkedAt(window));
  d->stop(clock);
}

TEST(X11Accessibility, ObserversHearMovesOnTheLoopOnlyWhileTheyLive) {
  ZELVORN_REQUIRE_DESKTOP(d);
  auto& c = clientsOnce(*d);
  ASSERT_NE(c.xclock, 0);
  AXWindowController controller = d->controller();
  AXElement w = X11Accessibility::windowElement(d->firstWindow(c.xclock));
  std::vector<std::string> heard;
  std::unique_ptr<IAXObserver> observer;
  ASSERT_EQ(d->ax->createObserver(
                c.xclock, [&](const AXNotification& n) { heard.push_back(n.name); }, observer),
            kAXErrorSuccess);
  ASSERT_EQ(observer->add(w, "AXWindowMoved"), kAXErrorSuccess);
  ASSERT_EQ(observer->add(d->ax->applicationElement(c.xclock), "AXWindowResized"), kAXErrorSuccess);
  controller.place(w, {200, 200, 300, 300});
  controller.place(w, {250, 220, 320, 310});
  // Nothing is delivered inside the synchronous calls; it comes on the loop.
  EXPECT_TRUE(heard.empty());
  d->loop.runUntil([&] { return heard.size() >= 2; }, 1.0);
  EXPECT_NE(std::find(heard.begin(), heard.end(), "AXWindowMoved"), heard.end());
  EXPECT_NE(std::find(heard.begin(), heard.end(), "AXWindowResized"), heard.end());

  controller.place(w, {300, 240, 330, 320});
  observer.reset();
  heard.clear();
  d->loop.runUntil([] { return false; }, 0.05);
  EXPECT_TRUE(heard.empty());
}

}  // namespace
}  // namespace zelvorn
