# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix threads, for std::thread and
# friends) and runs what the build runs (test discovery, tests) under Wine.
#
# VELMORA_WIN_PREFIX names the folder the Windows builds of the libraries are installed to;
# scripts/build-windows sets it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELMORA_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELMORA_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELMORA_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VELMORA_MINGW_TRIPLET}-windres)

# Only the MinGW sysroot and our own prefix hold Windows libraries; the host's /usr must never
# leak into a Windows build.
set(CMAKE_FIND_ROOT_PATH /usr/${VELMORA_MINGW_TRIPLET})
if(VELMORA_WIN_PREFIX)
  list(APPEND CMAKE_FIND_ROOT_PATH ${VELMORA_WIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs must run from a folder with no DLL beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Wine in a prefix of the build's own, made on first use without a display: no debug chatter,
# and no offer to install Mono or Gecko (those dialogs would wait for a click forever).
set(VELMORA_WINEPREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    env WINEDEBUG=-all WINEPREFIX=${VELMORA_WINEPREFIX} "WINEDLLOVERRIDES=mscoree,mshtml="
    ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
