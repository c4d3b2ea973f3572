# The notifier's notifications, texts and Run value.
add_executable(uvantic_notifier_tests ${CMAKE_CURRENT_LIST_DIR}/notification_test.cpp)
target_link_libraries(uvantic_notifier_tests PRIVATE uvantic_notifier_logic uvantic_test_support GTest::gtest_main)
gtest_discover_tests(uvantic_notifier_tests)
