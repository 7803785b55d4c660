// Demo chapter: showing a workspace of three apps — one running, one hidden, one not yet running
// that last showed a document — on the simulated desktop, the slow one tiled when its window
// arrives; the log is printed as it happens and the desktop is drawn into an SVG picture.
#include <fmt/format.h>

#include <fstream>

#include "Core/AppRegistry.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Demo.h"
#include "Sim/InMemoryFileSystem.h"
#include "Sim/SimModalUI.h"
#include "Sim/SvgSnapshot.h"

namespace zelvorn {

namespace {

void describeWindows(DemoWorld& world, const std::vector<std::string>& apps) {
  for (const auto& name : apps) {
    auto running = world.desktop.runningApps().withBundleIdentifier("com.example.demo." + name);
    if (running.empty()) {
      world.say(fmt::format("  {:<7} not running yet", name));
      continue;
    }
    auto windows = world.desktop.windows(running.front().pid);
    if (windows.empty()) {
      world.say(fmt::format("  {:<7} running, no window yet", name));
      continue;
    }
    auto f = world.desktop.window(windows.front())->desc.frame;
    world.say(fmt::format("  {:<7} window at ({},{} {}×{}){}", name, f.x, f.y, f.width, f.height,
                          running.front().isHidden ? ", hidden" : ""));
  }
}

}  // namespace

void demoShowingAWorkspace(DemoWorld& world) {
  // The simulated disk: application bundles and the user's documents. It outlives the chapter
  // because the desktop keeps its bundles there.
  static InMemoryFileSystem disk;
  world.desktop.attachFileSystem(disk);
  auto install = [&](const std::string& name, Seconds launchDelay, Seconds windowDelay) {
    SimAppSpec desc;
    desc.bundlePath = "/Applications/" + name + ".app";
    desc.bundleIdentifier = "com.example.demo." + name;
    desc.name = name;
    desc.launchDelay = launchDelay;
    desc.windowDelay = windowDelay;
    world.desktop.install(desc);
    return desc;
  };
  install("Notes", 0.5, 0.3);
  install("Mail", 0.5, 0.3);
  install("Editor", 0.8, 1.4);  // slow to open its document window
  world.desktop.launch("com.example.demo.Notes");
  Pid mail = world.desktop.launch("com.example.demo.Mail");
  world.desktop.runningApps().hide(mail);
  disk.putFile("/Users/demo/Plan.txt", "The plan.");

  AppRegistry registry(world.desktop.launchServices(), disk);
  auto& manager = world.workspaces();
  Workspace workspace = manager.createWorkspace("Writing");
  workspace.layout.type = LayoutType::threeLeftTwoRightOne;
  for (const char* name : {"Editor", "Notes", "Mail"})
    workspace.apps.push_back(
        registry.makeManagedApp(std::string("/Applications/") + name + ".app").value());
  workspace.apps[0].lastDocumentPath = "/Users/demo/Plan.txt";
  manager.update(workspace);

  SimModalUI modal;
  WorkspaceController controller(
      ControllerServices{world.loop, world.desktop.accessibility(), world.desktop.windowList(),
                         world.desktop.runningApps(), world.desktop.launchServices(),
                         world.desktop.displays(), modal, disk, world.environment, manager});
  std::vector<std::string> apps = {"Editor", "Notes", "Mail"};

  world.say("“Writing” holds Editor, Notes and Mail in the “2 Left / 1 Right” layout. Notes is");
  world.say("running, Mail is hidden, and Editor is not running; its pane last showed Plan.txt.");
  world.say("Showing it:");
  controller.showWorkspace(workspace.id, [&] { world.say("  ↳ the container is up"); });
  world.say("Right after the request:");
  describeWindows(world, apps);
  world.loop.advance(1.0);
  world.say("One second later Editor is running but its window is not there yet:");
  describeWindows(world, apps);
  world.loop.advance(2.0);
  world.say("Once its window arrives it is tiled too:");
  describeWindows(world, apps);
  world.settle();
  if (modal.alerts().empty()) world.say("No alert was needed.");

  std::vector<SvgOutline> outlines;
  if (auto* session = controller.session(workspace.id); session && session->containerAXRect)
    outlines.push_back({*session->containerAXRect, "“Writing” container"});
  std::string path = world.stateDirectory + "/show-writing.svg";
  std::ofstream(path) << SvgSnapshot::render(world.desktop, outlines);
  world.say("The desktop as it looks now: " + path);
}

}  // namespace zelvorn
