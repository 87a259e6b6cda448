#!/bin/bash
# Shows that two builds of the program behave alike for a user: converts the
# sample folder, the shared test data and a folder of damaged files in every
# mode, merges and converts single files with each build, then compares every
# output byte for byte and every report (exit status, standard output and
# error, run log).
#
#   compare-builds.sh BEFORE-PROGRAM AFTER-PROGRAM [OUTPUT-FOLDER]
#   compare-builds.sh --ref GITREF [OUTPUT-FOLDER]
#
# --ref builds GITREF in a temporary worktree and compares it with
# build/pagesmith of this tree. The two modes only the window offers go
# through tools/convert-modes of each build, when both builds have it.
# OUTPUT-FOLDER (new or empty) keeps what both builds wrote; without it a
# temporary folder is used, kept only when something differs. Both builds run
# on one thread unless PAGESMITH_THREADS says otherwise.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# The modes the command line names; 3 and 5 are the window's Group 3 modes
# without byte-aligned lines, reached through convert-modes only.
modes=(NONE PACKBITS G31D G32D G4 LZW JPEG PDF)
window_modes=(3 5)

fail() {
    echo "compare-builds: $*" >&2
    exit 2
}

usage() {
    fail "usage: compare-builds.sh BEFORE-PROGRAM AFTER-PROGRAM [OUTPUT-FOLDER]" \
        "| compare-builds.sh --ref GITREF [OUTPUT-FOLDER]"
}

absolute_program() {
    [[ -f $1 && -x $1 ]] || fail "no program $1"
    echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
}

helper_of() {
    echo "$(dirname "$1")/tools/convert-modes"
}

# GITREF's program and helper, at the lowest priority: the machine stays
# usable during the build.
build_ref() {
    local ref=$1 tree=$2
    echo "compare-builds: building $ref in $tree" >&2
    git -C "$root" worktree add --detach "$tree" "$ref" >&2
    ref_tree=$tree
    (cd "$tree" &&
        nice cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPAGESMITH_BUILD_BENCH=OFF &&
        nice cmake --build build -j "$(nproc)" --target pagesmith convert-modes) >&2 ||
        fail "$ref does not build"
}

# Damaged files made from the samples, so that the failure lines of the
# reports are compared too. The samples keep their directories at the end, so
# the middle of each file is image data.
make_damaged() {
    local samples=$root/data/samples folder=$1
    mkdir -p "$folder"
    # Cut in the last page: the earlier pages stay readable.
    head -c 8000 "$samples/fax-letter.tif" >"$folder/cut-short.tif"
    changed_in_middle "$samples/colour-photo.tif" "$folder/bad-lzw-data.tif"
    changed_in_middle "$samples/fax-letter.tif" "$folder/bad-g4-data.tif"
    { printf 'II*\0'; head -c 4096 /dev/zero | tr '\0' '\377'; } >"$folder/signature-only.tif"
    cp "$samples/cover-note.txt" "$folder/text.tif"
    : >"$folder/empty.tif"
}

changed_in_middle() {
    cp "$1" "$2"
    printf 'damaged!' | dd of="$2" bs=1 seek=$(($(stat -c %s "$1") / 2)) conv=notrunc status=none
}

# The files /m= and /f= take: those named as TIFF files (the damaged folder's
# text.tif too), in one order whatever the locale.
tiff_names() {
    (cd "$1" && find . -maxdepth 1 -type f \( -iname '*.tif' -o -iname '*.tiff' \) -printf '%f\n' |
        LC_ALL=C sort)
}

# capture NAME COMMAND...: the command's exit status and standard streams.
capture() {
    local report=$live/report/$folder/$1 status=0
    shift
    mkdir -p "$live/report/$folder"
    "$@" >"$report.stdout" 2>"$report.stderr" || status=$?
    echo "$status" >"$report.status"
}

# run_case NAME ARGUMENT...: one run of the program, its run log beside the
# captured streams.
run_case() {
    capture "$1" "$program" /q "${@:2}" "/log=$live/report/$folder/$1.log"
}

destination() {
    echo "$live/out/$folder/$1"
}

run_folder() {
    local input=$1 mode names name
    for mode in "${modes[@]}"; do
        run_case "$mode" "/sc=$mode" "/d=$input" "/sd=$(destination "$mode")"
        run_case "$mode-k-sl" "/sc=$mode" /k /sl "/d=$input" "/sd=$(destination "$mode-k-sl")"
        run_case "$mode-k-tnp-np" "/sc=$mode" /k /tnp /np "/d=$input" \
            "/sd=$(destination "$mode-k-tnp-np")"
    done
    names=$(tiff_names "$input" | paste -sd,)
    for mode in "${modes[@]}"; do
        run_case "merge-$mode" "/d=$input" "/m=$names" \
            "/sf=$(destination "merge-$mode")/merged.tif" "/sc=$mode"
    done
    while IFS= read -r name; do
        run_case "file-$name" "/f=$input/$name" "/sf=$(destination "file-$name")/one.tif" /sc=G4
    done < <(tiff_names "$input")
    if [ "$with_helper" = yes ]; then
        capture window-modes "$(helper_of "$program")" "$input" "$(destination window-modes)" \
            "${window_modes[@]}"
    fi
}

