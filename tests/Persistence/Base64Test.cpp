#include "Persistence/Base64.h"

#include <gtest/gtest.h>

namespace zelvorn {
namespace {

Bytes bytesOf(std::string_view s) {
  return Bytes(s.begin(), s.end());
}

TEST(Base64, EncodesWithStandardAlphabetAndPadding) {
  std::pair<std::string_view, std::string_view> cases[] = {
      {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
      {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {"\xfb\xff", "+/8="},
  };
  for (auto [plain, encoded] : cases) {
    EXPECT_EQ(Base64::encode(bytesOf(plain)), encoded);
    EXPECT_EQ(Base64::decode(encoded), bytesOf(plain)) << encoded;
  }
  Bytes all;
  for (int i = 0; i < 256; ++i)
    all.push_back(static_cast<std::uint8_t>(i));
  EXPECT_EQ(Base64::decode(Base64::encode(all)), all);
}

TEST(Base64, DecodingRefusesAnythingButPaddedStandardText) {
  for (std::string_view bad : {"Zg", "Zg=", "Z===", "====", "Zm9v\n",
                               "Zg==Zg==", "Zm9v Zg==", "Zm=v", "Zm9-", "Zm9_", "Zm9v=", "Zg=A"}) {
    EXPECT_EQ(Base64::decode(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace zelvorn
