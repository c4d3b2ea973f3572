# The notifier's notifications, texts, Run value and sign-in start.
add_executable(uvantic_notifier_tests ${CMAKE_CURRENT_LIST_DIR}/notification_test.cpp
               ${CMAKE_CURRENT_LIST_DIR}/sign_in_start_test.cpp)
target_link_libraries(uvantic_notifier_tests PRIVATE uvantic_notifier_logic GTest::gtest_main)
gtest_discover_tests(uvantic_notifier_tests)