# run_program PROGRAM SIDE: both programs write to the same paths, one after
# the other, so that their reports differ in nothing but times and the
# program's own path.
run_program() {
    program=$1
    live=$out/live
    for input in "${inputs[@]}"; do
        folder=$(basename "$input")
        run_folder "$input"
    done
    mv "$live" "$out/$2"
}

# A PDF document carries the time it was made and an identifier drawn from
# that time.
without_time() {
    sed -e 's/D:[0-9]\{14\}[^)]*/D:<time>/g' -e 's|/ID \[<[0-9a-f]*><[0-9a-f]*>\]|/ID [<id>]|g' "$1"
}

# Each log entry starts with the time of the run and names the program by its
# path.
without_run_details() {
    sed -E -e 's/^[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}/<time>/' \
        -e 's|^CMD : .* /q |CMD : <program> /q |' "$1"
}

same_file() {
    case $1 in
    */report/*) cmp -s <(without_run_details "$1") <(without_run_details "$2") ;;
    *.pdf) cmp -s <(without_time "$1") <(without_time "$2") ;;
    *) cmp -s "$1" "$2" ;;
    esac
}

# Every file either build wrote: outputs under out/, reports under report/.
compare_results() {
    outputs=0 reports=0 differences=0
    local file
    while IFS= read -r file; do
        case $file in
        out/*) outputs=$((outputs + 1)) ;;
        *.status) reports=$((reports + 1)) ;;
        esac
        if [ ! -f "$out/after/$file" ]; then
            echo "compare-builds: only the before build wrote $file"
        elif [ ! -f "$out/before/$file" ]; then
            echo "compare-builds: only the after build wrote $file"
        elif ! same_file "$out/before/$file" "$out/after/$file"; then
            echo "compare-builds: $file differs"
        else
            continue
        fi
        differences=$((differences + 1))
    done < <(cd "$out" && find before after -type f | cut -d/ -f2- | LC_ALL=C sort -u)
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/compare-builds.XXXXXX")
ref_tree=
cleanup() {
    [ -z "$ref_tree" ] || git -C "$root" worktree remove --force "$ref_tree"
    rm -rf "$scratch"
}
trap cleanup EXIT

[[ $# -ge 2 && $# -le 3 ]] || usage
if [ "$1" = --ref ]; then
    [ -x "$root/build/pagesmith" ] || fail "no build/pagesmith: build this tree first (make build)"
    after=$root/build/pagesmith
    build_ref "$2" "$scratch/ref"
    before=$ref_tree/build/pagesmith
else
    before=$(absolute_program "$1")
    after=$(absolute_program "$2")
fi

if [ $# -eq 3 ]; then
    mkdir -p "$3"
    out=$(cd "$3" && pwd)
    [ -z "$(ls -A "$out")" ] || fail "$out is not empty: old results would mix with new ones"
else
    out=$scratch/results
    mkdir "$out"
fi

with_helper=no
if [ -x "$(helper_of "$before")" ] && [ -x "$(helper_of "$after")" ]; then
    with_helper=yes
else
    echo "compare-builds: no tools/convert-modes beside both programs:" \
        "modes ${window_modes[*]} left out" >&2
fi

inputs=("$root/data/samples" "$out/damaged")
[ -d "$root/../shared/testdata" ] && inputs+=("$(cd "$root/../shared/testdata" && pwd)")
make_damaged "$out/damaged"

# No window can open and faults come as text. The user's own settings are
# neither read nor changed. Builds from before a large PDF image was always
# compressed in the same pieces wrote other bytes for it when a core was free
# to share the work, so the builds run on one thread unless told otherwise.
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$out/config XDG_DATA_HOME=$out/data
export PAGESMITH_THREADS=${PAGESMITH_THREADS:-1}
run_program "$before" before
run_program "$after" after
compare_results

if [ "$differences" -gt 0 ] && [ $# -lt 3 ]; then
    mv "$out" "$scratch.results"
    echo "compare-builds: what both builds wrote is kept in $scratch.results"
fi
echo "compare-builds: $outputs outputs and $reports reports compared, $differences differences"
[ "$outputs" -gt 0 ] && [ "$differences" -eq 0 ]
