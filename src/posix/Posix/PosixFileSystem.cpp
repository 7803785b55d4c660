#include "Posix/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fmt/format.h>

namespace zelvorn {

namespace {

Error errnoError(int err, std::string_view what, std::string_view path) {
  return Error{err, fmt::format("{} {}: {}", what, path, std::system_category().message(err))};
}

std::string parentOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Writes all of `bytes`, retrying short writes and interruptions.
int writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

class PosixAppendFile final : public IAppendFile {
 public:
  explicit PosixAppendFile(int fd) : fd_(fd) {}
  ~PosixAppendFile() override { close(); }

  Status write(std::string_view bytes) override {
    if (fd_ < 0) return Error{EBADF, "write: the file is closed"};
    if (int err = writeAll(fd_, bytes)) return errnoError(err, "write", "log file");
    return {};
  }
  std::optional<std::uint64_t> offset() override {
    if (fd_ < 0) return std::nullopt;
    off_t at = ::lseek(fd_, 0, SEEK_CUR);
    if (at < 0) return std::nullopt;
    return static_cast<std::uint64_t>(at);
  }
  void close() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

}  // namespace

FileStat PosixFileSystem::stat(std::string_view path) {
  struct stat st {};
  if (::stat(std::string(path).c_str(), &st) != 0) return {};
  FileStat out;
  out.exists = true;
  out.isDirectory = S_ISDIR(st.st_mode);
  out.size = static_cast<std::uint64_t>(st.st_size);
  out.modified = WallTime{static_cast<double>(st.st_mtim.tv_sec) +
                          static_cast<double>(st.st_mtim.tv_nsec) / 1e9};
  return out;
}

Status PosixFileSystem::createDirectories(std::string_view path) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path), ec);
  if (ec) return errnoError(ec.value(), "create folder", path);
  if (!stat(path).isDirectory) return errnoError(ENOTDIR, "create folder", path);
  return {};
}

Result<Bytes> PosixFileSystem::readFile(std::string_view path) {
  std::string p(path);
  int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errnoError(errno, "read", path);
  Bytes out;
  std::uint8_t buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      int err = errno;
      ::close(fd);
      return errnoError(err, "read", path);
    }
    if (n == 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  ::close(fd);
  return out;
}

Status PosixFileSystem::writeFileAtomically(std::string_view path, std::string_view bytes) {
  std::string target(path);
  std::string dir = parentOf(target);
  // The temporary file lives beside the target so that the rename never crosses file systems.
  std::string temp = target + ".tmp-XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return errnoError(errno, "write", path);
  auto fail = [&](int err, std::string_view what) -> Status {
    ::close(fd);
    ::unlink(temp.c_str());
    return errnoError(err, what, path);
  };
  struct stat old {};
  mode_t mode = ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) return fail(errno, "write");
  if (int err = writeAll(fd, bytes)) return fail(err, "write");
  if (::fsync(fd) != 0) return fail(errno, "sync");
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return errnoError(err, "write", path);
  }
  if (::rename(temp.c_str(), target.c_str()) != 0) {
    int err = errno;
    ::unlink(temp.c_str());
    return errnoError(err, "replace", path);
  }
  // Make the rename itself durable; a folder that cannot be synced does not undo the write.
  int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {};
}

Status PosixFileSystem::createEmptyFile(std::string_view path) {
  int fd = ::open(std::string(path).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return errnoError(errno, "create", path);
  ::close(fd);
  return {};
}

Status PosixFileSystem::removeFile(std::string_view path) {
  if (::unlink(std::string(path).c_str()) != 0) return errnoError(errno, "remove", path);
  return {};
}

Status PosixFileSystem::moveFile(std::string_view from, std::string_view to) {
  if (::rename(std::string(from).c_str(), std::string(to).c_str()) != 0)
    return errnoError(errno, "move", from);
  return {};
}

Result<std::unique_ptr<IAppendFile>> PosixFileSystem::openForAppend(std::string_view path) {
  int fd = ::open(std::string(path).c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return errnoError(errno, "open", path);
  if (::lseek(fd, 0, SEEK_END) < 0) {
    int err = errno;
    ::close(fd);
    return errnoError(err, "open", path);
  }
  return std::unique_ptr<IAppendFile>(std::make_unique<PosixAppendFile>(fd));
}

}  // namespace zelvorn
