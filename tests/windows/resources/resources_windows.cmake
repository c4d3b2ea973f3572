# The program's compiled resources, loaded and drawn by Windows under Wine.
add_executable(resources_tests ${CMAKE_CURRENT_LIST_DIR}/resources_test.cpp)
target_include_directories(resources_tests PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(resources_tests PRIVATE UVANTIC_TEXT_LANGUAGES=L"${UVANTIC_TEXT_LANGUAGES}")
target_link_libraries(resources_tests PRIVATE uvantic_resources uvantic_platform gtest_main
                      comctl32 msimg32 version gdi32 user32)
add_wine_test(NAME resources COMMAND resources_tests)
