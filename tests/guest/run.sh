#!/bin/sh
# In the guest, from the payload's folder: installs the package with apt (offline: its Depends
# must already be on the minimal root), then runs every scenario file tests/guest/test_*.py.
DEBIAN_FRONTEND=noninteractive apt-get install -qq --no-install-recommends ./*.deb || exit 1
# The libraries of the program's first start, read ahead: under emulation on a loaded machine
# reading them while the tests wait for the window can take a minute.
ldd /usr/bin/nolvex-keyboard /usr/lib/x86_64-linux-gnu/libfluidsynth.so.3 \
    | awk '$3 ~ /^\// { print $3 }' | xargs cat >/dev/null
status=0
for scenario in tests/guest/test_*.py; do
    PYTHONPATH=tests/guest PYTHONDONTWRITEBYTECODE=1 python3 tests/e2e/run.py \
        "$(basename "$scenario" .py)" --binary /usr/bin/nolvex-keyboard --artefacts artefacts \
        || status=1
done
exit $status
