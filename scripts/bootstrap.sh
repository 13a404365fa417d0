#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Corvane need.
# Quiet and quick when everything is present; uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build ccache pkg-config
    qt6-base-dev libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    nettle-dev
    fonts-dejavu-core adwaita-icon-theme
    p7zip-full libarchive-dev libarchive-tools
    samba smbclient libsmbclient-dev iproute2
    libsecret-1-dev gnome-keyring dbus-daemon
    libuchardet-dev
    libavahi-client-dev avahi-daemon avahi-utils wsdd
    clang libclang-rt-14-dev
    xvfb xauth
    desktop-file-utils appstream
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
