# End-to-end scenarios of the window commands, sorting and the program start, with
# recording stand-ins for devmgr.dll and for the programs the shell starts.
add_library(devmgr_double SHARED ${CMAKE_CURRENT_LIST_DIR}/../doubles/devmgr_double.cpp
            ${CMAKE_CURRENT_LIST_DIR}/../doubles/devmgr_double.def)
set_target_properties(devmgr_double PROPERTIES PREFIX "")

add_executable(shell_recorder WIN32 ${CMAKE_CURRENT_LIST_DIR}/../doubles/shell_recorder.cpp)
target_link_options(shell_recorder PRIVATE -municode)

add_executable(commands_e2e_tests
  ${CMAKE_CURRENT_LIST_DIR}/command_scenario.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_start_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/properties_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/renamed_program_help_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_commands_test.cpp
  ${CMAKE_CURRENT_LIST_DIR}/sorting_test.cpp)
target_link_libraries(commands_e2e_tests PRIVATE uvantic_e2e_scenario)
add_dependencies(commands_e2e_tests devmgr_double shell_recorder)

# A renamed copy's help file is the built one under the copy's name.
add_dependencies(commands_e2e_tests help_file)
add_e2e_groups(commands_e2e_tests
    properties "PropertiesCommand.*"
    shell_commands "ShellCommands.*"
    sorting "Sorting.*"
    program_start "ProgramStart.*:RenamedProgram.*:RenamedProgramHelp.*")
