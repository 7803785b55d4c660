#include "App/Log.h"

#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <memory>
#include <mutex>
#include <utility>

#include <fmt/format.h>

namespace zelvorn {

namespace {

struct LogState {
  std::mutex lock;
  LogSinks sinks;
  // At most kRingCapacity entries; once full, the oldest is at `ringStart` and is overwritten.
  std::vector<std::string> ring;
  std::size_t ringStart = 0;
  std::unique_ptr<IAppendFile> file;
  int linesSinceSizeCheck = 0;
};

LogState& state() {
  static LogState s;
  return s;
}

WallTime systemNow() {
  auto t = std::chrono::system_clock::now().time_since_epoch();
  return WallTime{std::chrono::duration<double>(t).count()};
}

struct LocalTime {
  std::tm tm{};
  int millis = 0;
};

// Both stamps use the user's time zone.
LocalTime localTime(WallTime t) {
  double whole = std::floor(t.unixSeconds);
  LocalTime out;
  out.millis = std::min(999, static_cast<int>((t.unixSeconds - whole) * 1000));
  auto seconds = static_cast<std::time_t>(whole);
  localtime_r(&seconds, &out.tm);
  return out;
}

// "HH:mm:ss.SSS"
void appendRingStamp(std::string& out, WallTime t) {
  auto l = localTime(t);
  fmt::format_to(std::back_inserter(out), "{:02}:{:02}:{:02}.{:03}", l.tm.tm_hour, l.tm.tm_min,
                 l.tm.tm_sec, l.millis);
}

// "yyyy-MM-dd HH:mm:ss.SSS"
std::string fileStamp(WallTime t) {
  auto l = localTime(t);
  return fmt::format("{:04}-{:02}-{:02} {:02}:{:02}:{:02}.{:03}", l.tm.tm_year + 1900,
                     l.tm.tm_mon + 1, l.tm.tm_mday, l.tm.tm_hour, l.tm.tm_min, l.tm.tm_sec,
                     l.millis);
}

std::string joinPath(std::string_view dir, std::string_view name) {
  std::string p(dir);
  if (!p.empty() && p.back() != '/') p += '/';
  p += name;
  return p;
}

// The rest of this namespace runs with the lock held.

bool mayWriteFile(const LogSinks& sinks) {
  if (!sinks.environment || !sinks.fileSystem) return false;
  return sinks.environment->process().isAppBundle &&
         !sinks.environment->environmentVariable("XCTestConfigurationFilePath");
}

std::string liveFilePath(const LogSinks& sinks) {
  return joinPath(sinks.environment->locations().logDirectory, Log::kFileName);
}

void rotate(IFileSystem& fs, const std::string& livePath) {
  auto slash = livePath.rfind('/');
  std::string dir = slash == std::string::npos ? std::string() : livePath.substr(0, slash);
  std::string rotated = joinPath(dir, Log::kRotatedFileName);
  if (fs.stat(rotated).exists) (void)fs.removeFile(rotated);
  (void)fs.moveFile(livePath, rotated);
}

std::unique_ptr<IAppendFile> openFile(LogState& s) {
  const auto& dir = s.sinks.environment->locations().logDirectory;
  if (dir.empty()) return nullptr;
  IFileSystem& fs = *s.sinks.fileSystem;
  if (!fs.createDirectories(dir)) return nullptr;
  std::string path = liveFilePath(s.sinks);
  auto st = fs.stat(path);
  if (st.exists && st.size > Log::kMaxFileBytes) {
    rotate(fs, path);
    st = fs.stat(path);
  }
  if (!st.exists && !fs.createEmptyFile(path)) return nullptr;
  auto opened = fs.openForAppend(path);
  if (!opened) return nullptr;
  s.linesSinceSizeCheck = 0;
  return std::move(opened).value();
}

void appendToFile(LogState& s, WallTime now, std::string_view text) {
  if (!s.file) return;
  std::string bytes = fileStamp(now);
  bytes += ' ';
  bytes += text;
  bytes += '\n';
  (void)s.file->write(bytes);  // a failed write loses this line only
  if (++s.linesSinceSizeCheck < Log::kSizeCheckInterval) return;
  s.linesSinceSizeCheck = 0;
  auto offset = s.file->offset();
  if (!offset || *offset <= Log::kMaxFileBytes) return;
  s.file->close();
  s.file.reset();
  rotate(*s.sinks.fileSystem, liveFilePath(s.sinks));
  s.file = openFile(s);
}

// Escaping -----------------------------------------------------------------------------------

// Length of the well-formed UTF-8 sequence at `p`, with its code point; 0 when malformed.
std::size_t decodeUtf8(std::string_view s, std::size_t i, char32_t& cp) {
  auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
  unsigned char c = b(0);
  std::size_t n;
  char32_t min;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    n = 2, cp = c & 0x1F, min = 0x80;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3, cp = c & 0x0F, min = 0x800;
  } else if (c >= 0xF0 && c <= 0xF4) {
    n = 4, cp = c & 0x07, min = 0x10000;
  } else {
    return 0;
  }
  if (i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

// Code points that would break a line or steer a terminal: C0 controls, DEL, C1 controls and the
// Unicode line and paragraph separators.
bool needsEscape(char32_t cp) {
  return cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp <= 0x9F) || cp == 0x2028 || cp == 0x2029;
}

void appendEscape(std::string& out, char32_t cp) {
  switch (cp) {
    case '\n':
      out += "\\n";
      return;
    case '\r':
      out += "\\r";
      return;
    case '\t':
      out += "\\t";
      return;
    default:
      fmt::format_to(std::back_inserter(out), "\\u{:04X}", static_cast<std::uint32_t>(cp));
  }
}

bool isPlain(std::string_view text) {
  if (text.size() > Log::kMaxLineBytes) return false;
  for (char c : text) {
    auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u >= 0x7F) return false;
  }
  return true;
}

}  // namespace

