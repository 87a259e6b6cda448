#!/bin/sh
# Runs a cross-built Windows program under Wine: the emulator that CMake and
# ctest put in front of every Windows program the build runs.
# The program finds the MinGW runtime and the libraries of the dependency
# cache on WINEPATH, so a build folder runs without copying DLLs around.
# Wine keeps its own prefix inside the cache, apart from the user's ~/.wine;
# start `wineserver -p` with the same WINEPREFIX to save Wine's start-up on
# every run.
set -e
cache=${PAGESMITH_MINGW_CACHE:-$HOME/.cache/pagesmith-mingw}
: "${WINEPREFIX:=$cache/wine}"
# No Mono or Gecko installer on the first start; no debug chatter on stderr,
# which tests read.
: "${WINEDLLOVERRIDES:=mscoree=;mshtml=}"
: "${WINEDEBUG:=-all}"
export WINEPREFIX WINEDLLOVERRIDES WINEDEBUG

runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
winepath="Z:$runtime;Z:/usr/x86_64-w64-mingw32/lib"
if [ -f "$cache/prefixes.txt" ]; then
    while IFS= read -r prefix; do
        winepath="$winepath;Z:$prefix/bin"
    done <"$cache/prefixes.txt"
fi
WINEPATH="$winepath${WINEPATH:+;$WINEPATH}"
export WINEPATH

wine=wine
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64

# Wine's first start sets up its prefix and says so on stderr; that happens
# once here, under a lock for runs started side by side, not inside a test.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$cache"
    flock "$cache/wine.lock" sh -c \
        '[ -f "$WINEPREFIX/system.reg" ] || "$1" wineboot --init >/dev/null 2>&1' sh "$wine"
fi
exec "$wine" "$@"
