#include "App/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <thread>

#include "Posix/PosixFileSystem.h"
#include "Sim/SimEnvironment.h"
#include "Support/CapturingConsole.h"
#include "Support/TempDir.h"

namespace zelvorn {
namespace {

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::stringstream s(text);
  for (std::string l; std::getline(s, l);)
    out.push_back(l);
  return out;
}

class LogTest : public testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "UTC", 1);
    tzset();
    env.folders.logDirectory = dir / "Logs/Zelvorn";
  }
  LogSinks sinks() {
    return LogSinks{nullptr, &fs, &env, [this] { return now; }};
  }
  std::string livePath() const { return dir / "Logs/Zelvorn/Zelvorn.log"; }
  std::string rotatedPath() const { return dir / "Logs/Zelvorn/Zelvorn.1.log"; }

  TempDir dir;
  PosixFileSystem fs;
  SimEnvironment env;
  WallTime now{1'800'000'000.25};  // 2027-01-15 08:00:00.250 UTC
};

TEST_F(LogTest, RingKeepsTheLast500StampedLines) {
  CapturingConsole console(sinks());
  for (int i = 1; i <= 501; ++i)
    Log::line("line " + std::to_string(i));
  auto ring = Log::recentLines();
  ASSERT_EQ(ring.size(), 500u);
  EXPECT_EQ(ring.front(), "08:00:00.250 line 2");
  EXPECT_EQ(ring.back(), "08:00:00.250 line 501");
  EXPECT_EQ(console.lines().size(), 501u);
  EXPECT_EQ(console.lines().back(), "line 501");
}

TEST_F(LogTest, EscapesWhatCouldBreakOrForgeALine) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"[Zelvorn] Show workspace requested: Café ✓ “Deep Work”",
       "[Zelvorn] Show workspace requested: Café ✓ “Deep Work”"},
      {"a\nb\r\tc", "a\\nb\\r\\tc"},
      {"x\n[Zelvorn] forged", "x\\n[Zelvorn] forged"},
      {std::string("nul\0here", 8), "nul\\u0000here"},
      {"\x1B[31mred\x7F", "\\u001B[31mred\\u007F"},
      {"c1 \xC2\x9B and sep \xE2\x80\xA8", "c1 \\u009B and sep \\u2028"},
      {"bad \xFF\xC3 utf8", "bad \\xFF\\xC3 utf8"},
      {"overlong \xC0\xAF", "overlong \\xC0\\xAF"},
  };
  CapturingConsole console(sinks());
  for (const auto& c : cases) {
    EXPECT_EQ(Log::escaped(c.in), c.out) << c.in;
    Log::line(c.in);
    EXPECT_EQ(console.lines().back(), c.out);
    EXPECT_EQ(Log::recentLines().back(), "08:00:00.250 " + c.out);
  }
}

TEST_F(LogTest, CapsAbsurdlyLongLinesOnACharacterBoundary) {
  const std::string ellipsis = "…";
  // Multi-byte characters and escapes straddling the cap must not be cut in half.
  for (const std::string& unit : {std::string("é"), std::string("\n"), std::string("ab✓")}) {
    std::string text;
    while (text.size() < 3 * Log::kMaxLineBytes)
      text += unit;
    std::string out = Log::escaped(text);
    EXPECT_LE(out.size(), Log::kMaxLineBytes);
    EXPECT_GT(out.size(), Log::kMaxLineBytes - 8);
    ASSERT_TRUE(out.ends_with(ellipsis));
    std::string body = out.substr(0, out.size() - ellipsis.size());
    EXPECT_EQ(Log::escaped(body), body) << "cut inside a character or an escape";
    if (unit == "\n") {
      EXPECT_TRUE(body.ends_with("\\n"));
    }
  }
  std::string exact(Log::kMaxLineBytes, 'x');
  EXPECT_EQ(Log::escaped(exact), exact);
}

TEST_F(LogTest, NeverWritesAFileOutsideTheInstalledApp) {
  for (int variant = 0; variant < 2; ++variant) {
    SimEnvironment bare;
    bare.folders.logDirectory = dir / "Logs/Zelvorn";
    if (variant == 0) bare.facts.isAppBundle = false;
    if (variant == 1) bare.variables["XCTestConfigurationFilePath"] = "/tmp/x.xctestconfiguration";
    CapturingConsole console(LogSinks{nullptr, &fs, &bare, {}});
    Log::setFileLogging(true);
    Log::line("[Zelvorn] hello");
    EXPECT_FALSE(fs.stat(dir / "Logs").exists) << variant;
  }
}

