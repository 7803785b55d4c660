// The Accessibility observers on the tracked windows and their applications. Re-pointed after
// every placement; the observers themselves (and the events they feed) come later, so for now it
// counts the rebuilds the controller asks for.
#pragma once

namespace zelvorn {

class WindowObserverHub {
 public:
  void rebuildWindowObserver() { ++rebuilds_; }
  int rebuilds() const { return rebuilds_; }

 private:
  int rebuilds_ = 0;
};

}  // namespace zelvorn
