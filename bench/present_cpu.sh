#!/usr/bin/env bash
# The share of a core the game process takes while it plays a race at the display's pace, on a
# virtual X display (Xvfb, no graphics hardware): the real game, driven with xdotool (the
# full-screen question answered No, menu -> controls -> race, Up held), its processor time read
# from /proc/PID/stat over a stretch of the race. One row per window size and look:
# 640x480 (window scale 1) and 1280x960 (window scale 2), sharp (the game's own choice: drawn at
# the window's scale) and classic (F10: drawn at 640x480 and enlarged), and a window resized to
# 1706x960, a 16:9 shape, sharp: the wide view at scale 2. Each row is measured RUNS times
# (default 3), each on a fresh server and game; the median and the spread are printed.
# Goals on a 2-core machine: at most 5 % at 640x480, at most 10 % at 1280x960 and 1706x960 sharp.
# Usage: bench/present_cpu.sh [seconds measured per run, default 10]
# With SHOTS=folder, a picture of the screen at the end of each row is kept there. DISPLAYS=A-B
# limits the X display numbers tried to A to B (default 140-199).
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x
cd "$(dirname "$0")/.."
seconds=${1:-10}
cmake --preset release >/dev/null
cmake --build --preset release --target vantor_game -- -j2 >/dev/null
game=$PWD/build/release/src/game/vantor
work=$(mktemp -d)
xvfb=""
gamepid=""
stop_run() {
    [ -n "$gamepid" ] && kill "$gamepid" 2>/dev/null || true
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
}
trap 'stop_run; rm -rf "$work"' EXIT

# A display number nobody uses.
free_display() {
    local range=${DISPLAYS:-140-199}
    for n in $(seq "${range%-*}" "${range#*-}"); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            echo ":$n"
            return
        fi
    done
    echo "no free display" >&2
    exit 1
}

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure SCREEN_W SCREEN_H LOOK [WINDOW_W WINDOW_H]: one race on a fresh server, the window
# resized to WINDOW_W x WINDOW_H when given; prints the share of a core.
measure() {
    local screen_w=$1 screen_h=$2 look=$3 window_w=${4:-} window_h=${5:-}
    # measure runs in its own subshell: a failure there must end its own server and game too.
    trap stop_run EXIT
    DISPLAY=$(free_display)
    export DISPLAY
    Xvfb "$DISPLAY" -screen 0 "${screen_w}x${screen_h}x24" -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    # The game needs the server up: wait for it (10 s at most) rather than start too early.
    local up=no
    for _ in $(seq 100); do
        if xdpyinfo >/dev/null 2>&1; then up=yes; break; fi
        sleep 0.1
    done
    if [ "$up" = no ]; then
        echo "Xvfb on $DISPLAY did not start" >&2
        exit 1
    fi
    # The game's own keys, whatever the player's settings file says.
    (cd "$work" && XDG_CONFIG_HOME="$work" SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
        exec "$game" >"$work/game.log" 2>&1) &
    gamepid=$!
    # The full-screen question: Escape says No, in the system's box or in the game's window.
    local box=""
    for _ in $(seq 100); do
        box=$(xwininfo -root -tree 2>/dev/null | grep -m1 'Run game in fullscreen mode' | awk '{print $1}') || true
        [ -n "$box" ] && break
        grep -q "cannot show a message box" "$work/game.log" && break
        sleep 0.2
    done
    if [ -n "$box" ]; then
        xdotool windowfocus --sync "$box" key --delay 100 Escape
    else
        timeout 30 xdotool search --sync --name '^Vantor \(Version 1\.02\)$' windowfocus --sync key --delay 100 Escape
    fi
    sleep 0.5
    if [ -n "$window_w" ]; then
        timeout 30 xdotool search --sync --name '^Vantor \(Version 1\.02\)$' windowsize --sync "$window_w" "$window_h"
    fi
    timeout 30 xdotool search --sync --name '^Vantor \(Version 1\.02\)$' windowfocus --sync key --delay 300 Return Return
    if [ "$look" = classic ]; then
        xdotool key F10
    fi
    xdotool keydown Up
    sleep 5 # the countdown, and the race under way
    local size
    size=$(xdotool search --name '^Vantor \(Version 1\.02\)$' | head -1 |
        xargs -r xdotool getwindowgeometry | awk '/Geometry/ {print $2}')
    local before after
    before=$(cpu_ticks "$gamepid")
    sleep "$seconds"
    after=$(cpu_ticks "$gamepid")
    xdotool keyup Up
    if [ -n "${SHOTS:-}" ]; then
        import -silent -window root "$SHOTS/$look-${screen_w}x$screen_h.png" 2>/dev/null || true
    fi
    kill "$gamepid"; wait "$gamepid" 2>/dev/null || true; gamepid=""
    kill "$xvfb"; wait "$xvfb" 2>/dev/null || true; xvfb=""
    awk -v t=$((after - before)) -v hz="$ticks" -v s="$seconds" -v w="${size:-unknown}" \
        'BEGIN { printf "%.1f %s\n", 100 * t / hz / s, w }'
}

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
runs=${RUNS:-3}
echo "| window | look | client size | game's share of a core %, median | min - max | goal % | met |"
echo "|---|---|---|---|---|---|---|"
for row in "1024 768 640x480 classic 5" "1024 768 640x480 sharp 5" \
           "1600 1200 1280x960 classic -" "1600 1200 1280x960 sharp 10" \
           "1920 1200 1706x960 sharp 10 1706 960"; do
    set -- $row
    percents=()
    for _ in $(seq "$runs"); do
        result=$(measure "$1" "$2" "$4" "${6:-}" "${7:-}")
        read -r percent size <<<"$result"
        percents+=("$percent")
    done
    read -r median low high < <(printf '%s\n' "${percents[@]}" | sort -g |
        awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2;
                                  printf "%.1f %s %s\n", m, v[1], v[NR] }')
    met="-"
    if [ "$5" != "-" ]; then
        met=$(awk -v p="$median" -v g="$5" 'BEGIN { print (p <= g) ? "yes" : "NO" }')
    fi
    echo "| $3 | $4 | $size | $median | $low - $high | $5 | $met |"
done
echo "load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
