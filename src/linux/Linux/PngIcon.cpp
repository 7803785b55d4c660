// Decoding, scaling and PNG encoding through gdk-pixbuf, whose loaders read the formats icon themes
// use (PNG, SVG through librsvg, XPM).
#include "Linux/PngIcon.h"

#include <gdk-pixbuf/gdk-pixbuf.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

namespace zelvorn {

namespace {

namespace fs = std::filesystem;

constexpr std::array<const char*, 3> kExtensions = {".png", ".svg", ".xpm"};

bool isImageFile(const fs::path& p) {
  std::error_code ec;
  auto ext = p.extension().string();
  return std::find(kExtensions.begin(), kExtensions.end(), ext) != kExtensions.end() &&
         fs::is_regular_file(p, ec);
}

struct Unref {
  void operator()(GdkPixbuf* p) const { g_object_unref(p); }
};
using Pixbuf = std::unique_ptr<GdkPixbuf, Unref>;

}  // namespace

std::optional<std::string> PngIcon::find(std::string_view icon,
                                         const std::vector<std::string>& dataDirs) {
  if (icon.empty()) return std::nullopt;
  if (icon.front() == '/') {
    if (isImageFile(fs::path(icon))) return std::string(icon);
    return std::nullopt;
  }
  // A name must not climb out of the theme folders.
  if (icon.find('/') != std::string_view::npos || icon == "." || icon == "..") return std::nullopt;
  std::string name(icon);
  for (const char* ext : kExtensions)
    if (name.ends_with(ext)) name.resize(name.size() - std::string_view(ext).size());
  static const char* sizes[] = {"128x128", "256x256", "512x512", "96x96", "64x64",
                                "48x48",   "32x32",   "24x24",   "16x16"};
  for (const auto& d : dataDirs) {
    fs::path apps = fs::path(d) / "icons" / "hicolor";
    for (const char* s : sizes)
      if (fs::path p = apps / s / "apps" / (name + ".png"); isImageFile(p)) return p.string();
    if (fs::path p = apps / "scalable" / "apps" / (name + ".svg"); isImageFile(p))
      return p.string();
  }
  for (const auto& d : dataDirs)
    for (const char* ext : kExtensions)
      if (fs::path p = fs::path(d) / "pixmaps" / (name + ext); isImageFile(p)) return p.string();
  return std::nullopt;
}

std::optional<Bytes> PngIcon::render(const std::string& path, int side) {
  if (side <= 0 || side > 4096) return std::nullopt;
  // Refuse absurd images before decoding them.
  int width = 0, height = 0;
  if (!gdk_pixbuf_get_file_info(path.c_str(), &width, &height)) return std::nullopt;
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192) return std::nullopt;

  GError* error = nullptr;
  Pixbuf scaled(gdk_pixbuf_new_from_file_at_scale(path.c_str(), side, side, TRUE, &error));
  g_clear_error(&error);
  if (!scaled) return std::nullopt;
  Pixbuf withAlpha(gdk_pixbuf_add_alpha(scaled.get(), FALSE, 0, 0, 0));
  Pixbuf canvas(gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, side, side));
  if (!withAlpha || !canvas) return std::nullopt;
  gdk_pixbuf_fill(canvas.get(), 0);
  int w = std::min(side, gdk_pixbuf_get_width(withAlpha.get()));
  int h = std::min(side, gdk_pixbuf_get_height(withAlpha.get()));
  gdk_pixbuf_copy_area(withAlpha.get(), 0, 0, w, h, canvas.get(), (side - w) / 2, (side - h) / 2);

  gchar* buffer = nullptr;
  gsize size = 0;
  if (!gdk_pixbuf_save_to_buffer(canvas.get(), &buffer, &size, "png", &error, nullptr)) {
    g_clear_error(&error);
    return std::nullopt;
  }
  Bytes png(reinterpret_cast<std::uint8_t*>(buffer),
            reinterpret_cast<std::uint8_t*>(buffer) + size);
  g_free(buffer);
  return png;
}

}  // namespace zelvorn
