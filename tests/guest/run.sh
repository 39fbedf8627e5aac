#!/bin/sh
# In the guest, from the payload's folder: installs the package with apt (offline: its Depends
# must already be on the minimal root), then runs every scenario file tests/guest/test_*.py.
DEBIAN_FRONTEND=noninteractive apt-get install -qq --no-install-recommends ./*.deb || exit 1
status=0
for scenario in tests/guest/test_*.py; do
    PYTHONPATH=tests/guest PYTHONDONTWRITEBYTECODE=1 python3 tests/e2e/run.py \
        "$(basename "$scenario" .py)" --binary /usr/bin/nolvex-keyboard --artefacts artefacts \
        || status=1
done
exit $status
