// The X11 chapter of the demo. Its workspace, settings and the desktop entries it launches live in
// a temporary folder, so the user's own files are never touched; the applications it started are
// stopped at the end.
#include "X11Demo.h"

#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iostream>

#include "App/Log.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Linux/LinuxDesktop.h"
#include "Linux/ScreenCapture.h"
#include "Persistence/WorkspaceStore.h"
#include "Platform/IModalUI.h"
#include "Posix/PosixEnvironment.h"
#include "Posix/PosixFileSystem.h"
#include "Posix/StderrConsole.h"

namespace zelvorn {

namespace {

class AnswerDefault final : public IModalUI {
 public:
  AlertResponse runAlert(const AlertSpec& alert) override {
    Log::line("[Zelvorn] Alert: " + alert.messageText);
    return {};
  }
  void activateProgram() override {}
  bool isProgramActiveWithKeyWindow() override { return false; }
};

}  // namespace

int runX11Demo(const std::string& screenshotPath) {
  namespace fs = std::filesystem;
  std::string pattern = (fs::temp_directory_path() / "zelvorn-x11-demo-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    std::cerr << "zelvorn x11-demo: cannot make a temporary folder\n";
    return 1;
  }
  const std::string root = pattern;
  fs::create_directories(root + "/share/applications");
  struct App {
    const char* id;
    const char* name;
    const char* exec;
    const char* cls;
  };
  const App apps[] = {
      {"zelvorn-demo-term", "Terminal", "xterm -class ZDemoTerm -geometry 80x24+60+60",
       "ZDemoTerm"},
      {"zelvorn-demo-clock", "Clock", "xclock -update 1 -geometry 200x200+700+100", "XClock"},
      {"zelvorn-demo-eyes", "Eyes", "xeyes -geometry 200x120+900+500", "XEyes"},
  };
  for (const auto& a : apps)
    std::ofstream(root + "/share/applications/" + a.id + ".desktop")
        << "[Desktop Entry]\nType=Application\nName=" << a.name << "\nExec=" << a.exec
        << "\nStartupWMClass=" << a.cls << "\n";
  setenv("XDG_DATA_HOME", (root + "/share").c_str(), 1);

  PosixMainLoop loop;
  auto desktop = LinuxDesktop::open(loop);
  if (!desktop) {
    std::cerr << "zelvorn x11-demo: no X display with an EWMH window manager\n";
    fs::remove_all(root);
    return 1;
  }
  StderrConsole console;
  PosixFileSystem files;
  PosixEnvironment environment = PosixEnvironment::rootedAt(root + "/state");
  Log::configure(LogSinks{&console, nullptr, nullptr, [&] { return loop.wallNow(); }});
  AnswerDefault alerts;
  WorkspaceManager manager(std::make_unique<WorkspaceStore>(
                               files, WorkspaceStore::defaultDirectory(environment.locations())),
                           nullptr);
  Workspace w = manager.createWorkspace("Real windows");
  w.layout.type = LayoutType::threeColumns;
  for (const auto& a : apps) {
    ManagedApp app;
    app.id = Uuid::random();
    app.bundleIdentifier = std::string(a.id) + ".desktop";
    app.displayName = a.name;
    app.appPath = root + "/share/applications/" + a.id + ".desktop";
    w.apps.push_back(app);
  }
  manager.update(w);

  int status = 0;
  {
    WorkspaceController controller(ControllerServices{
        loop, desktop->accessibility(), desktop->windowList(), desktop->runningApps(),
        desktop->launchServices(), desktop->displays(), alerts, files, environment, manager});
    bool shown = false;
    controller.showWorkspace(w.id, [&] { shown = true; });
    loop.runUntil([&] { return shown; }, 20);
    // Let the clients draw themselves in their new sizes before the picture is taken.
    loop.runUntil([] { return false; }, 1.0);
    const auto& monitors = desktop->connection().monitors();
    Rect area = monitors.empty() ? Rect{0, 0, 1920, 1080} : monitors.front().rect;
    auto saved = ScreenCapture::savePNG(desktop->connection(), area, screenshotPath);
    if (saved.ok()) {
      std::cout << "  Screenshot of the tiled workspace: " << screenshotPath << "\n";
    } else {
      std::cerr << "zelvorn x11-demo: " << saved.error().description << "\n";
      status = 1;
    }
    if (!shown) {
      std::cerr << "zelvorn x11-demo: the workspace did not finish showing\n";
      status = 1;
    }
  }
  for (const auto& r : desktop->runningApps().all())
    if (r.bundleIdentifier && r.bundleIdentifier->rfind("zelvorn-demo-", 0) == 0 && r.pid > 0)
      kill(r.pid, SIGTERM);
  loop.runUntil([] { return false; }, 0.2);
  Log::configure({});
  fs::remove_all(root);
  return status;
}

}  // namespace zelvorn
