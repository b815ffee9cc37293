# lexmora_add_test(NAME <name> SOURCES <files...> LIBS <libs...> [run options])
# One GoogleTest program, run by ctest through Wine as the test <name> (see lexmora_run_test for
# the run options).
function(lexmora_add_test)
  set(run_options BESIDE_WINDOWS)
  set(run_values TIMEOUT DESKTOP DPI COST)
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
#                  [DESKTOP <desktop> [DPI <dpi>]] [COST <s>] [COPY_IN <folder>]
#                  [ARGS <arguments...>])
# The test program PROGRAM run by ctest through Wine as the test NAME, with ARGS.
#
# ctest runs tests side by side (scripts/test.sh), but tests that show windows, use the program's
# registry key or named objects of the build's Wine prefix would disturb each other there: they
# hold the lock lexmora_desktop, so one of them runs at a time. BESIDE_WINDOWS declares a program
# that needs none of that (it only reads and writes files and registry keys of its own) and may
# run beside them. DESKTOP runs the program in a Wine prefix, with a Wine server and on an X
# display of its own instead (build/wineprefix-<desktop>, copied from the build's template
# prefix on its first run and kept; at
# DPI, 96 unless given, tests/run-on-own-desktop.sh): nothing there meets the build's prefix, so
# it runs beside the tests there; tests that name the same desktop take turns on it.
# COST orders the starts: ctest starts the tests of the higher cost first, and a cost given here
# wins over the times ctest measured in earlier runs. The programs that take turns on the build's
# display have the highest, LEXMORA_DESKTOP_COST, so that their chain runs early, beside
# the others, instead of one after another at the end.
# COPY_IN (with DESKTOP) runs a copy of the program, made after each link in the folder <folder>
# beside it, for a program whose tests write files beside it and run in parts side by side (call
# it in the folder that defines the program).
set(LEXMORA_DESKTOP_COST 45)
function(lexmora_run_test)
  cmake_parse_arguments(T "BESIDE_WINDOWS" "NAME;PROGRAM;TIMEOUT;DESKTOP;DPI;COST;COPY_IN" "ARGS"
                        ${ARGN})
  set(program $<TARGET_FILE:${T_PROGRAM}>)
  if(T_COPY_IN)
    set(folder $<TARGET_FILE_DIR:${T_PROGRAM}>/${T_COPY_IN})
    add_custom_command(TARGET ${T_PROGRAM} POST_BUILD
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
                       COMMAND ${CMAKE_COMMAND} -E copy ${program} ${folder}/)
    set(program ${folder}/$<TARGET_FILE_NAME:${T_PROGRAM}>)
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  if(T_DESKTOP)
    if(NOT T_DPI)
      set(T_DPI 96)
    endif()
    add_test(NAME ${T_NAME}
             COMMAND bash ${CMAKE_SOURCE_DIR}/tests/run-on-own-desktop.sh ${CMAKE_BINARY_DIR}
                     ${T_DESKTOP} ${T_DPI} ${program} ${T_ARGS})
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK lexmora_desktop_${T_DESKTOP})
  else()
    if(T_COPY_IN)
      message(FATAL_ERROR "${T_NAME}: COPY_IN needs DESKTOP")
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_PROGRAM} ${T_ARGS})
    if(NOT T_BESIDE_WINDOWS)
      set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK lexmora_desktop)
      if(NOT T_COST)
        set(T_COST ${LEXMORA_DESKTOP_COST})
      endif()
    endif()
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(T_COST)
    set_tests_properties(${T_NAME} PROPERTIES COST ${T_COST})
  endif()
endfunction()

# Every source file of a folder, so that adding a file needs no edit here.
function(lexmora_sources out dir)
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
