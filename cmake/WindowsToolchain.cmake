# The 64-bit Windows build on Debian: MinGW-w64 (posix threads) and the sysroot of
# ../shared/windows/ (Qt, SQLCipher, libxlsxwriter, libpq), unpacked by
# `bash scripts/setup.sh windows` into build-windows/sysroot. Pass it as
# -DCMAKE_TOOLCHAIN_FILE=cmake/WindowsToolchain.cmake -DWINDOWS_SYSROOT=<folder>/sysroot.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${WINDOWS_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# try_compile projects read this file again: hand them the sysroot too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES WINDOWS_SYSROOT)
# pkg-config finds the sysroot's .pc files (they locate themselves through ${pcfiledir}).
if(WINDOWS_SYSROOT)
    set(ENV{PKG_CONFIG_LIBDIR} "${WINDOWS_SYSROOT}/lib/pkgconfig")
    set(ENV{PKG_CONFIG_PATH} "")
endif()
# Qt's host tools (moc, rcc, uic) come from Debian's qt6-base-dev-tools of the same version.
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
# The program's own binaries carry the C++ runtime, so only the Qt DLLs need the MinGW runtime
# DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
# ctest runs the tests (and custom commands their tools) under Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/windows/wine-run.sh
    ${WINDOWS_SYSROOT})
