# Cross toolchain for 64-bit Windows: Debian's mingw-w64 GCC 12, the posix-threads variant
# (the default compilers are the win32-threads one, which lacks std::thread and friends).
# Used with Qt's own toolchain file, as its QT_CHAINLOAD_TOOLCHAIN_FILE (see scripts/windows),
# and to build that Qt from source.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_qc_tc x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   /usr/bin/${_qc_tc}-gcc-posix)
set(CMAKE_CXX_COMPILER /usr/bin/${_qc_tc}-g++-posix)
set(CMAKE_RC_COMPILER  /usr/bin/${_qc_tc}-windres)
set(CMAKE_AR           /usr/bin/${_qc_tc}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       /usr/bin/${_qc_tc}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP        /usr/bin/${_qc_tc}-strip CACHE FILEPATH "")
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_qc_tc})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Windows programs built here run under Debian's Wine (try_run, and the tests through
# tests/wine/wine_run, which sets the prefix and Qt's variables for them).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
