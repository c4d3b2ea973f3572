# The main window's portable decisions: layout, column widths, pictures, row order, Ctrl+C,
# the spacing of refresh passes.
add_executable(uvantic_window_tests
  ${CMAKE_CURRENT_LIST_DIR}/window_layout_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_column_width_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/window_pictures_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/copy_row_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pass_spacing_test.cpp)
target_link_libraries(uvantic_window_tests PRIVATE uvantic_window_logic GTest::gtest_main)
gtest_discover_tests(uvantic_window_tests)
