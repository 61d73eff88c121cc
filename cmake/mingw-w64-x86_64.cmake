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

# Every Windows build of the checkout, the libraries scripts/setup builds
# into .deps among them, is hardened and records no build path:
#  - -fstack-protector-strong guards the frames that hold arrays or take
#    addresses, and _FORTIFY_SOURCE=2 has MinGW-w64's string.h and stdio.h
#    check copies into buffers of known size (it needs optimisation; without
#    it the headers leave the plain calls). Both call into GCC's libssp,
#    which GCC's driver links (-lssp_nonshared -lssp) when the flag is on the
#    link line too, as CMake puts it; linked with -static it is no DLL;
#  - -ffile-prefix-map writes the checkout's path as "." into __FILE__ and
#    debug information, so that builds in different folders give the same
#    bytes. A build folder outside the checkout is mapped too.
get_filename_component(ZUMORIKA_CHECKOUT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(ZUMORIKA_MINGW_FLAGS "-fstack-protector-strong -D_FORTIFY_SOURCE=2 -ffile-prefix-map=${ZUMORIKA_CHECKOUT}=.")
string(FIND "${CMAKE_BINARY_DIR}/" "${ZUMORIKA_CHECKOUT}/" ZUMORIKA_BUILD_IN_CHECKOUT)
if(CMAKE_BINARY_DIR AND NOT ZUMORIKA_BUILD_IN_CHECKOUT EQUAL 0)
  string(APPEND ZUMORIKA_MINGW_FLAGS " -ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
endif()
set(CMAKE_C_FLAGS_INIT "${ZUMORIKA_MINGW_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${ZUMORIKA_MINGW_FLAGS}")

# Lets ctest and custom commands start the test executables under Wine.
get_filename_component(ZUMORIKA_WINE_EXEC
  "${CMAKE_CURRENT_LIST_DIR}/../scripts/lib/wine-exec" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${ZUMORIKA_WINE_EXEC}")
