#!/usr/bin/env bash
# measure_app.sh [BUILD_DIR]: starts the app under Xvfb and prints, for the desk calendar alone, for the wall
# calendar in its place, and for the desk calendar with the memo book and then the address book open too:
# - start-up: from exec to the first painted desk calendar (and from main() to it, as the app reports it);
# - idle CPU in % of one core over a minute, from the process's own CPU time (utime + stime in /proc), so that
#   other work on the machine does not count;
# - the largest lag of the time text behind the clock's second over that minute, as the app reports each turn
#   of the text (QUILLET_REPORT_CLOCK), its median and how many turns came more than 10 ms late (on a loaded
#   machine a late wake-up of the process shows here);
# - resident memory.
# Then the memo book and the address book are opened beside the desk calendar, one after the other.
# QUILLET_MEASURE_SECONDS sets the length of each measurement (60).
#
# measure_app.sh --startup [BUILD_DIR]: start-up only, against a yardstick: the desk calendar and bench/bare_label
# (a bare Qt Widgets program showing one label) are each started QUILLET_STARTUP_RUNS times (7), in turns, on
# the same Xvfb screen, after one unmeasured start of each; each reports the time of its first paint, counted
# from the exec of the script's own clock reading just before it. Prints every run, the medians and their ratio.
set -euo pipefail
startup_only=0
if [ "${1:-}" = "--startup" ]; then
    startup_only=1
    shift
fi
build="$(cd "${1:-build-release}" && pwd)"
seconds="${QUILLET_MEASURE_SECONDS:-60}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$0")/../data/." "$work/"
cd "$work"
if [ "$startup_only" = 1 ]; then
    export QUILLET_INSTANCE_KEY="measure-$$" QUILLET_REPORT_STARTUP=1 RUNS="${QUILLET_STARTUP_RUNS:-7}"
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
        set -uo pipefail
        first_paint() { # program, the words of its report: ms from exec to its first paint
            local err="$PWD/err.txt" t0 pid i
            rm -f "$err"
            t0=$(date +%s%3N)
            "$1" 2>"$err" &
            pid=$!
            for ((i = 0; i < 400; i++)); do grep -q "$2" "$err" 2>/dev/null && break; sleep 0.05; done
            kill "$pid"
            wait "$pid" 2>/dev/null
            echo $(($(sed -nE "s/.*$2.* at ([0-9]+) ms of the epoch.*/\1/p" "$err") - t0))
        }
        median() { tr " " "\n" | sort -n | awk "{ v[++n] = \$1 } END { print v[int((n + 1) / 2)] }"; }
        first_paint "$1" "label painted" >/dev/null
        first_paint "$2" "desk calendar painted" >/dev/null
        bare="" desk=""
        for ((r = 0; r < RUNS; r++)); do
            bare+=" $(first_paint "$1" "label painted")"
            desk+=" $(first_paint "$2" "desk calendar painted")"
        done
        echo "bare Qt label, ms from exec to first paint:${bare}"
        echo "desk calendar, ms from exec to first paint:${desk}"
        b=$(median <<<"${bare# }") d=$(median <<<"${desk# }")
        awk -v b="$b" -v d="$d" -v n="$RUNS" \
            "BEGIN { printf \"medians of %d: desk calendar %d ms, bare label %d ms, ratio %.2f\n\", n, d, b, d / b }"
    ' _ "$build/bench/bare_label" "$build/app/quillet"
    exit 0
fi
export QUILLET_INSTANCE_KEY="measure-$$" QUILLET_REPORT_STARTUP=1 QUILLET_REPORT_CLOCK=1 SECONDS_TO_MEASURE="$seconds"
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    set -uo pipefail
    app="$1" err="$PWD/err.txt"
    wait_for() { # text, at most 20 s
        local i
        for ((i = 0; i < 4000; i++)); do grep -q "$1" "$err" 2>/dev/null && return 0; sleep 0.005; done
        echo "no \"$1\" from the app:" >&2; cat "$err" >&2; kill $pid; exit 1
    }
    t0=$(date +%s%3N)
    "$app" 2>"$err" & pid=$!
    wait_for "painted after"
    line=$(grep -o "painted after.*" "$err")
    painted=$(sed -E "s/.* at ([0-9]+) ms.*/\1/" <<<"$line")
    main=$(sed -E "s/painted after ([0-9]+) ms.*/\1/" <<<"$line")
    echo "start-up: first painted desk calendar $((painted - t0)) ms after exec ($main ms after main())"
    ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
    hz=$(getconf CLK_TCK)
    measure() { # label, control whose time text counts
        local from a b
        from=$(wc -l <"$err")
        a=$(ticks); sleep "$SECONDS_TO_MEASURE"; b=$(ticks)
        awk -v a="$a" -v b="$b" -v hz="$hz" -v s="$SECONDS_TO_MEASURE" -v label="$1" \
            "BEGIN { printf \"%s: idle CPU %.2f %% of one core over %d s\", label, (b - a) / hz / s * 100, s }"
        tail -n +"$((from + 1))" "$err" | awk -v control="$2" "\$1 == \"time\" && \$3 == control { print \$6 }" |
            sort -n | awk "{ lag[++n] = \$1; late += \$1 > 10 }
                END { printf \", time text lag max %d ms, median %d ms, %d of %d turns over 10 ms\",
                      lag[n], lag[int((n + 1) / 2)], late, n }"
        echo ", RSS $(awk "/VmRSS/ {print \$2, \$3}" /proc/$pid/status)"
    }
    click_in() { # window title, x, y within the window
        local id
        id=$(xdotool search --sync --name "$1" | head -1)
        eval "$(xdotool getwindowgeometry --shell "$id")"
        xdotool mousemove $((X + $2)) $((Y + $3)) click 1
        sleep 1
    }
    # A guarded tool from the launcher, opened at the top of the desk calendar: a click on the calendar (so that
    # it is the active window), its Image2, the item of the tool, then OK under the empty password. Positions are
    # pixels from the corner of the desk calendar.
    open_tool() { # launcher item
        click_in "Quillet>>台历" 90 200
        click_in "Quillet>>台历" 162 33
        click_in "Quillet>>台历" 81 $((17 + 22 * $1))
        click_in "Quillet>>台历" 57 $((97 + 22 * $1))
    }
    sleep 3
    measure "desk calendar" Label3
    click_in "Quillet>>台历" 18 33 # Image4: the wall calendar
    wait_for "time text Label7"
    sleep 3
    measure "wall calendar" Label7
    click_in "Quillet>>挂历" 368 36 # Image4: back to the desk calendar
    open_tool 9
    sleep 2
    measure "desk calendar and memo book" Label3
    open_tool 7
    sleep 2
    measure "desk calendar, memo book and address book" Label3
    kill $pid
' _ "$build/app/quillet"
