#include "Sim/SvgSnapshot.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>

#include "Sim/SimDesktop.h"

namespace zelvorn {

namespace {

std::string escapeXML(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Windows of one app share a colour.
std::string colourFor(Pid pid) {
  static const char* palette[] = {"#8ecae6", "#ffb703", "#90be6d", "#f4a261",
                                  "#cdb4db", "#e76f51", "#a8dadc", "#ffd6a5"};
  return palette[static_cast<unsigned>(pid) % (sizeof palette / sizeof *palette)];
}

AXRect toAX(const CocoaRect& r, double primaryHeight) {
  return {r.x, primaryHeight - r.y - r.height, r.width, r.height};
}

}  // namespace

std::string SvgSnapshot::render(SimDesktop& desktop, const std::vector<SvgOutline>& outlines) {
  auto screens = desktop.displays().screens();
  double primaryHeight = 0;
  for (const auto& s : screens)
    if (s.frame.x == 0 && s.frame.y == 0) primaryHeight = s.frame.height;
  if (primaryHeight == 0 && !screens.empty()) primaryHeight = screens.front().frame.height;

  double minX = std::numeric_limits<double>::max(), minY = minX;
  double maxX = std::numeric_limits<double>::lowest(), maxY = maxX;
  auto grow = [&](const AXRect& r) {
    minX = std::min(minX, r.minX());
    minY = std::min(minY, r.minY());
    maxX = std::max(maxX, r.maxX());
    maxY = std::max(maxY, r.maxY());
  };
  for (const auto& s : screens)
    grow(toAX(s.frame, primaryHeight));
  if (screens.empty()) grow({0, 0, 1440, 900});
  const double margin = 20;

  std::string svg = fmt::format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"{} {} {} {}\" "
      "font-family=\"Helvetica, Arial, sans-serif\">\n",
      minX - margin, minY - margin, maxX - minX + 2 * margin, maxY - minY + 2 * margin);
  svg +=
      fmt::format("<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" fill=\"#f4f4f4\"/>\n",
                  minX - margin, minY - margin, maxX - minX + 2 * margin, maxY - minY + 2 * margin);
  for (const auto& s : screens) {
    AXRect f = toAX(s.frame, primaryHeight);
    AXRect v = toAX(s.visibleFrame, primaryHeight);
    svg += fmt::format(
        "<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" fill=\"#2b2d42\" rx=\"6\"/>\n", f.x,
        f.y, f.width, f.height);
    svg += fmt::format("<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" fill=\"#3d405b\"/>\n",
                       v.x, v.y, v.width, v.height);
    svg += fmt::format("<text x=\"{}\" y=\"{}\" font-size=\"14\" fill=\"#edf2f4\">{}</text>\n",
                       f.x + 8, f.y + 17, escapeXML(s.localizedName));
  }

  auto order = desktop.stackingOrder();
  std::reverse(order.begin(), order.end());  // back to front
  for (WindowNumber n : order) {
    auto w = desktop.window(n);
    if (!w || !w->alive || w->desc.minimized || !w->desc.onCurrentSpace) continue;
    auto app = desktop.app(w->pid);
    if (!app || app->isHidden) continue;
    const AXRect& r = w->desc.frame;
    std::string name = app->localizedName.value_or(app->bundleIdentifier.value_or("?"));
    svg += fmt::format(
        "<g><rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" fill=\"{}\" stroke=\"#1d3557\" "
        "stroke-width=\"2\" rx=\"8\"/>\n",
        r.x, r.y, r.width, r.height, colourFor(w->pid));
    svg += fmt::format(
        "<text x=\"{}\" y=\"{}\" font-size=\"22\" text-anchor=\"middle\" fill=\"#1d3557\">{} "
        "#{}</text></g>\n",
        r.midX(), r.midY(), escapeXML(name), n);
  }

  for (const auto& o : outlines) {
    svg += fmt::format(
        "<rect x=\"{}\" y=\"{}\" width=\"{}\" height=\"{}\" fill=\"none\" stroke=\"#d62828\" "
        "stroke-width=\"4\" stroke-dasharray=\"14 8\"/>\n",
        o.rect.x, o.rect.y, o.rect.width, o.rect.height);
    // Right-aligned above the outline, clear of the screen's name at its top-left corner.
    svg += fmt::format(
        "<text x=\"{}\" y=\"{}\" font-size=\"16\" text-anchor=\"end\" fill=\"#d62828\">{}</text>\n",
        o.rect.maxX() - 6, o.rect.y - 6, escapeXML(o.label));
  }
  return svg + "</svg>\n";
}

}  // namespace zelvorn
