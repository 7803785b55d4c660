// `zelvorn new-workspace NAME APP… [--layout TYPE]`: adds a workspace of installed applications to
// the workspaces file, for a desktop where Zelvorn has no settings window yet. APP is a
// desktop-file id ("xterm" or "debian-xterm.desktop") or the path of a desktop entry.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zelvorn {

// Prints the new workspace's name and the link that shows it to `out` and returns 0, or prints
// what is wrong to `err` and returns 1. Refuses while Zelvorn runs (it keeps the workspaces in
// memory and would write over the change) and when the workspaces file cannot be read.
int runNewWorkspace(const std::string& name, const std::vector<std::string>& apps,
                    const std::string& layout, std::ostream& out, std::ostream& err);

}  // namespace zelvorn
