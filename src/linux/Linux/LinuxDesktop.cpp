// Builds the services in the order they depend on one another.
#include "Linux/LinuxDesktop.h"

namespace zelvorn {

std::unique_ptr<LinuxDesktop> LinuxDesktop::open(PosixMainLoop& loop, const char* displayName) {
  std::unique_ptr<LinuxDesktop> d(new LinuxDesktop(loop));
  d->x_ = X11Connection::open(loop, displayName);
  if (!d->x_ || !d->x_->supportingWMCheck()) return nullptr;
  d->clients_ = std::make_unique<X11Clients>(*d->x_);
  d->entries_ = std::make_unique<DesktopEntryIndex>();
  d->ax_ = std::make_unique<X11Accessibility>(*d->x_, *d->clients_);
  d->windowList_ = std::make_unique<X11WindowList>(*d->x_, *d->clients_);
  d->apps_ = std::make_unique<X11RunningApps>(*d->x_, *d->clients_, *d->ax_, *d->entries_);
  d->launch_ = std::make_unique<X11LaunchServices>(*d->x_, *d->clients_, *d->apps_, *d->entries_);
  d->events_ = std::make_unique<X11SystemEvents>(*d->x_, *d->clients_, *d->apps_);
  d->displays_ = std::make_unique<X11Displays>(*d->x_, *d->clients_);
  return d;
}

}  // namespace zelvorn
