// The counter that makes older placement work stale: every container show and every placement
// pass takes a new generation, and work that finds the counter moved on stops.
#pragma once

#include <cstdint>

#include "Models/Uuid.h"

namespace zelvorn {

struct PlacementToken {
  std::uint64_t generation = 0;
  Uuid workspaceID;
  bool operator==(const PlacementToken&) const = default;
};

struct PlacementGeneration {
  std::uint64_t current = 0;
  PlacementToken next(const Uuid& workspaceID) { return {++current, workspaceID}; }
  bool isCurrent(const PlacementToken& token) const { return token.generation == current; }
};

}  // namespace zelvorn
