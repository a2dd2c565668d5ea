#!/usr/bin/env bash
# Part of scripts/bench: drags the Hifi page's 1 kHz band through its whole
# range with the real mouse (X input on the virtual display), up and then
# down, and prints the time per mouse move as JSON. The time of a sweep runs
# from the first move until the panel has stored the band's end value.
#   bench-drag.sh BIN_DIR PANEL_EXE_WINDOWS_PATH
set -euo pipefail
BIN=$1
EXE=$2
zbench() { wine "$BIN/zbench.exe" "$@" | tr -d '\r'; }

read -r left top right bottom < <(zbench show "$EXE" hifi)
trap 'xdotool mouseup 1; zbench exit >/dev/null' EXIT
x=$(((left + right) / 2))
high=$top
low=$((bottom - 1))

# The values at both ends, from a press at each end.
xdotool mousemove "$x" "$high" mousedown 1 mouseup 1
top_value=$(zbench storewait hifi eq_5)
xdotool mousemove "$x" "$low" mousedown 1
bottom_value=$(zbench storewait hifi eq_5)

sweep() { # from to value-at-the-end
    local moves=() y step
    step=$(($2 < $1 ? -1 : 1))
    for ((y = $1 + step; y != $2 + step; y += step)); do
        moves+=(mousemove "$x" "$y")
    done
    local t0 t1
    t0=$(date +%s%N)
    xdotool "${moves[@]}"
    t1=$(zbench storewait hifi eq_5 "$3")
    awk -v t0="$t0" -v t1="$t1" -v n=$((${#moves[@]} / 3)) \
        'BEGIN { total = t1 - t0 / 1e6; printf "{\"moves\": %d, \"total_ms\": %.1f, \"ms_per_move\": %.3f}", n, total, total / n }'
}
up=$(sweep "$low" "$high" "$top_value")
down=$(sweep "$high" "$low" "$bottom_value")
printf '{"up": %s, "down": %s}\n' "$up" "$down"
