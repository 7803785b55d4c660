#include "Persistence/WorkspaceCodec.h"

#include <cmath>
#include <limits>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "Persistence/Base64.h"

namespace zelvorn {

namespace {

using nlohmann::json;

// Where a value sits in the file, kept as a chain on the stack and spelled out only for an error.
struct Path {
  const Path* parent = nullptr;
  std::string_view key;  // empty for an array element
  std::size_t index = 0;
  bool quotedKey = false;  // a key of a string-keyed map

  Path child(std::string_view k) const { return Path{this, k, 0, false}; }
  Path element(std::size_t i) const { return Path{this, {}, i, false}; }
  Path mapEntry(std::string_view k) const { return Path{this, k, 0, true}; }

  std::string str() const {
    std::string prefix = parent ? parent->str() : std::string();
    if (!parent) return std::string(key);
    if (quotedKey) return prefix + "[" + json(std::string(key)).dump() + "]";
    if (key.empty()) return prefix + "[" + std::to_string(index) + "]";
    return prefix + "." + std::string(key);
  }
};

struct CodecError {
  std::string message;
};

[[noreturn]] void fail(const Path& at, const std::string& what) {
  throw CodecError{at.str() + ": " + what};
}

// ---- writing

void checkFinite(double v, const Path& at) {
  if (!std::isfinite(v)) fail(at, fmt::format("the number {} cannot be written (not finite)", v));
}

json number(double v, const Path& at) {
  checkFinite(v, at);
  return json(v);
}

json doubles(const std::vector<double>& values, const Path& at) {
  json out = json::array();
  for (std::size_t i = 0; i < values.size(); ++i)
    out.push_back(number(values[i], at.element(i)));
  return out;
}

json rect(const RectModel& r, const Path& at) {
  return json{{"x", number(r.x, at.child("x"))},
              {"y", number(r.y, at.child("y"))},
              {"width", number(r.width, at.child("width"))},
              {"height", number(r.height, at.child("height"))}};
}

json splitNode(const SplitNode& node, const Path& at) {
  if (const auto* leaf = node.leaf()) return json{{"app", json{{"appId", leaf->appId}}}};
  const auto& b = *node.branch();
  Path inner = at.child("split");
  json children = json::array();
  Path childrenPath = inner.child("children");
  for (std::size_t i = 0; i < b.children.size(); ++i)
    children.push_back(splitNode(b.children[i], childrenPath.element(i)));
  return json{{"split", json{{"direction", rawValue(b.direction)},
                             {"ratio", number(b.ratio, inner.child("ratio"))},
                             {"children", std::move(children)}}}};
}

json layout(const Layout& l, const Path& at) {
  json o = json::object();
  o["type"] = rawValue(l.type);
  if (l.splitTree) o["splitTree"] = splitNode(*l.splitTree, at.child("splitTree"));
  if (l.ratios) o["ratios"] = doubles(*l.ratios, at.child("ratios"));
  if (l.paneAssignments) o["paneAssignments"] = *l.paneAssignments;
  if (l.threeColumns) {
    Path tp = at.child("threeColumns");
    json t = json::object();
    t["folded"] = l.threeColumns->folded;
    if (l.threeColumns->parkedRatios)
      t["parkedRatios"] = doubles(*l.threeColumns->parkedRatios, tp.child("parkedRatios"));
    o["threeColumns"] = std::move(t);
  }
  return o;
}

json app(const ManagedApp& a, const Path& at) {
  json o = json::object();
  o["id"] = a.id.string();
  o["displayName"] = a.displayName;
  o["bundleIdentifier"] = a.bundleIdentifier;
  if (a.appURLBookmark) o["appURLBookmark"] = Base64::encode(*a.appURLBookmark);
  if (a.appPath) o["appPath"] = *a.appPath;
  if (a.iconData) o["iconData"] = Base64::encode(*a.iconData);
  if (a.preferredPaneId) o["preferredPaneId"] = *a.preferredPaneId;
  o["role"] = rawValue(a.role);
  if (a.observedMinSize) {
    Path sp = at.child("observedMinSize");
    o["observedMinSize"] = json{{"width", number(a.observedMinSize->width, sp.child("width"))},
                                {"height", number(a.observedMinSize->height, sp.child("height"))}};
  }
  if (a.lastDocumentPath) o["lastDocumentPath"] = *a.lastDocumentPath;
  return o;
}

json workspace(const Workspace& w, const Path& at) {
  json o = json::object();
  o["id"] = w.id.string();
  o["name"] = w.name;
  json apps = json::array();
  Path ap = at.child("apps");
  for (std::size_t i = 0; i < w.apps.size(); ++i)
    apps.push_back(app(w.apps[i], ap.element(i)));
  o["apps"] = std::move(apps);
  o["layout"] = layout(w.layout, at.child("layout"));
  if (w.primaryAppBundleIdentifier) o["primaryAppBundleIdentifier"] = *w.primaryAppBundleIdentifier;
  if (w.primaryAppID) o["primaryAppID"] = w.primaryAppID->string();
  if (w.shortcut)
    o["shortcut"] = json{{"keyCode", w.shortcut->keyCode},
                         {"carbonModifiers", w.shortcut->carbonModifiers},
                         {"displayString", w.shortcut->displayString}};
  if (w.lastContainerFrame)
    o["lastContainerFrame"] = rect(*w.lastContainerFrame, at.child("lastContainerFrame"));
  if (w.topologyFrames) {
    Path tp = at.child("topologyFrames");
    json frames = json::object();
    for (const auto& [key, frame] : *w.topologyFrames)
      frames[key] = rect(frame, tp.mapEntry(key));
    o["topologyFrames"] = std::move(frames);
  }
  if (w.savedLayout) {
    Path sp = at.child("savedLayout");
    json s = json::object();
    s["containerFrame"] = rect(w.savedLayout->containerFrame, sp.child("containerFrame"));
    if (w.savedLayout->ratios) s["ratios"] = doubles(*w.savedLayout->ratios, sp.child("ratios"));
    o["savedLayout"] = std::move(s);
  }
  o["isEnabled"] = w.isEnabled;
  return o;
}

// nlohmann never escapes "/"; the file always does. Outside strings a "/" cannot occur in JSON, so
// every one in the text is inside a string.
std::string escapeSlashes(const std::string& text) {
  std::size_t slashes = 0;
  for (char c : text)
    slashes += c == '/';
  if (slashes == 0) return text;
  std::string out;
  out.reserve(text.size() + slashes);
  for (char c : text) {
    if (c == '/') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

// ---- reading

std::string describe(const json& j) {
  switch (j.type()) {
    case json::value_t::null:
      return "null";
    case json::value_t::object:
      return "an object";
    case json::value_t::array:
      return "an array";
    case json::value_t::string:
      return "a string";
    case json::value_t::boolean:
      return "a boolean";
    default:
      return "a number";
  }
}

[[noreturn]] void typeMismatch(const json& j, const Path& at, std::string_view expected) {
  fail(at, fmt::format("expected {}, found {}", expected, describe(j)));
}

const json& object(const json& j, const Path& at) {
  if (!j.is_object()) typeMismatch(j, at, "an object");
  return j;
}

const json& array(const json& j, const Path& at) {
  if (!j.is_array()) typeMismatch(j, at, "an array");
  return j;
}

// A required key: present and not null.
const json& required(const json& obj, const char* key, const Path& at) {
  auto it = obj.find(key);
  if (it == obj.end()) fail(at, fmt::format("the required key \"{}\" is missing", key));
  if (it->is_null()) fail(at.child(key), "expected a value, found null");
  return *it;
}

// An optional key: null counts as absent.
const json* optional(const json& obj, const char* key) {
  auto it = obj.find(key);
  if (it == obj.end() || it->is_null()) return nullptr;
  return &*it;
}

std::string string(const json& j, const Path& at) {
  if (!j.is_string()) typeMismatch(j, at, "a string");
  return j.get<std::string>();
}

bool boolean(const json& j, const Path& at) {
  if (!j.is_boolean()) typeMismatch(j, at, "a boolean");
  return j.get<bool>();
}

double dbl(const json& j, const Path& at) {
  if (!j.is_number()) typeMismatch(j, at, "a number");
  double v = j.get<double>();
  if (!std::isfinite(v)) fail(at, "the number is out of range");
  return v;
}

std::uint32_t uint32(const json& j, const Path& at) {
  constexpr auto kMax = std::numeric_limits<std::uint32_t>::max();
  if (j.is_number_unsigned()) {
    auto v = j.get<std::uint64_t>();
    if (v > kMax) fail(at, fmt::format("{} is out of range for an unsigned 32-bit integer", v));
    return static_cast<std::uint32_t>(v);
  }
  if (j.is_number_integer()) {
    fail(at,
         fmt::format("{} is out of range for an unsigned 32-bit integer", j.get<std::int64_t>()));
  }
  if (j.is_number_float()) {
    double v = j.get<double>();
    if (v != std::floor(v)) fail(at, fmt::format("{} is not a whole number", v));
    if (v < 0 || v > kMax)
      fail(at, fmt::format("{} is out of range for an unsigned 32-bit integer", v));
    return static_cast<std::uint32_t>(v);
  }
  typeMismatch(j, at, "a number");
}

Uuid uuid(const json& j, const Path& at) {
  auto text = string(j, at);
  auto u = Uuid::parse(text);
  if (!u) fail(at, fmt::format("{} is not a UUID", json(text).dump()));
  return *u;
}

Bytes bytes(const json& j, const Path& at) {
  auto text = string(j, at);
  auto b = Base64::decode(text);
  if (!b) fail(at, "not valid Base64");
  return std::move(*b);
}

template <class E>
E enumValue(const json& j, const Path& at, std::optional<E> (*parse)(std::string_view),
            std::string_view allowed) {
  auto text = string(j, at);
  auto v = parse(text);
  if (!v) fail(at, fmt::format("{} is not one of {}", json(text).dump(), allowed));
  return *v;
}

std::vector<double> doubleArray(const json& j, const Path& at) {
  array(j, at);
  std::vector<double> out;
  out.reserve(j.size());
  for (std::size_t i = 0; i < j.size(); ++i)
    out.push_back(dbl(j[i], at.element(i)));
  return out;
}

RectModel readRect(const json& j, const Path& at) {
  object(j, at);
  return RectModel{dbl(required(j, "x", at), at.child("x")),
                   dbl(required(j, "y", at), at.child("y")),
                   dbl(required(j, "width", at), at.child("width")),
                   dbl(required(j, "height", at), at.child("height"))};
}

std::string layoutTypeNames() {
  std::string out;
  for (auto t : kAllLayoutTypes) {
    if (!out.empty()) out += ", ";
    out += rawValue(t);
  }
  return out;
}

SplitNode readSplitNode(const json& j, const Path& at, int depth) {
  object(j, at);
  if (depth > WorkspaceCodec::kMaxSplitDepth)
    fail(at, fmt::format("split nodes are nested deeper than {} levels",
                         WorkspaceCodec::kMaxSplitDepth));
  const bool hasSplit = j.contains("split");
  const bool hasApp = j.contains("app");
  if (hasSplit == hasApp) fail(at, "Invalid number of keys found, expected one.");
  if (hasApp) {
    Path ap = at.child("app");
    const json& inner = object(j["app"], ap);
    return SplitNode::app(string(required(inner, "appId", ap), ap.child("appId")));
  }
  Path sp = at.child("split");
  const json& inner = object(j["split"], sp);
  auto direction =
      enumValue<SplitDirection>(required(inner, "direction", sp), sp.child("direction"),
                                splitDirectionFromRawValue, "horizontal, vertical");
  double ratio = dbl(required(inner, "ratio", sp), sp.child("ratio"));
  Path cp = sp.child("children");
  const json& children = array(required(inner, "children", sp), cp);
  std::vector<SplitNode> nodes;
  nodes.reserve(children.size());
  for (std::size_t i = 0; i < children.size(); ++i)
    nodes.push_back(readSplitNode(children[i], cp.element(i), depth + 1));
  return SplitNode::split(direction, ratio, std::move(nodes));
}

Layout readLayout(const json& j, const Path& at) {
  object(j, at);
  Layout l;
  static const std::string kTypeNames = layoutTypeNames();
  l.type = enumValue<LayoutType>(required(j, "type", at), at.child("type"), layoutTypeFromRawValue,
                                 kTypeNames);
  if (auto* v = optional(j, "splitTree")) l.splitTree = readSplitNode(*v, at.child("splitTree"), 1);
  if (auto* v = optional(j, "ratios")) l.ratios = doubleArray(*v, at.child("ratios"));
  if (auto* v = optional(j, "paneAssignments")) {
    Path pp = at.child("paneAssignments");
    object(*v, pp);
    std::map<std::string, std::string> m;
    for (auto it = v->begin(); it != v->end(); ++it)
      m.emplace(it.key(), string(it.value(), pp.mapEntry(it.key())));
    l.paneAssignments = std::move(m);
  }
  if (auto* v = optional(j, "threeColumns")) {
    Path tp = at.child("threeColumns");
    object(*v, tp);
    ThreeColumnsState s;
    s.folded = boolean(required(*v, "folded", tp), tp.child("folded"));
    if (auto* p = optional(*v, "parkedRatios"))
      s.parkedRatios = doubleArray(*p, tp.child("parkedRatios"));
    l.threeColumns = std::move(s);
  }
  return l;
}

std::optional<std::string> optionalString(const json& obj, const char* key, const Path& at) {
  if (auto* v = optional(obj, key)) return string(*v, at.child(key));
  return std::nullopt;
}

ManagedApp readApp(const json& j, const Path& at) {
  object(j, at);
  ManagedApp a;
  a.id = uuid(required(j, "id", at), at.child("id"));
  a.displayName = string(required(j, "displayName", at), at.child("displayName"));
  a.bundleIdentifier = string(required(j, "bundleIdentifier", at), at.child("bundleIdentifier"));
  if (auto* v = optional(j, "appURLBookmark"))
    a.appURLBookmark = bytes(*v, at.child("appURLBookmark"));
  a.appPath = optionalString(j, "appPath", at);
  if (auto* v = optional(j, "iconData")) a.iconData = bytes(*v, at.child("iconData"));
  a.preferredPaneId = optionalString(j, "preferredPaneId", at);
  a.role = enumValue<AppRole>(required(j, "role", at), at.child("role"), appRoleFromRawValue,
                              "primary, secondary");
  if (auto* v = optional(j, "observedMinSize")) {
    Path sp = at.child("observedMinSize");
    object(*v, sp);
    a.observedMinSize = SizeModel{dbl(required(*v, "width", sp), sp.child("width")),
                                  dbl(required(*v, "height", sp), sp.child("height"))};
  }
  a.lastDocumentPath = optionalString(j, "lastDocumentPath", at);
  return a;
}

Workspace readWorkspace(const json& j, const Path& at) {
  object(j, at);
  Workspace w;
  w.id = uuid(required(j, "id", at), at.child("id"));
  w.name = string(required(j, "name", at), at.child("name"));
  Path ap = at.child("apps");
  const json& apps = array(required(j, "apps", at), ap);
  w.apps.reserve(apps.size());
  for (std::size_t i = 0; i < apps.size(); ++i)
    w.apps.push_back(readApp(apps[i], ap.element(i)));
  w.layout = readLayout(required(j, "layout", at), at.child("layout"));
  w.primaryAppBundleIdentifier = optionalString(j, "primaryAppBundleIdentifier", at);
  if (auto* v = optional(j, "primaryAppID")) w.primaryAppID = uuid(*v, at.child("primaryAppID"));
  if (auto* v = optional(j, "shortcut")) {
    Path sp = at.child("shortcut");
    object(*v, sp);
    w.shortcut =
        ShortcutConfig{uint32(required(*v, "keyCode", sp), sp.child("keyCode")),
                       uint32(required(*v, "carbonModifiers", sp), sp.child("carbonModifiers")),
                       string(required(*v, "displayString", sp), sp.child("displayString"))};
  }
  if (auto* v = optional(j, "lastContainerFrame"))
    w.lastContainerFrame = readRect(*v, at.child("lastContainerFrame"));
  if (auto* v = optional(j, "topologyFrames")) {
    Path tp = at.child("topologyFrames");
    object(*v, tp);
    std::map<std::string, RectModel> frames;
    for (auto it = v->begin(); it != v->end(); ++it)
      frames.emplace(it.key(), readRect(it.value(), tp.mapEntry(it.key())));
    w.topologyFrames = std::move(frames);
  }
  if (auto* v = optional(j, "savedLayout")) {
    Path sp = at.child("savedLayout");
    object(*v, sp);
    LayoutCheckpoint c;
    c.containerFrame = readRect(required(*v, "containerFrame", sp), sp.child("containerFrame"));
    if (auto* r = optional(*v, "ratios")) c.ratios = doubleArray(*r, sp.child("ratios"));
    w.savedLayout = std::move(c);
  }
  w.isEnabled = boolean(required(j, "isEnabled", at), at.child("isEnabled"));
  return w;
}

// nlohmann prefixes its messages with "[json.exception.<kind>.<id>] ".
std::string plainMessage(const char* what) {
  std::string_view text(what);
  if (text.starts_with("[json.exception.")) {
    auto end = text.find("] ");
    if (end != std::string_view::npos) text.remove_prefix(end + 2);
  }
  return std::string(text);
}

}  // namespace

Result<std::string> WorkspaceCodec::encode(const std::vector<Workspace>& workspaces) {
  try {
    Path root{nullptr, "workspaces"};
    json out = json::array();
    for (std::size_t i = 0; i < workspaces.size(); ++i)
      out.push_back(workspace(workspaces[i], root.element(i)));
    // Text the program was given from elsewhere may hold invalid UTF-8; replacing it keeps the
    // file readable instead of failing every save.
    return escapeSlashes(out.dump(-1, ' ', false, json::error_handler_t::replace));
  } catch (const CodecError& e) {
    return Error{notEncodable, e.message};
  } catch (const json::exception& e) {
    return Error{notEncodable, plainMessage(e.what())};
  }
}

Result<std::vector<Workspace>> WorkspaceCodec::decode(std::string_view bytes) {
  json document;
  try {
    document = json::parse(bytes.begin(), bytes.end());
  } catch (const json::exception& e) {
    return Error{invalidJSON, "not valid JSON: " + plainMessage(e.what())};
  }
  try {
    Path root{nullptr, "workspaces"};
    if (!document.is_array())
      fail(root, fmt::format("expected an array of workspaces, found {}", describe(document)));
    std::vector<Workspace> out;
    out.reserve(document.size());
    for (std::size_t i = 0; i < document.size(); ++i)
      out.push_back(readWorkspace(document[i], root.element(i)));
    return out;
  } catch (const CodecError& e) {
    return Error{invalidData, e.message};
  } catch (const json::exception& e) {
    return Error{invalidData, plainMessage(e.what())};
  }
}

}  // namespace zelvorn
