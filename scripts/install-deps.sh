#!/usr/bin/env bash
# Installs the Debian packages that Lockmere needs to build, test and run.
# Idempotent: packages already present are left alone, and apt-get runs only when something is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ make pkg-config
    libssl-dev openssl libpugixml-dev libbotan-2-dev zlib1g-dev
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl-dev
    libx11-dev libxtst-dev libxkbcommon-dev libzxcvbn-dev
    libgtest-dev libgmock-dev libbenchmark-dev keepassxc
    libqt6printsupport6 qt6-translations-l10n qt6-wayland
    xvfb xauth x11-utils fonts-dejavu-core desktop-file-utils poppler-utils
    openbox trayer xdotool xclip x11-xkb-utils xkb-data
    weston wl-clipboard dbus-daemon dbus-bin shared-mime-info
    patchelf mtools strace
    clang clang-format
    dosfstools fusefat
    librsvg2-bin help2man gzip file man-db desktop-file-utils appstream dpkg-dev lintian
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [[ $(id -u) -ne 0 ]]; then
    sudo=sudo
else
    sudo=
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
