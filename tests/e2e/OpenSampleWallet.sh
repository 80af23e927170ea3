#!/usr/bin/env bash
# End to end: the real program on a display of its own (Xvfb), driven with xdotool as a person
# would. It starts on a copy of the sample wallet with fresh settings, dismisses the first-run
# notice, types a wrong password and then the right one, sees the wallet's window; a second start
# hands over to the first and exits, a second start naming the wallet makes the first ask for
# its password again; a find lists a card, Enter opens it, Ctrl+C copies it (marked as a secret)
# and the wallet closes itself after its minute without activity; started again, SIGTERM ends
# the program with its settings saved.
#   usage: OpenSampleWallet.sh PROGRAM SAMPLE_WALLET
set -euo pipefail
program=$1
sample=$2
if [ -z "${TW_E2E_DISPLAY:-}" ]; then
    exec env TW_E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

source "$(dirname "$0")/common.sh"
# The wallet closes itself after 1 minute without activity: the settings block (in clear, after
# the 76-byte header and the 3148-byte key block) holds the minutes at its offset 112.
printf '\x01\x00\x00\x00' | dd of="$wallet" bs=1 seek=$((76 + 3148 + 112)) conv=notrunc status=none

# Focuses a window, waiting until it has the focus, then types and presses keys.
type_into() {
    local id=$1 text=$2
    xdotool windowfocus --sync "$id"
    [ -z "$text" ] || xdotool type --delay 30 "$text"
    xdotool key Return
}

"$program" "$wallet" >"$work/program.log" 2>&1 &
pid=$!

# A first start shows the first-run notice.
notice=$(wait_window '^Tallowmere Pro$')
type_into "$notice" ""
wait_gone '^Tallowmere Pro$'

# A wrong password is refused and the dialog stays; the right one opens the wallet.
dialog=$(wait_window '^Enter Password \(My Sample Wallet\)$')
type_into "$dialog" "wrongpass"
refusal=$(wait_window '^Password$')
type_into "$refusal" ""
wait_gone '^Password$'
type_into "$dialog" "tallowmere"
wait_window '^My Sample Wallet - Tallowmere Pro 6$' >/dev/null

# A second start hands over to the first and ends at once.
"$program" >/dev/null 2>&1 || fail "a second start ended with $?"
kill -0 "$pid" 2>/dev/null || fail "the first program ended after a second start"

# A second start naming the wallet: the first asks for its password again and reopens it.
"$program" "$wallet" >/dev/null 2>&1 || fail "a second start with a wallet ended with $?"
dialog=$(wait_window '^Enter Password \(My Sample Wallet\)$')
type_into "$dialog" "tallowmere"
wait_gone '^Enter Password'
wait_window '^My Sample Wallet - Tallowmere Pro 6$' >/dev/null

# Find: Ctrl+F, the text and Enter list the card under the find results; Down and Enter open it.
main=$(wait_window '^My Sample Wallet - Tallowmere Pro 6$')
xdotool windowfocus --sync "$main"
xdotool key ctrl+f
xdotool type --delay 30 "visa"
xdotool key Return Down Return
card=$(wait_window '^Everyday Visa$')
xdotool windowfocus --sync "$card"
xdotool key Escape
wait_gone '^Everyday Visa$'
# Ctrl+C on the card in its folder (below the find results, the favourites and the folder)
# copies it as text, marked so that clipboard managers keep no history of it.
xdotool windowfocus --sync "$main"
xdotool key Down Down Down ctrl+c
deadline=$((SECONDS + timeout))
until xclip -selection clipboard -o 2>/dev/null | grep -q "Everyday Visa"; do
    ((SECONDS < deadline)) || fail "the card was not copied"
    sleep 0.1
done
targets=$(xclip -selection clipboard -t TARGETS -o 2>/dev/null || true)
grep -q x-kde-passwordManagerHint <<<"$targets" || fail "the copy is not marked as a secret: $targets"
if xclip -selection primary -o 2>/dev/null | grep -q "Everyday Visa"; then fail "the card went to the primary selection"; fi

# Left alone for its minute, the wallet closes and the program ends, clearing the clipboard.
status=0
deadline=$((SECONDS + 100))
while kill -0 "$pid" 2>/dev/null; do
    ((SECONDS < deadline)) || fail "the wallet did not close itself"
    sleep 0.5
done
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with $status after closing itself"
if xclip -selection clipboard -o 2>/dev/null | grep -q "Everyday Visa"; then fail "the copied card stayed on the clipboard"; fi

# Started again: SIGTERM closes the wallet and saves the settings.
"$program" "$wallet" >"$work/program.log" 2>&1 &
pid=$!
dialog=$(wait_window '^Enter Password \(My Sample Wallet\)$')
type_into "$dialog" "tallowmere"
wait_window '^My Sample Wallet - Tallowmere Pro 6$' >/dev/null
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with $status after SIGTERM"
settings="$XDG_CONFIG_HOME/halvorsgarden/registry-hkcu.ini"
grep -q '^Halvorsgarden\\Tallowmere%20Pro%205\\Count6=dword:00000002$' "$settings" || fail "the run was not counted"
grep -qF "MRU=sz:$wallet" "$settings" || fail "the wallet is not the last wallet: $(grep MRU "$settings")"
grep -qF '"' "$XDG_CONFIG_HOME/halvorsgarden/registry-hkcr.ini" || fail "the file types were not registered"
echo "e2e: the sample wallet opened, a second start handed over, a card was found, opened and copied, the wallet closed itself, settings saved"
