// Demo chapters about the life of the process: links that arrive while it starts, and a clean
// quit followed by a relaunch.
#include <ctime>

#include <fmt/format.h>

#include "App/AppDelegate.h"
#include "App/Log.h"
#include "Core/WorkspaceManager.h"
#include "Demo.h"

namespace zelvorn {

void demoEarlyLinks(DemoWorld& world) {
  world.startProcess();
  // As if the user had switched on "Keep a log file" in an earlier session.
  world.defaults->set(AppDelegate::kLogToFileKey, true);
  world.say("A launcher opens two links while Zelvorn is still starting up. They are queued, and");
  world.say("replayed in order once launch has finished:");
  world.openURLs({"zelvorn://hide"});
  world.openURLs({"zelvorn://focus/next", "zelvorn://solo"});
  world.finishLaunching();
}

void demoQuitAndRelaunch(DemoWorld& world) {
  world.say("The user quits Zelvorn; on its way out it stamps the time it gave everything back:");
  world.quit();
  auto stamp = world.defaults ? world.defaults->date("ZelvornUnhideAskedAt") : std::nullopt;
  if (stamp) {
    auto seconds = static_cast<std::time_t>(stamp->unixSeconds);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    world.say(fmt::format("  ↳ ZelvornUnhideAskedAt = {:04}-{:02}-{:02} {:02}:{:02}:{:02} UTC",
                          utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                          utc.tm_sec));
  }
  world.loop.advance(60);
  world.say("A minute later it is started again, and a link arrives before it is ready:");
  world.startProcess();
  world.openURLs({"zelvorn://show/deep%20work%202"});
  world.finishLaunching();
  std::string names;
  for (const auto& w : world.workspaces().workspaces())
    names += (names.empty() ? "" : ", ") + ("“" + w.name + "”");
  world.say(fmt::format("It found its {} workspaces again: {}.",
                        world.workspaces().workspaces().size(), names));
  world.quit();
}

}  // namespace zelvorn
