# The Windows installer, ombrix-VERSION-win64-setup.exe (win32 for the 32-bit
# build), made with NSIS's makensis over the program folder that the install
# rules give: whatever they install, the installer installs and its uninstaller
# removes.
find_program(OMBRIX_MAKENSIS makensis REQUIRED)
set(stage ${PROJECT_BINARY_DIR}/installer/stage)
set(files ${PROJECT_BINARY_DIR}/installer/files.nsh)
set(OMBRIX_INSTALLER ${PROJECT_BINARY_DIR}/ombrix-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME}-setup.exe)
set(script ${PROJECT_SOURCE_DIR}/packaging/windows/ombrix.nsi)
add_custom_command(OUTPUT ${OMBRIX_INSTALLER}
  COMMAND ${CMAKE_COMMAND} -DBUILD=${PROJECT_BINARY_DIR} -DSTAGE=${stage} -DFILES=${files}
          -P ${PROJECT_SOURCE_DIR}/packaging/windows/StageInstaller.cmake
  COMMAND ${OMBRIX_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DVERSION4=${OMBRIX_VERSION4} -DPUBLISHER=${OMBRIX_PUBLISHER}
          -DCOPYRIGHT=${OMBRIX_COPYRIGHT} -DARCH=${OMBRIX_WINDOWS_ARCH}
          -DFILES=${files} -DOUTFILE=${OMBRIX_INSTALLER} ${script}
  DEPENDS ${OMBRIX_WINDOWS_PROGRAMS} ${script} ${PROJECT_SOURCE_DIR}/packaging/windows/StageInstaller.cmake
          ${PROJECT_SOURCE_DIR}/resources/ombrix.ini
  COMMENT "Making the installer ${OMBRIX_INSTALLER}"
  VERBATIM)
add_custom_target(installer ALL DEPENDS ${OMBRIX_INSTALLER})
