// Pane arithmetic. Runs on every step of a divider or window drag, so the helpers below write
// straight into the result lists: the only allocations are the lists the caller gets back.
#include "Layout/LayoutEngine.h"

#include <algorithm>
#include <cmath>

namespace zelvorn {

namespace {

using Segment = LayoutEngine::Segment;

// Clamps into [lo, hi]; a NaN (a ratio computed from a zero length somewhere upstream) becomes the
// middle instead of travelling on into window frames.
double clampInto(double v, double lo, double hi) {
  if (std::isnan(v)) return (lo + hi) / 2;
  return std::clamp(v, lo, hi);
}

double clampRatio(double ratio) {
  return clampInto(ratio, LayoutEngine::kMinSplitRatio, LayoutEngine::kMaxSplitRatio);
}

// Calls pane(offset, length) for each pane and gutter(offset, length) for each gutter of a length
// split `count` ways. Two panes share the length by the ratio; three or more share it equally.
template <class PaneFn, class GutterFn>
void forEachSegment(double total, int count, double gutter, double ratio, PaneFn&& pane,
                    GutterFn&& gutterFn) {
  if (count <= 0) return;
  if (count == 1) {
    pane(0.0, total);
    return;
  }
  double available = std::max(0.0, total - gutter * (count - 1));
  if (count == 2) {
    double first = clampRatio(ratio) * available;
    pane(0.0, first);
    gutterFn(first, gutter);
    pane(gutter + first, available - first);
    return;
  }
  double length = available / count;
  for (int i = 0; i < count; ++i) {
    double start = i * (length + gutter);
    pane(start, length);
    if (i < count - 1) gutterFn(start + length, gutter);
  }
}

Rect columnRect(const Rect& r, double offset, double length) {
  return {r.x + offset, r.y, length, r.height};
}

Rect rowRect(const Rect& r, double offset, double length, bool firstRowAtMinY) {
  double y = firstRowAtMinY ? r.y + offset : r.maxY() - offset - length;
  return {r.x, y, r.width, length};
}

struct TwoWay {
  Rect first;
  Rect gutter;
  Rect second;
};

TwoWay splitColumns(const Rect& r, double ratio, double gutter) {
  double available = std::max(0.0, r.width - gutter);
  double first = clampRatio(ratio) * available;
  return {columnRect(r, 0, first), columnRect(r, first, gutter),
          columnRect(r, gutter + first, available - first)};
}

TwoWay splitRows(const Rect& r, double ratio, double gutter, bool firstRowAtMinY) {
  double available = std::max(0.0, r.height - gutter);
  double first = clampRatio(ratio) * available;
  return {rowRect(r, 0, first, firstRowAtMinY), rowRect(r, first, gutter, firstRowAtMinY),
          rowRect(r, gutter + first, available - first, firstRowAtMinY)};
}

// An inset that would turn the frame inside out leaves a zero-size frame at its centre.
Rect insetFrame(const Rect& f, double inset) {
  if (inset == 0) return f;
  Rect r = f.insetBy(inset, inset);
  if (!(r.width >= 0)) r = {f.midX(), r.y, 0, r.height};
  if (!(r.height >= 0)) r = {r.x, f.midY(), r.width, 0};
  return r;
}

}  // namespace

double LayoutEngine::ratioValue(const std::optional<std::vector<double>>& ratios, int index,
                                LayoutType type) {
  if (ratios && index >= 0 && index < static_cast<int>(ratios->size())) {
    double v = (*ratios)[static_cast<std::size_t>(index)];
    if (std::isfinite(v)) return v;
  }
  if (index == 0 && type == LayoutType::mainSidebar) return 0.6;
  if (index == 0 && type == LayoutType::threeColumns) return 1.0 / 3.0;
  return 0.5;
}

double LayoutEngine::clampSplitRatio(double ratio, double available, double minPane) {
  if (!(available > 0)) return 0.5;
  double low = minPane / available;
  double high = 1 - low;
  if (high - low >= 24 / available) return clampInto(ratio, low, high);
  low = 320 / available;
  high = 1 - low;
  if (low > high) return 0.5;
  return clampInto(ratio, low, high);
}

LayoutEngine::Segments LayoutEngine::frameSegments(double total, int count, double gutter,
                                                   double ratio) {
  Segments out;
  if (count <= 0) return out;
  out.panes.reserve(static_cast<std::size_t>(count));
  out.gutters.reserve(static_cast<std::size_t>(count - 1));
  forEachSegment(
      total, count, gutter, ratio,
      [&](double o, double l) {
        out.panes.push_back({o, l});
      },
      [&](double o, double l) {
        out.gutters.push_back({o, l});
      });
  return out;
}

LayoutEngine::RectSplit LayoutEngine::columnFrames(Rect rect, int count, double ratio,
                                                   double gutter) {
  RectSplit out;
  if (count <= 0) return out;
  out.panes.reserve(static_cast<std::size_t>(count));
  out.gutters.reserve(static_cast<std::size_t>(count - 1));
  forEachSegment(
      rect.width, count, gutter, ratio,
      [&](double o, double l) { out.panes.push_back(columnRect(rect, o, l)); },
      [&](double o, double l) { out.gutters.push_back(columnRect(rect, o, l)); });
  return out;
}

LayoutEngine::RectSplit LayoutEngine::rowFrames(Rect rect, int count, double ratio, double gutter,
                                                bool firstRowAtMinY) {
  RectSplit out;
  if (count <= 0) return out;
  out.panes.reserve(static_cast<std::size_t>(count));
  out.gutters.reserve(static_cast<std::size_t>(count - 1));
  forEachSegment(
      rect.height, count, gutter, ratio,
      [&](double o, double l) { out.panes.push_back(rowRect(rect, o, l, firstRowAtMinY)); },
      [&](double o, double l) { out.gutters.push_back(rowRect(rect, o, l, firstRowAtMinY)); });
  return out;
}

LayoutEngine::PaneLayout LayoutEngine::paneLayout(LayoutType type, Rect container, int count,
                                                  const std::optional<std::vector<double>>& ratios,
                                                  double gutter, double appInset,
                                                  bool firstRowAtMinY,
                                                  std::optional<double> handleThickness) {
  if (count <= 0 || !(container.width > 0) || !(container.height > 0)) return {};
  double thickness = handleThickness.value_or(gutter);
  std::vector<Rect> frames;
  std::vector<SplitGutter> gutters;
  auto n = static_cast<std::size_t>(count);

  switch (type) {
    case LayoutType::leftRightSplit:
    case LayoutType::topBottomSplit: {
      // Only a two-pane split has a ratio to drag; three or more panes are equal.
      std::optional<int> index = count == 2 ? std::optional<int>(0) : std::nullopt;
      bool columns = type == LayoutType::leftRightSplit;
      frames.reserve(n);
      gutters.reserve(n - 1);
      double ratio = ratioValue(ratios, 0, type);
      if (columns) {
        forEachSegment(
            container.width, count, gutter, ratio,
            [&](double o, double l) { frames.push_back(columnRect(container, o, l)); },
            [&](double o, double l) {
              gutters.push_back({SplitAxis::column, index, columnRect(container, o, l)});
            });
      } else {
        forEachSegment(
            container.height, count, gutter, ratio,
            [&](double o, double l) { frames.push_back(rowRect(container, o, l, firstRowAtMinY)); },
            [&](double o, double l) {
              gutters.push_back({SplitAxis::row, index, rowRect(container, o, l, firstRowAtMinY)});
            });
      }
      break;
    }
    case LayoutType::grid2x2:
      return gridLayout(container, count, ratios, gutter, appInset, firstRowAtMinY, thickness);
    case LayoutType::mainSidebar: {
      if (count == 1) {
        frames = {container};
        break;
      }
      // Not a structured binding: the lambdas below capture the sidebar (clang 14 cannot).
      TwoWay split = splitColumns(container, ratioValue(ratios, 0, type), gutter);
      const Rect sidebar = split.second;
      frames.reserve(n);
      gutters.reserve(n - 1);
      frames.push_back(split.first);
      gutters.push_back({SplitAxis::column, 0, split.gutter});
      // The sidebar's rows are always equal; they have no ratio of their own.
      forEachSegment(
          sidebar.height, count - 1, gutter, 0.5,
          [&](double o, double l) { frames.push_back(rowRect(sidebar, o, l, firstRowAtMinY)); },
          [&](double o, double l) {
            gutters.push_back(
                {SplitAxis::row, std::nullopt, rowRect(sidebar, o, l, firstRowAtMinY)});
          });
      break;
    }
    case LayoutType::threeColumns: {
      auto [left, gutter0, rest] = splitColumns(container, ratioValue(ratios, 0, type), gutter);
      auto [middle, gutter1, right] = splitColumns(rest, ratioValue(ratios, 1, type), gutter);
      frames = {left, middle, right};
      gutters = {{SplitAxis::column, 0, gutter0}, {SplitAxis::column, 1, gutter1}};
      break;
    }
    case LayoutType::threeTopTwoBottomOne:
    case LayoutType::threeTopOneBottomTwo:
    case LayoutType::threeLeftTwoRightOne:
    case LayoutType::threeLeftOneRightTwo:
      return threePaneLayout(type, container, ratios, gutter, appInset, firstRowAtMinY, thickness);
  }
  return assemble(std::move(frames), std::move(gutters), appInset, thickness);
}

LayoutEngine::PaneLayout LayoutEngine::gridLayout(Rect rect, int count,
                                                  const std::optional<std::vector<double>>& ratios,
                                                  double gutter, double appInset,
                                                  bool firstRowAtMinY, double thickness) {
  double c = ratioValue(ratios, 0, LayoutType::grid2x2);
  double r = ratioValue(ratios, 1, LayoutType::grid2x2);
  std::vector<Rect> frames;
  std::vector<SplitGutter> gutters;
  if (count <= 1) {
    frames = {rect};
  } else if (count == 2) {
    auto [left, g, right] = splitColumns(rect, c, gutter);
    frames = {left, right};
    gutters = {{SplitAxis::column, 0, g}};
  } else {
    auto [top, rowGutter, bottom] = splitRows(rect, r, gutter, firstRowAtMinY);
    auto [topLeft, topGutter, topRight] = splitColumns(top, c, gutter);
    if (count == 3) {
      frames = {topLeft, topRight, bottom};
      gutters = {{SplitAxis::row, 1, rowGutter}, {SplitAxis::column, 0, topGutter}};
    } else {
      // One ratio moves both rows' boundary, so the column gutter spans the whole container.
      auto [bottomLeft, bottomGutter, bottomRight] = splitColumns(bottom, c, gutter);
      frames = {topLeft, topRight, bottomLeft, bottomRight};
      gutters = {{SplitAxis::row, 1, rowGutter},
                 {SplitAxis::column, 0, Rect{topLeft.maxX(), rect.minY(), gutter, rect.height}}};
    }
  }
  return assemble(std::move(frames), std::move(gutters), appInset, thickness);
}

LayoutEngine::PaneLayout LayoutEngine::threePaneLayout(
    LayoutType type, Rect rect, const std::optional<std::vector<double>>& ratios, double gutter,
    double appInset, bool firstRowAtMinY, double thickness) {
  double a = ratioValue(ratios, 0, type);
  double b = ratioValue(ratios, 1, type);
  std::vector<Rect> frames;
  std::vector<SplitGutter> gutters;
  switch (type) {
    case LayoutType::threeTopTwoBottomOne: {
      auto [top, rowGutter, bottom] = splitRows(rect, a, gutter, firstRowAtMinY);
      auto [left, columnGutter, right] = splitColumns(top, b, gutter);
      frames = {left, right, bottom};
      gutters = {{SplitAxis::row, 0, rowGutter}, {SplitAxis::column, 1, columnGutter}};
      break;
    }
    case LayoutType::threeTopOneBottomTwo: {
      auto [top, rowGutter, bottom] = splitRows(rect, a, gutter, firstRowAtMinY);
      auto [left, columnGutter, right] = splitColumns(bottom, b, gutter);
      frames = {top, left, right};
      gutters = {{SplitAxis::row, 0, rowGutter}, {SplitAxis::column, 1, columnGutter}};
      break;
    }
    case LayoutType::threeLeftTwoRightOne: {
      auto [left, columnGutter, right] = splitColumns(rect, a, gutter);
      auto [upper, rowGutter, lower] = splitRows(left, b, gutter, firstRowAtMinY);
      frames = {upper, lower, right};
      gutters = {{SplitAxis::column, 0, columnGutter}, {SplitAxis::row, 1, rowGutter}};
      break;
    }
    case LayoutType::threeLeftOneRightTwo: {
      auto [left, columnGutter, right] = splitColumns(rect, a, gutter);
      auto [upper, rowGutter, lower] = splitRows(right, b, gutter, firstRowAtMinY);
      frames = {left, upper, lower};
      gutters = {{SplitAxis::column, 0, columnGutter}, {SplitAxis::row, 1, rowGutter}};
      break;
    }
    default:
      return {};
  }
  return assemble(std::move(frames), std::move(gutters), appInset, thickness);
}

LayoutEngine::PaneLayout LayoutEngine::assemble(std::vector<Rect> frames,
                                                std::vector<SplitGutter> gutters, double appInset,
                                                double thickness) {
  PaneLayout out;
  out.appFrames.reserve(frames.size());
  for (const Rect& f : frames)
    out.appFrames.push_back(insetFrame(f, appInset));
  auto draggable = std::count_if(gutters.begin(), gutters.end(),
                                 [](const SplitGutter& g) { return g.ratioIndex.has_value(); });
  if (draggable > 0) out.handles.reserve(static_cast<std::size_t>(draggable));
  for (const SplitGutter& g : gutters) {
    if (!g.ratioIndex) continue;
    const Rect& r = g.rect;
    if (g.axis == SplitAxis::row) {
      double t = std::max(thickness, r.height);
      out.handles.push_back({g.axis, *g.ratioIndex, Rect{r.minX(), r.midY() - t / 2, r.width, t}});
    } else {
      double t = std::max(thickness, r.width);
      out.handles.push_back({g.axis, *g.ratioIndex, Rect{r.midX() - t / 2, r.minY(), t, r.height}});
    }
  }
  out.frames = std::move(frames);
  out.gutters = std::move(gutters);
  return out;
}

std::vector<LayoutEngine::Segment> LayoutEngine::segments(double total, int count, double spacing,
                                                          double ratio) {
  std::vector<Segment> out;
  if (count <= 0) return out;
  out.reserve(static_cast<std::size_t>(count));
  forEachSegment(
      total, count, spacing, ratio,
      [&](double o, double l) {
        out.push_back({o, l});
      },
      [](double, double) {});
  return out;
}

std::vector<Rect> LayoutEngine::grid(Rect rect, int count, double spacing, double colRatio,
                                     double rowRatio) {
  if (count <= 1) return {rect};
  if (count == 2) {
    auto [left, g, right] = splitColumns(rect, colRatio, spacing);
    return {left, right};
  }
  auto [top, rowGap, bottom] = splitRows(rect, rowRatio, spacing, true);
  auto [topLeft, topGap, topRight] = splitColumns(top, colRatio, spacing);
  if (count == 3) return {topLeft, topRight, bottom};
  auto [bottomLeft, bottomGap, bottomRight] = splitColumns(bottom, colRatio, spacing);
  return {topLeft, topRight, bottomLeft, bottomRight};
}

std::vector<Rect> LayoutEngine::mainSidebar(Rect rect, int count, double spacing, double ratio) {
  if (count < 2) return {rect};
  TwoWay split = splitColumns(rect, ratio, spacing);
  const Rect sidebar = split.second;
  std::vector<Rect> out;
  out.reserve(static_cast<std::size_t>(count));
  out.push_back(split.first);
  forEachSegment(
      sidebar.height, count - 1, spacing, 0.5,
      [&](double o, double l) { out.push_back(rowRect(sidebar, o, l, true)); },
      [](double, double) {});
  return out;
}

std::vector<Rect> LayoutEngine::matStripRects(Rect container, const std::vector<Rect>& panes) {
  std::vector<Rect> strips{container};
  std::vector<Rect> next;
  for (const Rect& pane : panes) {
    next.clear();
    for (const Rect& s : strips) {
      if (!s.intersects(pane)) {
        next.push_back(s);
        continue;
      }
      Rect i = s.intersection(pane);
      if (i.minX() > s.minX()) next.push_back({s.minX(), s.minY(), i.minX() - s.minX(), s.height});
      if (s.maxX() > i.maxX()) next.push_back({i.maxX(), s.minY(), s.maxX() - i.maxX(), s.height});
      if (i.minY() > s.minY()) next.push_back({i.minX(), s.minY(), i.width, i.minY() - s.minY()});
      if (s.maxY() > i.maxY()) next.push_back({i.minX(), i.maxY(), i.width, s.maxY() - i.maxY()});
    }
    strips.swap(next);
  }
  std::erase_if(strips, [](const Rect& r) { return !(r.width > 0.5 && r.height > 0.5); });
  return strips;
}

Size LayoutEngine::contentToFitApps(LayoutType layoutType, const std::vector<Size>& appSizes,
                                    double gutter) {
  if (appSizes.empty()) return {};
  double gutters = gutter * static_cast<double>(appSizes.size() - 1);
  double sumW = 0, sumH = 0, maxW = 0, maxH = 0;
  for (const Size& s : appSizes) {
    sumW += s.width;
    sumH += s.height;
    maxW = std::max(maxW, s.width);
    maxH = std::max(maxH, s.height);
  }
  if (layoutType == LayoutType::topBottomSplit) return {maxW, sumH + gutters};
  return {sumW + gutters, maxH};
}

}  // namespace zelvorn
