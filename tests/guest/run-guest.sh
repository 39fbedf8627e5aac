#!/usr/bin/env bash
# The guest tier: the .deb that cpack makes, with the end-to-end harness and the scenarios here,
# booted in the cached Debian guest (scripts/guest); passes when every scenario passed there.
# Usage: run-guest.sh BUILD_DIR OUT_DIR (the guest's artefacts go to OUT_DIR/artefacts)
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d --tmpdir nolvex-guest.XXXXXX)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$1/CPackConfig.cmake" -B "$work" >/dev/null
cp -r "$source/tests" "$work/payload"
cp "$source/tests/guest/run.sh" "$work/payload/run"
"$source/scripts/guest/boot.sh" "$work"/*.deb "$work/payload" "$2"
