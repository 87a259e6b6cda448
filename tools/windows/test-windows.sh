#!/bin/bash
# Runs the Windows build's tests under Wine, then converts the sample folder
# and the shared test data with the Windows program and the Linux program in
# every compression mode and compares the outputs byte for byte.
#
#   test-windows.sh WINDOWS-BUILD LINUX-BUILD
#
# One Wine server serves the whole run (`wineserver -p`), and Wine's own
# services are started before ctest with no standard streams: started by a
# test, they would hold its output pipe open and ctest would wait for them.
set -euo pipefail

windows=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
cache=${PAGESMITH_MINGW_CACHE:-$HOME/.cache/pagesmith-mingw}
export WINEPREFIX=${WINEPREFIX:-$cache/wine}
wine="$root/tools/windows/run-under-wine.sh"
# The window tests measure their text in DejaVu, as the Linux build's do.
"$root/tools/install-deps.sh" fonts-dejavu-core

# A server already running (another run's) is used as it is.
wineserver -p 2>/dev/null || true
trap 'wineserver -k 2>/dev/null || true' EXIT
"$wine" wineboot >/dev/null 2>&1 </dev/null

started=$SECONDS
(cd "$windows" && ctest --output-on-failure -j "${JOBS:-2}")
echo "test-windows: the suites ran in $((SECONDS - started)) s"

# Every folder that holds TIFF files; the shared test data only when present.
inputs=("$root/data/samples")
[ -d "$root/../shared/testdata" ] && inputs+=("$(cd "$root/../shared/testdata" && pwd)")

out=$windows/same-outputs
rm -rf "$out"
started=$SECONDS
# The modes the command line names, then the two only the window offers.
named=(NONE PACKBITS G31D G32D G4 LZW JPEG PDF)
differences=0
for input in "${inputs[@]}"; do
    folder=$(basename "$input")
    # Lower-case folder names: the Windows program lower-cases what it reads
    # from its command line, as Windows names are case-blind.
    for mode in "${named[@]}"; do
        "$linux/pagesmith" /q "/sc=$mode" "/d=$input" "/sd=$out/linux/$folder/${mode,,}" \
            "/log=$out/linux.log" >/dev/null 2>&1 || true
        "$wine" "$windows/pagesmith.exe" /q "/sc=$mode" "/d=Z:$input" \
            "/sd=Z:$out/windows/$folder/${mode,,}" "/log=Z:$out/windows.log" \
            >/dev/null 2>&1 </dev/null || true
    done
    "$linux/tools/convert-modes" "$input" "$out/linux/$folder" 3 5 || true
    "$wine" "$windows/tools/convert-modes.exe" "Z:$input" "Z:$out/windows/$folder" 3 5 \
        </dev/null || true
done

# A PDF document carries the time it was made and an identifier drawn from
# that time: those alone may differ, as between two runs on one system.
without_time() {
    sed -e 's/D:[0-9]\{14\}[^)]*/D:<time>/g' -e 's|/ID \[<[0-9a-f]*><[0-9a-f]*>\]|/ID [<id>]|g' "$1"
}
same_file() {
    case $1 in
    *.pdf) cmp -s <(without_time "$1") <(without_time "$2") ;;
    *) cmp -s "$1" "$2" ;;
    esac
}

compared=0
while IFS= read -r file; do
    compared=$((compared + 1))
    if [ ! -f "$out/windows/$file" ]; then
        echo "test-windows: only the Linux program wrote $file"
        differences=$((differences + 1))
    elif ! same_file "$out/linux/$file" "$out/windows/$file"; then
        echo "test-windows: $file differs"
        differences=$((differences + 1))
    fi
done < <(cd "$out/linux" && find . -type f | sort)
while IFS= read -r file; do
    if [ ! -f "$out/linux/$file" ]; then
        echo "test-windows: only the Windows program wrote $file"
        differences=$((differences + 1))
    fi
done < <(cd "$out/windows" && find . -type f | sort)
echo "test-windows: $compared outputs of ${#inputs[@]} folders in 10 modes compared" \
    "in $((SECONDS - started)) s, $differences differ"
[ "$compared" -gt 0 ] && [ "$differences" -eq 0 ]
