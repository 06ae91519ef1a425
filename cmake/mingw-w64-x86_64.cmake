# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix-threads compilers, which
# give std::thread and std::mutex). TALLIX_QT_PREFIX (a cache variable or the environment) names the
# Qt built for Windows by scripts/setup-windows; the Qt build itself uses this file without it.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)

if(NOT TALLIX_QT_PREFIX AND DEFINED ENV{TALLIX_QT_PREFIX})
  set(TALLIX_QT_PREFIX "$ENV{TALLIX_QT_PREFIX}")
endif()
# try_compile() projects read this file again: hand them the prefix.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TALLIX_QT_PREFIX)

set(CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${TALLIX_QT_PREFIX})
# Programs (moc, rcc, uic, makensis) come from the build machine, everything linked from the target.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's code generators (moc, rcc, uic) are the build machine's, from Debian's Qt of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
