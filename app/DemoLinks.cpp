// Demo chapters about zelvorn:// links: how a link names a workspace, and what happens to links
// that are not commands or that try to smuggle text into the log.
#include "Demo.h"

namespace zelvorn {

void demoLinksByNameOrNumber(DemoWorld& world) {
  world.say("Links name a workspace ignoring case and accents, or by its number in the list:");
  world.openURLs({"zelvorn://show/deep%20work", "zelvorn://toggle/2",
                  "zelvorn://show?workspace=New%20Workspace", "zelvorn://bring/4"});
  world.settle();
}

void demoBadLinks(DemoWorld& world) {
  world.say("A link that is not a command is logged and skipped; the links after it still run.");
  world.say("Text from a link can never forge a log line: control characters are escaped.");
  world.openURLs({"zelvorn://delete/Deep%20Work", "zelvorn://focus/up",
                  "zelvorn://show/Mail%0A[Zelvorn] Deleted every workspace",
                  "zelvorn://hide/Deep%20Work%202"});
  world.settle();
}

}  // namespace zelvorn
