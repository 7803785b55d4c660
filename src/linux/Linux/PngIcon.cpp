// PNG decoding and encoding through libpng's simplified interface; scaling is an area average,
// which keeps small icons from aliasing when they are shrunk.
#include "Linux/PngIcon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace zelvorn {

std::optional<std::string> PngIcon::find(std::string_view icon,
                                         const std::vector<std::string>& dataDirs) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (icon.empty()) return std::nullopt;
  if (icon.front() == '/') {
    if (fs::path(icon).extension() == ".png" && fs::is_regular_file(icon, ec))
      return std::string(icon);
    return std::nullopt;
  }
  // A name must not climb out of the theme folders.
  if (icon.find('/') != std::string_view::npos || icon == "." || icon == "..") return std::nullopt;
  std::string name(icon);
  if (name.ends_with(".png")) name.resize(name.size() - 4);
  static const char* sizes[] = {"128x128", "256x256", "512x512", "96x96", "64x64",
                                "48x48",   "32x32",   "24x24",   "16x16"};
  for (const auto& d : dataDirs)
    for (const char* s : sizes) {
      fs::path p = fs::path(d) / "icons" / "hicolor" / s / "apps" / (name + ".png");
      if (fs::is_regular_file(p, ec)) return p.string();
    }
  for (const auto& d : dataDirs) {
    fs::path p = fs::path(d) / "pixmaps" / (name + ".png");
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return std::nullopt;
}

std::optional<Bytes> PngIcon::render(const std::string& path, int side) {
  if (side <= 0 || side > 4096) return std::nullopt;
  png_image in{};
  in.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&in, path.c_str())) return std::nullopt;
  // Refuse absurd images before allocating for them.
  if (in.width == 0 || in.height == 0 || in.width > 8192 || in.height > 8192) {
    png_image_free(&in);
    return std::nullopt;
  }
  in.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> src(PNG_IMAGE_SIZE(in));
  if (!png_image_finish_read(&in, nullptr, src.data(), 0, nullptr)) {
    png_image_free(&in);
    return std::nullopt;
  }
  const double sw = in.width, sh = in.height;
  const double scale = std::min(side / sw, side / sh);
  const double dw = sw * scale, dh = sh * scale;
  const double ox = (side - dw) / 2, oy = (side - dh) / 2;

  std::vector<std::uint8_t> dst(static_cast<std::size_t>(side) * side * 4, 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      // The source area under this destination pixel.
      double x0 = (x - ox) / scale, x1 = (x + 1 - ox) / scale;
      double y0 = (y - oy) / scale, y1 = (y + 1 - oy) / scale;
      x0 = std::clamp(x0, 0.0, sw), x1 = std::clamp(x1, 0.0, sw);
      y0 = std::clamp(y0, 0.0, sh), y1 = std::clamp(y1, 0.0, sh);
      if (x1 <= x0 || y1 <= y0) continue;
      double acc[4] = {0, 0, 0, 0}, area = 0;
      for (int sy = static_cast<int>(y0); sy < std::ceil(y1); ++sy) {
        double hy = std::min<double>(sy + 1, y1) - std::max<double>(sy, y0);
        for (int sx = static_cast<int>(x0); sx < std::ceil(x1); ++sx) {
          double wx = std::min<double>(sx + 1, x1) - std::max<double>(sx, x0);
          double w = wx * hy;
          const std::uint8_t* p = &src[(static_cast<std::size_t>(sy) * in.width + sx) * 4];
          double a = p[3] / 255.0;
          // Premultiplied, so transparent pixels do not bleed their colour into the edges.
          for (int c = 0; c < 3; ++c)
            acc[c] += p[c] * a * w;
          acc[3] += a * w;
          area += w;
        }
      }
      std::uint8_t* q = &dst[(static_cast<std::size_t>(y) * side + x) * 4];
      double coverage = area > 0 ? acc[3] / area : 0;
      for (int c = 0; c < 3; ++c)
        q[c] = acc[3] > 0 ? static_cast<std::uint8_t>(std::lround(acc[c] / acc[3])) : 0;
      // Pixels the image only partly covers (its scaled edge) keep that share of opacity.
      double covered = (x1 - x0) * (y1 - y0) * scale * scale;
      q[3] = static_cast<std::uint8_t>(std::lround(255 * coverage * std::min(1.0, covered)));
    }
  }
  png_image_free(&in);

  png_image out{};
  out.version = PNG_IMAGE_VERSION;
  out.width = side;
  out.height = side;
  out.format = PNG_FORMAT_RGBA;
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&out, nullptr, &size, 0, dst.data(), 0, nullptr))
    return std::nullopt;
  Bytes png(size);
  if (!png_image_write_to_memory(&out, png.data(), &size, 0, dst.data(), 0, nullptr))
    return std::nullopt;
  png.resize(size);
  return png;
}

}  // namespace zelvorn
