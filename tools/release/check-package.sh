#!/bin/sh
# Checks the Debian package without installing it (make test):
#   check-package.sh DEB VERSION WORKDIR
# its file list against package-files.txt, its control fields and the
# dependencies dpkg-shlibdeps found, lintian, the software-centre entry and the
# desktop entry; everything is unpacked under WORKDIR.
set -eu
deb=$1
version=$2
work=$3
id=com.tolvane.Pagesmith
here=$(dirname "$0")
fail() {
    echo "check-package: $*" >&2
    exit 1
}

[ -f "$deb" ] || fail "no package $deb"
rm -rf "$work"
mkdir -p "$work"
dpkg-deb -x "$deb" "$work/root"
# lintian unpacks into the temporary folder: keep that inside WORKDIR too.
mkdir -p "$work/tmp"
export TMPDIR="$work/tmp" XDG_CACHE_HOME="$work/cache"

echo "== the files"
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|' | grep -v '/$' | sort >"$work/files"
sort "$here/package-files.txt" | diff -u - "$work/files" || fail "the files differ from package-files.txt (- expected, + packaged)"
dpkg-deb -c "$deb" | awk '$2 != "root/root" { bad = 1; print } END { exit bad }' ||
    fail "files not owned by root"

echo "== the control fields"
dpkg-deb -I "$deb" >"$work/info"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pagesmith ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
[ "$(field Description | wc -l)" -ge 4 ] || fail "the description is not several lines"

# Every library the program is linked with must be named by its package.
depends=$(field Depends)
echo "Depends: $depends"
objdump -p "$work/root/usr/bin/pagesmith" | awk '$1 == "NEEDED" { print $2 }' >"$work/needed"
[ -s "$work/needed" ] || fail "the program names no libraries"
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
while read -r soname; do
    package=$(dpkg-query -S "*/$multiarch/$soname" 2>/dev/null | head -n 1 | cut -d: -f1)
    [ -n "$package" ] || fail "no installed package holds $soname"
    echo "$depends" | tr ',' '\n' | grep -q "^ *$package\( \|$\)" ||
        fail "$soname is in $package, which Depends does not name"
done <"$work/needed"
echo "Depends names the package of each of $(wc -l <"$work/needed") libraries"

echo "== the program"
"$work/root/usr/bin/pagesmith" --version >"$work/version"
[ "$(cat "$work/version")" = "Pagesmith $version" ] || fail "--version says $(cat "$work/version")"
cat "$work/version"

echo "== the changelogs"
newest=$(grep -m 1 '^## \[' "$here/../../CHANGELOG.md")
case "$newest" in
"## [$version] - "*) echo "CHANGELOG.md: $newest" ;;
*) fail "the newest entry of CHANGELOG.md is \"$newest\", not $version" ;;
esac
zcat "$work/root/usr/share/doc/pagesmith/changelog.gz" | head -n 1 | grep -q "^pagesmith ($version) " ||
    fail "the package's changelog is not of $version"

echo "== lintian"
lintian --fail-on error --display-info "$deb" || fail "lintian reports errors"
echo "lintian: no errors"

echo "== the software-centre entry"
metainfo=$work/root/usr/share/metainfo/$id.metainfo.xml
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refuses $metainfo"
grep -q "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo launches no $id.desktop"
# Its screenshots are the guide's pictures, published beside the guide.
for picture in $(sed -n 's|.*<image[^>]*>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo"); do
    [ -f "$work/root/usr/share/doc/pagesmith/$picture" ] || fail "screenshot $picture is no picture of the guide"
done

echo "== the desktop entry"
entry=$work/root/usr/share/applications/$id.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate refuses $entry"
grep -qx "Icon=$id" "$entry" || fail "the desktop entry's icon is not $id"
grep -qx "Exec=pagesmith .*" "$entry" || fail "the desktop entry does not start pagesmith"
echo "the package is whole"
