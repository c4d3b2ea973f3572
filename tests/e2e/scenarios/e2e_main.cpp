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
  const int result = RUN_ALL_TESTS();
  // A run whose every test skipped itself ends with the code ctest takes for a skip
  // (SKIP_RETURN_CODE), so that it is not reported as passed.
  const auto& run = *::testing::UnitTest::GetInstance();
  if (result == 0 && run.test_to_run_count() > 0 && run.skipped_test_count() == run.test_to_run_count()) return 77;
  return result;
}
