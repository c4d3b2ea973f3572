# The Win32 layer of the window commands and of the start, tested under Wine.
add_executable(start_probe WIN32 ${CMAKE_CURRENT_LIST_DIR}/start_probe.cpp)
target_link_options(start_probe PRIVATE -municode)
target_link_libraries(start_probe PRIVATE uvantic_start_platform uvantic_platform shell32)

add_library(devmgr_double_for_platform_tests SHARED
  ${PROJECT_SOURCE_DIR}/tests/e2e/doubles/devmgr_double.cpp
  ${PROJECT_SOURCE_DIR}/tests/e2e/doubles/devmgr_double.def)
set_target_properties(devmgr_double_for_platform_tests PROPERTIES PREFIX "" OUTPUT_NAME devmgr_double)

add_executable(commands_platform_tests ${CMAKE_CURRENT_LIST_DIR}/commands_platform_test.cpp)
target_link_libraries(commands_platform_tests PRIVATE uvantic_start_platform uvantic_platform gtest_main user32)
add_dependencies(commands_platform_tests start_probe devmgr_double_for_platform_tests)
add_wine_test(NAME commands_platform COMMAND commands_platform_tests)
set_tests_properties(commands_platform PROPERTIES RESOURCE_LOCK x_display)
