// Entry point of the end-to-end tests: GoogleTest's options, then ours.
#include <windows.h>

#include <gtest/gtest.h>
#include <shellapi.h>

#include "harness/test_environment.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  int wideCount = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &wideCount);
  uvantic::e2e::SetEnvironment(uvantic::e2e::ParseTestEnvironment(wideCount, wide));
  LocalFree(wide);
  return RUN_ALL_TESTS();
}
