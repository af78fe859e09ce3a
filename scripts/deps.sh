#!/usr/bin/env bash
# Installs the Debian packages the build and the checks need, when any is missing.
set -euo pipefail
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-qpa-plugins libgl-dev libjpeg62-turbo-dev libgcab-dev
          libglib2.0-dev libgtest-dev libbenchmark-dev fonts-dejavu-core fonts-dejavu-extra
          fonts-liberation2 cabextract xvfb xauth imagemagick libjpeg-turbo-progs ccache
          desktop-file-utils appstream dpkg-dev man-db xdotool gcab
          clang-14 libclang-rt-14-dev llvm-14)
missing=()
for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
