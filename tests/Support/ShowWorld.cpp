#include "Support/ShowWorld.h"

#include "Layout/WorkspaceGeometry.h"

namespace zelvorn {

std::vector<AXRect> ShowWorld::paneRects(const Uuid& id) {
  auto w = manager.workspace(id);
  auto* s = controller->session(id);
  if (!w || !s) return {};
  WorkspaceGeometry::ContainerFacts facts;
  facts.sessionContainerAXRect = s->containerAXRect;
  return WorkspaceGeometry::tileRects(*w, facts).rects;
}

}  // namespace zelvorn
