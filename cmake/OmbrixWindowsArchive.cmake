# The release archive: the program folder as one ZIP (`cpack -G ZIP` in the build
# folder), holding the three programs and ombrix.ini.
set(CPACK_PACKAGE_NAME ombrix)
set(CPACK_PACKAGE_VENDOR Ombrix)
if(OMBRIX_WINDOWS_ARCH STREQUAL i686)
  set(CPACK_SYSTEM_NAME win32)
else()
  set(CPACK_SYSTEM_NAME win64)
endif()
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
include(CPack)
