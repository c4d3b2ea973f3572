# What's This help: its decisions, and the help file, compiled here as the Windows
# build does and read back with chmls.
if(NOT TARGET help_file)
  add_subdirectory(${PROJECT_SOURCE_DIR}/resources/help ${CMAKE_BINARY_DIR}/resources/help)
endif()
get_target_property(uvantic_help_file help_file HELP_FILE)

add_executable(uvantic_help_tests
  ${CMAKE_CURRENT_LIST_DIR}/help_file_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/../window/whats_this_test.cpp)
target_compile_definitions(uvantic_help_tests PRIVATE UVANTIC_HELP_FILE="${uvantic_help_file}")
target_link_libraries(uvantic_help_tests PRIVATE uvantic_window_logic GTest::gtest_main)
add_dependencies(uvantic_help_tests help_file)
gtest_discover_tests(uvantic_help_tests)
