// A recursive split description kept in a workspace's layout. It is carried through the file
// unchanged; geometry never reads it.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "Models/SplitDirection.h"

namespace zelvorn {

struct SplitNode;

struct SplitBranch {
  SplitDirection direction = SplitDirection::horizontal;
  double ratio = 0.5;
  std::vector<SplitNode> children;

  bool operator==(const SplitBranch& other) const;
};

struct SplitLeaf {
  std::string appId;

  bool operator==(const SplitLeaf&) const = default;
};

struct SplitNode {
  std::variant<SplitBranch, SplitLeaf> value;

  static SplitNode split(SplitDirection direction, double ratio, std::vector<SplitNode> children) {
    return {SplitBranch{direction, ratio, std::move(children)}};
  }
  static SplitNode app(std::string appId) { return {SplitLeaf{std::move(appId)}}; }

  const SplitBranch* branch() const { return std::get_if<SplitBranch>(&value); }
  const SplitLeaf* leaf() const { return std::get_if<SplitLeaf>(&value); }

  bool operator==(const SplitNode&) const = default;
};

}  // namespace zelvorn
