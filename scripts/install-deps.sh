#!/usr/bin/env bash
# Installs the Debian packages Densora builds against. Idempotent: when
# everything is present it does nothing and prints nothing.
#
#   --fuzz   also clang and libFuzzer, for `make fuzz` only (the everyday
#            build and `make test` use g++ alone)
set -euo pipefail

fuzz=0
for arg in "$@"; do
    case "$arg" in
        --fuzz) fuzz=1 ;;
        *) echo "usage: $0 [--fuzz]" >&2; exit 2 ;;
    esac
done

packages=(
    g++ cmake ninja-build ccache pkg-config
    qt6-base-dev qt6-svg-dev qt6-charts-dev libqt6opengl6-dev
    breeze-icon-theme adwaita-icon-theme
    libfreeimage-dev libfreeimageplus-dev
    libopencv-core-dev libopencv-imgproc-dev
    libxlsxwriter-dev
    unzip  # the tests read exported workbooks back
    poppler-utils  # the tests read the PDF report back (pdftotext)
    libgtest-dev libgmock-dev libbenchmark-dev
)
# Debian bookworm's clang is 14; its libFuzzer comes in the matching package.
if [ "$fuzz" -eq 1 ]; then
    packages+=(clang clang-14 libclang-rt-14-dev libfuzzer-14-dev)
fi

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
