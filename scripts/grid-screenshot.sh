#!/usr/bin/env bash
# Takes the README's picture of the whole grid: starts the picking sample on its
# generated model, turns the wheel back until all 35 copies show, tips the grid
# back a little, saves the window as PNG and closes the sample. Runs under a
# private Xvfb when there is no display.
#
# usage: scripts/grid-screenshot.sh [build-folder [output]]
#        (default build/release and docs/sample-grid.png)
set -euo pipefail

# shellcheck source=run-sample.sh
source "$(dirname "${BASH_SOURCE[0]}")/run-sample.sh"

# The window's picture, as raw pixels.
frame() { import -window "$window" rgb:- | md5sum; }
frame_changed() { [ "$(frame)" != "$1" ]; }
frame_settled() {
    local now
    now=$(frame)
    [ "$now" = "$last" ] && return 0
    last=$now
    return 1
}

shoot() {
    local output=$1 start
    start_sample
    start=$(frame)
    # Each notch back takes the camera a quarter further: 9 notches carry it
    # from 400 to about 3000 units, where the 7 x 5 grid fits the view.
    xdotool mousemove --window "$window" 300 190
    for _ in $(seq 1 9); do
        xdotool click 5
    done
    # A left drag down tips the far rows back, clear of the verdict, and the
    # pointer ends on the fuselage of the copy at the origin.
    xdotool mousedown 1 mousemove --window "$window" 300 250 mouseup 1
    until_true 30 frame_changed "$start" || echo "The view did not change." >&2
    last=""
    until_true 30 frame_settled || echo "The view did not settle." >&2
    import -window "$window" "png:$output"
    close_sample
    echo "Saved $output ($(stat -c %s "$output") bytes)."
    [ "$status" -eq 0 ]
}

locate "${1:-}"
output=$(realpath -m "${2:-$root/docs/sample-grid.png}")
if [ -n "${NEVRIK_SAMPLE_DRIVE:-}" ]; then
    shoot "$output"
else
    prepare
    if [ -n "${DISPLAY:-}" ]; then
        shoot "$output"
    else
        NEVRIK_SAMPLE_DRIVE=1 exec bash "$root/scripts/with-display.sh" bash "${BASH_SOURCE[0]}" "$build" "$output"
    fi
fi
