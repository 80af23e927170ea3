#!/usr/bin/env bash
# End to end: the real program on a display of its own (Xvfb), driven with the keyboard through
# xdotool. It opens a copy of the sample wallet, finds the card "City Gym" in the folder tree,
# opens it, switches to editing, types a new member name, saves, and ends; tmpro then reads the
# new value from the wallet file.
#   usage: EditSampleCard.sh PROGRAM TMPRO SAMPLE_WALLET
set -euo pipefail
program=$1
tmpro=$2
sample=$3
if [ -z "${TW_E2E_DISPLAY:-}" ]; then
    exec env TW_E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

source "$(dirname "$0")/common.sh"

keys() {
    local id=$1
    shift
    xdotool windowfocus --sync "$id"
    xdotool key --delay 80 "$@"
}

"$program" "$wallet" >"$work/program.log" 2>&1 &
pid=$!

notice=$(wait_window '^Tallowmere Pro$')
keys "$notice" Return
wait_gone '^Tallowmere Pro$'
dialog=$(wait_window '^Enter Password \(My Sample Wallet\)$')
xdotool windowfocus --sync "$dialog"
xdotool type --delay 30 "tallowmere"
xdotool key Return
main=$(wait_window '^My Sample Wallet - Tallowmere Pro 6$')

# The tree finds "City Gym" by typing its name; Enter opens it.
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool type --delay 60 "City Gym"
xdotool key Return
card=$(wait_window '^City Gym$')

# Edit (Ctrl+E) starts on the selected first field, the member name; Done twice saves.
keys "$card" ctrl+e
sleep 0.3
keys "$card" ctrl+a
xdotool type --delay 30 "Alex Edited"
keys "$card" ctrl+s ctrl+s
wait_gone '^City Gym$'

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with $status after SIGTERM"

shown=$(echo tallowmere | "$tmpro" show "$wallet" "Personal/City Gym" 2>&1) || fail "tmpro show failed: $shown"
grep -q '^Member name: Alex Edited$' <<<"$shown" || fail "tmpro does not see the edit: $shown"
echo "e2e: a card of the sample wallet was edited with the keyboard and tmpro reads the new value"
