# Cross build for 64-bit Windows with Debian's MinGW-w64 (the -posix thread model: std::thread and
# std::mutex need it). Programs are linked statically, so each .exe needs only system DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(K2L_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${K2L_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${K2L_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${K2L_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${K2L_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# The debug build is the tests' build under Wine: line tables and functions (what a backtrace
# shows) are all it needs, and linking the full debug information of static programs is slow.
set(CMAKE_CXX_FLAGS_DEBUG "-g1" CACHE STRING "Flags of the debug build")
# Release programs carry no symbols: they are what goes to the operators.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Tests run under Wine, in a prefix of the build folder's own (made once, kept quiet).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)
