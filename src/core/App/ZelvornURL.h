// zelvorn:// links: what other programs and scripts use to drive workspaces. Parses a link into a
// command, resolves a typed workspace name or number, and holds the help table of the verbs.
// Links come from outside, so nothing here trusts its input.
#pragma once

#include <cstddef>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Models/Uuid.h"

namespace zelvorn {

class ZelvornURL {
 public:
  struct Show {
    std::string target;
    bool operator==(const Show&) const = default;
  };
  struct Hide {
    std::optional<std::string> target;  // none: the active workspace
    bool operator==(const Hide&) const = default;
  };
  struct Toggle {
    std::string target;
    bool operator==(const Toggle&) const = default;
  };
  struct BringHere {
    std::optional<std::string> target;  // none: the active workspace
    bool operator==(const BringHere&) const = default;
  };
  struct Focus {
    int offset = 1;  // +1 next pane, -1 previous
    bool operator==(const Focus&) const = default;
  };
  struct Solo {
    bool operator==(const Solo&) const = default;
  };
  using Command = std::variant<Show, Hide, Toggle, BringHere, Focus, Solo>;

  // One row of the help table shown in the settings window.
  struct Verb {
    std::string_view summary;
    std::string_view url;
    bool operator==(const Verb&) const = default;
  };
  static const std::vector<Verb>& verbs();

  // The command a link asks for; none when the link is not one Zelvorn understands.
  static std::optional<Command> parse(std::string_view url);
  // The target named in the link's query ("workspace", "name" or "index"), if any.
  static std::optional<std::string> queryTarget(std::string_view url);
  // zelvorn://<verb>/<target>, the target percent-encoded (safe to paste into a shell).
  static std::string link(std::string_view verb, std::string_view target);

  // How a command reads in the log: show(target: "Mail"), hide(target: nil), focus(offset: -1),
  // solo.
  static std::string description(const Command& command);

  // The workspace a typed target means: a name (ignoring case and diacritics, first in list order)
  // or else a 1-based number. `workspaces` is any list of values with `id` and `name`.
  template <class Workspaces>
  static std::optional<Uuid> resolve(std::string_view target, const Workspaces& workspaces) {
    std::vector<std::string_view> names;
    for (const auto& w : workspaces)
      names.push_back(w.name);
    auto index = resolveIndex(target, names);
    if (!index) return std::nullopt;
    auto it = std::begin(workspaces);
    std::advance(it, static_cast<std::ptrdiff_t>(*index));
    return it->id;
  }
  // The index into `names` that `target` resolves to.
  static std::optional<std::size_t> resolveIndex(std::string_view target,
                                                 const std::vector<std::string_view>& names);
};

}  // namespace zelvorn
