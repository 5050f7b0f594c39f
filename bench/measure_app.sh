#!/usr/bin/env bash
# measure_app.sh BUILD_DIR: starts the app under Xvfb with only the desk calendar open and reports its
# start-up time (from main() to the desk calendar shown, and the whole process start), resident memory and
# idle CPU over 20 seconds.
set -euo pipefail
build="$(cd "${1:-build-release}" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$0")/../data/." "$work/"
cd "$work"
export QUILLET_INSTANCE_KEY="measure-$$" QUILLET_REPORT_STARTUP=1
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    app="$1"
    t0=$(date +%s%N)
    "$app" 2>"$PWD/err.txt" & pid=$!
    until grep -q "shown after" "$PWD/err.txt" 2>/dev/null; do sleep 0.005; done
    t1=$(date +%s%N)
    echo "start-up: $(grep -o "shown after.*" "$PWD/err.txt"); whole process $(( (t1 - t0) / 1000000 )) ms"
    sleep 2
    ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
    hz=$(getconf CLK_TCK)
    a=$(ticks); sleep 20; b=$(ticks)
    echo "idle CPU: $(awk -v a="$a" -v b="$b" -v hz="$hz" "BEGIN { printf \"%.2f\", (b - a) / hz / 20 * 100 }") % of one core over 20 s"
    echo "RSS: $(awk "/VmRSS/ {print \$2, \$3}" /proc/$pid/status)"
    kill $pid
' _ "$build/app/quillet"
