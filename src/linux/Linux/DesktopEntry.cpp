// Desktop entry parsing: the key file format (groups, keys, escapes in string values) and the
// Exec line's quoting and field codes. The values come from files anyone could have installed, so
// every malformed part is rejected rather than guessed at.
#include "Linux/DesktopEntry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace zelvorn {

namespace {

std::string trim(std::string_view s) {
  auto b = s.find_first_not_of(" \t\r");
  if (b == std::string_view::npos) return {};
  auto e = s.find_last_not_of(" \t\r");
  return std::string(s.substr(b, e - b + 1));
}

// The escapes of string values: \s \n \t \r \\ (anything else is kept as written).
std::string unescapeValue(std::string_view v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] != '\\' || i + 1 == v.size()) {
      out += v[i];
      continue;
    }
    char c = v[++i];
    switch (c) {
      case 's':
        out += ' ';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'r':
        out += '\r';
        break;
      case '\\':
        out += '\\';
        break;
      default:
        out += '\\';
        out += c;
        break;
    }
  }
  return out;
}

bool isTrue(const std::string& v) {
  return v == "true";
}

std::string pathOfDocument(const std::string& doc) {
  std::string_view prefix = "file://";
  if (doc.rfind(prefix, 0) != 0) return doc;
  std::string rest = doc.substr(prefix.size());
  if (rest.rfind("localhost/", 0) == 0) rest = rest.substr(9);
  std::string out;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    auto hex = [](char c) -> int {
      if (c >= '0' && c <= '9') return c - '0';
      if (c >= 'a' && c <= 'f') return c - 'a' + 10;
      if (c >= 'A' && c <= 'F') return c - 'A' + 10;
      return -1;
    };
    if (rest[i] == '%' && i + 2 < rest.size() + 0 && hex(rest[i + 1]) >= 0 &&
        hex(rest[i + 2]) >= 0) {
      out += static_cast<char>(hex(rest[i + 1]) * 16 + hex(rest[i + 2]));
      i += 2;
    } else {
      out += rest[i];
    }
  }
  return out;
}

}  // namespace

std::string messagesLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if (const char* v = std::getenv(name); v && *v) return v;
  return {};
}

std::vector<std::string> localeKeys(std::string_view locale) {
  std::string_view rest = locale;
  std::string_view modifier;
  if (auto at = rest.find('@'); at != std::string_view::npos) {
    modifier = rest.substr(at + 1);
    rest = rest.substr(0, at);
  }
  if (auto dot = rest.find('.'); dot != std::string_view::npos) rest = rest.substr(0, dot);
  std::string_view lang = rest, country;
  if (auto us = rest.find('_'); us != std::string_view::npos) {
    lang = rest.substr(0, us);
    country = rest.substr(us + 1);
  }
  if (lang.empty() || lang == "C" || lang == "POSIX") return {};
  std::string l(lang), c(country), m(modifier);
  std::vector<std::string> keys;
  if (!c.empty() && !m.empty()) keys.push_back(l + "_" + c + "@" + m);
  if (!c.empty()) keys.push_back(l + "_" + c);
  if (!m.empty()) keys.push_back(l + "@" + m);
  keys.push_back(l);
  return keys;
}

std::optional<DesktopEntry> DesktopEntry::parse(std::string_view text, std::string id,
                                                std::string path, std::string_view locale) {
  const auto keys = localeKeys(locale);
  // The best localized Name and GenericName so far, by their rank in `keys`.
  struct Localized {
    std::size_t rank = SIZE_MAX;
    std::string value;
  } localName, localGenericName;
  DesktopEntry e;
  e.id = std::move(id);
  e.path = std::move(path);
  bool inGroup = false;
  bool sawGroup = false;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    std::string t = trim(line);
    if (t.empty() || t[0] == '#') continue;
    if (t[0] == '[') {
      inGroup = t == "[Desktop Entry]";
      sawGroup = sawGroup || inGroup;
      continue;
    }
    if (!inGroup) continue;
    auto eq = t.find('=');
    if (eq == std::string::npos) continue;
    std::string key = trim(std::string_view(t).substr(0, eq));
    std::string value = unescapeValue(trim(std::string_view(t).substr(eq + 1)));
    if (auto open = key.find('['); open != std::string::npos && key.back() == ']') {
      std::string base = key.substr(0, open);
      std::string suffix = key.substr(open + 1, key.size() - open - 2);
      auto* slot = base == "Name"          ? &localName
                   : base == "GenericName" ? &localGenericName
                                           : nullptr;
      auto rank =
          static_cast<std::size_t>(std::find(keys.begin(), keys.end(), suffix) - keys.begin());
      if (slot && rank < keys.size() && rank < slot->rank) *slot = {rank, value};
      continue;
    }
    if (key == "Type")
      e.type = value;
    else if (key == "Name")
      e.name = value;
    else if (key == "GenericName")
      e.genericName = value;
    else if (key == "Exec")
      e.exec = value;
    else if (key == "TryExec")
      e.tryExec = value;
    else if (key == "Icon")
      e.icon = value;
    else if (key == "StartupWMClass")
      e.startupWMClass = value;
    else if (key == "NoDisplay")
      e.noDisplay = isTrue(value);
    else if (key == "Hidden")
      e.hidden = isTrue(value);
    else if (key == "Terminal")
      e.terminal = isTrue(value);
  }
  if (!sawGroup || e.name.empty()) return std::nullopt;
  if (!localName.value.empty()) e.name = localName.value;
  if (!localGenericName.value.empty()) e.genericName = localGenericName.value;
  return e;
}

