#!/bin/sh
# Installs what building, testing and benchmarking need on Debian 12.
# Runs apt-get only when something is missing. Packages named as arguments
# are wanted as well (make fuzz asks for clang).
set -e
packages="cmake make g++ pkg-config qt6-base-dev qt6-qpa-plugins libtiff-dev libjpeg-dev libtiff-tools libgtest-dev libqpdf-dev zlib1g-dev qpdf poppler-utils $*"
missing=""
# Building the Debian package and checking it (make package, make test).
packages="$packages dpkg-dev file lintian appstream desktop-file-utils"
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y $missing
fi
