# Cross-building for 64-bit Windows with Debian's mingw-w64 (posix threads, for
# std::thread and friends), running the built programs under wine, so that ctest
# runs the Windows tests directly.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# A Qt for Windows given in CMAKE_PREFIX_PATH is part of the target system too.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${CMAKE_PREFIX_PATH})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Without Qt: one executable that needs no compiler DLLs beside it. With Qt, whose
# DLLs share the C++ runtime with the program, the runtime DLLs ship beside them
# (-DVESNOR_MINGW_SHARED_RUNTIME=ON).
if(NOT VESNOR_MINGW_SHARED_RUNTIME)
    set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()

find_program(VESNOR_WINE NAMES wine wine64)
if(VESNOR_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${VESNOR_WINE})
endif()
