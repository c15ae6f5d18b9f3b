# Cross build for 64-bit Windows with the mingw-w64 toolchain (Debian
# packages g++-mingw-w64-x86-64-posix or mingw-w64). The program is linked
# statically, so it runs under Wine or on Windows without extra DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingwPrefix x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${mingwPrefix}-g++-posix ${mingwPrefix}-g++ REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${mingwPrefix})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
