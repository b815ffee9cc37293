# lexmora_add_test(NAME <name> SOURCES <files...> LIBS <libs...> [TIMEOUT <s>] [BESIDE_WINDOWS])
# One GoogleTest program, run by ctest through Wine.
#
# ctest runs tests side by side (scripts/test.sh), but tests that show windows, use the program's
# registry key or named objects of the build's Wine prefix would disturb each other there: they
# hold the lock lexmora_desktop, so one of them runs at a time. BESIDE_WINDOWS declares a program
# that needs none of that (it only reads and writes files and registry keys of its own) and may
# run beside them.
function(lexmora_add_test)
  cmake_parse_arguments(T "BESIDE_WINDOWS" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 600)
  endif()
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT})
  if(NOT T_BESIDE_WINDOWS)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK lexmora_desktop)
  endif()
endfunction()

# Every source file of a folder, so that adding a file needs no edit here.
function(lexmora_sources out dir)
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  set(${out} ${files} PARENT_SCOPE)
endfunction()