std::string Log::escaped(std::string_view text) {
  if (isPlain(text)) return std::string(text);
  static constexpr std::string_view kEllipsis = "…";
  std::string out;
  out.reserve(std::min(text.size(), kMaxLineBytes) + 16);
  // The longest prefix, ending between two characters, that still leaves room for the ellipsis.
  std::size_t cutAt = 0;
  std::string piece;
  for (std::size_t i = 0; i < text.size();) {
    char32_t cp = 0;
    std::size_t n = decodeUtf8(text, i, cp);
    piece.clear();
    if (n == 0) {
      fmt::format_to(std::back_inserter(piece), "\\x{:02X}", static_cast<unsigned char>(text[i]));
      n = 1;
    } else if (needsEscape(cp)) {
      appendEscape(piece, cp);
    } else {
      piece.assign(text.substr(i, n));
    }
    if (out.size() + piece.size() > kMaxLineBytes) {
      out.resize(cutAt);
      out += kEllipsis;
      return out;
    }
    out += piece;
    if (out.size() + kEllipsis.size() <= kMaxLineBytes) cutAt = out.size();
    i += n;
  }
  return out;
}

void Log::line(std::string_view rawText) {
  std::string text = escaped(rawText);
  auto& s = state();
  IConsole* console;
  std::function<WallTime()> clock;
  {
    std::lock_guard guard(s.lock);
    console = s.sinks.console;
    clock = s.sinks.clock;
  }
  if (console) console->writeLine(text);
  WallTime now = clock ? clock() : systemNow();
  std::string entry;
  entry.reserve(13 + text.size());
  appendRingStamp(entry, now);
  entry += ' ';
  entry += text;

  std::string evicted;  // freed after the lock is released
  {
    std::lock_guard guard(s.lock);
    if (s.ring.size() < kRingCapacity) {
      s.ring.push_back(std::move(entry));
    } else {
      evicted = std::exchange(s.ring[s.ringStart], std::move(entry));
      s.ringStart = (s.ringStart + 1) % kRingCapacity;
    }
    appendToFile(s, now, text);
  }
}

void Log::setFileLogging(bool on) {
  auto& s = state();
  std::lock_guard guard(s.lock);
  if (!mayWriteFile(s.sinks)) return;
  if (on && !s.file) {
    s.file = openFile(s);
    if (!s.file) return;
    const auto& facts = s.sinks.environment->process();
    // Straight to the file: this line is about the file and belongs neither on the console nor in
    // the ring (and `line` cannot be called with the lock held).
    appendToFile(s, s.sinks.clock ? s.sinks.clock() : systemNow(),
                 fmt::format("[Zelvorn] ---- log file on — Zelvorn {} (build {}) ----",
                             facts.shortVersion.value_or("?"), facts.buildVersion.value_or("?")));
  } else if (!on && s.file) {
    s.file->close();
    s.file.reset();
  }
}

std::vector<std::string> Log::recentLines() {
  auto& s = state();
  std::lock_guard guard(s.lock);
  std::vector<std::string> out;
  out.reserve(s.ring.size());
  for (std::size_t k = 0; k < s.ring.size(); ++k)
    out.push_back(s.ring[(s.ringStart + k) % s.ring.size()]);
  return out;
}

void Log::configure(LogSinks sinks) {
  auto& s = state();
  std::lock_guard guard(s.lock);
  if (s.file) s.file->close();
  s.file.reset();
  s.sinks = std::move(sinks);
  s.ring.clear();
  s.ringStart = 0;
  s.linesSinceSizeCheck = 0;
}

}  // namespace zelvorn
