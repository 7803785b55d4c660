#include "App/AppDelegate.h"

#include <fmt/format.h>

#include "Accessibility/AccessibilityPermission.h"
#include "App/AppTheme.h"
#include "App/Log.h"
#include "App/LoginItem.h"
#include "Core/AppRegistry.h"
#include "Core/DocumentMemory.h"
#include "Core/WorkspaceController.h"
#include "Core/WorkspaceManager.h"
#include "Persistence/WorkspaceStore.h"

namespace zelvorn {

namespace {

MenuItemModel item(std::string title, std::string action, std::string key, bool shift = false) {
  MenuItemModel m;
  m.title = std::move(title);
  m.actionId = std::move(action);
  m.key = KeyEquivalent{std::move(key), true, shift};
  return m;
}

MenuItemModel menu(std::string title, std::vector<MenuItemModel> items) {
  MenuItemModel m;
  m.title = std::move(title);
  m.submenu = std::move(items);
  return m;
}

std::string joined(const std::vector<std::string>& urls) {
  std::string out;
  for (const auto& url : urls) {
    if (!out.empty()) out += ", ";
    out += url;
  }
  return out;
}

}  // namespace

AppDelegate::AppDelegate(AppPlatform platform) : platform_(platform) {}

AppDelegate::~AppDelegate() = default;

AppCallbacks AppDelegate::callbacks() {
  AppCallbacks c;
  c.didFinishLaunching = [this] { applicationDidFinishLaunching(); };
  c.openURLs = [this](const std::vector<std::string>& urls) { applicationOpenURLs(urls); };
  c.reopen = [this] { applicationShouldHandleReopen(false); };
  c.willTerminate = [this] { applicationWillTerminate(); };
  return c;
}

MenuModel AppDelegate::makeMainMenu() {
  return MenuModel{{
      menu("Zelvorn", {item("Quit Zelvorn", "terminate:", "q")}),
      menu("Edit",
           {item("Undo", "undo:", "z"), item("Redo", "redo:", "z", /*shift=*/true),
            MenuItemModel::separator(), item("Cut", "cut:", "x"), item("Copy", "copy:", "c"),
            item("Paste", "paste:", "v"), item("Select All", "selectAll:", "a")}),
  }};
}

void AppDelegate::applicationDidFinishLaunching() {
  if (launched_) return;
  launched_ = true;
  auto& p = platform_;

  // 1. The log file first, so that every later step can already write to it.
  Log::setFileLogging(p.defaults.boolValue(kLogToFileKey).value_or(false));
  // 2–4. No dock icon, the user's theme, the standard menus.
  p.shell.setActivationPolicyAccessory();
  AppThemes::apply(AppThemes::current(p.defaults), p.shell);
  p.shell.setMainMenu(makeMainMenu());

  // 5. The workspace list; creating the manager loads the workspaces file.
  appRegistry_ = std::make_unique<AppRegistry>(p.launchServices, p.fileSystem);
  auto store = std::make_unique<WorkspaceStore>(
      p.fileSystem, WorkspaceStore::defaultDirectory(p.environment.locations()),
      [&loop = p.loop] { return loop.wallNow(); });
  workspaceManager_ = std::make_unique<WorkspaceManager>(std::move(store), appRegistry_.get());

  // 6. The recovery ledgers join here as they are built.
  // 7. The session controller; from this point on links are routed at once.
  workspaceController_ = std::make_unique<WorkspaceController>(
      ControllerServices{p.loop, p.accessibility, p.windowList, p.runningApps, p.launchServices,
                         p.displays, p.modal, p.fileSystem, p.environment, *workspaceManager_});
  // 8–9. The menu bar and the repair of a previous run join here as they are built.

  // 10–11. Diagnostics and installation warnings, for the log only.
  AccessibilityPermission(p.accessibility, p.environment, p.launchServices)
      .logDiagnostics("launch");
  LoginItem(p.loginItems, p.environment, p.loop).logDiagnostics();
  logInstallationWarnings();

  // 12–13. Updates and onboarding join here.

  // 14.
  flushPendingURLs();
}

void AppDelegate::logInstallationWarnings() {
  auto& p = platform_;
  auto diagnostics =
      AccessibilityPermission(p.accessibility, p.environment, p.launchServices).diagnostics();
  const std::string& bundlePath = p.environment.process().bundlePath;
  if (!diagnostics.isRunningFromApplications)
    Log::line(fmt::format(
        "[Zelvorn][AX] WARNING: running from {}, not /Applications. For reliable Accessibility "
        "grants, use: make install-local && make launch-local.",
        bundlePath));
  if (bundlePath.starts_with("/Volumes/"))
    Log::line(fmt::format(
        "[Zelvorn] WARNING: launched from a mounted volume ({}). Move Zelvorn to /Applications "
        "for reliable updates and Accessibility.",
        bundlePath));
}

void AppDelegate::applicationOpenURLs(const std::vector<std::string>& urls) {
  if (urls.empty()) return;
  if (workspaceController_) {
    route(urls);
    return;
  }
  pendingURLs_.insert(pendingURLs_.end(), urls.begin(), urls.end());
  Log::line(fmt::format("[Zelvorn][URL] Arrived before launch finished — queued {}: {}",
                        urls.size(), joined(urls)));
}

void AppDelegate::flushPendingURLs() {
  if (pendingURLs_.empty() || !workspaceController_) return;
  std::vector<std::string> taken = std::move(pendingURLs_);
  pendingURLs_.clear();
  Log::line(
      fmt::format("[Zelvorn][URL] Launch finished — running {} queued command(s).", taken.size()));
  route(taken);
}

void AppDelegate::route(const std::vector<std::string>& urls) {
  for (const auto& url : urls) {
    auto command = ZelvornURL::parse(url);
    if (!command) {
      Log::line("[Zelvorn][URL] Ignored — not a command Zelvorn understands: " + url);
      continue;
    }
    Log::line("[Zelvorn][URL] " + url + " → " + ZelvornURL::description(*command));
    perform(*command);
  }
}

void AppDelegate::perform(const ZelvornURL::Command& command) {
  if (performHook_) performHook_(command);
  auto& controller = *workspaceController_;
  std::visit(
      [&](const auto& c) {
        using C = std::decay_t<decltype(c)>;
        if constexpr (std::is_same_v<C, ZelvornURL::Show>) {
          if (auto id = resolveLinkTarget(c.target)) controller.showWorkspace(*id);
        } else if constexpr (std::is_same_v<C, ZelvornURL::Hide>) {
          if (!c.target) {
            controller.hideActiveWorkspace();
          } else if (auto id = resolveLinkTarget(*c.target)) {
            controller.hideWorkspace(*id);
          }
        } else if constexpr (std::is_same_v<C, ZelvornURL::Toggle>) {
          if (auto id = resolveLinkTarget(c.target)) {
            if (controller.isShown(*id))
              controller.hideWorkspace(*id);
            else
              controller.showWorkspace(*id);
          }
        } else if constexpr (std::is_same_v<C, ZelvornURL::BringHere>) {
          // Bringing a workspace to the current display arrives with the workspace commands; the
          // target is still checked so a wrong name is logged.
          if (c.target) resolveLinkTarget(*c.target);
        }
        // Focus steps and solo arrive with focus handling.
      },
      command);
}

std::optional<Uuid> AppDelegate::resolveLinkTarget(const std::string& target) const {
  auto id = ZelvornURL::resolve(target, workspaceManager_->workspaces());
  if (!id) Log::line("[Zelvorn][URL] No workspace matches “" + target + "” — ignored.");
  return id;
}

bool AppDelegate::applicationShouldHandleReopen(bool /*hasVisibleWindows*/) {
  // The menu bar answers a second launch once it exists.
  return false;
}

void AppDelegate::applicationWillTerminate() {
  if (!workspaceController_) return;
  // 1–2. Unhiding what the program hid and un-parking windows join here with the ledgers.
  // 3.
  platform_.defaults.set(kUnhideAskedAtKey, platform_.loop.wallNow());
  // 4. Pending container-frame saves join here with user-driven geometry.
  // 5.
  workspaceController_->documents().rememberAllDocuments();
}

}  // namespace zelvorn
