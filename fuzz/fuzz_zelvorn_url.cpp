// Links come from any program on the machine: parsing, resolving and logging one must never crash,
// and the logged form of whatever it carries must stay one line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "App/Log.h"
#include "App/ZelvornURL.h"

namespace {

struct Named {
  zelvorn::Uuid id;
  std::string name;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zelvorn::ZelvornURL;
  std::string text(reinterpret_cast<const char*>(data), size);
  static const std::vector<Named> workspaces{{zelvorn::Uuid::random(), "Mail"},
                                             {zelvorn::Uuid::random(), "Café"},
                                             {zelvorn::Uuid::random(), "2"},
                                             {zelvorn::Uuid::random(), ""}};

  (void)ZelvornURL::queryTarget(text);
  if (auto command = ZelvornURL::parse(text)) {
    std::string described = ZelvornURL::description(*command);
    if (described.empty()) std::abort();
  }
  (void)ZelvornURL::resolve(text, workspaces);

  std::string logged = zelvorn::Log::escaped(text);
  if (logged.size() > zelvorn::Log::kMaxLineBytes) std::abort();
  for (unsigned char c : logged)
    if (c < 0x20 || c == 0x7F) std::abort();
  return 0;
}
