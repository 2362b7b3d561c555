#!/usr/bin/env bash
# Runs the picking sample from <build>/run: makes its model and textures, puts a
# font beside it and starts it. With a display the user drives it. Without one
# it runs under a private Xvfb, hovers the mouse over a model copy and away,
# saves a screenshot of each state under <build>/run/screenshots, closes the
# window through its close box and reports the exit status.
#
# usage: scripts/run-sample.sh [build-folder [MODEL]]   (default build/release)
# With a display, MODEL (any model file the engine reads) is shown instead of
# the generated one.
# scripts/soak-sample.sh sources this file for its helpers.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf

# Sets `build` and `run` from the build folder argument.
locate() {
    build=$(cd "${1:-$root/build/release}" && pwd)
    run="$build/run"
}

prepare() {
    mkdir -p "$run"
    "$build/tools/nevrik_modelgen" --output "$run/data" >/dev/null
    # The font factory reads the folder the sample starts in.
    cp -f "$font" "$run/"
}

# Starts the sample in the background, its output going to the file "$1" if
# given; sets `pid` and `window` once the window shows and the first verdict
# is drawn.
start_sample() {
    (cd "$run" && { [ -z "${1:-}" ] || exec >"$1"; } && exec "$build/sample/nevrik_sample") &
    pid=$!
    if ! window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Nevrik$' | head -n 1) || [ -z "$window" ]; then
        echo "The sample's window did not appear." >&2
        kill "$pid" 2>/dev/null || true
        wait "$pid" || true
        exit 1
    fi
    # Loading and compiling the model takes a while; the first verdict shows
    # when the scene is up.
    until_true 120 verdict_shown "$window" || echo "No verdict was drawn." >&2
}

# Closes the window through its close box; sets `status` to the exit status.
close_sample() {
    "$build/tools/nevrik_closerequest" "$window"
    status=0
    wait "$pid" || status=$?
}

# Where a world point of the plane z = 0 shows in the 600 x 500 view: the
# camera sits 400 units away with a window 20 high at a near distance of 20,
# so the view spans 400 world units from top to bottom and 480 across.
screen_x() { echo $((300 + $1 * 600 / 480)); }
screen_y() { echo $((250 - $1 * 500 / 400)); }

# The verdict's corner of the window, as raw pixels.
verdict() { import -window "$1" -crop 300x40+10+460 +repage rgb:- | md5sum; }
verdict_shown() { [ "$(import -window "$1" -crop 300x40+10+460 +repage -format %k info:)" -gt 1 ]; }
verdict_changed() { [ "$(verdict "$1")" != "$2" ]; }

# Runs "$2 ..." every 50 ms until it succeeds or $1 seconds have passed.
until_true() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -ge "$deadline" ] && return 1
        sleep 0.05
    done
}

# Moves the pointer to (x, y) of the window, waits for the verdict to change
# and saves the window's picture.
hover() {
    local before
    before=$(verdict "$1")
    xdotool mousemove --window "$1" "$2" "$3"
    until_true 10 verdict_changed "$1" "$before" || echo "The verdict did not change at ($2, $3)." >&2
    import -window "$1" "$4"
}

drive() {
    local shots="$run/screenshots"
    mkdir -p "$shots"
    rm -f "$shots"/*.png
    start_sample
    # The copy at the origin fills the middle of the view; the top left corner
    # lies between copies.
    hover "$window" "$(screen_x 0)" "$(screen_y 0)" "$shots/over-object.png"
    hover "$window" "$(screen_x -160)" "$(screen_y 170)" "$shots/not-over-object.png"
    close_sample
    echo "Screenshots: $shots/over-object.png $shots/not-over-object.png"
    echo "The sample exited with status $status."
    [ "$status" -eq 0 ]
}

main() {
    locate "$@"
    if [ -n "${NEVRIK_SAMPLE_DRIVE:-}" ]; then
        drive
    elif [ -n "${DISPLAY:-}" ]; then
        prepare
        # The sample starts in the run folder: a model path must not depend
        # on where this script was called from.
        [ $# -lt 2 ] || set -- "$1" "$(realpath "$2")"
        cd "$run"
        status=0
        "$build/sample/nevrik_sample" "${@:2}" || status=$?
        echo "The sample exited with status $status."
        [ "$status" -eq 0 ]
    else
        prepare
        NEVRIK_SAMPLE_DRIVE=1 exec bash "$root/scripts/with-display.sh" bash "${BASH_SOURCE[0]}" "$build"
    fi
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    main "$@"
fi
