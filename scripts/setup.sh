#!/usr/bin/env bash
# Installs what the kit needs on Debian (run as root, or with sudo available), then builds it.
# Usage: scripts/setup.sh [build-dir] [extra cmake options...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
shift || true

# Build and tests; the real emulators for the end-to-end tests (openMSX with the free C-BIOS ROMs,
# DOSBox for BR-MSX; both run headless through SDL's dummy drivers), and clang with its fuzzer
# runtime for the fuzz targets; the freedesktop tools that the .tpj registration updates
# and its tests ask.
packages=(cmake ninja-build g++ qt6-base-dev libqscintilla2-qt6-dev libgtest-dev mtools
          openmsx dosbox clang libclang-rt-14-dev
          shared-mime-info desktop-file-utils xdg-utils libglib2.0-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

cmake -S "$here" -B "$build" -G Ninja "$@"
cmake --build "$build" --parallel "$(nproc)"
