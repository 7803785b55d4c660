// The window list's order comes from the server's stacking of top-level windows, not from the
// window manager's list alone, which some window managers keep the wrong way round.
#include <gtest/gtest.h>

#include <map>

#include "Linux/X11Connection.h"

namespace zelvorn {
namespace {

using Windows = std::vector<xcb_window_t>;

TEST(StackingOrder, TheServersOrderOfFramesDecides) {
  // Clients 1–4 in frames 11–14; client 5 has no frame the server knows of.
  std::map<xcb_window_t, xcb_window_t> frameOf{{1, 11}, {2, 12}, {3, 13}, {4, 14}};
  auto topLevel = [&](xcb_window_t w) {
    auto it = frameOf.find(w);
    return it == frameOf.end() ? xcb_window_t{0} : it->second;
  };
  struct Case {
    const char* what;
    Windows listed, children, expected;
  };
  const Case cases[] = {
      {"a list kept top to bottom is turned round", {4, 3, 2, 1}, {11, 12, 13, 14}, {1, 2, 3, 4}},
      {"a right list stays", {1, 2, 3}, {99, 11, 12, 13, 98}, {1, 2, 3}},
      {"a window without a known frame stays below", {1, 5, 2}, {12, 11}, {5, 2, 1}},
      {"nothing known: the list as it is", {3, 1, 2}, {}, {3, 1, 2}},
  };
  for (const auto& c : cases)
    EXPECT_EQ(X11Connection::orderByServerStacking(c.listed, topLevel, c.children), c.expected)
        << c.what;
  // Two clients in one frame (a tabbed window manager) keep their listed order.
  frameOf[5] = 11;
  EXPECT_EQ(X11Connection::orderByServerStacking({5, 2, 1}, topLevel, {11, 12}),
            (Windows{5, 1, 2}));
}

}  // namespace
}  // namespace zelvorn
