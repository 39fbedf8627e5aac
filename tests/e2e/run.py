"""Runs one end-to-end test module; see harness.main."""

import harness

harness.main()
