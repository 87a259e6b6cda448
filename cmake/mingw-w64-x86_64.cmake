# Cross-builds for 64-bit Windows with Debian's MinGW-w64 (posix threads),
# against the libraries tools/windows/build-deps.sh built into its cache;
# programs built here run under Wine (tests through ctest, generators).
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PAGESMITH_MINGW_TRIPLE x86_64-w64-mingw32)
# The posix flavour: the win32 one has no std::thread.
set(CMAKE_C_COMPILER ${PAGESMITH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAGESMITH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PAGESMITH_MINGW_TRIPLE}-windres)

if(DEFINED ENV{PAGESMITH_MINGW_CACHE})
    set(PAGESMITH_MINGW_CACHE "$ENV{PAGESMITH_MINGW_CACHE}")
else()
    set(PAGESMITH_MINGW_CACHE "$ENV{HOME}/.cache/pagesmith-mingw")
endif()

# The install prefixes of the cross-built libraries, one a line, written by
# build-deps.sh once they are all built; while it builds them, it names the
# ones built so far in the environment instead.
if(DEFINED ENV{PAGESMITH_MINGW_PREFIXES})
    set(PAGESMITH_MINGW_PREFIXES "$ENV{PAGESMITH_MINGW_PREFIXES}")
elseif(EXISTS "${PAGESMITH_MINGW_CACHE}/prefixes.txt")
    file(STRINGS "${PAGESMITH_MINGW_CACHE}/prefixes.txt" PAGESMITH_MINGW_PREFIXES)
else()
    message(FATAL_ERROR "No Windows libraries in ${PAGESMITH_MINGW_CACHE}: run make windows-deps first")
endif()

# Headers, libraries and packages for the target only: the host's Qt and
# libtiff must never be picked up. The host's programs (moc, rcc, uic) come
# from the host Qt through QT_HOST_PATH.
set(CMAKE_FIND_ROOT_PATH /usr/${PAGESMITH_MINGW_TRIPLE} ${PAGESMITH_MINGW_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)

# Runs a Windows program under Wine with the libraries' DLLs on its path.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../tools/windows/run-under-wine.sh")
