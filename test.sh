#!/usr/bin/env bash
# Builds Quillet and runs every test with CTest: the full build (warnings as errors) with the window tests
# offscreen, its Debian package and tray checked, then the models alone (QUILLET_GUI=OFF). With --sanitize (and
# always under CI) also the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer. Then the fuzzers
# (clang's libFuzzer, ASan+UBSan): each replays its corpus, then fuzzes for QUILLET_FUZZ_SECONDS (10 under CI,
# 3 otherwise; 0 replays only). Ends with each phase's time and CTest's summary lines.
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
fuzz_seconds="${QUILLET_FUZZ_SECONDS:-$([ "${CI:-}" = "true" ] && echo 10 || echo 3)}"

summary=()
started=$SECONDS
phase=""
report() {
    local status=$?
    echo
    echo "== summary"
    printf '%s\n' "${summary[@]}"
    [ "$status" = 0 ] || echo "FAILED in $phase"
    echo "total $((SECONDS - started)) s"
}
trap report EXIT

# run_suite NAME CMAKE_OPTIONS...: builds in build-test-NAME and runs its tests; CTest options for the run may
# be given in ctest_options.
ctest_options=()
run_suite() { # name, cmake options...
    local name="$1"; shift
    local dir="$here/build-test-$name"
    local t0=$SECONDS
    phase="$name"
    echo "== $name build"
    cmake -S "$here" -B "$dir" -DQUILLET_WERROR=ON -DQUILLET_BENCH=OFF "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    local t1=$SECONDS
    summary+=("$name: build $((t1 - t0)) s, tests running...")
    local log="$dir/ctest-summary.log"
    (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" "${ctest_options[@]}") | tee "$log"
    summary[-1]="$name: build $((t1 - t0)) s, tests $((SECONDS - t1)) s"
    while IFS= read -r line; do summary+=("    $line"); done < <(grep -E 'tests passed|Total Test time' "$log")
}

# Line tables only (-g1): reports and backtraces keep their files and lines, and the compiles take a third less
# than with full debug information.
release_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -g1 -DNDEBUG")
run_suite full "${release_flags[@]}" -DQUILLET_BENCH=ON
timed() { # name, command...: runs a phase and notes its time in the summary
    local name="$1" t0=$SECONDS; shift
    phase="$name"
    echo "== $name"
    "$@"
    summary+=("$name: $((SECONDS - t0)) s")
}
# The Debian package of the build just tested: validated, linted and started from a temporary prefix.
check_package() {
    local deb
    deb="$("$here/scripts/build-deb" --from "$here/build-test-full" | tail -1)"
    "$here/scripts/check-package" "$deb"
}
timed package check_package
# The tray check mostly waits for Xvfb and the panels: it runs beside the models build, its report after it.
tray_log="$here/build-test-full/check-tray.log"
"$here/scripts/check-tray" "$here/build-test-full/app/quillet-seams" >"$tray_log" 2>&1 &
tray_pid=$!
tray_t0=$SECONDS
# The models without Qt's GUI side: that they build so, and their tests there. The crash harness has had its
# full minute in the first suite; it is not repeated here, and only briefly under the sanitizers.
ctest_options=(-LE crash)
run_suite models "${release_flags[@]}" -DQUILLET_GUI=OFF
ctest_options=()
phase=tray
echo "== tray (ran beside the models suite)"
tray_status=0
wait "$tray_pid" || tray_status=$?
cat "$tray_log"
summary+=("tray: beside the models suite, done $((SECONDS - tray_t0)) s after its start")
[ "$tray_status" = 0 ] || exit "$tray_status"
if [ "$sanitize" = 1 ]; then
    ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
        run_suite sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DQUILLET_SANITIZE=ON -DQUILLET_CRASH_SECONDS=10
fi

# The fuzzers: new inputs go to the build folder (the committed seed corpus stays small); a crash leaves its
# input in build-test-fuzz/findings and fails the run.
run_fuzzers() {
    local dir="$here/build-test-fuzz"
    cmake -S "$here" -B "$dir" -DCMAKE_CXX_COMPILER=clang++ "${release_flags[@]}" -DQUILLET_GUI=OFF \
        -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF -DQUILLET_FUZZ=ON >/dev/null
    local targets
    targets="$(tr ';' ' ' <"$dir/fuzz/targets.txt")"
    local names=()
    for t in $targets; do names+=("fuzz_$t"); done
    cmake --build "$dir" -j"$jobs" --target "${names[@]}"
    (cd "$dir" && ctest --output-on-failure -j"$jobs")
    [ "$fuzz_seconds" = 0 ] && return 0
    mkdir -p "$dir/findings"
    rm -f "$dir/findings/"*.status
    # Each fuzzer uses one core: as many run at once as there are cores; they are reported in order.
    local t
    for t in $targets; do
        while [ "$(jobs -pr | wc -l)" -ge "$jobs" ]; do wait -n; done
        mkdir -p "$dir/corpus/$t"
        (
            rc=0
            "$dir/fuzz/fuzz_$t" -max_total_time="$fuzz_seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
                -artifact_prefix="$dir/findings/$t-" "$dir/corpus/$t" "$here/fuzz/corpus/$t" \
                >"$dir/findings/$t.log" 2>&1 || rc=$?
            echo "$rc" >"$dir/findings/$t.status"
        ) &
    done
    wait
    local failed=0
    for t in $targets; do
        if [ "$(cat "$dir/findings/$t.status")" != 0 ]; then
            tail -40 "$dir/findings/$t.log"
            echo "fuzz_$t found a fault (input kept in $dir/findings)" >&2
            failed=1
        else
            printf '%-12s %10s executions, no fault\n' "$t" \
                "$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/findings/$t.log")"
        fi
    done
    return "$failed"
}
ASAN_OPTIONS=detect_leaks=0 timed fuzz run_fuzzers
