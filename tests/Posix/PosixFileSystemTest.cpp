#include "Posix/PosixFileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <thread>

#include "Support/TempDir.h"

namespace zelvorn {
namespace {

std::string text(const Bytes& b) {
  return std::string(b.begin(), b.end());
}

TEST(PosixFileSystem, AtomicWriteReplacesWholeFileAndLeavesNoTemporaries) {
  TempDir dir;
  PosixFileSystem fs;
  std::string path = dir / "workspaces.json";
  ASSERT_TRUE(fs.writeFileAtomically(path, "first version, rather long"));
  ::chmod(path.c_str(), 0640);
  ASSERT_TRUE(fs.writeFileAtomically(path, "second"));
  EXPECT_EQ(text(fs.readFile(path).value()), "second");
  struct stat st {};
  ::stat(path.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replacement keeps the file's permissions";
  int entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.path()))
    ++entries;
  EXPECT_EQ(entries, 1);
  auto s = fs.stat(path);
  EXPECT_TRUE(s.exists);
  EXPECT_FALSE(s.isDirectory);
  EXPECT_EQ(s.size, 6u);
  EXPECT_TRUE(s.modified.has_value());
}

TEST(PosixFileSystem, FailuresAreResultsWithTheirPath) {
  TempDir dir;
  PosixFileSystem fs;
  auto missing = fs.readFile(dir / "nope");
  ASSERT_FALSE(missing);
  EXPECT_NE(missing.error().description.find("nope"), std::string::npos);
  EXPECT_FALSE(fs.writeFileAtomically(dir / "no/such/folder/file", "x"));
  EXPECT_FALSE(fs.removeFile(dir / "nope"));
  EXPECT_FALSE(fs.moveFile(dir / "nope", dir / "other"));
  ASSERT_TRUE(fs.writeFileAtomically(dir / "file", "x"));
  EXPECT_FALSE(fs.createDirectories(dir / "file")) << "a file where a folder should be";
  EXPECT_FALSE(fs.stat(dir / "nope").exists);
}

TEST(PosixFileSystem, FoldersEmptyFilesAndMoves) {
  TempDir dir;
  PosixFileSystem fs;
  ASSERT_TRUE(fs.createDirectories(dir / "a/b/c"));
  ASSERT_TRUE(fs.createDirectories(dir / "a/b/c"));  // already there
  EXPECT_TRUE(fs.stat(dir / "a/b/c").isDirectory);
  ASSERT_TRUE(fs.writeFileAtomically(dir / "a/keep", "content"));
  ASSERT_TRUE(fs.createEmptyFile(dir / "a/keep"));  // an existing file is left alone
  EXPECT_EQ(text(fs.readFile(dir / "a/keep").value()), "content");
  ASSERT_TRUE(fs.createEmptyFile(dir / "a/empty"));
  EXPECT_EQ(fs.stat(dir / "a/empty").size, 0u);
  ASSERT_TRUE(fs.moveFile(dir / "a/keep", dir / "a/empty"));
  EXPECT_EQ(text(fs.readFile(dir / "a/empty").value()), "content");
  ASSERT_TRUE(fs.removeFile(dir / "a/empty"));
  EXPECT_FALSE(fs.stat(dir / "a/empty").exists);
}

TEST(PosixFileSystem, AppendFileStartsAtTheEndAndReportsItsOffset) {
  TempDir dir;
  PosixFileSystem fs;
  ASSERT_TRUE(fs.writeFileAtomically(dir / "log", "12345"));
  auto opened = fs.openForAppend(dir / "log");
  ASSERT_TRUE(opened);
  auto file = std::move(opened).value();
  EXPECT_EQ(file->offset(), 5u);
  ASSERT_TRUE(file->write("678\n"));
  EXPECT_EQ(file->offset(), 9u);
  file->close();
  EXPECT_FALSE(file->write("after close"));
  EXPECT_EQ(file->offset(), std::nullopt);
  EXPECT_EQ(text(fs.readFile(dir / "log").value()), "12345678\n");
}

TEST(PosixFileSystem, ConcurrentAtomicWritersNeverLeaveAMixture) {
  TempDir dir;
  PosixFileSystem fs;
  std::string path = dir / "shared";
  std::vector<std::thread> writers;
  for (char c : {'a', 'b', 'c', 'd'})
    writers.emplace_back([&, c] {
      for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(fs.writeFileAtomically(path, std::string(4096, c)));
    });
  for (auto& w : writers)
    w.join();
  std::string result = text(fs.readFile(path).value());
  ASSERT_EQ(result.size(), 4096u);
  EXPECT_EQ(result, std::string(4096, result[0]));
}

}  // namespace
}  // namespace zelvorn
