// Which document each pane showed, so that showing the workspace again reopens it: the pane's
// remembered documents that still exist, and keeping `lastDocumentPath` current from the windows
// the panes hold.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Core/ControllerContext.h"

namespace zelvorn {

class DocumentMemory {
 public:
  explicit DocumentMemory(ControllerContext& ctx) : ctx_(ctx) {}

  // The panes whose remembered document still exists, with its path, in pane order.
  std::vector<std::pair<ManagedApp, std::string>> rememberedDocuments(
      const std::vector<ManagedApp>& panes);
  void rememberDocument(const AXElement& window, const ManagedApp& pane);
  void rememberDocuments(const Uuid& sessionID);
  void rememberAllDocuments();

 private:
  ControllerContext& ctx_;
};

}  // namespace zelvorn
