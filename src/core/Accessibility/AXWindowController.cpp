#include "Accessibility/AXWindowController.h"

#include <cmath>
#include <cstdint>

#include "App/Log.h"

namespace zelvorn {

namespace {

std::string lowered(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

// "AXEnabled" arrives as a boolean or as a number; anything else counts as disabled.
bool truthy(const AXValue& v) {
  if (const auto* b = std::get_if<bool>(&v)) return *b;
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i != 0;
  if (const auto* d = std::get_if<double>(&v)) return *d != 0;
  return false;
}

std::optional<std::int64_t> integer(const AXValue& v) {
  if (const auto* i = std::get_if<std::int64_t>(&v)) return *i;
  if (const auto* d = std::get_if<double>(&v)) {
    if (std::isfinite(*d) && std::floor(*d) == *d) return static_cast<std::int64_t>(*d);
  }
  return std::nullopt;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> standardizedFilePath(std::string_view url) {
  constexpr std::string_view scheme = "file:";
  if (url.size() < scheme.size() || lowered(url.substr(0, scheme.size())) != scheme)
    return std::nullopt;
  std::string_view rest = url.substr(scheme.size());
  if (auto cut = rest.find_first_of("?#"); cut != std::string_view::npos)
    rest = rest.substr(0, cut);
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    auto slash = rest.find('/');
    std::string_view host = rest.substr(0, slash);
    if (!host.empty() && lowered(host) != "localhost") return std::nullopt;
    if (slash == std::string_view::npos) return std::nullopt;
    rest = rest.substr(slash);
  }
  if (!rest.starts_with("/")) return std::nullopt;

  std::string decoded;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] != '%') {
      decoded += rest[i];
      continue;
    }
    int hi = i + 1 < rest.size() ? hexDigit(rest[i + 1]) : -1;
    int lo = i + 2 < rest.size() ? hexDigit(rest[i + 2]) : -1;
    if (hi < 0 || lo < 0) return std::nullopt;
    char c = static_cast<char>(hi * 16 + lo);
    if (c == '\0') return std::nullopt;
    decoded += c;
    i += 2;
  }

  std::vector<std::string> parts;
  std::size_t start = 1;
  while (start <= decoded.size()) {
    auto end = decoded.find('/', start);
    if (end == std::string::npos) end = decoded.size();
    std::string part = decoded.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(std::move(part));
    }
    start = end + 1;
  }
  std::string path;
  for (const auto& p : parts)
    path += "/" + p;
  return path.empty() ? "/" : path;
}

// --- Readers ---

AXValue AXWindowController::copy(const AXElement& element, std::string_view attribute) {
  AXValue v;
  if (ax_.copyAttribute(element, attribute, v) != kAXErrorSuccess) return {};
  return v;
}

std::optional<std::string> AXWindowController::string(const AXElement& element,
                                                      std::string_view attribute) {
  AXValue v = copy(element, attribute);
  if (auto* s = std::get_if<std::string>(&v)) return std::move(*s);
  return std::nullopt;
}

std::optional<AXPoint> AXWindowController::point(const AXElement& element,
                                                 std::string_view attribute) {
  AXValue v = copy(element, attribute);
  // Another process's answer: a point that is not a number is no reading at all.
  if (auto* p = std::get_if<AXPoint>(&v); p && std::isfinite(p->x) && std::isfinite(p->y))
    return *p;
  return std::nullopt;
}

std::optional<Size> AXWindowController::sizeValue(const AXElement& element,
                                                  std::string_view attribute) {
  AXValue v = copy(element, attribute);
  if (auto* s = std::get_if<Size>(&v); s && std::isfinite(s->width) && std::isfinite(s->height))
    return *s;
  return std::nullopt;
}

bool AXWindowController::boolValue(const AXElement& element, std::string_view attribute) {
  AXValue v = copy(element, attribute);
  auto* b = std::get_if<bool>(&v);
  return b && *b;
}

std::optional<AXElement> AXWindowController::elementValue(const AXElement& element,
                                                          std::string_view attribute) {
  AXValue v = copy(element, attribute);
  if (auto* e = std::get_if<AXElement>(&v); e && !e->isNull()) return *e;
  return std::nullopt;
}

std::vector<AXElement> AXWindowController::axChildren(const AXElement& element) {
  AXValue v = copy(element, "AXChildren");
  if (auto* list = std::get_if<std::vector<AXElement>>(&v)) return std::move(*list);
  return {};
}

// --- Windows ---

std::vector<AXElement> AXWindowController::windowElements(const AXElement& appElement) {
  AXValue v = copy(appElement, "AXWindows");
  if (auto* list = std::get_if<std::vector<AXElement>>(&v)) return std::move(*list);
  return {};
}

