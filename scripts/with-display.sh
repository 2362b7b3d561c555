#!/usr/bin/env bash
# Runs a command with an X display: the user's when DISPLAY is set, otherwise a
# private Xvfb server that lives exactly as long as the command.
set -euo pipefail

if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi

work=$(mktemp -d)
# -displayfd makes Xvfb pick a free display number and write it once it is ready.
# Without MIT-SHM, Mesa's software driver presents with plain XPutImage: through
# shared memory it crashed now and then when a test destroyed a window it was
# drawing into (XShmCreateImage on the dead drawable).
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset +extension GLX -extension MIT-SHM \
    3>"$work/display" >"$work/log" 2>&1 &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

for _ in $(seq 1 200); do
    [ -s "$work/display" ] && break
    if ! kill -0 "$xvfb_pid" 2>/dev/null; then
        cat "$work/log" >&2
        echo "Xvfb failed to start" >&2
        exit 1
    fi
    sleep 0.05
done
if [ ! -s "$work/display" ]; then
    echo "Xvfb did not report a display" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$work/display")"
export LIBGL_ALWAYS_SOFTWARE=1
"$@"
