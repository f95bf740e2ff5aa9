# Cross-builds the Windows program with Debian's mingw-w64 (x86_64, posix
# threads) and runs what it built under Wine:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVANTREL_BUILD_GUI=OFF
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(vantrel_mingw_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${vantrel_mingw_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${vantrel_mingw_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${vantrel_mingw_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${vantrel_mingw_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One .exe with no DLL beside it: the C and C++ runtimes and winpthread
# linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs and build steps that run what was built do so under Wine.
find_program(VANTREL_WINE NAMES wine wine64)
if(VANTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_WINE})
endif()
