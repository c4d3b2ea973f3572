# The window commands, the sort toggle, the logo state and the start procedure.
add_executable(uvantic_commands_tests
  ${CMAKE_CURRENT_LIST_DIR}/window_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_procedure_test.cpp
  ${PROJECT_SOURCE_DIR}/src/window/properties_command.cpp
  ${PROJECT_SOURCE_DIR}/src/window/sort_toggle.cpp
  ${PROJECT_SOURCE_DIR}/src/window/logo_press.cpp
  ${PROJECT_SOURCE_DIR}/src/startup/start_procedure.cpp
  ${PROJECT_SOURCE_DIR}/src/startup/executable_path.cpp)
target_include_directories(uvantic_commands_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(uvantic_commands_tests PRIVATE GTest::gtest_main)
gtest_discover_tests(uvantic_commands_tests)
