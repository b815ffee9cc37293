# Run by cpack once the program is staged (CPACK_PRE_BUILD_SCRIPTS). For the installer it writes
# LexmoraFiles.nsh, which names every staged file and folder, so that the uninstaller removes
# exactly what the installer wrote and nothing a user put beside it.
if(NOT CPACK_GENERATOR STREQUAL "NSIS")
  return()
endif()

set(tree "${CPACK_TEMPORARY_DIRECTORY}/${CPACK_LEXMORA_PROGRAM_FOLDER}")
if(NOT IS_DIRECTORY "${tree}")
  message(FATAL_ERROR "The staged program folder ${tree} is missing")
endif()

# A path relative to the program folder, as an NSIS string: backslashes, and $ doubled.
function(nsis_path out path)
  string(REPLACE "/" "\\" path "${path}")
  string(REPLACE "$" "$$" path "${path}")
  set(${out} "\"${path}\"" PARENT_SCOPE)
endfunction()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${tree}" "${tree}/*")
file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${tree}" "${tree}/*")
set(folders ${entries})
if(files)
  list(REMOVE_ITEM folders ${files})
endif()
list(SORT files)
# A folder sorts before everything inside it, so the reversed order empties children first.
list(SORT folders)
list(REVERSE folders)

set(program_lines "")
set(dictionary_lines "")
set(index_lines "")
foreach(file IN LISTS files)
  nsis_path(quoted "${file}")
  if(file MATCHES "^Dictionaries/([^/]*)\\.dat$")
    string(APPEND dictionary_lines "  !insertmacro \${_action} ${quoted}\n")
    foreach(ext IN LISTS CPACK_LEXMORA_INDEX_EXTENSIONS)
      nsis_path(index "Dictionaries/${CMAKE_MATCH_1}.${ext}")
      string(APPEND index_lines "  !insertmacro \${_action} ${quoted} ${index}\n")
    endforeach()
  else()
    string(APPEND program_lines "  !insertmacro \${_action} ${quoted}\n")
  endif()
endforeach()
set(folder_lines "")
foreach(folder IN LISTS folders)
  nsis_path(quoted "${folder}")
  string(APPEND folder_lines "  !insertmacro \${_action} ${quoted}\n")
endforeach()

file(WRITE "${CPACK_TOPLEVEL_DIRECTORY}/LexmoraFiles.nsh"
     "; Written by cmake/InstallerFiles.cmake while packaging; paths are relative to $INSTDIR.\n"
     "; Every folder the installer makes, each before the folder that holds it.\n"
     "!macro LEXMORA_FOR_EACH_FOLDER _action\n${folder_lines}!macroend\n"
     "; Every file the installer writes but the dictionaries.\n"
     "!macro LEXMORA_FOR_EACH_PROGRAM_FILE _action\n${program_lines}!macroend\n"
     "; The dictionaries the installer writes.\n"
     "!macro LEXMORA_FOR_EACH_DICTIONARY _action\n${dictionary_lines}!macroend\n"
     "; Each of those dictionaries with each index file the program may write beside it.\n"
     "!macro LEXMORA_FOR_EACH_INDEX _action\n${index_lines}!macroend\n")
