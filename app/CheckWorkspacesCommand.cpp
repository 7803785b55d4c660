#include "CheckWorkspacesCommand.h"

#include "Persistence/WorkspaceCodec.h"
#include "Posix/PosixFileSystem.h"

namespace zelvorn {

int runCheckWorkspaces(const std::string& path, std::ostream& out, std::ostream& err) {
  PosixFileSystem fileSystem;
  auto bytes = fileSystem.readFile(path);
  if (!bytes) {
    err << bytes.error().description << '\n';
    return 1;
  }
  const auto& b = bytes.value();
  auto decoded =
      WorkspaceCodec::decode(std::string_view(reinterpret_cast<const char*>(b.data()), b.size()));
  if (!decoded) {
    err << path << ": " << decoded.error().description << '\n';
    return 1;
  }
  auto encoded = WorkspaceCodec::encode(decoded.value());
  if (!encoded) {
    err << path << ": " << encoded.error().description << '\n';
    return 1;
  }
  out << encoded.value() << '\n';
  return 0;
}

}  // namespace zelvorn
