#include "Sim/InMemoryFileSystem.h"

#include <cerrno>
#include <cstring>

namespace zelvorn {

namespace {

Error posixError(int code, const std::string& path) {
  return Error{code, path + ": " + std::strerror(code)};
}

std::string parentOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == 0 || slash == std::string::npos) return "/";
  return path.substr(0, slash);
}

}  // namespace

class InMemoryFileSystem::AppendFile final : public IAppendFile {
 public:
  AppendFile(std::shared_ptr<State> state, std::shared_ptr<Node> node)
      : state_(std::move(state)), node_(std::move(node)) {}

  Status write(std::string_view bytes) override {
    std::lock_guard guard(state_->lock);
    if (!node_) return Error{EBADF, "write to a closed file"};
    if (state_->writeFailure) return *state_->writeFailure;
    node_->bytes.append(bytes);
    node_->modified = stamp(*state_);
    return {};
  }
  std::optional<std::uint64_t> offset() override {
    std::lock_guard guard(state_->lock);
    if (!node_) return std::nullopt;
    return node_->bytes.size();
  }
  void close() override {
    std::lock_guard guard(state_->lock);
    node_.reset();
  }

 private:
  std::shared_ptr<State> state_;
  std::shared_ptr<Node> node_;
};

InMemoryFileSystem::InMemoryFileSystem() : state_(std::make_shared<State>()) {}

std::string InMemoryFileSystem::normalized(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t i = 0;
  while (i <= path.size()) {
    auto next = path.find('/', i);
    if (next == std::string_view::npos) next = path.size();
    auto part = path.substr(i, next - i);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    i = next + 1;
  }
  std::string out;
  for (auto p : parts) {
    out += '/';
    out += p;
  }
  return out.empty() ? "/" : out;
}

Status InMemoryFileSystem::checkParent(State& s, const std::string& path) {
  auto parent = parentOf(path);
  if (s.directories.count(parent)) return {};
  if (s.files.count(parent)) return posixError(ENOTDIR, parent);
  return posixError(ENOENT, parent);
}

std::optional<WallTime> InMemoryFileSystem::stamp(State& s) {
  if (s.clock) return s.clock();
  return std::nullopt;
}

FileStat InMemoryFileSystem::stat(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  if (state_->directories.count(p)) return FileStat{true, true, 0, std::nullopt};
  auto it = state_->files.find(p);
  if (it == state_->files.end()) return {};
  return FileStat{true, false, it->second->bytes.size(), it->second->modified};
}

Status InMemoryFileSystem::createDirectories(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.createDirectoriesFailure) return *s.createDirectoriesFailure;
  std::vector<std::string> missing;
  for (std::string at = p; !s.directories.count(at); at = parentOf(at)) {
    if (s.files.count(at)) return posixError(ENOTDIR, at);
    missing.push_back(at);
  }
  s.directories.insert(missing.begin(), missing.end());
  return {};
}

Result<Bytes> InMemoryFileSystem::readFile(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.readFailure) return *s.readFailure;
  if (s.directories.count(p)) return posixError(EISDIR, p);
  auto it = s.files.find(p);
  if (it == s.files.end()) return posixError(ENOENT, p);
  return Bytes(it->second->bytes.begin(), it->second->bytes.end());
}

Status InMemoryFileSystem::writeFileAtomically(std::string_view path, std::string_view bytes) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.writeFailure) return *s.writeFailure;
  if (s.directories.count(p)) return posixError(EISDIR, p);
  if (auto parent = checkParent(s, p); !parent) return parent;
  // A new node, as a rename onto the path would give: open append files keep the old one.
  s.files[p] = std::make_shared<Node>(Node{std::string(bytes), stamp(s)});
  ++s.atomicWrites[p];
  ++s.totalAtomicWrites;
  return {};
}

Status InMemoryFileSystem::createEmptyFile(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.writeFailure) return *s.writeFailure;
  if (s.directories.count(p)) return posixError(EISDIR, p);
  if (auto parent = checkParent(s, p); !parent) return parent;
  auto& node = s.files[p];
  if (!node) node = std::make_shared<Node>(Node{std::string(), stamp(s)});
  return {};
}

Status InMemoryFileSystem::removeFile(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.directories.count(p)) return posixError(EISDIR, p);
  if (!s.files.erase(p)) return posixError(ENOENT, p);
  return {};
}

Status InMemoryFileSystem::moveFile(std::string_view from, std::string_view to) {
  auto f = normalized(from);
  auto t = normalized(to);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.moveFailure) return *s.moveFailure;
  auto it = s.files.find(f);
  if (it == s.files.end()) return posixError(s.directories.count(f) ? EISDIR : ENOENT, f);
  if (s.directories.count(t)) return posixError(EISDIR, t);
  if (auto parent = checkParent(s, t); !parent) return parent;
  if (f == t) return {};
  auto node = it->second;
  s.files.erase(it);
  s.files[t] = std::move(node);
  return {};
}

Result<std::unique_ptr<IAppendFile>> InMemoryFileSystem::openForAppend(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  if (s.writeFailure) return *s.writeFailure;
  if (s.directories.count(p)) return posixError(EISDIR, p);
  if (auto parent = checkParent(s, p); !parent) return parent.error();
  auto& node = s.files[p];
  if (!node) node = std::make_shared<Node>(Node{std::string(), stamp(s)});
  return std::unique_ptr<IAppendFile>(std::make_unique<AppendFile>(state_, node));
}

void InMemoryFileSystem::setWriteFailure(std::optional<Error> error) {
  std::lock_guard guard(state_->lock);
  state_->writeFailure = std::move(error);
}
void InMemoryFileSystem::setCreateDirectoriesFailure(std::optional<Error> error) {
  std::lock_guard guard(state_->lock);
  state_->createDirectoriesFailure = std::move(error);
}
void InMemoryFileSystem::setMoveFailure(std::optional<Error> error) {
  std::lock_guard guard(state_->lock);
  state_->moveFailure = std::move(error);
}
void InMemoryFileSystem::setReadFailure(std::optional<Error> error) {
  std::lock_guard guard(state_->lock);
  state_->readFailure = std::move(error);
}
void InMemoryFileSystem::setClock(std::function<WallTime()> clock) {
  std::lock_guard guard(state_->lock);
  state_->clock = std::move(clock);
}

void InMemoryFileSystem::putFile(std::string_view path, std::string_view bytes) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto& s = *state_;
  for (std::string at = parentOf(p); !s.directories.count(at); at = parentOf(at))
    s.directories.insert(at);
  s.files[p] = std::make_shared<Node>(Node{std::string(bytes), stamp(s)});
}

std::optional<std::string> InMemoryFileSystem::contents(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto it = state_->files.find(p);
  if (it == state_->files.end()) return std::nullopt;
  return it->second->bytes;
}

std::vector<std::string> InMemoryFileSystem::filePaths() {
  std::lock_guard guard(state_->lock);
  std::vector<std::string> out;
  for (const auto& [path, node] : state_->files)
    out.push_back(path);
  return out;
}

int InMemoryFileSystem::atomicWriteCount() {
  std::lock_guard guard(state_->lock);
  return state_->totalAtomicWrites;
}

int InMemoryFileSystem::atomicWriteCount(std::string_view path) {
  auto p = normalized(path);
  std::lock_guard guard(state_->lock);
  auto it = state_->atomicWrites.find(p);
  return it == state_->atomicWrites.end() ? 0 : it->second;
}

}  // namespace zelvorn
