# Cross-compiles Windows x86-64 executables with the Debian MinGW-w64 toolchain
# (posix thread model, so std::thread and std::mutex work).
#
#   cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# Libraries built for Windows by scripts/setup (libjpeg-turbo, GoogleTest) are
# installed under .deps/mingw; find_package looks there and in the MinGW sysroot
# only, never in the host's /usr, so a Linux libjpeg can't leak into the link.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZUMORIKA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZUMORIKA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZUMORIKA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZUMORIKA_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${ZUMORIKA_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZUMORIKA_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# The prefix may be moved with ZUMORIKA_MINGW_PREFIX (environment or cache).
if(NOT ZUMORIKA_MINGW_PREFIX)
  if(DEFINED ENV{ZUMORIKA_MINGW_PREFIX})
    set(ZUMORIKA_MINGW_PREFIX "$ENV{ZUMORIKA_MINGW_PREFIX}")
  else()
    get_filename_component(ZUMORIKA_MINGW_PREFIX
      "${CMAKE_CURRENT_LIST_DIR}/../.deps/mingw" ABSOLUTE)
  endif()
endif()
# try_compile projects re-read this file in a scratch folder; pass the prefix on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZUMORIKA_MINGW_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${ZUMORIKA_MINGW_PREFIX}" /usr/${ZUMORIKA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Lets ctest and custom commands start the test executables under Wine.
get_filename_component(ZUMORIKA_WINE_EXEC
  "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-exec" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${ZUMORIKA_WINE_EXEC}")
