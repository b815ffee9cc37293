# The portable program folder <build>/Lexmora/: Lexmora.exe is linked straight into it, and the
# files of data/ (Dictionaries/, Data/, Help/) and of deps/stage/ (Morphology/, Licenses/) are
# copied beside it whenever they change.
# `cpack -G ZIP` in the build folder packs the same folder as Lexmora-<version>-win64.zip.
set(LEXMORA_STAGE_DIR ${CMAKE_BINARY_DIR}/Lexmora)

set_target_properties(Lexmora PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LEXMORA_STAGE_DIR})

# Copies the files under `root` into the staged folder whenever they change, and installs them
# for the packages; index and word index files (.ind, .wix) are written by the program next to
# its dictionaries, and one that turns up in data/ is a leftover of a run and never ships.
set(staged_files)
set(staged_sources)
function(lexmora_stage_tree root)
  file(GLOB_RECURSE files CONFIGURE_DEPENDS RELATIVE ${root} ${root}/*)
  list(FILTER files EXCLUDE REGEX "\\.(ind|wix)$")
  foreach(file ${files})
    add_custom_command(OUTPUT ${LEXMORA_STAGE_DIR}/${file}
                       COMMAND ${CMAKE_COMMAND} -E copy ${root}/${file} ${LEXMORA_STAGE_DIR}/${file}
                       DEPENDS ${root}/${file}
                       COMMENT "Staging ${file}")
    list(APPEND staged_files ${LEXMORA_STAGE_DIR}/${file})
    list(APPEND staged_sources ${root}/${file})
  endforeach()
  set(staged_files ${staged_files} PARENT_SCOPE)
  set(staged_sources ${staged_sources} PARENT_SCOPE)
  install(DIRECTORY ${root}/ DESTINATION Lexmora PATTERN "*.ind" EXCLUDE PATTERN "*.wix" EXCLUDE)
endfunction()
# data/ holds Dictionaries/, Data/ and Help/; deps/stage/ (scripts/fetch-deps.sh) holds
# Morphology/, the Hunspell dictionaries with their licences, and Licenses/, Hunspell's.
lexmora_stage_tree(${CMAKE_SOURCE_DIR}/data)
lexmora_stage_tree(${LEXMORA_DEPS_DIR}/stage)
add_custom_target(lexmora_stage ALL DEPENDS ${staged_files})
# Building the program alone (`--target Lexmora`) stages its data too.
add_dependencies(Lexmora lexmora_stage)

install(TARGETS Lexmora RUNTIME DESTINATION Lexmora)
# The dictionary importer ships beside the program.
set_target_properties(lexmora-import PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LEXMORA_STAGE_DIR})
install(TARGETS lexmora-import RUNTIME DESTINATION Lexmora)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Lexmora)
set(CPACK_PACKAGE_VENDOR Lexmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The installer's own version resource needs all four parts.
set(CPACK_LEXMORA_FILE_VERSION ${LEXMORA_VERSION})
set(CPACK_PACKAGE_FILE_NAME Lexmora-${PROJECT_VERSION}-win64)
# The zip holds the folder Lexmora/ itself, ready to unpack anywhere and run.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# `cpack -G NSIS` writes Lexmora-<version>-win64-setup.exe, an installer for the current user
# built from cmake/NSIS.template.in; cmake/InstallerOptions.cmake names it, and
# cmake/InstallerFiles.cmake lists the staged files for its uninstaller.
set(CPACK_MODULE_PATH ${CMAKE_SOURCE_DIR}/cmake)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_SOURCE_DIR}/cmake/InstallerOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_SOURCE_DIR}/cmake/InstallerFiles.cmake)
set(CPACK_NSIS_MUI_ICON ${CMAKE_SOURCE_DIR}/resources/images/Lexmora.ico)
# The folder of the staged tree that holds the program, and the files the program derives
# from a dictionary <name>.dat beside it, by extension (the index <name>.ind and the word index
# <name>.wix): the uninstaller removes them together with a shipped dictionary.
set(CPACK_LEXMORA_PROGRAM_FOLDER Lexmora)
set(CPACK_LEXMORA_INDEX_EXTENSIONS ind wix)
include(CPack)

# The installer, built once per change of what it packs (`--target lexmora_installer`, which
# scripts/test.sh builds before the tests): <build>/installer/Lexmora-<version>-win64-setup.exe,
# with cpack's staged tree under installer/_CPack_Packages/. cpack builds the project's
# `preinstall` first, as `make package` does; the target is not part of `all`.
set(LEXMORA_INSTALLER_DIR ${CMAKE_BINARY_DIR}/installer)
add_custom_command(
  OUTPUT ${LEXMORA_INSTALLER_DIR}/Lexmora-${PROJECT_VERSION}-win64-setup.exe
  COMMAND ${CMAKE_CPACK_COMMAND} -G NSIS -B ${LEXMORA_INSTALLER_DIR}
  DEPENDS Lexmora lexmora-import lexmora_stage ${staged_sources} ${CMAKE_BINARY_DIR}/CPackConfig.cmake
          ${CMAKE_SOURCE_DIR}/cmake/NSIS.template.in ${CPACK_PROJECT_CONFIG_FILE}
          ${CPACK_PRE_BUILD_SCRIPTS} ${CPACK_NSIS_MUI_ICON}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Packing the installer")
add_custom_target(lexmora_installer
                  DEPENDS ${LEXMORA_INSTALLER_DIR}/Lexmora-${PROJECT_VERSION}-win64-setup.exe)
