#!/usr/bin/env bash
# Installs what building and running need (not the tests' tools), builds the programs, then starts
# Tarvel from the built kit with a demo project open.
# The demo is a copy of the kit's SCREEN 5 template in a writable folder of your own, made on the
# first run and kept afterwards; nothing inside the repository is edited.
# Usage: scripts/run-tarvel.sh [project.tpj]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh" "$here/build" -DKIT_BUILD_TESTS=OFF -DKIT_BUILD_BENCH=OFF

kit="$here/build/kit"
if [ "$#" -gt 0 ]; then
  exec "$kit/tarvel" "$@"
fi

demo="${TARVEL_DEMO_DIR:-${XDG_DATA_HOME:-$HOME/.local/share}/tarvel-demo}"
if [ ! -f "$demo/Screen5.tpj" ]; then
  mkdir -p "$demo"
  cp -n "$kit/projects/Screen5/"* "$demo/"
  printf 'Screen5\r\n2E9B\r\nD200\r\nScreen5.pas\r\n' > "$demo/Screen5.tpj"
fi
exec "$kit/tarvel" "$demo/Screen5.tpj"
