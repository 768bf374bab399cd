#!/usr/bin/env bash
# Installs the Debian packages Densora builds against. Idempotent: when
# everything is present it does nothing and prints nothing.
set -euo pipefail

packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev
    breeze-icon-theme adwaita-icon-theme
    libfreeimage-dev libfreeimageplus-dev
    libopencv-core-dev libopencv-imgproc-dev
    libxlsxwriter-dev
    unzip  # the tests read exported workbooks back
    libgtest-dev libgmock-dev libbenchmark-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
        missing+=("$p")
    fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
