#!/bin/sh
# Installs the Debian package on this machine with apt-get (make
# package-check) and checks that what a user meets works: the program's
# --version, its manual page and its menu entry. A package that was not
# installed before is removed again at the end, so that the installed guide
# and program do not stand in for the build folder's in later tests.
#   install-package.sh DEB VERSION
set -eu
deb=$(realpath "$1")
version=$2
id=com.tolvane.Pagesmith
fail() {
    echo "package-check: $*" >&2
    exit 1
}
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo

installed_before=no
dpkg-query -W -f='${Status}' pagesmith 2>/dev/null | grep -q "install ok installed" && installed_before=yes

echo "== apt-get install $deb"
# man shows the installed page; a minimal system may lack it.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y "$deb" man-db
dpkg-query -W -f='${Package} ${Version} ${Status}\n' pagesmith

echo "== pagesmith --version"
[ "$(command -v pagesmith)" = /usr/bin/pagesmith ] || fail "pagesmith is not /usr/bin/pagesmith"
pagesmith --version
[ "$(pagesmith --version)" = "Pagesmith $version" ] || fail "the installed program is not $version"

echo "== man pagesmith"
man -w pagesmith
MANWIDTH=80 man -P cat pagesmith 2>&1 | sed -n '1,12p'
MANWIDTH=80 man -P cat pagesmith 2>/dev/null | grep -q "convert, merge and count the pages" ||
    fail "man pagesmith does not show the manual page"

echo "== the menu entry"
entry=/usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
grep -E '^(Name|Exec|Icon|Categories)=' "$entry"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ "$(command -v "$program")" = /usr/bin/pagesmith ] || fail "the entry starts $program, not the installed program"
icon=$(sed -n 's/^Icon=//p' "$entry")
ls /usr/share/icons/hicolor/*/apps/"$icon".png
[ -f /usr/share/icons/hicolor/256x256/apps/"$icon".png ] || fail "no icon $icon in the hicolor theme"
# The menus read the entries through the desktop database (a trigger of
# desktop-file-utils brings it up to date).
update-desktop-database -q /usr/share/applications 2>/dev/null || true
grep "$id.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "the desktop database does not offer $id.desktop for TIFF files"

echo "== the software centre"
appstreamcli refresh-cache --force >/dev/null 2>&1 || true
appstreamcli get "$id" | sed -n '1,8p'
echo "package-check: the installed package works"
if [ $installed_before = no ]; then
    echo "== apt-get remove pagesmith"
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y pagesmith >/dev/null
    [ ! -e /usr/bin/pagesmith ] || fail "apt-get remove left /usr/bin/pagesmith"
    echo "removed again"
fi
