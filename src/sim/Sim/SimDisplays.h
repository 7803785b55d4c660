// The simulated desktop's displays: a list a test or the demo edits at run time. Every change
// announces itself with one screenParametersChanged through the given system events, as the
// real system does after it has rearranged its screens.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/IDisplays.h"
#include "Sim/SimSystemEvents.h"

namespace zelvorn {

class SimDisplays final : public IDisplays {
 public:
  explicit SimDisplays(SimSystemEvents& events) : events_(events) {}

  std::vector<ScreenInfo> screens() const override;
  std::optional<std::size_t> mainScreenIndex() const override;

  // A display with a 25-point menu bar at its top, a UUID derived from its number and the name
  // "Display <n>".
  static ScreenInfo makeScreen(DisplayNumber number, CocoaRect frame);

  // Replaces the whole arrangement; the main screen is the given index (the first by default).
  void setScreens(std::vector<ScreenInfo> screens, std::optional<std::size_t> mainIndex = 0);
  // Inserts at `index` (appends by default); returns where it went.
  std::size_t addScreen(ScreenInfo screen, std::optional<std::size_t> index = std::nullopt);
  // Removing the main screen makes the first remaining one main. False for a bad index.
  bool removeScreen(std::size_t index);
  // Moves a screen to another place in the system order; the main screen stays the same display.
  bool moveScreen(std::size_t from, std::size_t to);
  bool resizeScreen(std::size_t index, CocoaRect frame, CocoaRect visibleFrame);
  // Any other change to one screen (name, UUID, scale, inset …).
  bool updateScreen(std::size_t index, ScreenInfo screen);
  // None simulates the moment between displays when no screen is main.
  void setMainScreen(std::optional<std::size_t> index);
  std::optional<std::size_t> indexOfDisplay(DisplayNumber number) const;

 private:
  struct Entry {
    ScreenInfo info;
    bool isMain = false;
  };
  void changed();

  SimSystemEvents& events_;
  std::vector<Entry> entries_;
};

}  // namespace zelvorn
