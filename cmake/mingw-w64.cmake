# Cross build for 64-bit Windows with Debian's mingw-w64 (posix thread model, for
# std::thread and std::mutex). The C++ runtime, libgcc and winpthread are linked in, so
# kevprint.exe needs no DLL beyond the system's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KEV_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KEV_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KEV_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KEV_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KEV_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Tests run under wine, headless, in a prefix inside the build tree.
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_CURRENT_LIST_DIR}/wine.sh ${CMAKE_BINARY_DIR}/wine)
