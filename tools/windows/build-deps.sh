#!/bin/bash
# Cross-builds the libraries of the Windows build with MinGW-w64 from Debian's
# source packages of the versions the Linux build uses: libjpeg-turbo, tiff,
# qpdf, qt6-base and googletest (zlib comes ready-made as libz-mingw-w64-dev).
#
# They go into a cache outside the clone, PAGESMITH_MINGW_CACHE or
# ~/.cache/pagesmith-mingw, one folder per library named after its version
# and a digest of its recipe; a library is built again only when one of those
# (or the compiler, or a library it depends on) changes. Edits of the
# toolchain file do not count: remove the cache folder to rebuild after one
# that matters to the libraries. At the end the cache
# holds prefixes.txt, the folders the toolchain file and the Wine runner use.
#
# The builds run at the lowest priority with JOBS (2) jobs: the machine is
# shared.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
cache=${PAGESMITH_MINGW_CACHE:-$HOME/.cache/pagesmith-mingw}
jobs=${JOBS:-2}
toolchain=$root/cmake/mingw-w64-x86_64.cmake
sysroot=/usr/x86_64-w64-mingw32

# The Linux build's packages name the versions; these build the Windows ones.
"$root/tools/install-deps.sh" \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    mingw-w64-tools libz-mingw-w64-dev wine wine64 dpkg-dev ninja-build nasm perl xz-utils

# apt-get source needs the source lists. They come from the machine's own
# Debian entries, so the mirror stays whatever the machine uses.
add_source_lists() {
    if [ -n "$(apt-cache showsrc tiff 2>/dev/null)" ]; then
        return
    fi
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    if [ -f /etc/apt/sources.list.d/debian.sources ]; then
        sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            $sudo tee /etc/apt/sources.list.d/pagesmith-deb-src.sources >/dev/null
    elif grep -qs '^deb ' /etc/apt/sources.list; then
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
            $sudo tee /etc/apt/sources.list.d/pagesmith-deb-src.list >/dev/null
    else
        echo "build-deps: no Debian entry in /etc/apt to copy for the source lists" >&2
        exit 1
    fi
    $sudo apt-get update
}
add_source_lists

# The source version of the installed binary package.
source_version() {
    dpkg-query -W -f='${source:Version}' "$1"
}

