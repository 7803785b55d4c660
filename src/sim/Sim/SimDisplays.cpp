#include "Sim/SimDisplays.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zelvorn {

std::vector<ScreenInfo> SimDisplays::screens() const {
  std::vector<ScreenInfo> out;
  out.reserve(entries_.size());
  for (const auto& e : entries_)
    out.push_back(e.info);
  return out;
}

std::optional<std::size_t> SimDisplays::mainScreenIndex() const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].isMain) return i;
  return std::nullopt;
}

ScreenInfo SimDisplays::makeScreen(DisplayNumber number, CocoaRect frame) {
  char uuid[40];
  std::snprintf(uuid, sizeof uuid, "5A1D0000-0000-4000-8000-%012X", static_cast<unsigned>(number));
  ScreenInfo s;
  s.frame = frame;
  s.visibleFrame = {frame.x, frame.y, frame.width, frame.height - 25};
  s.displayNumber = number;
  s.uuid = uuid;
  s.localizedName = "Display " + std::to_string(number);
  s.backingScale = 2.0;
  return s;
}

void SimDisplays::changed() {
  events_.emit(SystemEvent::screenParametersChanged);
}

void SimDisplays::setScreens(std::vector<ScreenInfo> screens,
                             std::optional<std::size_t> mainIndex) {
  entries_.clear();
  for (std::size_t i = 0; i < screens.size(); ++i)
    entries_.push_back({std::move(screens[i]), mainIndex && *mainIndex == i});
  changed();
}

std::size_t SimDisplays::addScreen(ScreenInfo screen, std::optional<std::size_t> index) {
  std::size_t at = std::min(index.value_or(entries_.size()), entries_.size());
  bool first = entries_.empty();
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), {std::move(screen), first});
  changed();
  return at;
}

bool SimDisplays::removeScreen(std::size_t index) {
  if (index >= entries_.size()) return false;
  bool wasMain = entries_[index].isMain;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  if (wasMain && !entries_.empty()) entries_.front().isMain = true;
  changed();
  return true;
}

bool SimDisplays::moveScreen(std::size_t from, std::size_t to) {
  if (from >= entries_.size() || to >= entries_.size()) return false;
  Entry e = std::move(entries_[from]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(from));
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(to), std::move(e));
  changed();
  return true;
}

bool SimDisplays::resizeScreen(std::size_t index, CocoaRect frame, CocoaRect visibleFrame) {
  if (index >= entries_.size()) return false;
  entries_[index].info.frame = frame;
  entries_[index].info.visibleFrame = visibleFrame;
  changed();
  return true;
}

bool SimDisplays::updateScreen(std::size_t index, ScreenInfo screen) {
  if (index >= entries_.size()) return false;
  entries_[index].info = std::move(screen);
  changed();
  return true;
}

void SimDisplays::setMainScreen(std::optional<std::size_t> index) {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    entries_[i].isMain = index && *index == i;
  changed();
}

std::optional<std::size_t> SimDisplays::indexOfDisplay(DisplayNumber number) const {
  for (std::size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].info.displayNumber == number) return i;
  return std::nullopt;
}

}  // namespace zelvorn
