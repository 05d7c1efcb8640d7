#!/usr/bin/env bash
# Installs what the kit needs on Debian (run as root, or with sudo available), then builds it.
# Meant for Debian 12 (bookworm) and later releases that package Qt 6 and QScintilla for Qt 6.
#
# Usage: scripts/setup.sh [--tests] [build-dir] [extra cmake options...]
#   without --tests: what building and running the programs need, nothing more;
#   with --tests:    also what the tests need (see below).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
tests=false
if [ "${1:-}" = "--tests" ]; then
  tests=true
  shift
fi
build="${1:-$here/build}"
shift || true

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
updated=false
# Installs the packages of the list that are missing.
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -gt 0 ] || return 0
  if [ "$updated" = false ]; then
    $sudo apt-get update
    updated=true
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# Building, and mtools for the disk images of Compile and Run.
install_missing cmake ninja-build g++ qt6-base-dev libqscintilla2-qt6-dev mtools

if [ "$tests" = true ]; then
  # GoogleTest; the real emulators for the end-to-end tests (openMSX with the free C-BIOS ROMs,
  # DOSBox for BR-MSX and for a DOS compiler; both run headless through SDL's dummy drivers);
  # nasm, which assembles the DOS stand-in compiler, and Wine with the MinGW compiler for the
  # Windows one; clang for the fuzz targets; the freedesktop tools that the .tpj registration
  # updates and its tests ask; and what the installation check needs to build, inspect and
  # validate the Debian package. Tarvel itself needs DOSBox or Wine only for a compiler of
  # that kind, so the plain setup installs neither.
  install_missing libgtest-dev openmsx dosbox nasm wine gcc-mingw-w64-x86-64 clang shared-mime-info \
                  desktop-file-utils xdg-utils libglib2.0-bin dpkg-dev file lintian
  # The fuzzer run-time comes with the installed clang's own major version.
  major="$(clang -dumpversion | cut -d. -f1)"
  install_missing "libclang-rt-$major-dev"
fi

cmake -S "$here" -B "$build" -G Ninja "$@"
cmake --build "$build" --parallel "$(nproc)"
