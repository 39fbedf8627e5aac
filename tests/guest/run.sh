#!/bin/sh
# In the guest, from the payload's folder (a copy of tests/): installs the package with apt
# (offline: its Depends must already be on the minimal root), then runs every scenario file
# guest/test_*.py.
DEBIAN_FRONTEND=noninteractive apt-get install -qq --no-install-recommends ./*.deb || exit 1
# What the program's first start reads, read ahead in large reads rather than page by page as the
# program asks for it: under emulation that saves the first start seconds.
ldd /usr/bin/nolvex-keyboard /usr/lib/x86_64-linux-gnu/libfluidsynth.so.3 \
    | awk '$3 ~ /^\// { print $3 }' | xargs cat /usr/lib/x86_64-linux-gnu/qt6/plugins/*/* \
    /usr/share/fonts/truetype/*/* /usr/share/sounds/sf2/* >/dev/null 2>&1
status=0
for scenario in guest/test_*.py; do
    PYTHONPATH=guest PYTHONDONTWRITEBYTECODE=1 python3 e2e/run.py \
        "$(basename "$scenario" .py)" --binary /usr/bin/nolvex-keyboard --artefacts artefacts \
        || status=1
done
exit $status
