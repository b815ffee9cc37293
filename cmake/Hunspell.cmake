# Hunspell as a static library, built from the Debian source that scripts/fetch-deps.sh puts
# into deps/hunspell. Included before Lexmora's own targets, so its sources, which are not ours,
# build without -Werror.
set(LEXMORA_DEPS_DIR ${CMAKE_SOURCE_DIR}/deps)
set(hunspell_dir ${LEXMORA_DEPS_DIR}/hunspell/src/hunspell)
if(NOT EXISTS ${hunspell_dir}/hunspell.hxx)
  message(FATAL_ERROR "Hunspell's source is missing from ${LEXMORA_DEPS_DIR}: run scripts/setup.sh")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${LEXMORA_DEPS_DIR}/stamp)

file(GLOB hunspell_sources ${hunspell_dir}/*.cxx)
# Hunspell opens a file named by a UTF-8 path in its "\\?\" form through the wide-character file
# functions, but only where _MSC_VER is defined; MinGW-w64 has the same functions. Its copy of
# csutil.cxx in the build folder opens such paths on every Windows compiler.
list(REMOVE_ITEM hunspell_sources ${hunspell_dir}/csutil.cxx)
file(READ ${hunspell_dir}/csutil.cxx csutil)
set(msvc_only "#if defined(_WIN32) && defined(_MSC_VER)\n#define WIN32_LONG_PATH_PREFIX")
string(FIND "${csutil}" "${msvc_only}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${hunspell_dir}/csutil.cxx: no \"${msvc_only}\" to open wide paths with")
endif()
string(REPLACE "${msvc_only}" "#if defined(_WIN32)\n#define WIN32_LONG_PATH_PREFIX" csutil
               "${csutil}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/hunspell/csutil.cxx CONTENT "${csutil}" @ONLY)

add_library(lexmora_hunspell STATIC ${hunspell_sources} ${CMAKE_BINARY_DIR}/hunspell/csutil.cxx)
target_include_directories(lexmora_hunspell SYSTEM PUBLIC ${hunspell_dir})
target_compile_definitions(lexmora_hunspell PUBLIC HUNSPELL_STATIC)
