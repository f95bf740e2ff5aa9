# Cross-builds the Windows programs with Debian's mingw-w64 (x86_64, posix
# threads) and runs what it built under Wine. tools/test-windows.sh chains it
# behind the toolchain file of Qt for Windows (tools/qt-windows.sh):
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=<qt>/lib/cmake/Qt6/qt.toolchain.cmake \
#     -DQT_CHAINLOAD_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# and alone it builds the core and vantrel-cli.exe (-DVANTREL_BUILD_GUI=OFF).
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

# One C++ runtime for every program and for Qt: the DLLs of Debian's
# mingw-w64 (libstdc++-6, libgcc_s_seh-1, libwinpthread-1), shipped beside
# the programs. Linking it statically into the programs as well would put two
# runtimes in one process, each with its own heap and exception tables.
set(VANTREL_MINGW_RUNTIME_DIRS
  /usr/lib/gcc/${vantrel_mingw_triple}/12-posix
  /usr/${vantrel_mingw_triple}/lib
  CACHE STRING "Folders holding mingw-w64's runtime DLLs")

# Test programs and build steps that run what was built do so under Wine.
find_program(VANTREL_WINE NAMES wine wine64)
if(VANTREL_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VANTREL_WINE})
endif()