# Unpacks the source package $1 at version $2 into folder $3, with Debian's
# patches applied. The archive may no longer serve the newest security
# version's files; then the newest version it does serve is taken, and said.
fetch_source() {
    local package=$1 wanted=$2 into=$3 work version
    work=$(mktemp -d "$cache/tmp/fetch.XXXXXX")
    for version in "$wanted" $(apt-cache showsrc --only-source "$package" |
        sed -n 's/^Version: //p' | sort -u -r -V); do
        if (cd "$work" && apt-get source --download-only "$package=$version") >"$work/log" 2>&1; then
            [ "$version" = "$wanted" ] ||
                echo "build-deps: $package $wanted is not served as source; building $version"
            dpkg-source --no-check -x "$work"/*.dsc "$into" >/dev/null
            echo "$version" >"$into/.source-version"
            rm -rf "$work"
            return
        fi
    done
    cat "$work/log" >&2
    echo "build-deps: no source of $package could be fetched" >&2
    exit 1
}

cmake_cross() {
    nice -n 19 cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release "$@"
}

build_and_install() {
    nice -n 19 cmake --build "$1" -j "$jobs"
    nice -n 19 cmake --install "$1"
}

# Recipes: each gets the unpacked source, a build folder and the prefix to
# install into. Their text is part of the cache key, so editing one rebuilds
# that library (and those built on it).

# Built with the SIMD code, as Debian builds it for Linux; nasm assembles it.
recipe_libjpeg_turbo() {
    cmake_cross -S "$1" -B "$2" -DCMAKE_INSTALL_PREFIX="$3" \
        -DENABLE_SHARED=ON -DENABLE_STATIC=OFF -DWITH_TURBOJPEG=OFF \
        -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
    build_and_install "$2"
}

# The codecs the project uses, and Deflate (zlib) for reading.
recipe_tiff() {
    cmake_cross -S "$1" -B "$2" -DCMAKE_INSTALL_PREFIX="$3" \
        -DBUILD_SHARED_LIBS=ON -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF \
        -Dtiff-docs=OFF -Dsphinx=OFF -Dcxx=OFF -Djpeg=ON -Dold-jpeg=ON -Dzlib=ON \
        -Dlibdeflate=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF -Djbig=OFF -Dlerc=OFF
    build_and_install "$2"
}

recipe_googletest() {
    cmake_cross -S "$1" -B "$2" -DCMAKE_INSTALL_PREFIX="$3" -DBUILD_GMOCK=ON
    build_and_install "$2"
}

# Core, Gui, Widgets, Test and the windows platform plugin. Without
# INPUT_opengl=no, dynamic OpenGL stays on and does not compile; Debian's
# source has no wintab headers, so no tablet events; direct2d stays on, as
# qwindows.dll does not link without it.
recipe_qt6_base() {
    cmake_cross -S "$1" -B "$2" -DCMAKE_INSTALL_PREFIX="$3" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_BENCHMARKS=OFF \
        -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
        -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF \
        -DFEATURE_vulkan=OFF -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_testlib=ON \
        -DFEATURE_system_zlib=ON -DINPUT_opengl=no -DFEATURE_tabletevent=OFF
    build_and_install "$2"
}

# The library alone (no tools, tests or examples), with its own crypto only;
# zlib from the MinGW package, libjpeg from the cache, both found through the
# toolchain's search paths: pkg-config would answer with the host's. Its AES
# code takes uint32_t from <cstdint> without including it, which glibc's
# headers bring along and MinGW's do not.
recipe_qpdf() {
    PKG_CONFIG_LIBDIR=/nonexistent cmake_cross -S "$1" -B "$2" -DCMAKE_INSTALL_PREFIX="$3" \
        -DCMAKE_CXX_FLAGS="-include cstdint" \
        -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF -DBUILD_DOC=OFF \
        -DUSE_IMPLICIT_CRYPTO=OFF -DREQUIRE_CRYPTO_NATIVE=ON -DINSTALL_EXAMPLES=OFF \
        -DINSTALL_PKGCONFIG=OFF -DINSTALL_CMAKE_PACKAGE=ON
    nice -n 19 cmake --build "$2" -j "$jobs" --target libqpdf
    # The library's component would copy the MinGW runtime DLLs beside
    # qpdf.exe, which is not built: the program takes them from the runtime.
    # On Windows the DLL, its import library and the CMake package files are
    # installed with no component of their own.
    mkdir -p "$2/qpdf/extra-dlls"
    for component in lib dev Unspecified; do
        nice -n 19 cmake --install "$2" --component "$component"
    done
}

compiler=$(x86_64-w64-mingw32-g++-posix --version | head -n 1)
prefixes=()

# Builds library $1 from source package $2 at version $3 with recipe $4,
# unless the cache has it. A library built on others gets their folders after
# that ($5...): the build sees those alone, and a change below rebuilds it.
ensure() {
    local name=$1 package=$2 version=$3 recipe=$4
    shift 4
    local digest folder work
    digest=$(printf '%s\n' "$package" "$version" "$(declare -f "$recipe")" \
        "$compiler" "$@" | sha256sum | cut -c 1-12)
    # An epoch's colon would split PATH-like lists.
    folder=$cache/$name-${version#*:}-$digest
    if [ -f "$folder/.complete" ]; then
        echo "build-deps: $name $(cat "$folder/.source-version") is in the cache"
    else
        echo "build-deps: building $name ${version#*:} into $folder"
        rm -rf "$folder"
        work=$(mktemp -d "$cache/tmp/$name.XXXXXX")
        fetch_source "$package" "$version" "$work/source"
        local started=$SECONDS
        # The toolchain finds the libraries this one is built on through this.
        PAGESMITH_MINGW_PREFIXES=$(
            IFS=';'
            echo "$sysroot${*:+;$*}"
        ) "$recipe" "$work/source" "$work/build" "$folder"
        cp "$work/source/.source-version" "$folder/.source-version"
        touch "$folder/.complete"
        rm -rf "$work"
        echo "build-deps: $name built in $((SECONDS - started)) s"
        # Older builds of the same library only take room.
        find "$cache" -mindepth 1 -maxdepth 1 -type d -name "$name-*" ! -path "$folder" \
            -exec rm -rf {} +
    fi
    prefixes+=("$folder")
    last_folder=$folder
}

mkdir -p "$cache/tmp"
rm -rf "${cache:?}/tmp/"*

ensure libjpeg-turbo libjpeg-turbo "$(source_version libjpeg62-turbo-dev)" recipe_libjpeg_turbo
jpeg=$last_folder
ensure tiff tiff "$(source_version libtiff-dev)" recipe_tiff "$jpeg"
ensure qpdf qpdf "$(source_version libqpdf-dev)" recipe_qpdf "$jpeg"
ensure googletest googletest "$(source_version libgtest-dev)" recipe_googletest
ensure qt6-base qt6-base "$(source_version qt6-base-dev)" recipe_qt6_base

printf '%s\n' "${prefixes[@]}" >"$cache/prefixes.txt"
echo "build-deps: the Windows libraries are in $cache ($(du -sh "$cache" | cut -f 1))"
