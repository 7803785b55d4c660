// Only the common true-colour layouts (24/32 bits per pixel, 8 bits per channel) are understood;
// anything else is reported rather than written wrong.
#include "Linux/ScreenCapture.h"

#include <png.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace zelvorn {

Status ScreenCapture::savePNG(X11Connection& x, Rect area, const std::string& path) {
  xcb_connection_t* c = x.xcb();
  std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> root(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, x.root()), nullptr), &std::free);
  if (!root) return Error{1, "The screen cannot be read."};
  Rect screen{0, 0, double(root->width), double(root->height)};
  area = area.intersection(screen);
  if (area.isEmpty()) return Error{1, "Nothing of that area is on the screen."};
  auto w = static_cast<std::uint16_t>(area.width), h = static_cast<std::uint16_t>(area.height);
  std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> image(
      xcb_get_image_reply(
          c,
          xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, x.root(), static_cast<std::int16_t>(area.x),
                        static_cast<std::int16_t>(area.y), w, h, ~0u),
          nullptr),
      &std::free);
  if (!image) return Error{1, "The screen's pixels cannot be read."};
  int length = xcb_get_image_data_length(image.get());
  const std::uint8_t* data = xcb_get_image_data(image.get());
  if (image->depth != 24 && image->depth != 32) return Error{1, "Unsupported screen depth."};
  std::size_t stride = static_cast<std::size_t>(length) / h;
  if (stride < static_cast<std::size_t>(w) * 4) return Error{1, "Unsupported pixel layout."};
  // Little-endian 32-bit pixels: blue, green, red, unused.
  std::vector<std::uint8_t> rgba(static_cast<std::size_t>(w) * h * 4);
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t px = 0; px < w; ++px) {
      const std::uint8_t* s = data + y * stride + px * 4;
      std::uint8_t* d = &rgba[(y * w + px) * 4];
      d[0] = s[2];
      d[1] = s[1];
      d[2] = s[0];
      d[3] = 255;
    }
  png_image out{};
  out.version = PNG_IMAGE_VERSION;
  out.width = w;
  out.height = h;
  out.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&out, path.c_str(), 0, rgba.data(), 0, nullptr))
    return Error{1, std::string("Cannot write ") + path + ": " + out.message};
  return {};
}

}  // namespace zelvorn