std::vector<AXWindowController::WindowInfo> AXWindowController::windowInfos(Pid app) {
  std::vector<WindowInfo> out;
  for (auto& element : windowElements(ax_.applicationElement(app))) {
    WindowInfo info;
    info.title = string(element, "AXTitle");
    info.role = string(element, "AXRole");
    info.subrole = string(element, "AXSubrole");
    info.position = point(element, "AXPosition");
    info.size = sizeValue(element, "AXSize");
    info.isMinimized = boolValue(element, "AXMinimized");
    info.isMain = boolValue(element, "AXMain");
    info.isFullScreen = boolValue(element, "AXFullScreen");
    info.identifier = string(element, "AXIdentifier");
    info.element = std::move(element);
    out.push_back(std::move(info));
  }
  return out;
}

std::vector<AXWindowController::WindowInfo> AXWindowController::windowInfos(Pid app,
                                                                            float timeout) {
  AXElement appElement = ax_.applicationElement(app);
  // Restores the system default on every way out, so one probe's bound never leaks into later
  // calls on the same application.
  struct Restore {
    IAccessibility& ax;
    const AXElement& element;
    ~Restore() { ax.setMessagingTimeout(element, 0); }
  };
  ax_.setMessagingTimeout(appElement, timeout);
  Restore restore{ax_, appElement};
  return windowInfos(app);
}

bool AXWindowController::isManageable(const WindowInfo& w) {
  if (w.identifier == "open-panel" || w.identifier == "save-panel") return false;
  if (w.role && *w.role != "AXWindow") return false;
  if (w.subrole && *w.subrole != "AXStandardWindow") return false;
  if (w.size && (w.size->width < 50 || w.size->height < 50)) return false;
  return true;
}

std::vector<AXWindowController::WindowInfo> AXWindowController::manageableWindows(Pid app) {
  std::vector<WindowInfo> out;
  for (auto& w : windowInfos(app))
    if (isManageable(w)) out.push_back(std::move(w));
  return out;
}

std::optional<AXWindowController::WindowInfo> AXWindowController::mainWindow(Pid app) {
  auto windows = manageableWindows(app);
  std::vector<bool> isMain;
  for (const auto& w : windows)
    isMain.push_back(w.isMain);
  auto index = selectBindableIndex(isMain, {});
  if (!index) return std::nullopt;
  return windows[*index];
}

std::optional<AXElement> AXWindowController::focusedWindow(Pid app) {
  return elementValue(ax_.applicationElement(app), "AXFocusedWindow");
}

std::optional<std::size_t> AXWindowController::selectBindableIndex(
    const std::vector<bool>& isMain, const std::set<std::size_t>& claimed) {
  std::optional<std::size_t> first;
  for (std::size_t i = 0; i < isMain.size(); ++i) {
    if (claimed.count(i)) continue;
    if (isMain[i]) return i;
    if (!first) first = i;
  }
  return first;
}

std::optional<AXWindowController::WindowInfo> AXWindowController::selectPendingDialog(
    const std::vector<WindowInfo>& windows) {
  std::vector<const WindowInfo*> kept;
  for (const auto& w : windows)
    if (!w.isMinimized) kept.push_back(&w);
  for (const auto* w : kept)
    if (isManageable(*w)) return std::nullopt;
  for (const auto* w : kept)
    if (w->identifier == "open-panel" || w->identifier == "save-panel") return *w;
  for (const auto* w : kept)
    if (w->isMain) return *w;
  for (const auto* w : kept)
    if (w->size && w->size->width * w->size->height >= 2500) return *w;
  return std::nullopt;
}

std::string AXWindowController::windowKind(const AXElement& element) {
  auto identifier = string(element, "AXIdentifier");
  auto subrole = string(element, "AXSubrole");
  return "id=" + identifier.value_or("—") + " subrole=" + subrole.value_or("—");
}

bool AXWindowController::matches(const AXRect& a, const AXRect& b, double tolerance) {
  return std::abs(a.minX() - b.minX()) <= tolerance && std::abs(a.minY() - b.minY()) <= tolerance &&
         std::abs(a.width - b.width) <= tolerance && std::abs(a.height - b.height) <= tolerance;
}

// Size, then position, then size again: a window that cannot grow where it stands (against a
// screen edge) gets its size once it has moved.
AXWindowController::PlacementOutcome AXWindowController::place(const AXElement& window,
                                                               const AXRect& frame) {
  auto request = requestPlacement(window, frame);
  if (auto* failed = std::get_if<Failed>(&request)) return *failed;
  return finishPlacement(std::get<PlacementRequest>(request));
}

std::variant<AXWindowController::PlacementRequest, AXWindowController::Failed>
AXWindowController::requestPlacement(const AXElement& window, const AXRect& frame) {
  const AXPoint origin = frame.origin();
  const Size size = frame.size();
  ax_.setAttribute(window, "AXMinimized", false);
  bool sizedFirst = ax_.setAttribute(window, "AXSize", size) == kAXErrorSuccess;
  bool moved = ax_.setAttribute(window, "AXPosition", origin) == kAXErrorSuccess;
  bool sizedAgain = ax_.setAttribute(window, "AXSize", size) == kAXErrorSuccess;
  if (!moved) return Failed{};
  return PlacementRequest{window, frame, sizedFirst || sizedAgain};
}