std::optional<DesktopEntry> DesktopEntry::load(const std::string& path, std::string id) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return std::nullopt;
  std::ostringstream s;
  s << f.rdbuf();
  // A desktop entry is a few kilobytes; anything huge is not one.
  if (s.tellp() > (1 << 20)) return std::nullopt;
  return parse(s.str(), std::move(id), path, messagesLocale());
}

std::optional<std::vector<std::string>> splitExecLine(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (std::size_t i = 0; i < exec.size(); ++i) {
    char c = exec[i];
    if (c == '"') {
      inWord = true;
      ++i;
      bool closed = false;
      for (; i < exec.size(); ++i) {
        char q = exec[i];
        if (q == '\\' && i + 1 < exec.size() &&
            std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos) {
          word += exec[++i];
        } else if (q == '"') {
          closed = true;
          break;
        } else {
          word += q;
        }
      }
      if (!closed) return std::nullopt;
    } else if (c == ' ' || c == '\t' || c == '\n') {
      if (inWord) words.push_back(std::exchange(word, {}));
      inWord = false;
    } else {
      // Reserved characters must be quoted; an entry that leaves them bare was written for a shell.
      if (std::string_view("`$;&|<>()").find(c) != std::string_view::npos) return std::nullopt;
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  if (words.empty()) return std::nullopt;
  return words;
}

std::optional<std::vector<std::string>> DesktopEntry::commandLine(
    const std::vector<std::string>& documents) const {
  auto words = splitExecLine(exec);
  if (!words) return std::nullopt;
  std::vector<std::string> out;
  for (const auto& w : *words) {
    if (w == "%F" || w == "%U") {
      for (const auto& d : documents)
        out.push_back(w == "%F" ? pathOfDocument(d) : d);
      continue;
    }
    if (w == "%f" || w == "%u") {
      if (!documents.empty())
        out.push_back(w == "%f" ? pathOfDocument(documents.front()) : documents.front());
      continue;
    }
    if (w == "%i") {
      if (icon && !icon->empty()) {
        out.push_back("--icon");
        out.push_back(*icon);
      }
      continue;
    }
    std::string expanded;
    for (std::size_t i = 0; i < w.size(); ++i) {
      if (w[i] != '%' || i + 1 == w.size()) {
        expanded += w[i];
        continue;
      }
      char code = w[++i];
      switch (code) {
        case '%':
          expanded += '%';
          break;
        case 'c':
          expanded += name;
          break;
        case 'k':
          expanded += path;
          break;
        case 'f':
        case 'u':
          if (!documents.empty())
            expanded += code == 'f' ? pathOfDocument(documents.front()) : documents.front();
          break;
        default:
          break;  // deprecated or list codes inside a word are dropped
      }
    }
    out.push_back(expanded);
  }
  if (out.empty() || out.front().empty()) return std::nullopt;
  return out;
}

std::optional<std::vector<std::vector<std::string>>> DesktopEntry::commandLines(
    const std::vector<std::string>& documents) const {
  auto words = splitExecLine(exec);
  if (!words) return std::nullopt;
  bool takesOne = false, takesList = false;
  for (const auto& w : *words)
    for (std::size_t i = 0; i + 1 < w.size(); ++i) {
      if (w[i] != '%') continue;
      char code = w[++i];
      takesOne = takesOne || code == 'f' || code == 'u';
      takesList = takesList || code == 'F' || code == 'U';
    }
  std::vector<std::vector<std::string>> out;
  if (!takesOne || takesList || documents.size() <= 1) {
    auto one = commandLine(documents);
    if (!one) return std::nullopt;
    out.push_back(std::move(*one));
    return out;
  }
  for (const auto& d : documents) {
    auto one = commandLine({d});
    if (!one) return std::nullopt;
    out.push_back(std::move(*one));
  }
  return out;
}

std::optional<std::string> DesktopEntry::executableName() const {
  auto words = splitExecLine(exec);
  if (!words) return std::nullopt;
  // "env VAR=x program" is common; the program is the first word that is neither.
  std::size_t i = 0;
  if ((*words)[0] == "env" || (*words)[0].ends_with("/env")) {
    i = 1;
    while (i < words->size() && (*words)[i].find('=') != std::string::npos)
      ++i;
  }
  if (i >= words->size()) return std::nullopt;
  const std::string& w = (*words)[i];
  auto slash = w.rfind('/');
  return slash == std::string::npos ? w : w.substr(slash + 1);
}

}  // namespace zelvorn
