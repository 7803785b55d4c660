// Application icons on Linux: finds an entry's icon in the icon theme folders (PNG, SVG or XPM
// files) and redraws it as a square PNG of a given side, the form the program stores icons in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Types.h"

namespace zelvorn {

class PngIcon {
 public:
  // The image file for an Icon value: an absolute path to a PNG, SVG or XPM file as it is, else
  // NAME from the hicolor theme (bitmaps from the largest size not above 512 first, then the
  // scalable SVG) or the pixmaps folder of each data folder, in the folders' order.
  static std::optional<std::string> find(std::string_view icon,
                                         const std::vector<std::string>& dataDirs);
  // The image at `path` (any format gdk-pixbuf reads: PNG, SVG, XPM, …) drawn `side` × `side`
  // (RGBA, aspect kept, centred, a vector image drawn at that size) as PNG bytes.
  static std::optional<Bytes> render(const std::string& path, int side);
};

}  // namespace zelvorn
