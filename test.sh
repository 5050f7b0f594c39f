#!/usr/bin/env bash
# Builds Quillet and runs every test with CTest: the full build (warnings as errors) with the window tests
# offscreen and its Debian package checked, then the models alone (QUILLET_GUI=OFF). With --sanitize (and
# always under CI) also the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/scripts/install-deps"
jobs="$(nproc)"
sanitize=0
for arg in "$@"; do
    case "$arg" in
        --sanitize) sanitize=1 ;;
        *) echo "usage: ./test.sh [--sanitize]" >&2; exit 2 ;;
    esac
done
[ "${CI:-}" = "true" ] && sanitize=1

run_suite() { # name, cmake options...
    local name="$1"; shift
    local dir="$here/build-test-$name"
    echo "== $name build"
    cmake -S "$here" -B "$dir" -DQUILLET_WERROR=ON -DQUILLET_BENCH=OFF "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs")
}

run_suite full -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_BENCH=ON
# The Debian package of the build just tested: validated, linted and started from a temporary prefix.
echo "== package"
deb="$("$here/scripts/build-deb" --from "$here/build-test-full" | tail -1)"
"$here/scripts/check-package" "$deb"
echo "== tray"
"$here/scripts/check-tray" "$here/build-test-full/app/quillet"
run_suite models -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUILLET_GUI=OFF
if [ "$sanitize" = 1 ]; then
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        run_suite sanitize -DCMAKE_BUILD_TYPE=Debug -DQUILLET_SANITIZE=ON
fi
