#!/bin/sh
# Runs one Qt Test program of the Windows build under Wine, offscreen, and
# prints its report. Qt Test under Wine writes nothing to a redirected
# standard output, so the report goes through a file; and QT_QPA_PLATFORM
# does not reach the program, so the platform is an argument.
#   run-qt-test.sh PROGRAM.exe [test function...]
set -u
program=$1
shift
report=$(mktemp "${TMPDIR:-/tmp}/pagesmith-qttest-XXXXXX")
"$(dirname "$0")/run-under-wine.sh" "$program" -platform offscreen -o "Z:$report,txt" "$@"
status=$?
cat "$report"
rm -f "$report"
exit $status
