#include "Sim/InMemoryFileSystem.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace zelvorn {
namespace {

std::string text(const Result<Bytes>& r) {
  return r.ok() ? std::string(r.value().begin(), r.value().end())
                : "<" + r.error().description + ">";
}

TEST(InMemoryFileSystem, FilesNeedAnExistingParentFolder) {
  InMemoryFileSystem fs;
  auto w = fs.writeFileAtomically("/a/b/file", "x");
  ASSERT_FALSE(w.ok());
  EXPECT_EQ(w.error().code, ENOENT);
  EXPECT_FALSE(fs.openForAppend("/a/log").ok());
  EXPECT_FALSE(fs.createEmptyFile("/a/empty").ok());

  ASSERT_TRUE(fs.createDirectories("/a/b/").ok());
  ASSERT_TRUE(fs.createDirectories("/a/b").ok());  // existing: fine
  EXPECT_TRUE(fs.stat("/a").isDirectory);
  ASSERT_TRUE(fs.writeFileAtomically("/a//b/./file", "x").ok());
  EXPECT_EQ(text(fs.readFile("/a/b/file")), "x");
  EXPECT_EQ(fs.stat("/a/b/file").size, 1u);

  // A file in the way of a folder, or a folder where a file is read.
  EXPECT_EQ(fs.createDirectories("/a/b/file/c").error().code, ENOTDIR);
  EXPECT_EQ(fs.readFile("/a/b").error().code, EISDIR);
  EXPECT_EQ(fs.readFile("/a/none").error().code, ENOENT);
  EXPECT_EQ(fs.removeFile("/a/none").error().code, ENOENT);
}

TEST(InMemoryFileSystem, AnOpenAppendFileFollowsItsFileAcrossMovesAndReplacement) {
  InMemoryFileSystem fs;
  ASSERT_TRUE(fs.createDirectories("/logs").ok());
  auto opened = fs.openForAppend("/logs/live.log");
  ASSERT_TRUE(opened.ok());
  auto file = std::move(opened).value();
  ASSERT_TRUE(file->write("one\n").ok());
  ASSERT_TRUE(fs.moveFile("/logs/live.log", "/logs/old.log").ok());
  ASSERT_TRUE(file->write("two\n").ok());
  EXPECT_EQ(fs.contents("/logs/old.log"), "one\ntwo\n");
  EXPECT_FALSE(fs.stat("/logs/live.log").exists);
  EXPECT_EQ(file->offset(), 8u);

  // An atomic write puts a new file in place; the open one keeps the old bytes.
  ASSERT_TRUE(fs.writeFileAtomically("/logs/old.log", "new").ok());
  ASSERT_TRUE(file->write("three\n").ok());
  EXPECT_EQ(fs.contents("/logs/old.log"), "new");
  file->close();
  EXPECT_FALSE(file->write("after close").ok());
}

TEST(InMemoryFileSystem, InjectedFailuresStopOnlyTheirKindOfOperation) {
  InMemoryFileSystem fs;
  fs.putFile("/d/f", "old");
  Error io{EIO, "disk on fire"};

  fs.setWriteFailure(io);
  EXPECT_EQ(fs.writeFileAtomically("/d/f", "new").error(), io);
  EXPECT_EQ(fs.createEmptyFile("/d/g").error(), io);
  EXPECT_FALSE(fs.openForAppend("/d/h").ok());
  EXPECT_TRUE(fs.createDirectories("/e").ok());
  EXPECT_EQ(fs.contents("/d/f"), "old");
  fs.setWriteFailure(std::nullopt);

  fs.setCreateDirectoriesFailure(io);
  EXPECT_FALSE(fs.createDirectories("/x").ok());
  fs.setCreateDirectoriesFailure(std::nullopt);

  fs.setMoveFailure(io);
  EXPECT_FALSE(fs.moveFile("/d/f", "/d/g").ok());
  fs.setMoveFailure(std::nullopt);

  fs.setReadFailure(io);
  EXPECT_FALSE(fs.readFile("/d/f").ok());
  fs.setReadFailure(std::nullopt);

  ASSERT_TRUE(fs.writeFileAtomically("/d/f", "new").ok());
  EXPECT_EQ(fs.atomicWriteCount("/d/f"), 1);
  EXPECT_EQ(fs.atomicWriteCount(), 1);
}

}  // namespace
}  // namespace zelvorn
