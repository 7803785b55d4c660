// Desktop entries are files anyone can drop into ~/.local/share/applications, and their Exec line
// decides what runs: parsing one, localizing it and expanding its command lines must never crash,
// and a command line must never smuggle in what the quoting rules refuse.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Linux/DesktopEntry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zelvorn::DesktopEntry;
  std::string text(reinterpret_cast<const char*>(data), size);
  for (const char* locale : {"", "de_CH.UTF-8@euro", "sr@latin"}) {
    auto entry = DesktopEntry::parse(text, "fuzz.desktop", "/fuzz.desktop", locale);
    if (!entry) continue;
    if (entry->name.empty()) std::abort();
    static const std::vector<std::string> documents{"/a b", "file:///c%20d", "https://e/f"};
    auto lines = entry->commandLines(documents);
    if (!lines) continue;
    if (lines->empty()) std::abort();
    for (const auto& argv : *lines)
      if (argv.empty() || argv.front().empty()) std::abort();
    (void)entry->executableName();
  }
  (void)zelvorn::localeKeys(text);
  return 0;
}
