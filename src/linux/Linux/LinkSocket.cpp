// One connection carries newline-separated links and is read to its end (bounded in size and
// time), so a stuck or hostile peer cannot hold the main loop for long.
#include "Linux/LinkSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace zelvorn {

namespace {

std::optional<sockaddr_un> addressOf(const std::string& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof addr.sun_path) return std::nullopt;
  std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
  return addr;
}

Error errnoError(const std::string& what) {
  int e = errno;
  return Error{e, what + ": " + std::strerror(e)};
}

}  // namespace

std::optional<std::string> LinkSocket::defaultPath(const std::optional<std::string>& runtimeDir) {
  if (!runtimeDir || runtimeDir->empty() || runtimeDir->front() != '/') return std::nullopt;
  return *runtimeDir + "/zelvorn/links.sock";
}

LinkSocket::LinkSocket(PosixMainLoop& loop, int fd, std::string path,
                       std::function<void(const std::vector<std::string>&)> onLinks)
    : loop_(loop), fd_(fd), path_(std::move(path)), onLinks_(std::move(onLinks)) {
  watch_ = loop_.watchReadable(fd_, [this] { accept(); });
}

LinkSocket::~LinkSocket() {
  watch_.reset();
  close(fd_);
  unlink(path_.c_str());
}

Result<std::unique_ptr<LinkSocket>> LinkSocket::listen(
    PosixMainLoop& loop, const std::string& path,
    std::function<void(const std::vector<std::string>&)> onLinks) {
  auto addr = addressOf(path);
  if (!addr) return Error{ENAMETOOLONG, "The link socket path is too long: " + path};
  std::string folder = path.substr(0, path.rfind('/'));
  if (folder.empty()) return Error{EINVAL, "The link socket needs a folder: " + path};
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    return errnoError("Cannot create " + folder);
  // The folder must be a real folder of this user's that nobody else can enter: whoever could
  // would be able to replace the socket.
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return errnoError("Cannot read " + folder);
  if (!S_ISDIR(st.st_mode) || st.st_uid != getuid() || (st.st_mode & 077) != 0)
    return Error{EPERM, folder + " is not a private folder of this user"};

  if (send(path, {})) return Error{EADDRINUSE, "Another instance is listening at " + path};
  unlink(path.c_str());  // a stale socket of an instance that ended without removing it

  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return errnoError("Cannot create the link socket");
  mode_t old = umask(0177);
  int rc = bind(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr);
  umask(old);
  if (rc != 0 || chmod(path.c_str(), 0600) != 0 || ::listen(fd, 8) != 0) {
    Error e = errnoError("Cannot listen at " + path);
    close(fd);
    return e;
  }
  return std::unique_ptr<LinkSocket>(new LinkSocket(loop, fd, path, std::move(onLinks)));
}

void LinkSocket::accept() {
  for (;;) {
    int c = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return;
    ucred peer{};
    socklen_t len = sizeof peer;
    bool sameUser =
        getsockopt(c, SOL_SOCKET, SO_PEERCRED, &peer, &len) == 0 && peer.uid == getuid();
    std::string data;
    if (sameUser) {
      // Read to the end, within the size bound and half a second.
      Seconds end = loop_.now() + 0.5;
      char buf[4096];
      while (data.size() < kMaxBytes) {
        Seconds left = end - loop_.now();
        if (left <= 0) break;
        pollfd p{c, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left * 1000) + 1) <= 0) break;
        ssize_t n = read(c, buf, sizeof buf);
        if (n <= 0) break;
        data.append(buf, static_cast<std::size_t>(n));
      }
      if (data.size() > kMaxBytes) data.resize(kMaxBytes);
    }
    close(c);
    std::vector<std::string> urls;
    std::size_t start = 0;
    while (start < data.size()) {
      auto nl = data.find('\n', start);
      if (nl == std::string::npos) break;  // a line cut short by the bound is dropped
      std::string line = data.substr(start, nl - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (!line.empty()) urls.push_back(std::move(line));
      start = nl + 1;
    }
    if (!urls.empty() && onLinks_) onLinks_(urls);
  }
}

bool LinkSocket::send(const std::string& path, const std::vector<std::string>& urls) {
  auto addr = addressOf(path);
  if (!addr) return false;
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr) != 0) {
    close(fd);
    return false;
  }
  std::string data;
  for (const auto& u : urls)
    if (u.find('\n') == std::string::npos) data += u + "\n";
  bool ok = true;
  std::size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) {
      ok = false;
      break;
    }
    sent += static_cast<std::size_t>(n);
  }
  close(fd);
  return ok;
}

}  // namespace zelvorn
