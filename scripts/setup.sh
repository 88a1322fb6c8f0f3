#!/usr/bin/env bash
# Installs what building, running, testing and packaging Vimo Tarokk needs on Debian (12 or
# later). Only missing packages are installed; run as root or with sudo available.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    qt6-multimedia-dev libqt6sql6-sqlite
    libgl-dev fonts-dejavu-core
    clang libclang-rt-dev
    xvfb xauth
    # The Debian package (cpack -G DEB finds the Qt packages with dpkg-shlibdeps, which file
    # and binutils serve) and the validators of its menu entry and AppStream file.
    dpkg-dev file binutils desktop-file-utils appstream
)

# One dpkg-query for the lot: scripts/run.sh calls this on every start.
installed=$(dpkg-query -W -f='${Package} ${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null || true)
missing=()
for p in "${packages[@]}"; do
    if ! grep -q "^$p ii" <<<"$installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
