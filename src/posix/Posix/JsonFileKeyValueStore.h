// The user-defaults store kept as one JSON file (under the user's config folder). Every value keeps
// its type on disk, so integers, doubles, bytes, dates and string lists survive a round trip. Each
// change rewrites the file atomically: a crash leaves the old file or the new one, never half of
// one. A file that cannot be read is moved aside and kept, never overwritten.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "Platform/IFileSystem.h"
#include "Platform/IKeyValueStore.h"

namespace zelvorn {

class JsonFileKeyValueStore final : public IKeyValueStore {
 public:
  // Told about a file that had to be set aside or a change that could not be written, in words a
  // log line can carry.
  using ProblemHandler = std::function<void(const std::string& sentence)>;

  JsonFileKeyValueStore(IFileSystem& fileSystem, std::string path, ProblemHandler onProblem = {});

  std::optional<StoreValue> get(std::string_view key) const override;
  void set(std::string_view key, StoreValue value) override;
  void remove(std::string_view key) override;

  const std::string& path() const { return path_; }
  // Where an unreadable file was moved at load, if it was.
  const std::optional<std::string>& setAsidePath() const { return setAsidePath_; }

  // The file's text for these values, and the values a text holds (none when it is unreadable).
  static std::string encode(const std::map<std::string, StoreValue, std::less<>>& values);
  static std::optional<std::map<std::string, StoreValue, std::less<>>> decode(
      std::string_view text);

 private:
  void load();
  void save();
  void report(const std::string& sentence) const;

  IFileSystem& fileSystem_;
  std::string path_;
  ProblemHandler onProblem_;
  std::map<std::string, StoreValue, std::less<>> values_;
  std::optional<std::string> setAsidePath_;
  // An unreadable file that could not be moved aside is never written over.
  bool mayWrite_ = true;
};

}  // namespace zelvorn
