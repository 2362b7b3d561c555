#!/usr/bin/env bash
# Soaks the picking sample: random mouse moves, drags with each button and
# wheel turns for a while (600 seconds unless told), then reports the frames
# drawn, the picks made and the resident memory at the start and at the end.
# Runs under a private Xvfb when there is no display. Not part of `make test`.
#
# usage: scripts/soak-sample.sh [build-folder] [seconds]
set -euo pipefail

# shellcheck source=run-sample.sh
source "$(dirname "${BASH_SOURCE[0]}")/run-sample.sh"

resident() { awk '/^VmRSS:/ { print $2 " kB" }' "/proc/$1/status"; }

# One random gesture somewhere over the view.
gesture() {
    local x=$((RANDOM % 600)) y=$((RANDOM % 500))
    case $((RANDOM % 6)) in
        0) xdotool mousemove --window "$window" "$x" "$y" mousedown 1 \
               mousemove --window "$window" $(((x + RANDOM % 200) % 600)) $(((y + RANDOM % 200) % 500)) mouseup 1 ;;
        1) xdotool mousemove --window "$window" "$x" "$y" mousedown 3 \
               mousemove --window "$window" $(((x + RANDOM % 60) % 600)) $(((y + RANDOM % 60) % 500)) mouseup 3 ;;
        2) xdotool mousemove --window "$window" "$x" "$y" click $((4 + RANDOM % 2)) ;;
        *) xdotool mousemove --window "$window" "$x" "$y" ;;
    esac
}

soak() {
    local seconds=$1 output="$run/soak-output.txt" gestures=0 before after
    start_sample "$output"
    before=$(resident "$pid")
    local end=$((SECONDS + seconds)) start=$SECONDS next=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$end" ]; do
        gesture
        gestures=$((gestures + 1))
        # A minute-by-minute trace tells a plateau from steady growth.
        if [ "$SECONDS" -ge "$next" ]; then
            echo "  after $((SECONDS - start)) s: $(resident "$pid" || echo gone)"
            next=$((next + 60))
        fi
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "The sample ended during the soak." >&2
            break
        fi
    done
    after=$(resident "$pid" || echo "gone")
    close_sample
    echo "Soaked for $seconds s with $gestures gestures."
    echo "Counts: $(cat "$output")"
    echo "Resident memory: $before at the start, $after at the end."
    echo "The sample exited with status $status."
    [ "$status" -eq 0 ]
}

locate "${1:-}"
seconds=${2:-600}
if [ -n "${NEVRIK_SAMPLE_DRIVE:-}" ]; then
    NEVRIK_SAMPLE_STATS=1 soak "$seconds"
else
    prepare
    if [ -n "${DISPLAY:-}" ]; then
        NEVRIK_SAMPLE_STATS=1 soak "$seconds"
    else
        NEVRIK_SAMPLE_DRIVE=1 exec bash "$root/scripts/with-display.sh" bash "${BASH_SOURCE[0]}" "$build" "$seconds"
    fi
fi
