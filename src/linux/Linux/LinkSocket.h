// Links from other invocations of the program: a Unix socket in the user's runtime folder that
// only the same user can reach (the folder 0700, the socket 0600, the peer's uid checked), read on
// the main loop. `zelvorn open` sends its links here; the running instance routes them.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Linux/PosixMainLoop.h"
#include "Platform/Result.h"
#include "Platform/Subscription.h"

namespace zelvorn {

class LinkSocket {
 public:
  // What one connection may send; the rest is dropped.
  static constexpr std::size_t kMaxBytes = 64 * 1024;

  // The socket's path: <runtime>/zelvorn/links.sock. None without an absolute runtime folder.
  static std::optional<std::string> defaultPath(const std::optional<std::string>& runtimeDir);

  // Listens at `path`, creating its folder (0700) when missing and refusing one that is not a
  // folder of this user's with no access for others. A stale socket left by a crashed instance is
  // replaced; a live one means another instance runs (an error).
  static Result<std::unique_ptr<LinkSocket>> listen(
      PosixMainLoop& loop, const std::string& path,
      std::function<void(const std::vector<std::string>& urls)> onLinks);
  ~LinkSocket();
  LinkSocket(const LinkSocket&) = delete;
  LinkSocket& operator=(const LinkSocket&) = delete;

  // Sends links to the instance listening at `path`; false when none answers.
  static bool send(const std::string& path, const std::vector<std::string>& urls);

 private:
  LinkSocket(PosixMainLoop& loop, int fd, std::string path,
             std::function<void(const std::vector<std::string>&)> onLinks);
  void accept();

  PosixMainLoop& loop_;
  int fd_;
  std::string path_;
  std::function<void(const std::vector<std::string>&)> onLinks_;
  Subscription watch_;
};

}  // namespace zelvorn
