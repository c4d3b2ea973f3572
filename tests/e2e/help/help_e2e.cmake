# End-to-end scenarios of the context help, with a recording stand-in for hhctrl.ocx
# and the commands' recorder of the programs the shell starts.
add_library(hhctrl_recorder SHARED ${CMAKE_CURRENT_LIST_DIR}/../doubles/hhctrl_recorder.cpp
            ${CMAKE_CURRENT_LIST_DIR}/../doubles/hhctrl_recorder.def)
set_target_properties(hhctrl_recorder PROPERTIES PREFIX "")

add_executable(help_e2e_tests
  ${CMAKE_CURRENT_LIST_DIR}/whats_this_help_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/whats_this_popup_test.cpp)
target_link_libraries(help_e2e_tests PRIVATE uvantic_e2e_scenario)
add_dependencies(help_e2e_tests hhctrl_recorder shell_recorder)

# The program finds its help file beside it.
add_dependencies(help_e2e_tests help_file)
add_e2e_groups(help_e2e_tests
    whats_this_popup "WhatsThisPopup.*"
    whats_this_help "WhatsThisHelp.*"
    help_viewer "HelpViewer.*"
    help_languages "WhatsThisHelp.InTheUsersLanguage*")
# English runs with the other What's This scenarios; here every other language, one
# process after another in one prefix.
if(TEST e2e_help_languages)
  set_tests_properties(e2e_help_languages PROPERTIES ENVIRONMENT
      "UVANTIC_LOCALES=de_DE.UTF-8 fr_FR.UTF-8 es_ES.UTF-8 it_IT.UTF-8 pt_BR.UTF-8 ja_JP.UTF-8 ko_KR.UTF-8 zh_CN.UTF-8")
endif()
