#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Parlino need; quiet when all are there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev libfontconfig-dev
    qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev clang-format clang-tidy-14
    xvfb xauth trayer openbox xdotool x11-utils imagemagick fonts-dejavu-core fonts-urw-base35
    unrtf iproute2 procps python3 dbus
    at-spi2-core gir1.2-atspi-2.0 python3-gi
    smbclient samba
    dpkg-dev lintian libcap2-bin
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
