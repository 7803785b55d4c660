// Demo chapter: other applications' windows on the simulated desktop, read and moved through
// Accessibility — one window that goes where it is asked, one that is placed within tolerance,
// and one that keeps its own size.
#include <fmt/format.h>

#include "Accessibility/AXWindowController.h"
#include "Demo.h"

namespace zelvorn {

namespace {

std::string frameText(const AXRect& r) {
  return fmt::format("({:.0f},{:.0f} {:.0f}×{:.0f})", r.x, r.y, r.width, r.height);
}

std::string outcomeText(const AXWindowController::PlacementOutcome& outcome) {
  if (std::holds_alternative<AXWindowController::Placed>(outcome)) return "placed";
  if (auto* r = std::get_if<AXWindowController::Refused>(&outcome))
    return "refused — the window is " + frameText(r->actual);
  return "failed — the window could not be moved at all";
}

SimAppSpec demoApp(std::string name, std::string id, SimWindowSpec window) {
  SimAppSpec app;
  app.bundlePath = "/Applications/" + name + ".app";
  app.bundleIdentifier = std::move(id);
  app.name = std::move(name);
  app.windowsAtLaunch = {window};
  return app;
}

}  // namespace

void demoMovingWindows(DemoWorld& world) {
  SimDesktop& desk = world.desktop;
  SimWindowSpec page;
  page.title = "Draft.md";
  page.frame = {200, 120, 900, 640};
  SimWindowSpec shell;
  shell.title = "zsh — 80×24";
  shell.frame = {300, 200, 570, 380};
  shell.minSize = {250, 150};
  shell.resizeIncrements = {7, 14};  // whole character cells
  shell.resizeBase = {10, 30};
  SimWindowSpec keypad;
  keypad.title = "Calculator";
  keypad.frame = {900, 300, 230, 400};
  keypad.resize = SimRefusal::ignored;  // a fixed-size window
  auto calculator = demoApp("Calculator", "com.example.calculator", keypad);
  calculator.menus = {{"File", {{"New Window", false, "n", 0, SimMenuAction::newWindow}}}};
  desk.install(demoApp("Writer", "com.example.writer", page));
  desk.install(demoApp("Terminal", "com.example.terminal", shell));
  desk.install(calculator);
  Pid writer = desk.launch("com.example.writer");
  Pid terminal = desk.launch("com.example.terminal");
  Pid calc = desk.launch("com.example.calculator");
  world.settle();

  AXWindowController ax{desk.accessibility(), desk.windowList(), desk.displays()};
  world.say("Three applications are running, one window each, read through Accessibility:");
  for (Pid pid : {writer, terminal, calc}) {
    for (const auto& w : ax.windowInfos(pid)) {
      world.say(fmt::format(
          "  {:<10} “{}” at {}{}", desk.app(pid)->localizedName.value_or("?"), w.title.value_or(""),
          frameText({w.position->x, w.position->y, w.size->width, w.size->height}),
          AXWindowController::isManageable(w) ? "" : " (not manageable)"));
    }
  }

  struct Move {
    Pid pid;
    AXRect pane;
  } moves[] = {
      {writer, {8, 33, 700, 859}},
      {terminal, {716, 33, 716, 425}},
      {calc, {716, 466, 716, 426}},
  };
  world.say("Each window is asked into a pane: minimized off, size, position, size again, then");
  world.say("the frame is read back and compared within 8 points.");
  for (const auto& m : moves) {
    AXElement window = ax.windowElements(ax.applicationElement(m.pid)).front();
    desk.recorder().clear();
    auto outcome = ax.place(window, m.pane);
    auto writes = desk.recorder().count(SimCallKind::axWrite);
    auto reads = desk.recorder().count(SimCallKind::axRead);
    std::string text = outcomeText(outcome);
    if (std::holds_alternative<AXWindowController::Placed>(outcome)) {
      auto p = ax.point(window, "AXPosition");
      auto s = ax.sizeValue(window, "AXSize");
      if (p && s) text += ", now " + frameText({p->x, p->y, s->width, s->height});
    }
    world.say(fmt::format("  {} → {}: {} ({} writes, {} reads)",
                          desk.app(m.pid)->localizedName.value_or("?"), frameText(m.pane), text,
                          writes, reads));
  }

  world.say("Calculator offers no window command that can be used; pressing its disabled");
  world.say("New Window item is logged:");
  auto command = ax.newWindowMenuItem(calc);
  ax.press(desk.menuItemElement(calc, "File", "New Window"));
  world.say(command ? "  ↳ found " + command->displayName()
                    : "  ↳ the menu search finds no usable command either");
  for (Pid pid : {writer, terminal, calc})
    desk.quit(pid);
  world.settle();
}

}  // namespace zelvorn