TEST_F(LogTest, FileGetsHeaderThenStampedLinesUntilSwitchedOff) {
  env.facts.shortVersion = "2.1";
  env.facts.buildVersion.reset();
  CapturingConsole console(sinks());
  Log::setFileLogging(true);
  Log::setFileLogging(true);  // already on: no second header
  Log::line("[Zelvorn] one");
  Log::setFileLogging(false);
  Log::line("[Zelvorn] not in the file");
  EXPECT_EQ(readText(livePath()),
            "2027-01-15 08:00:00.250 [Zelvorn] ---- log file on — Zelvorn 2.1 (build ?) ----\n"
            "2027-01-15 08:00:00.250 [Zelvorn] one\n");
  // The header reaches neither the console nor the ring.
  EXPECT_EQ(console.lines(),
            (std::vector<std::string>{"[Zelvorn] one", "[Zelvorn] not in the file"}));
  EXPECT_EQ(Log::recentLines().size(), 2u);

  Log::setFileLogging(true);  // appends to the existing file
  EXPECT_EQ(splitLines(readText(livePath())).size(), 3u);
}

TEST_F(LogTest, OversizedFileIsRotatedWhenOpened) {
  ASSERT_TRUE(fs.createDirectories(dir / "Logs/Zelvorn"));
  ASSERT_TRUE(fs.writeFileAtomically(livePath(), std::string(Log::kMaxFileBytes + 1, 'a')));
  ASSERT_TRUE(fs.writeFileAtomically(rotatedPath(), "older copy\n"));
  CapturingConsole console(sinks());
  Log::setFileLogging(true);
  EXPECT_EQ(fs.stat(rotatedPath()).size, Log::kMaxFileBytes + 1);
  auto live = splitLines(readText(livePath()));
  ASSERT_EQ(live.size(), 1u);
  EXPECT_TRUE(live[0].ends_with("---- log file on — Zelvorn 1.0 (build 1) ----"));
}

TEST_F(LogTest, FileOfExactlyTheLimitIsKept) {
  ASSERT_TRUE(fs.createDirectories(dir / "Logs/Zelvorn"));
  ASSERT_TRUE(fs.writeFileAtomically(livePath(), std::string(Log::kMaxFileBytes, 'a')));
  CapturingConsole console(sinks());
  Log::setFileLogging(true);
  EXPECT_FALSE(fs.stat(rotatedPath()).exists);
  EXPECT_GT(fs.stat(livePath()).size, Log::kMaxFileBytes);
}

TEST_F(LogTest, SizeIsCheckedEveryThousandLinesAndRotatesWhileWriting) {
  ASSERT_TRUE(fs.createDirectories(dir / "Logs/Zelvorn"));
  ASSERT_TRUE(fs.writeFileAtomically(livePath(), std::string(Log::kMaxFileBytes - 100, 'a')));
  CapturingConsole console(sinks());
  Log::setFileLogging(true);  // the header is line 1 of the count
  for (int i = 2; i <= 999; ++i)
    Log::line("[Zelvorn] filler " + std::to_string(i));
  // Over the limit by now, but not looked at before the 1000th line.
  EXPECT_FALSE(fs.stat(rotatedPath()).exists);
  Log::line("[Zelvorn] line 1000");
  EXPECT_TRUE(fs.stat(rotatedPath()).exists);
  EXPECT_TRUE(readText(rotatedPath()).ends_with("[Zelvorn] line 1000\n"));
  EXPECT_EQ(fs.stat(livePath()).size, 0u);  // no header after a rotation
  Log::line("[Zelvorn] after");
  EXPECT_EQ(readText(livePath()), "2027-01-15 08:00:00.250 [Zelvorn] after\n");
}

TEST_F(LogTest, LinesFromManyThreadsAreAllKeptWhole) {
  CapturingConsole console(sinks());
  Log::setFileLogging(true);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([t] {
      for (int i = 0; i < 200; ++i)
        Log::line("[Zelvorn] thread " + std::to_string(t) + " line " + std::to_string(i));
    });
  for (auto& th : threads)
    th.join();
  Log::setFileLogging(false);
  EXPECT_EQ(console.lines().size(), 800u);
  EXPECT_EQ(Log::recentLines().size(), 500u);
  auto fileLines = splitLines(readText(livePath()));
  ASSERT_EQ(fileLines.size(), 801u);
  for (const auto& l : fileLines)
    EXPECT_TRUE(l.starts_with("2027-01-15 08:00:00.250 [Zelvorn] ")) << l;
}

}  // namespace
}  // namespace zelvorn
