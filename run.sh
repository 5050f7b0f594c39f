#!/usr/bin/env bash
# Builds Quillet (Release) and starts it; the program itself picks and, the first time, seeds its data folder
# (${XDG_DATA_HOME:-~/.local/share}/quillet, never overwriting a file there). Without a display it runs under
# xvfb-run, saves a screenshot of the desk calendar and prints its path.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps"

build="$here/build-release"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target quillet quillet-cli

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found (DISPLAY and WAYLAND_DISPLAY are unset): starting Quillet under xvfb-run."
    shot="${TMPDIR:-/tmp}/quillet-desk-calendar.png"
    xvfb-run -a -s "-screen 0 1280x800x24" "$here/scripts/screenshot-desk" \
        "$build/app/quillet" "$shot"
    echo "Screenshot of the desk calendar: $shot"
    exit 0
fi
exec "$build/app/quillet" "$@"
