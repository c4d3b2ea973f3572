#!/usr/bin/env bash
# Runs Uvantic Finder. The main window is not built yet, so there is nothing to show.
set -euo pipefail
echo "Uvantic Finder: the main window is not built yet; there is nothing to show." >&2
echo "Run scripts/test.sh to build the device discovery and run its tests." >&2
exit 1
