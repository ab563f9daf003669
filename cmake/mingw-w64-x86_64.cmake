# Cross build for 64-bit Windows with MinGW-w64 (posix thread model, for
# std::thread), linked statically: a MinGW program without libstdc++-6.dll
# beside it does not start. wine runs the tests.
#   -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#   -DFARLAUNCH_MINGW_DEPS=<the folder scripts/windows-deps prints>
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_host x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_host}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_host}-windres)
set(CMAKE_AR ${mingw_host}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${mingw_host}-gcc-ranlib-posix CACHE FILEPATH "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The cross-built libraries come first, then MinGW's own (zlib).
set(FARLAUNCH_MINGW_DEPS "$ENV{FARLAUNCH_MINGW_DEPS}" CACHE PATH
  "The cross-built dependencies (the folder scripts/windows-deps prints)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FARLAUNCH_MINGW_DEPS)
set(CMAKE_FIND_ROOT_PATH ${FARLAUNCH_MINGW_DEPS} /usr/${mingw_host})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config reads the .pc files of the cross-built libraries only.
set(ENV{PKG_CONFIG_LIBDIR} "${FARLAUNCH_MINGW_DEPS}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
# MinGW ships zlib as an import library too; link the static one.
set(ZLIB_USE_STATIC_LIBS ON)
