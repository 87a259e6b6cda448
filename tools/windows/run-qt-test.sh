#!/bin/sh
# Runs one Qt Test program of the Windows build under Wine, offscreen, and
# prints its report. Qt Test under Wine writes nothing to a redirected
# standard output, so the report goes through a file; and Wine passes no QT_
# variables on, so the platform is an argument and the offscreen platform's
# fonts (DejaVu, as on Linux) come as PAGESMITH_TEST_FONTDIR.
#   run-qt-test.sh PROGRAM.exe [test function...]
set -u
: "${PAGESMITH_TEST_FONTDIR:=Z:/usr/share/fonts/truetype/dejavu}"
export PAGESMITH_TEST_FONTDIR
program=$1
shift
report=$(mktemp "${TMPDIR:-/tmp}/pagesmith-qttest-XXXXXX")
"$(dirname "$0")/run-under-wine.sh" "$program" -platform offscreen -o "Z:$report,txt" "$@"
status=$?
cat "$report"
rm -f "$report"
exit $status
