// Test entry point shared by every test program.
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// fontconfig (which drawing an SVG icon starts) keeps its caches until the process ends.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
extern "C" const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
