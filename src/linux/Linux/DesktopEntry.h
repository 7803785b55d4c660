// One freedesktop desktop entry (a .desktop file): what an installed application is on Linux. Its
// desktop-file id plays the part of a bundle identifier and its path that of a bundle path. Also
// turns the entry's Exec line into an argument vector, with field codes expanded and no shell.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvorn {

struct DesktopEntry {
  std::string id;  // the desktop-file id, e.g. "debian-xterm.desktop"
  std::string path;
  std::string type;
  std::string name;
  std::optional<std::string> genericName;
  std::string exec;
  std::optional<std::string> tryExec;
  std::optional<std::string> icon;
  std::optional<std::string> startupWMClass;
  bool noDisplay = false;
  bool hidden = false;
  bool terminal = false;
  bool operator==(const DesktopEntry&) const = default;

  // The "[Desktop Entry]" group of `text`; none when the group or its Name is missing. Name and
  // GenericName take the value localized for `locale` (a POSIX locale name such as
  // "de_CH.UTF-8@euro") when the entry has one.
  static std::optional<DesktopEntry> parse(std::string_view text, std::string id, std::string path,
                                           std::string_view locale = {});
  // Read from a file, localized for the user's messages locale.
  static std::optional<DesktopEntry> load(const std::string& path, std::string id);

  // The program and its arguments, or none when the Exec line is empty or malformed (an unclosed
  // quote, a reserved character outside quotes). %f/%u take the first document (the argument is
  // dropped when there is none), %F/%U every document as its own argument; %f/%F pass paths
  // (a file:// URL becomes its path), %u/%U pass what was given.
  std::optional<std::vector<std::string>> commandLine(
      const std::vector<std::string>& documents) const;
  // Every process to start for `documents`: one per document when the line takes a single one
  // (%f or %u) and several are given, as the desktop entry rules ask; otherwise one.
  std::optional<std::vector<std::vector<std::string>>> commandLines(
      const std::vector<std::string>& documents) const;
  // The program named by the Exec line's first word, without its folder.
  std::optional<std::string> executableName() const;
};

// Splits an Exec value into words by the desktop-entry quoting rules, before field codes.
std::optional<std::vector<std::string>> splitExecLine(std::string_view exec);

// The locale whose messages the user reads: LC_ALL, else LC_MESSAGES, else LANG ("" for none).
std::string messagesLocale();
// The locale suffixes a localized key may carry for `locale`, best first: lang_COUNTRY@MODIFIER,
// lang_COUNTRY, lang@MODIFIER, lang. None for "C", "POSIX" or an empty name.
std::vector<std::string> localeKeys(std::string_view locale);

}  // namespace zelvorn
