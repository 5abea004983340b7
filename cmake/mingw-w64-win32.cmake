# What both Windows toolchains share, for VANTREL_MINGW_PREFIX: Debian's
# mingw-w64 with the win32 thread model, whose runtime needs no thread library
# (winpthread), whose imports the oldest supported systems lack. GoogleTest's
# one use of std::mutex is replaced in tests/wine/gtest-custom.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${VANTREL_MINGW_PREFIX}-gcc-win32)
set(CMAKE_CXX_COMPILER ${VANTREL_MINGW_PREFIX}-g++-win32)
set(CMAKE_RC_COMPILER ${VANTREL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
