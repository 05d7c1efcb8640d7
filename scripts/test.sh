#!/usr/bin/env bash
# Sets everything up and runs every test: the normal build, the installation check (the Debian
# package and a ~/.local installation, each used by an unprivileged user), then the same suite
# under AddressSanitizer and UndefinedBehaviorSanitizer, then every fuzz target for 20 seconds.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen

"$here/scripts/setup.sh" --tests "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIT_BUILD_TESTS=ON -DKIT_BUILD_BENCH=ON
ctest --test-dir "$here/build" --output-on-failure --parallel "$(nproc)"
# The installation check installs a package and switches users: it runs as root.
if [ "$(id -u)" -eq 0 ]; then
  "$here/scripts/install-check.sh" "$here/build"
else
  sudo "$here/scripts/install-check.sh" "$here/build"
fi

"$here/scripts/setup.sh" --tests "$here/build-asan" -DCMAKE_BUILD_TYPE=Debug -DKIT_SANITIZE=ON -DKIT_BUILD_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$here/build-asan" --output-on-failure --parallel "$(nproc)"

"$here/scripts/fuzz.sh" 20
