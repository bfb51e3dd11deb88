# Cross toolchain for 32-bit Windows with Debian's mingw-w64 (posix thread
# model: the win32 model has no std::mutex and GoogleTest needs it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
# The cross-built static libraries live in one prefix made by scripts/bootstrap;
# CMAKE_PREFIX_PATH alone does not find them under a find-root.
# The preset names this tree's link to it (build/deps); a tree whose
# bootstrap has not run yet takes the one the last bootstrap made.
if(SNAPWELL_DEPS_PREFIX AND NOT EXISTS "${SNAPWELL_DEPS_PREFIX}/lib")
    set(SNAPWELL_DEPS_PREFIX "$ENV{HOME}/.cache/snapwell-deps/mingw32")
endif()
if(SNAPWELL_DEPS_PREFIX)
    list(APPEND CMAKE_FIND_ROOT_PATH "${SNAPWELL_DEPS_PREFIX}")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
