#!/usr/bin/env bash
# usage: HelloModelClose.sh HELLO_MODEL CLOSE_REQUEST MODEL
# hello_model, counting no frames, ends with status 0 once the close box of its
# window is used. CTest's timeout guards the waits.
set -euo pipefail
"$1" "$3" &
pid=$!
window=$(xdotool search --sync --onlyvisible --name '^hello model$' | head -n 1)
"$2" "$window"
wait "$pid"
