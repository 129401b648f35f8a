# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (POSIX thread model,
# so std::thread works). The executables link the GCC runtime and winpthread
# statically, so they run under Wine without copying DLLs next to them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PELLRIG_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PELLRIG_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PELLRIG_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${PELLRIG_MINGW_TRIPLET}-windres)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

set(CMAKE_FIND_ROOT_PATH /usr/${PELLRIG_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The header-only packages (CLI11, nlohmann_json) are found through the host's
# package files; PellrigCrossCompiling.cmake keeps their headers apart from the
# host's other headers.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Tests and test discovery run the .exe files through Wine, in a prefix of the
# build's own, quietly and without asking to install Mono or Gecko.
find_program(PELLRIG_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT PELLRIG_WINE)
  find_program(PELLRIG_WINE NAMES wine64 wine)
endif()
if(PELLRIG_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      env WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
          ${PELLRIG_WINE})
endif()
