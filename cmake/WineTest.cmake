# Tests of the Windows build run under Wine, each in a throwaway copy of one prefix
# that is created once per test run: a 32-bit prefix for the x86 build, a 64-bit one
# for x64. The x86 build also runs a few tests as a 32-bit program on 64-bit Windows,
# in a 64-bit prefix of its own.
set(UVANTIC_PREFIX_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)
if(UVANTIC_ARCH STREQUAL "x64")
  set(wine_arch win64)
else()
  set(wine_arch win32)
  set(UVANTIC_PREFIX_TEMPLATE_WIN64 ${CMAKE_BINARY_DIR}/wine-template-win64)
  add_test(NAME wine_prefix_template_win64
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/wine-template.sh ${UVANTIC_PREFIX_TEMPLATE_WIN64} win64)
  set_tests_properties(wine_prefix_template_win64 PROPERTIES FIXTURES_SETUP wine_prefix_win64)
endif()

add_test(NAME wine_prefix_template
         COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/wine-template.sh ${UVANTIC_PREFIX_TEMPLATE} ${wine_arch})
set_tests_properties(wine_prefix_template PROPERTIES FIXTURES_SETUP wine_prefix)

# add_wine_test(NAME <test> [WIN64] COMMAND <target-or-exe> [args...])
# WIN64: in a 64-bit prefix also in the x86 build.
function(add_wine_test)
  cmake_parse_arguments(ARG "WIN64" "NAME" "COMMAND" ${ARGN})
  list(POP_FRONT ARG_COMMAND program)
  if(TARGET ${program})
    set(program $<TARGET_FILE:${program}>)
  endif()
  set(template ${UVANTIC_PREFIX_TEMPLATE})
  set(fixture wine_prefix)
  if(ARG_WIN64 AND UVANTIC_PREFIX_TEMPLATE_WIN64)
    set(template ${UVANTIC_PREFIX_TEMPLATE_WIN64})
    set(fixture wine_prefix_win64)
  endif()
  add_test(NAME ${ARG_NAME}
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/wine-run.sh ${template} ${program} ${ARG_COMMAND})
  set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED ${fixture})
endfunction()
