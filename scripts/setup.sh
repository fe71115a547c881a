#!/usr/bin/env bash
# Installs the Debian packages Ordwin needs that are missing, then configures
# and builds into the given folder.
#   scripts/setup.sh <build-folder> [extra cmake arguments...]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?usage: setup.sh <build-folder> [cmake arguments...]}"
shift

packages=(
    cmake make g++ pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-charts-dev libqt6sql6-sqlite
    libsqlite3-dev # the start-up check of word.mdb
    libfontconfig-dev # fontconfig read early, on another core
    libqt6sql6-psql postgresql # class mode, and the server its tests start
    libqt6opengl6-dev # needed by Qt Charts' CMake package, not pulled in by it
    qt6-translations-l10n
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-alsa
    fonts-noto-cjk
    wamerican
    espeak-ng lame
    desktop-file-utils appstream   # checks of the desktop entry and the metainfo
    dpkg-dev                       # dpkg-shlibdeps, for the Debian package
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$here/$build" "$@"
cmake --build "$here/$build" -j "$(nproc)"
