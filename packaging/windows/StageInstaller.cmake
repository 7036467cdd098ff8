# The installer's program folder: what `cmake --install` puts there, stripped,
# and the lists of it the installer's script takes, so that the uninstaller
# removes exactly what was installed.
#
# cmake -DBUILD=FOLDER -DSTAGE=FOLDER -DFILES=INCLUDE_FILE -P StageInstaller.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${STAGE}" --strip
                OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE files RELATIVE "${STAGE}" LIST_DIRECTORIES false "${STAGE}/*")
list(SORT files)

set(install "!macro InstallFiles\n")
set(uninstall "!macro UninstallFiles\n")
set(folders)
foreach(file IN LISTS files)
  get_filename_component(folder "${file}" DIRECTORY)
  string(REPLACE / \\ windows "${file}")
  if(folder)
    string(REPLACE / \\ windows_folder "\\${folder}")
  else()
    set(windows_folder "")
  endif()
  string(APPEND install "  SetOutPath \"$INSTDIR${windows_folder}\"\n  File \"${STAGE}/${file}\"\n")
  string(APPEND uninstall "  Delete \"$INSTDIR\\${windows}\"\n")
  while(folder)
    list(APPEND folders "${folder}")
    get_filename_component(folder "${folder}" DIRECTORY)
  endwhile()
endforeach()
# Folders go deepest first, and only when empty: what the user put there stays.
list(REMOVE_DUPLICATES folders)
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
  string(REPLACE / \\ folder "${folder}")
  string(APPEND uninstall "  RMDir \"$INSTDIR\\${folder}\"\n")
endforeach()
file(WRITE "${FILES}" "${install}  SetOutPath \"$INSTDIR\"\n!macroend\n${uninstall}!macroend\n")
