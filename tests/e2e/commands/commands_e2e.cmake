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
# Out of process the sheet opens only for a 32-bit program on 64-bit Windows: elsewhere
# that test skips itself, in a group of its own.
add_e2e_groups(commands_e2e_tests
    properties "PropertiesCommand.*:-PropertiesCommand.OutOfProcess*"
    properties_out_of_process "PropertiesCommand.OutOfProcess*"
    shell_commands "ShellCommands.*"
    sorting "Sorting.*"
    program_start "ProgramStart.*:RenamedProgram.*:RenamedProgramHelp.*")

# The x86 build on 64-bit Windows has the native rundll32 show the property sheet, with
# a 64-bit devmgr.dll: the double is also built for x64, by the x64 compiler, and the
# whole property-sheet scenario runs again in a 64-bit prefix.
if(UVANTIC_ARCH STREQUAL "x86" AND TARGET UvanticFinder)
  find_program(UVANTIC_X64_CXX x86_64-w64-mingw32-g++-posix REQUIRED)
  set(double_sources ${CMAKE_CURRENT_LIST_DIR}/../doubles/devmgr_double.cpp
      ${CMAKE_CURRENT_LIST_DIR}/../doubles/devmgr_double.def)
  add_custom_command(OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/devmgr_double64.dll
                     COMMAND ${UVANTIC_X64_CXX} -std=c++20 -Os -Wall -Wextra -Werror -shared -static -s
                             -o ${CMAKE_CURRENT_BINARY_DIR}/devmgr_double64.dll ${double_sources}
                     DEPENDS ${double_sources} VERBATIM)
  add_custom_target(devmgr_double64 DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/devmgr_double64.dll)
  add_dependencies(commands_e2e_tests devmgr_double64)
  add_wine_test(NAME e2e_properties_wow64 WIN64 COMMAND commands_e2e_tests
                --gtest_filter=PropertiesCommand.*
                --program=$<TARGET_FILE:UvanticFinder> --screenshots=${CMAKE_BINARY_DIR}/e2e-screens)
  set_tests_properties(e2e_properties_wow64 PROPERTIES RESOURCE_LOCK x_display TIMEOUT 300 SKIP_RETURN_CODE 77)
endif()
