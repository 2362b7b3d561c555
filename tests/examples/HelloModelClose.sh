#!/usr/bin/env bash
# usage: HelloModelClose.sh HELLO_MODEL CLOSE_REQUEST MODEL
# hello_model, counting no frames, ends with status 0 once the close box of its
# window is used. CTest's timeout guards the waits.
set -euo pipefail
"$1" "$3" &
pid=$!
# However this script ends, the program does not outlive it.
trap 'kill "$pid" 2>/dev/null || true' EXIT
# Asked again until the window shows: a search fails outright when a window of
# another test goes while it looks at it.
window=
while [ -z "$window" ]; do
    kill -0 "$pid"
    window=$(xdotool search --onlyvisible --name '^hello model$' 2>/dev/null | head -n 1 || true)
done
"$2" "$window"
wait "$pid"
