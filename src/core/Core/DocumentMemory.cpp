#include "Core/DocumentMemory.h"

#include "App/Log.h"

namespace zelvorn {

std::vector<std::pair<ManagedApp, std::string>> DocumentMemory::rememberedDocuments(
    const std::vector<ManagedApp>& panes) {
  std::vector<std::pair<ManagedApp, std::string>> out;
  for (const auto& pane : panes) {
    if (!pane.lastDocumentPath || pane.lastDocumentPath->empty()) continue;
    auto stat = ctx_.services.files.stat(*pane.lastDocumentPath);
    if (stat.exists && !stat.isDirectory) out.emplace_back(pane, *pane.lastDocumentPath);
  }
  return out;
}

void DocumentMemory::rememberDocument(const AXElement& window, const ManagedApp& pane) {
  auto path = ctx_.axController.documentPath(window);
  if (!path || !ctx_.manager.setLastDocument(*path, pane.id)) return;
  Log::line("[Zelvorn] " + pane.displayName + ": its pane now reopens “" +
            lastPathComponent(*path) + "”.");
}

void DocumentMemory::rememberDocuments(const Uuid& sessionID) {
  auto* session = ctx_.session(sessionID);
  auto workspace = ctx_.workspace(sessionID);
  if (!session || !workspace) return;
  for (const auto& tracked : session->elements)
    for (const auto& pane : workspace->apps)
      if (pane.id == tracked.appID) rememberDocument(tracked.element, pane);
}

void DocumentMemory::rememberAllDocuments() {
  std::vector<Uuid> ids;
  for (const auto& [id, session] : ctx_.sessions)
    ids.push_back(id);
  for (const auto& id : ids)
    rememberDocuments(id);
}

}  // namespace zelvorn
