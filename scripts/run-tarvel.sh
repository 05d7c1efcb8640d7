#!/usr/bin/env bash
# Sets everything up, then starts Tarvel from the built kit.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh" "$here/build"
exec "$here/build/kit/tarvel" "$@"
