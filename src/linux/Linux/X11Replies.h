// Small helpers for xcb replies, shared by the connection's readers.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace zelvorn::x11 {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
// A reply xcb allocated, freed when it goes.
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// The windows a WINDOW-typed property lists; none for a missing or malformed one.
inline std::vector<xcb_window_t> windowsOf(xcb_get_property_reply_t* reply) {
  std::vector<xcb_window_t> out;
  if (!reply || reply->format != 32) return out;
  auto* data = static_cast<xcb_window_t*>(xcb_get_property_value(reply));
  int n = xcb_get_property_value_length(reply) / 4;
  out.assign(data, data + n);
  return out;
}

}  // namespace zelvorn::x11
