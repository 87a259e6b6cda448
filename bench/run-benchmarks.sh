#!/bin/sh
# Runs every benchmark of a build folder (default: build) and prints its figures.
# Benchmarks compare against the libtiff tools (tiffcp, tiff2bw, tiffdither, tiff2rgba).
build=${1:-build}
cd "$(dirname "$0")/.." || exit 1
status=0
for bench in scan-bench filelist-bench engine-bench fax-bench depth-bench batch-bench tools-bench preview-bench watch-bench; do
    if [ -x "$build/bench/$bench" ]; then
        echo "== $bench"
        "$build/bench/$bench" || status=1
        echo
    fi
done
exit $status
