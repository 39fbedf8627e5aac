#!/usr/bin/env bash
# The guest tier: the .deb that cpack makes, with the end-to-end harness and the scenarios here,
# booted in the cached Debian guest (built the first time); passes when every scenario passed.
# Usage: run-guest.sh BUILD_DIR ARTEFACTS_DIR
set -euo pipefail
build=$1 artefacts=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
payload=$(mktemp -d --tmpdir nolvex-guest.XXXXXX)
trap 'rm -rf "$payload"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$payload/deb" >/dev/null
mv "$payload"/deb/*.deb "$payload/nolvex-keyboard.deb"
rm -rf "$payload/deb"
guest=$("$source/scripts/guest/build-root.sh" "$payload/nolvex-keyboard.deb" 2>"$payload/root.log") \
    || { cat "$payload/root.log"; exit 1; }
mkdir "$payload/tests"
cp -r "$source/tests/e2e" "$source/tests/guest" "$payload/tests/"
cp "$source/tests/guest/run.sh" "$payload/run"
"$source/scripts/guest/boot.sh" "$guest" "$payload" | tee "$payload/console.log"
rm -rf "$artefacts"
cp -r "$payload/artefacts" "$artefacts" || :
grep -q "^guest exit status 0" "$payload/console.log"
