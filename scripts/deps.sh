#!/usr/bin/env bash
# Installs the Debian packages Brewpad needs to build, run and test, when any
# is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqscintilla2-qt6-dev
    openjdk-17-jdk-headless poppler-utils
    xvfb xdotool xauth x11-utils
    dbus at-spi2-core python3-pyatspi
    desktop-file-utils libxml2-utils shared-mime-info dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
