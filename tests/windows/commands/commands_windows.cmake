# The Win32 layer of the window commands and of the start, tested under Wine.
set(commands_platform_sources
  ${PROJECT_SOURCE_DIR}/src/platform/ansi_text.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/device_properties.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/executable_file.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/single_instance.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/system_directory.cpp
  ${PROJECT_SOURCE_DIR}/src/startup/executable_path.cpp
  ${PROJECT_SOURCE_DIR}/src/startup/start_procedure.cpp
  ${PROJECT_SOURCE_DIR}/src/startup/win_start_platform.cpp)

add_executable(start_probe WIN32 ${CMAKE_CURRENT_LIST_DIR}/start_probe.cpp ${commands_platform_sources})
target_include_directories(start_probe PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_options(start_probe PRIVATE -municode)
target_link_libraries(start_probe PRIVATE shell32)

add_library(devmgr_double_for_platform_tests SHARED
  ${PROJECT_SOURCE_DIR}/tests/e2e/doubles/devmgr_double.cpp
  ${PROJECT_SOURCE_DIR}/tests/e2e/doubles/devmgr_double.def)
set_target_properties(devmgr_double_for_platform_tests PROPERTIES PREFIX "" OUTPUT_NAME devmgr_double)

add_executable(commands_platform_tests ${CMAKE_CURRENT_LIST_DIR}/commands_platform_test.cpp
               ${commands_platform_sources})
target_include_directories(commands_platform_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(commands_platform_tests PRIVATE gtest_main user32)
add_dependencies(commands_platform_tests start_probe devmgr_double_for_platform_tests)
add_wine_test(NAME commands_platform COMMAND commands_platform_tests)
set_tests_properties(commands_platform PROPERTIES RESOURCE_LOCK x_display)
