// Files: paths, stat, whole-file reads, atomic writes and the append-only file the log keeps.
// The append file and the members the log uses (stat, createDirectories, createEmptyFile,
// removeFile, moveFile, openForAppend) may be called from any thread.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Result.h"
#include "Platform/Types.h"

namespace zelvorn {

struct FileStat {
  bool exists = false;
  bool isDirectory = false;
  std::uint64_t size = 0;
  std::optional<WallTime> modified;
};

class IAppendFile {
 public:
  virtual ~IAppendFile() = default;
  virtual Status write(std::string_view bytes) = 0;
  virtual std::optional<std::uint64_t> offset() = 0;
  virtual void close() = 0;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;

  virtual FileStat stat(std::string_view path) = 0;
  virtual Status createDirectories(std::string_view path) = 0;
  virtual Result<Bytes> readFile(std::string_view path) = 0;
  // Writes a complete new file beside the old one and renames it into place: a reader (or a crash)
  // sees either the old bytes or the new ones, never a mixture.
  virtual Status writeFileAtomically(std::string_view path, std::string_view bytes) = 0;
  virtual Status createEmptyFile(std::string_view path) = 0;
  virtual Status removeFile(std::string_view path) = 0;
  virtual Status moveFile(std::string_view from, std::string_view to) = 0;
  // Opens (creating when missing) for appending, positioned at the end.
  virtual Result<std::unique_ptr<IAppendFile>> openForAppend(std::string_view path) = 0;
};

}  // namespace zelvorn
