// The workspaces file format: a compact JSON array of workspaces with sorted keys, optional fields
// left out, "/" escaped and byte fields in Base64. Reading is all or nothing: one bad field makes
// the whole file unreadable, with a one-line description naming the workspace and the field.
// Serves the workspace store and the check-workspaces command.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Models/Workspace.h"
#include "Platform/Result.h"

namespace zelvorn {

struct WorkspaceCodec {
  // Split trees deeper than this are refused, so a hostile file cannot exhaust the stack.
  static constexpr int kMaxSplitDepth = 64;

  enum ErrorCode { invalidJSON = 1, invalidData = 2, notEncodable = 3 };

  // Fails only for a value JSON cannot hold (a non-finite number).
  static Result<std::string> encode(const std::vector<Workspace>& workspaces);
  static Result<std::vector<Workspace>> decode(std::string_view bytes);
};

}  // namespace zelvorn
