# lexmora_add_test(NAME <name> SOURCES <files...> LIBS <libs...> [run options])
# One GoogleTest program, run by ctest through Wine as the test <name> (see lexmora_run_test for
# the run options).
function(lexmora_add_test)
  set(run_options BESIDE_WINDOWS)
  set(run_values TIMEOUT DESKTOP DPI)
  cmake_parse_arguments(T "${run_options}" "NAME;${run_values}" "SOURCES;LIBS;ARGS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  set(run NAME ${T_NAME} PROGRAM ${T_NAME} ARGS ${T_ARGS})
  foreach(option ${run_options})
    if(T_${option})
      list(APPEND run ${option})
    endif()
  endforeach()
  foreach(value ${run_values})
    if(T_${value})
      list(APPEND run ${value} ${T_${value}})
    endif()
  endforeach()
  lexmora_run_test(${run})
endfunction()

# lexmora_run_test(NAME <name> PROGRAM <target> [TIMEOUT <s>] [BESIDE_WINDOWS]
#                  [DESKTOP <desktop> [DPI <dpi>]] [ARGS <arguments...>])
# The test program PROGRAM run by ctest through Wine as the test NAME, with ARGS.
#
# ctest runs tests side by side (scripts/test.sh), but tests that show windows, use the program's
# registry key or named objects of the build's Wine prefix would disturb each other there: they
# hold the lock lexmora_desktop, so one of them runs at a time. BESIDE_WINDOWS declares a program
# that needs none of that (it only reads and writes files and registry keys of its own) and may
# run beside them. DESKTOP runs the program in a Wine prefix, with a Wine server and on an X
# display of its own instead (build/wineprefix-<desktop>, made on its first run and kept; at
# DPI, 96 unless given, tests/run-on-own-desktop.sh): nothing there meets the build's prefix, so
# it runs beside the tests there; tests that name the same desktop take turns on it.
function(lexmora_run_test)
  cmake_parse_arguments(T "BESIDE_WINDOWS" "NAME;PROGRAM;TIMEOUT;DESKTOP;DPI" "ARGS" ${ARGN})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  if(T_DESKTOP)
    if(NOT T_DPI)
      set(T_DPI 96)
    endif()
    add_test(NAME ${T_NAME}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/run-on-own-desktop.sh ${CMAKE_BINARY_DIR}
                     ${T_DESKTOP} ${T_DPI} $<TARGET_FILE:${T_PROGRAM}> ${T_ARGS})
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK lexmora_desktop_${T_DESKTOP})
  else()
    add_test(NAME ${T_NAME} COMMAND ${T_PROGRAM} ${T_ARGS})
    if(NOT T_BESIDE_WINDOWS)
      set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK lexmora_desktop)
    endif()
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
endfunction()

# Every source file of a folder, so that adding a file needs no edit here.
function(lexmora_sources out dir)
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
