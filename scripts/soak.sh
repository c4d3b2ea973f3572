#!/usr/bin/env bash
# Runs the program under Wine for a while (default 10 minutes) over about 200 cables
# whose registry keys keep changing, works its window as a user would, and prints its
# memory, handles and slowest answer every 10 s and their trend over the second half:
#   scripts/soak.sh [minutes] [x64|x86] [notifier]
# With "notifier" it keeps UvanticNotifier.exe under the same churn instead.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
minutes=${1:-10}
arch=${2:-x64}
subject=${3:-}
source scripts/lib/arch.sh "$arch"

scripts/install-deps.sh
export PATH=/usr/lib/wine:$PATH
scripts/lib/build-win.sh "$arch" UvanticFinder UvanticNotifier uvantic_soak devmgr_double

template=$root/build/soak-template$suffix
[ -e "$template/.template-ready" ] || scripts/lib/wine-template.sh "$template" "$wine_arch"
source scripts/lib/display.sh
# Other work on the machine shows in the answer times.
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg)"
trap 'echo "Load average after the run: $(cut -d" " -f1-3 /proc/loadavg)"; kill ${uvantic_xvfb_pid:-} 2>/dev/null || true' EXIT
scripts/lib/wine-run.sh "$template" "$root/$build/tests/e2e/uvantic_soak.exe" \
  --seconds=$((minutes * 60)) --program="$root/$build/bin/UvanticFinder.exe" ${subject:+--$subject}