AXWindowController::PlacementOutcome AXWindowController::finishPlacement(
    const PlacementRequest& request) {
  const AXElement& window = request.window;
  const AXRect& frame = request.frame;
  auto position = point(window, "AXPosition");
  auto actualSize = sizeValue(window, "AXSize");
  if (!position || !actualSize) return Placed{};
  AXRect actual{position->x, position->y, actualSize->width, actualSize->height};
  if (matches(actual, frame, kPlacementTolerance)) return Placed{};
  if (!request.sized) return Refused{actual};

  if (std::abs(actual.width - frame.width) <= kPlacementTolerance &&
      std::abs(actual.height - frame.height) <= kPlacementTolerance) {
    ax_.setAttribute(window, "AXPosition", frame.origin());
    auto p = point(window, "AXPosition");
    auto s = sizeValue(window, "AXSize");
    if (p) {
      actual.x = p->x;
      actual.y = p->y;
    }
    if (s) {
      actual.width = s->width;
      actual.height = s->height;
    }
    if (matches(actual, frame, kPlacementTolerance)) return Placed{};
    return Refused{actual};
  }
  return Refused{actual};
}

// --- Menus ---

std::optional<AXWindowController::NewWindowMenuItem> AXWindowController::newWindowMenuItem(
    Pid app) {
  auto menuBar = elementValue(ax_.applicationElement(app), "AXMenuBar");
  if (!menuBar) return std::nullopt;
  std::vector<MenuItemFacts> facts;
  std::vector<std::pair<std::string, AXElement>> where;
  for (const auto& barItem : axChildren(*menuBar)) {
    std::string menuTitle = string(barItem, "AXTitle").value_or("");
    for (const auto& menu : axChildren(barItem)) {
      for (const auto& item : axChildren(menu)) {
        auto title = string(item, "AXTitle");
        if (!title) continue;
        bool enabled = truthy(copy(item, "AXEnabled"));
        bool plainN = false;
        auto commandChar = string(item, "AXMenuItemCmdChar");
        if (commandChar && lowered(*commandChar) == "n")
          plainN = integer(copy(item, "AXMenuItemCmdModifiers")) == 0;
        facts.push_back({std::move(*title), enabled, plainN});
        where.emplace_back(menuTitle, item);
      }
    }
  }
  auto pick = pickNewWindowCommand(facts);
  if (!pick) return std::nullopt;
  return NewWindowMenuItem{facts[pick->index].title, where[pick->index].first,
                           where[pick->index].second, pick->isWindowCommand};
}

std::optional<AXWindowController::NewWindowPick> AXWindowController::pickNewWindowCommand(
    const std::vector<MenuItemFacts>& items) {
  auto isTitleMatch = [](const MenuItemFacts& f) {
    if (!f.enabled) return false;
    std::string t = lowered(f.title);
    return t.starts_with("new") && contains(t, "window") && !contains(t, "private") &&
           !contains(t, "incognito") && !contains(t, "tab");
  };
  std::optional<std::size_t> choice;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (!isTitleMatch(items[i])) continue;
    if (!choice || (items[i].onPlainCommandN && !items[*choice].onPlainCommandN)) choice = i;
  }
  if (choice) return NewWindowPick{*choice, true};
  for (std::size_t i = 0; i < items.size(); ++i)
    if (items[i].enabled && items[i].onPlainCommandN) return NewWindowPick{i, false};
  return std::nullopt;
}

bool AXWindowController::press(const AXElement& element) {
  AXError error = ax_.performAction(element, "AXPress");
  if (error == kAXErrorSuccess) return true;
  Log::line("[Zelvorn][AX] Menu item press failed: AXError " + std::to_string(error));
  return false;
}

std::optional<std::string> AXWindowController::documentPath(const AXElement& window) {
  auto url = string(window, "AXDocument");
  if (!url) return std::nullopt;
  return standardizedFilePath(*url);
}

// --- Full screen ---

bool AXWindowController::appHasNativeFullScreenWindow(Pid pid) {
  std::vector<FullScreenExtent> extents;
  for (const auto& screen : displays_.screens())
    extents.push_back({screen.frame.size(), screen.safeAreaTopInset});
  return appHasNativeFullScreenWindow(pid, extents);
}

bool AXWindowController::appHasNativeFullScreenWindow(
    Pid pid, const std::vector<FullScreenExtent>& screens) {
  std::vector<Size> sizes;
  for (const auto& s : screens) {
    sizes.push_back(s.size);
    if (s.topInset > 0) sizes.push_back({s.size.width, s.size.height - s.topInset});
  }
  auto list = windowList_.copyWindowList(WindowListOption::excludeDesktopElements);
  if (!list) return false;
  for (const auto& entry : *list) {
    if (entry.ownerPid != pid || entry.layer != 0 || !entry.bounds) continue;
    for (const auto& s : sizes) {
      if (std::abs(entry.bounds->width - s.width) < kFullScreenTolerance &&
          std::abs(entry.bounds->height - s.height) < kFullScreenTolerance)
        return true;
    }
  }
  return false;
}

}  // namespace zelvorn
