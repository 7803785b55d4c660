// Scans the applications folders once per rescan and answers look-ups from memory.
#include "Linux/DesktopEntryIndex.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>

namespace zelvorn {

namespace {

std::string lower(std::string_view s) {
  std::string out(s);
  for (auto& c : out)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

DesktopEntryIndex::DesktopEntryIndex(std::vector<std::string> dataDirs)
    : dataDirs_(std::move(dataDirs)) {
  rescan();
}

std::vector<std::string> DesktopEntryIndex::defaultDataDirs() {
  std::vector<std::string> out;
  const char* home = std::getenv("XDG_DATA_HOME");
  if (home && *home == '/') {
    out.push_back(home);
  } else if (const char* h = std::getenv("HOME"); h && *h) {
    out.push_back(std::string(h) + "/.local/share");
  }
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  std::size_t start = 0;
  while (start <= list.size()) {
    auto end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    std::string d = list.substr(start, end - start);
    // Relative entries are invalid by the XDG rules and would depend on the working folder.
    if (!d.empty() && d[0] == '/') out.push_back(d);
    start = end + 1;
  }
  return out;
}

void DesktopEntryIndex::rescan() {
  namespace fs = std::filesystem;
  entries_.clear();
  for (const auto& dir : dataDirs_) {
    fs::path apps = fs::path(dir) / "applications";
    std::error_code ec;
    if (!fs::is_directory(apps, ec)) continue;
    std::vector<fs::path> files;
    for (auto it = fs::recursive_directory_iterator(apps, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
      if (it->path().extension() == ".desktop" && it->is_regular_file(ec))
        files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    for (const auto& f : files) {
      std::string rel = f.lexically_relative(apps).string();
      std::replace(rel.begin(), rel.end(), '/', '-');
      bool known = std::any_of(entries_.begin(), entries_.end(),
                               [&](const DesktopEntry& e) { return e.id == rel; });
      if (known) continue;  // an earlier folder already defines (or hides) this id
      auto entry = DesktopEntry::load(f.string(), rel);
      if (!entry) continue;
      entries_.push_back(std::move(*entry));
    }
  }
}

std::optional<DesktopEntry> DesktopEntryIndex::byId(std::string_view id) const {
  for (const auto& e : entries_)
    if (e.id == id && !e.hidden && e.type == "Application") return e;
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntryIndex::byPath(std::string_view path) const {
  for (const auto& e : entries_)
    if (e.path == path) return e;
  return std::nullopt;
}

std::optional<std::string> DesktopEntryIndex::idOfPath(std::string_view path) const {
  namespace fs = std::filesystem;
  fs::path p = fs::path(path).lexically_normal();
  for (const auto& dir : dataDirs_) {
    fs::path apps = (fs::path(dir) / "applications").lexically_normal();
    auto rel = p.lexically_relative(apps);
    if (rel.empty() || rel.string().rfind("..", 0) == 0) continue;
    std::string id = rel.string();
    std::replace(id.begin(), id.end(), '/', '-');
    return id;
  }
  return std::nullopt;
}

std::optional<DesktopEntry> DesktopEntryIndex::match(std::string_view className,
                                                     std::string_view instanceName,
                                                     std::string_view executable) const {
  std::string cls = lower(className), inst = lower(instanceName), exe = lower(executable);
  // Ranked passes: the first pass with a hit wins; within a pass a visible entry beats a
  // NoDisplay one, then the first in folder order.
  auto pick = [&](auto&& test) -> std::optional<DesktopEntry> {
    const DesktopEntry* best = nullptr;
    for (const auto& e : entries_) {
      if (e.hidden || e.type != "Application" || !test(e)) continue;
      if (!best || (best->noDisplay && !e.noDisplay)) best = &e;
    }
    if (best) return *best;
    return std::nullopt;
  };
  auto stem = [](const DesktopEntry& e) {
    std::string id = lower(e.id);
    if (id.ends_with(".desktop")) id.resize(id.size() - 8);
    // Reverse-domain ids ("org.example.Editor") name the application in their last part.
    auto dot = id.rfind('.');
    return dot == std::string::npos ? id : id.substr(dot + 1);
  };
  if (!className.empty())
    if (auto e = pick([&](const DesktopEntry& e) { return e.startupWMClass == className; }))
      return e;
  if (!cls.empty() || !inst.empty())
    if (auto e = pick([&](const DesktopEntry& e) {
          std::string s = stem(e);
          return (!cls.empty() && s == cls) || (!inst.empty() && s == inst);
        }))
      return e;
  if (!exe.empty() || !inst.empty())
    if (auto e = pick([&](const DesktopEntry& e) {
          auto x = e.executableName();
          return x && (lower(*x) == exe || lower(*x) == inst);
        }))
      return e;
  return std::nullopt;
}

}  // namespace zelvorn
