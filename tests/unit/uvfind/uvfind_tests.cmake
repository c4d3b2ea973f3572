# uvfind's options, output forms and rows.
add_executable(uvantic_uvfind_tests ${CMAKE_CURRENT_LIST_DIR}/uvfind_test.cpp)
target_link_libraries(uvantic_uvfind_tests PRIVATE uvantic_uvfind_logic uvantic_test_support GTest::gtest_main)
gtest_discover_tests(uvantic_uvfind_tests)
