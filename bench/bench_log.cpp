// Cost of one Log.line with file logging off: escaping, the console hand-off, the stamp and the
// ring under its lock.
#include <benchmark/benchmark.h>

#include "App/Log.h"

namespace zelvorn {
namespace {

class NullConsole final : public IConsole {
 public:
  void writeLine(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

void BM_LogLineFileOff(benchmark::State& state) {
  NullConsole console;
  Log::configure(LogSinks{&console, nullptr, nullptr, {}});
  for (auto _ : state)
    Log::line("[Zelvorn] Show workspace requested: Deep Work");
  Log::configure({});
}
BENCHMARK(BM_LogLineFileOff);

void BM_LogLineFileOffNonAscii(benchmark::State& state) {
  NullConsole console;
  Log::configure(LogSinks{&console, nullptr, nullptr, {}});
  for (auto _ : state)
    Log::line("[Zelvorn][URL] zelvorn://show/Caf%C3%A9 → show(target: \"Café\")");
  Log::configure({});
}
BENCHMARK(BM_LogLineFileOffNonAscii);

void BM_LogLineFourThreads(benchmark::State& state) {
  static NullConsole console;
  if (state.thread_index() == 0) Log::configure(LogSinks{&console, nullptr, nullptr, {}});
  for (auto _ : state)
    Log::line("[Zelvorn] Show workspace requested: Deep Work");
}
BENCHMARK(BM_LogLineFourThreads)->Threads(4);

}  // namespace
}  // namespace zelvorn
