# Cross build of the Windows programs with Debian's mingw-w64. The -posix
# compilers are the ones whose std::thread and std::mutex work.
# OMBRIX_WINDOWS_ARCH picks x86_64 (the default) or i686.
set(CMAKE_SYSTEM_NAME Windows)
if(NOT OMBRIX_WINDOWS_ARCH)
  set(OMBRIX_WINDOWS_ARCH x86_64)
endif()
set(CMAKE_SYSTEM_PROCESSOR ${OMBRIX_WINDOWS_ARCH})
set(triple ${OMBRIX_WINDOWS_ARCH}-w64-mingw32)

set(CMAKE_C_COMPILER ${triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triple}-g++-posix)
set(CMAKE_RC_COMPILER ${triple}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The program folder holds nothing but the programs and the list: the C++
# runtime and the thread library are linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

