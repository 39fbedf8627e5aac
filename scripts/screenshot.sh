#!/usr/bin/env bash
# Starts the real program on a virtual X server with openbox and writes docs/screenshot.png of
# its window. Usage: scripts/screenshot.sh [binary] [output.png]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
binary="${1:-$root/build/app/nolvex-keyboard}"
output="${2:-$root/docs/screenshot.png}"
caption='^Nolvex MIDI keyboard$'

work="$(mktemp -d)"
mkdir -m 700 "$work/runtime"
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Poll `command` every 20 ms, for at most `tries` times.
poll() {
    local tries="$1"
    shift
    for ((n = 0; n < tries; n++)); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.02
    done
    return 1
}

# The server picks a free display and writes its number to fd 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
poll 500 grep -q . "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
export XDG_RUNTIME_DIR="$work/runtime" JACK_NO_START_SERVER=1

openbox >/dev/null 2>&1 &
pids+=($!)
poll 500 wmctrl -m

"$binary" >"$work/program.log" 2>&1 &
pids+=($!)

# The message box about the MIDI device bears the same caption: the main window is the widest.
main_window() {
    local best="" best_width=0 id width
    for id in $(xdotool search --onlyvisible --name "$caption" 2>/dev/null); do
        width="$(xwininfo -id "$id" | awk '/Width:/ { print $2 }')"
        if ((width > best_width)); then
            best="$id" best_width="$width"
        fi
    done
    [ -n "$best" ] && echo "$best"
}
poll 500 main_window
main="$(main_window)"
sleep 0.5
for id in $(xdotool search --onlyvisible --name "$caption" 2>/dev/null); do
    if [ "$id" != "$main" ]; then
        xdotool windowactivate --sync "$id" key --clearmodifiers Return || true
    fi
done
sleep 0.5

mkdir -p "$(dirname "$output")"
import -window "$main" "$output"
echo "wrote $output ($(identify -format '%wx%h' "$output"))"
