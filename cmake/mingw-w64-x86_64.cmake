# Cross build of the command-line checker for 64-bit Windows with Debian's MinGW-w64
# (g++-mingw-w64-x86-64-posix: the variant with std::thread). The programs link the C++
# runtime, libgcc and winpthread statically, so that they run on a bare Windows 10 or 11.
# Tests and programs run here under wine64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ARTI_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ARTI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ARTI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ARTI_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ARTI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# Debian installs the 64-bit loader outside PATH.
find_program(ARTI_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ARTI_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ARTI_WINE64})
endif()
