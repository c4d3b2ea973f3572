# The window commands, the sort toggle, the logo state and the start procedure.
add_executable(uvantic_commands_tests
  ${CMAKE_CURRENT_LIST_DIR}/window_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_procedure_test.cpp)
target_link_libraries(uvantic_commands_tests PRIVATE uvantic_window_logic uvantic_startup_logic uvantic_test_support GTest::gtest_main)
gtest_discover_tests(uvantic_commands_tests)
