// A file system held in memory, for tests, benchmarks and the simulated desktop. Behaves like a
// POSIX one where the program can tell: files need an existing parent folder, an open append file
// keeps writing to its file after a move or removal, writes replace whole files at once. Failures
// can be injected per kind of operation so that callers' error paths can be driven.
// Thread-safe: every member takes one lock.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Platform/IFileSystem.h"

namespace zelvorn {

class InMemoryFileSystem final : public IFileSystem {
 public:
  InMemoryFileSystem();

  FileStat stat(std::string_view path) override;
  Status createDirectories(std::string_view path) override;
  Result<Bytes> readFile(std::string_view path) override;
  Status writeFileAtomically(std::string_view path, std::string_view bytes) override;
  // Creates the file empty when it is missing; an existing file is left as it is.
  Status createEmptyFile(std::string_view path) override;
  Status removeFile(std::string_view path) override;
  Status moveFile(std::string_view from, std::string_view to) override;
  Result<std::unique_ptr<IAppendFile>> openForAppend(std::string_view path) override;

  // Failure injection: while set, every operation of that kind fails with the error.
  // Writes cover atomic writes, creating empty files, opening for append and appending.
  void setWriteFailure(std::optional<Error> error);
  void setCreateDirectoriesFailure(std::optional<Error> error);
  void setMoveFailure(std::optional<Error> error);
  void setReadFailure(std::optional<Error> error);

  // Stamps modification times; without it files carry no time.
  void setClock(std::function<WallTime()> clock);

  // Test conveniences: place a file (creating its folders), look at one, list them.
  void putFile(std::string_view path, std::string_view bytes);
  std::optional<std::string> contents(std::string_view path);
  std::vector<std::string> filePaths();
  // Successful atomic writes so far, in total or to one path.
  int atomicWriteCount();
  int atomicWriteCount(std::string_view path);

  static std::string normalized(std::string_view path);

 private:
  struct Node {
    std::string bytes;
    std::optional<WallTime> modified;
  };
  struct State {
    std::mutex lock;
    std::map<std::string, std::shared_ptr<Node>> files;
    std::set<std::string> directories{"/"};
    std::optional<Error> writeFailure, createDirectoriesFailure, moveFailure, readFailure;
    std::function<WallTime()> clock;
    std::map<std::string, int> atomicWrites;
    int totalAtomicWrites = 0;
  };
  class AppendFile;

  static Status checkParent(State& s, const std::string& path);
  static std::optional<WallTime> stamp(State& s);

  std::shared_ptr<State> state_;
};

}  // namespace zelvorn
