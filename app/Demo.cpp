#include "Demo.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include <fmt/format.h>

#include "App/Log.h"
#include "Core/WorkspaceManager.h"
#include "Persistence/WorkspaceStore.h"

namespace zelvorn {

namespace {

// In the order they run. A new chapter goes in before the quit, which ends the session.
const DemoChapter kChapters[] = {
    {"Links that arrive while Zelvorn is still starting", demoEarlyLinks},
    {"Creating workspaces", demoCreatingWorkspaces},
    {"Links by name or by number", demoLinksByNameOrNumber},
    {"Links Zelvorn does not understand", demoBadLinks},
    {"Moving other applications’ windows", demoMovingWindows},
    {"Showing a workspace", demoShowingAWorkspace},
    {"A clean quit, and a relaunch that finds everything again", demoQuitAndRelaunch},
};

std::string describeTarget(const std::optional<std::string>& target) {
  // Narration is printed directly, so a link's text is escaped here as the log escapes it.
  return target ? "“" + Log::escaped(*target) + "”" : std::string("the active workspace");
}

}  // namespace

void DemoConsole::writeLine(std::string_view line) {
  std::cout << "    │ " << line << '\n' << std::flush;
}

DemoWorld::DemoWorld(std::string stateDir)
    : stateDirectory(std::move(stateDir)),
      // Simulated time starts at the real time, so the log file's stamps read as today.
      loop(WallTime{static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::system_clock::now().time_since_epoch())
                                            .count()) /
                    1000.0}),
      environment(PosixEnvironment::rootedAt(stateDirectory)) {}

DemoWorld::~DemoWorld() {
  delegate.reset();
  Log::configure({});
}

void DemoWorld::startProcess() {
  // A new process: the log starts over and the settings are read from disk again.
  Log::configure(LogSinks{&console, &fileSystem, &environment, [this] { return loop.wallNow(); }});
  defaults = std::make_unique<JsonFileKeyValueStore>(
      fileSystem, environment.settingsFile(),
      [](const std::string& sentence) { Log::line(sentence); });
  shell = std::make_unique<SimAppShell>(loop);
  delegate = std::make_unique<AppDelegate>(
      AppPlatform{loop, *shell, *defaults, fileSystem, environment, loginItems,
                  desktop.accessibility(), desktop.launchServices(), desktop.windowList(),
                  desktop.runningApps(), desktop.displays(), modal});
  delegate->setPerformHook([this](const ZelvornURL::Command& c) { narrate(c); });
}

void DemoWorld::finishLaunching() {
  shell->run(delegate->callbacks());
  settle();
}

void DemoWorld::quit() {
  shell->terminate();
  delegate.reset();
  loop.runUntilIdle();
}

void DemoWorld::openURLs(std::vector<std::string> urls) {
  shell->openURLs(std::move(urls));
}

void DemoWorld::settle() {
  loop.runUntilIdle();
}

void DemoWorld::say(std::string_view text) const {
  std::cout << "  " << text << '\n' << std::flush;
}

WorkspaceManager& DemoWorld::workspaces() {
  return *delegate->workspaceManager();
}

// Workspace commands are not dispatched yet; the demo shows what each link would act on.
void DemoWorld::narrate(const ZelvornURL::Command& command) {
  std::optional<std::string> target;
  if (auto* c = std::get_if<ZelvornURL::Show>(&command)) target = c->target;
  if (auto* c = std::get_if<ZelvornURL::Toggle>(&command)) target = c->target;
  if (auto* c = std::get_if<ZelvornURL::Hide>(&command)) target = c->target;
  if (auto* c = std::get_if<ZelvornURL::BringHere>(&command)) target = c->target;
  if (!target) return;
  const auto& list = workspaces().workspaces();
  auto id = ZelvornURL::resolve(*target, list);
  if (!id) {
    say(fmt::format("  ↳ {} matches no workspace", describeTarget(target)));
    return;
  }
  say(fmt::format("  ↳ {} is the workspace “{}”", describeTarget(target), workspaces().name(*id)));
}

int runDemo(std::string stateDirectory) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (stateDirectory.empty()) {
    std::string pattern = (fs::temp_directory_path(ec) / "zelvorn-demo-XXXXXX").string();
    if (ec || !mkdtemp(pattern.data())) {
      std::cerr << "zelvorn demo: cannot make a temporary folder\n";
      return 1;
    }
    stateDirectory = pattern;
  } else {
    fs::create_directories(stateDirectory, ec);
    if (ec || !fs::is_directory(stateDirectory)) {
      std::cerr << "zelvorn demo: cannot use " << stateDirectory << " as the state folder\n";
      return 1;
    }
    stateDirectory = fs::absolute(stateDirectory).lexically_normal().string();
    while (stateDirectory.size() > 1 && stateDirectory.back() == '/')
      stateDirectory.pop_back();
  }

  DemoWorld world(stateDirectory);
  std::cout << "Zelvorn demo: the real application on a simulated desktop.\n"
            << "State folder: " << stateDirectory << "\n"
            << "  workspaces  " << WorkspaceStore::defaultDirectory(world.environment.locations())
            << "/" << WorkspaceStore::kFileName << "\n"
            << "  settings    " << world.environment.settingsFile() << "\n"
            << "  log file    " << world.environment.locations().logDirectory << "/"
            << Log::kFileName << "\n";
  int number = 0;
  for (const auto& chapter : kChapters) {
    std::cout << "\n" << ++number << ". " << chapter.title << "\n" << std::flush;
    chapter.run(world);
  }
  std::string logFile =
      world.environment.locations().logDirectory + "/" + std::string(Log::kFileName);
  if (auto bytes = world.fileSystem.readFile(logFile))
    std::cout << "\nThe log file holds "
              << std::count(bytes.value().begin(), bytes.value().end(), '\n') << " lines.";
  std::cout << "\nDone. Run again with --state " << stateDirectory
            << " to start from where this session ended,\nor look at the workspaces file with: "
               "zelvorn check-workspaces "
            << WorkspaceStore::defaultDirectory(world.environment.locations()) << "/"
            << WorkspaceStore::kFileName << "\n";
  return 0;
}

}  // namespace zelvorn
