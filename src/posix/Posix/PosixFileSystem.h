// Files on a POSIX system: the real counterpart of the simulated file system. Atomic writes go
// through a synced temporary file in the same folder and a rename. Every member is safe to call
// from any thread (the log uses several of them off the main thread).
#pragma once

#include "Platform/IFileSystem.h"

namespace zelvorn {

class PosixFileSystem final : public IFileSystem {
 public:
  FileStat stat(std::string_view path) override;
  Status createDirectories(std::string_view path) override;
  Result<Bytes> readFile(std::string_view path) override;
  Status writeFileAtomically(std::string_view path, std::string_view bytes) override;
  // Creates the file empty when it is missing; an existing file is left as it is.
  Status createEmptyFile(std::string_view path) override;
  Status removeFile(std::string_view path) override;
  Status moveFile(std::string_view from, std::string_view to) override;
  Result<std::unique_ptr<IAppendFile>> openForAppend(std::string_view path) override;
};

}  // namespace zelvorn
