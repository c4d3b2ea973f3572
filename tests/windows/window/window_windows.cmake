# frmMain and its list view, made for real under Wine.
add_executable(window_tests
  ${CMAKE_CURRENT_LIST_DIR}/list_view_device_list_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/frm_main_test.cpp)
# The resources bring the pictures and the manifest that selects common controls 6.
target_link_libraries(window_tests PRIVATE uvantic_window uvantic_discovery uvantic_test_support $<TARGET_NAME_IF_EXISTS:uvantic_resources>
                      gtest_main oleacc)
add_wine_test(NAME window_list_view COMMAND window_tests --gtest_filter=ListViewDeviceList*)
add_wine_test(NAME window_frm_main COMMAND window_tests --gtest_filter=FrmMain*)
# The window in every other language, one process after another in one prefix: Wine
# takes a process's language from LANG when it starts.
add_wine_test(NAME window_languages COMMAND window_tests --gtest_filter=FrmMainTest.InTheUsersLanguage*)
set_tests_properties(window_languages PROPERTIES ENVIRONMENT
    "UVANTIC_LOCALES=de_DE.UTF-8 fr_FR.UTF-8 es_ES.UTF-8 it_IT.UTF-8 pt_BR.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8 zh_CN.UTF-8")
set_tests_properties(window_list_view window_frm_main window_languages PROPERTIES RESOURCE_LOCK x_display)
