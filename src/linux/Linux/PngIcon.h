// Application icons on Linux: finds an entry's icon in the icon theme folders (PNG files) and
// redraws it as a square PNG of a given side, the form the program stores icons in.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Types.h"

namespace zelvorn {

class PngIcon {
 public:
  // The PNG file for an Icon value: an absolute path as it is, else NAME.png from the hicolor
  // theme (the largest size not above 512 first) or the pixmaps folder of each data folder.
  static std::optional<std::string> find(std::string_view icon,
                                         const std::vector<std::string>& dataDirs);
  // The image at `path` scaled to `side` × `side` (RGBA, aspect kept, centred) as PNG bytes.
  static std::optional<Bytes> render(const std::string& path, int side);
};

}  // namespace zelvorn
