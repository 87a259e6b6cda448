#!/bin/bash
# Puts the Windows program of a build folder into a zip that runs wherever it
# is unpacked: pagesmith.exe, the DLLs it loads (found by following the
# import tables through the MinGW runtime and the dependency cache; the
# system's own DLLs stay out), the Qt plugins it needs (the windows platform
# and the Windows style, nothing else: the program reads no image format
# through a plugin), everything stripped, with the user guide, the README,
# the licence and the libraries' licences.
#
#   package.sh BUILD-FOLDER
# writes BUILD-FOLDER/pagesmith-VERSION-windows-x64.zip.
set -euo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${PAGESMITH_MINGW_CACHE:-$HOME/.cache/pagesmith-mingw}
triple=x86_64-w64-mingw32

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=pagesmith-$version-windows-x64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip"
mkdir -p "$stage/platforms" "$stage/styles"

# Where the DLLs of the build come from, in the order the loader would meet
# them on WINEPATH.
runtime=$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")
folders=("$runtime" "/usr/$triple/lib" "/usr/$triple/bin")
while IFS= read -r prefix; do
    folders+=("$prefix/bin")
done <"$cache/prefixes.txt"
qt=$(grep -m 1 '/qt6-base-' "$cache/prefixes.txt")

find_dll() {
    local folder
    for folder in "${folders[@]}"; do
        if [ -f "$folder/$1" ]; then
            echo "$folder/$1"
            return
        fi
    done
}

# Copies file $1 into folder $2, then every DLL it imports that is not the
# system's, once each.
declare -A copied
add() {
    local file=$1 into=$2 dll found
    cp "$file" "$into/"
    while IFS= read -r dll; do
        [ -n "${copied[${dll,,}]:-}" ] && continue
        found=$(find_dll "$dll")
        [ -z "$found" ] && continue # a system DLL
        copied[${dll,,}]=1
        add "$found" "$stage"
    done < <($triple-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
}

add "$build/pagesmith.exe" "$stage"
add "$qt/plugins/platforms/qwindows.dll" "$stage/platforms"
add "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles"
find "$stage" -name '*.exe' -o -name '*.dll' | xargs $triple-strip --strip-unneeded

cp "$root/README.md" "$build/pagesmith-guide.html" "$stage/"
[ -f "$root/LICENSE" ] && cp "$root/LICENSE" "$stage/"
for picture in "$root"/resources/help/*.png; do
    cp "$picture" "$stage/"
done

# The libraries' licences go with their DLLs: Debian's copyright file of each
# (the same source versions as the DLLs were built from), and the full texts
# those files refer to.
mkdir -p "$stage/licences"
while read -r library package; do
    cp "/usr/share/doc/$package/copyright" "$stage/licences/$library.txt"
done <<'LIBRARIES'
Qt libqt6core6
libtiff libtiff6
libjpeg-turbo libjpeg62-turbo
zlib libz-mingw-w64
qpdf libqpdf29
MinGW-w64-runtime mingw-w64-x86-64-dev
GCC-runtime gcc-mingw-w64-x86-64-posix-runtime
LIBRARIES
for text in LGPL-3 GPL-3 Apache-2.0; do
    cp "/usr/share/common-licenses/$text" "$stage/licences/$text.txt"
done

(cd "$build" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "package: $build/$name.zip ($(du -k "$build/$name.zip" | cut -f 1) KB)"
(cd "$stage" && find . -type f | sort | sed 's|^\./|  |')
