# Tests of the Windows build run under Wine, each in a throwaway copy of one prefix
# that is created once per test run: a 32-bit prefix for the x86 build, a 64-bit one
# for x64.
set(UVANTIC_PREFIX_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
if(UVANTIC_ARCH STREQUAL "x64")
  set(wine_arch win64)
else()
  set(wine_arch win32)
endif()

add_test(NAME wine_prefix_template
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/wine-template.sh ${UVANTIC_PREFIX_TEMPLATE} ${wine_arch})
set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix)

# add_wine_test(NAME <test> COMMAND <target-or-exe> [args...])
function(add_wine_test)
  cmake_parse_arguments(ARG "" "NAME" "COMMAND" ${ARGN})
  list(POP_FRONT ARG_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/wine-run.sh ${UVANTIC_PREFIX_TEMPLATE}
                   ${program} ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED wine_prefix)
endfunction()
