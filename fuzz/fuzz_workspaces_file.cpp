// The workspaces file may be edited by hand or damaged: decoding any bytes must never crash, and
// whatever decodes must encode, decode to the same workspaces and encode to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "Persistence/WorkspaceCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zelvorn::WorkspaceCodec;
  auto first = WorkspaceCodec::decode(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!first) return 0;
  auto encoded = WorkspaceCodec::encode(first.value());
  if (!encoded) {
    std::fprintf(stderr, "decoded workspaces do not encode: %s\n",
                 encoded.error().description.c_str());
    std::abort();
  }
  auto second = WorkspaceCodec::decode(encoded.value());
  if (!second) {
    std::fprintf(stderr, "canonical bytes do not decode: %s\n", second.error().description.c_str());
    std::abort();
  }
  if (!(second.value() == first.value())) {
    std::fprintf(stderr, "decode(encode(x)) differs from x\n");
    std::abort();
  }
  auto again = WorkspaceCodec::encode(second.value());
  if (!again || again.value() != encoded.value()) {
    std::fprintf(stderr, "the canonical encoding is not stable\n");
    std::abort();
  }
  return 0;
}
