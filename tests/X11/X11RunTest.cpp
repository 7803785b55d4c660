// The program itself on a real X display: `zelvorn open zelvorn://show/Name` with no instance
// running starts one, which shows the workspace from the user's workspaces file; a second `open`
// goes to that instance over the link socket; SIGTERM ends it in order.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "Core/WorkspaceManager.h"
#include "Linux/X11LaunchServices.h"
#include "Persistence/WorkspaceStore.h"
#include "Posix/PosixEnvironment.h"
#include "Posix/PosixFileSystem.h"
#include "Support/TempDir.h"
#include "X11/LiveDesktop.h"

namespace zelvorn {
namespace {

// The pids of running `zelvorn run` processes of this build.
std::vector<pid_t> runningInstances() {
  std::vector<pid_t> out;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator("/proc", ec)) {
    std::string name = e.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream f(e.path() / "cmdline");
    std::string exe, sub;
    std::getline(f, exe, '\0');
    std::getline(f, sub, '\0');
    if (exe != ZELVORN_EXECUTABLE || sub != "run") continue;
    // Only instances on this test's display: another run of these tests may go on beside it.
    std::ifstream env(e.path() / "environ");
    const char* display = std::getenv("DISPLAY");
    std::string ours = std::string("DISPLAY=") + (display ? display : "");
    for (std::string var; std::getline(env, var, '\0');)
      if (var == ours) out.push_back(std::stoi(name));
  }
  return out;
}

struct Home {
  TempDir root;
  std::vector<std::string> env;
  std::vector<char*> envp;

  Home() {
    for (const char* d : {"data/applications", "config", "state"})
      std::filesystem::create_directories(root / d);
    mkdir((root / "run").c_str(), 0700);
    auto set = [&](const std::string& k, const std::string& v) { env.push_back(k + "=" + v); };
    set("HOME", root.path());
    set("XDG_DATA_HOME", root / "data");
    set("XDG_CONFIG_HOME", root / "config");
    set("XDG_STATE_HOME", root / "state");
    set("XDG_RUNTIME_DIR", root / "run");
    set("XDG_DATA_DIRS", "/usr/share");
    set("DISPLAY", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
    set("PATH", std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin");
    // The instance is stopped by a signal; what it leaks then is not this test's subject.
    set("ASAN_OPTIONS", "detect_leaks=0");
    for (auto& e : env)
      envp.push_back(e.data());
    envp.push_back(nullptr);
  }

  std::optional<std::string> variable(std::string_view name) const {
    for (const auto& e : env)
      if (e.rfind(std::string(name) + "=", 0) == 0) return e.substr(name.size() + 1);
    return std::nullopt;
  }

  void entry(const std::string& id, const std::string& name, const std::string& exec,
             const std::string& cls) {
    std::ofstream(root / ("data/applications/" + id + ".desktop"))
        << "[Desktop Entry]\nType=Application\nName=" << name << "\nExec=" << exec
        << "\nStartupWMClass=" << cls << "\n";
  }

  int zelvorn(const std::vector<std::string>& args) {
    std::vector<std::string> argv{ZELVORN_EXECUTABLE};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> a;
    for (auto& s : argv)
      a.push_back(s.data());
    a.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, a[0], nullptr, nullptr, a.data(), envp.data()) != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
};

std::optional<Rect> frameOfClass(LiveDesktop& d, const std::string& cls) {
  for (const auto& c : d.clients->clients())
    if (d.x->facts(c.window).className == cls)
      if (auto g = d.x->geometry(c.window)) return g->frame();
  return std::nullopt;
}

TEST(X11Run, ALinkStartsAnInstanceThatShowsTheWorkspace) {
  ZELVORN_REQUIRE_DESKTOP(d);
  ASSERT_TRUE(runningInstances().empty());
  Home home;
  home.entry("zelvorn-run-a", "Run A", "xterm -class ZRunA -geometry 40x10+30+30", "ZRunA");
  home.entry("zelvorn-run-b", "Run B", "xterm -class ZRunB -geometry 40x10+60+60", "ZRunB");
  {
    // The user's workspaces file, as the program keeps it.
    PosixFileSystem files;
    PosixEnvironment environment([&](std::string_view n) { return home.variable(n); });
    WorkspaceManager manager(std::make_unique<WorkspaceStore>(
                                 files, WorkspaceStore::defaultDirectory(environment.locations())),
                             nullptr);
    Workspace w = manager.createWorkspace("Pair");
    w.layout.type = LayoutType::leftRightSplit;
    for (std::string id : {"zelvorn-run-a", "zelvorn-run-b"}) {
      ManagedApp app;
      app.id = Uuid::random();
      app.bundleIdentifier = id + ".desktop";
      app.displayName = id;
      app.appPath = home.root / ("data/applications/" + id + ".desktop");
      w.apps.push_back(app);
    }
    manager.update(w);
  }

  ASSERT_EQ(home.zelvorn({"open", "zelvorn://show/Pair"}), 0);
  bool tiled = d->loop.runUntil(
      [&] {
        auto a = frameOfClass(*d, "ZRunA"), b = frameOfClass(*d, "ZRunB");
        // Side by side across the display, each in its half.
        return a && b && a->maxX() <= b->x && a->x < 100 && b->maxX() > 1800 && a->height > 900;
      },
      20);
  auto instances = runningInstances();
  EXPECT_EQ(instances.size(), 1u);
  EXPECT_TRUE(tiled);

  // A second link goes to the running instance: no second process.
  ASSERT_EQ(home.zelvorn({"open", "zelvorn://show/Pair"}), 0);
  d->loop.runUntil([] { return false; }, 0.3);
  EXPECT_EQ(runningInstances().size(), 1u);

  for (pid_t p : instances)
    kill(p, SIGTERM);
  bool ended = false;
  for (int i = 0; i < 250 && !ended; ++i) {
    ended = runningInstances().empty();
    if (!ended) d->loop.runUntil([] { return false; }, 0.02);
  }
  EXPECT_TRUE(ended);
  for (const auto& c : d->clients->clients()) {
    auto cls = d->x->facts(c.window).className;
    if (cls == "ZRunA" || cls == "ZRunB") kill(c.pid, SIGTERM);
  }
}

}  // namespace
}  // namespace zelvorn
