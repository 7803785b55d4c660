// Links between invocations: delivered over the socket on the loop, line by line; a second
// listener is refused while one lives, a stale socket is replaced, and a folder others can enter
// is refused.
#include "Linux/LinkSocket.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Support/TempDir.h"

namespace zelvorn {
namespace {

TEST(LinkSocket, DeliversLinksOnTheLoopAndGuardsItsFolder) {
  TempDir dir;
  PosixMainLoop loop;
  std::string path = dir / "zelvorn/links.sock";
  std::vector<std::string> got;
  auto server = LinkSocket::listen(loop, path, [&](const std::vector<std::string>& urls) {
    got.insert(got.end(), urls.begin(), urls.end());
  });
  ASSERT_TRUE(server.ok()) << server.error().description;
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(stat((dir / "zelvorn").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  ASSERT_TRUE(LinkSocket::send(path, {"zelvorn://show/Work", "zelvorn://show/Mail%20and%20Notes"}));
  EXPECT_TRUE(got.empty());  // nothing before the loop runs
  loop.runUntil([&] { return got.size() == 2; }, 2);
  EXPECT_EQ(got,
            (std::vector<std::string>{"zelvorn://show/Work", "zelvorn://show/Mail%20and%20Notes"}));

  // One instance at a time.
  auto second = LinkSocket::listen(loop, path, {});
  EXPECT_FALSE(second.ok());

  // Once the instance is gone nobody answers, and a new one may listen again.
  server = Error{};
  EXPECT_FALSE(LinkSocket::send(path, {"zelvorn://show/Work"}));
  EXPECT_TRUE(LinkSocket::listen(loop, path, {}).ok());

  // A folder other users can enter is refused.
  TempDir open;
  ASSERT_EQ(mkdir((open / "zelvorn").c_str(), 0755), 0);
  ASSERT_EQ(chmod((open / "zelvorn").c_str(), 0755), 0);
  EXPECT_FALSE(LinkSocket::listen(loop, open / "zelvorn/links.sock", {}).ok());
  EXPECT_FALSE(LinkSocket::defaultPath(std::nullopt));
  EXPECT_EQ(LinkSocket::defaultPath("/run/user/1000"), "/run/user/1000/zelvorn/links.sock");
}

}  // namespace
}  // namespace zelvorn
