#!/usr/bin/env bash
# End to end: the real program on a display of its own (Xvfb), driven with xdotool as a person
# would. It starts on a copy of the sample wallet with fresh settings, dismisses the first-run
# notice, types a wrong password and then the right one, sees the wallet's window; a second start
# hands over to the first and exits, a second start naming the wallet makes the first ask for
# its password again; SIGTERM ends the program with its settings saved.
#   usage: OpenSampleWallet.sh PROGRAM SAMPLE_WALLET
set -euo pipefail
program=$1
sample=$2
if [ -z "${TW_E2E_DISPLAY:-}" ]; then
    exec env TW_E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

work=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill -KILL "$pid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb LC_ALL=C LANG=C
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
wallet="$HOME/My Sample Wallet.tm5"
cp "$sample" "$wallet"
timeout=${TW_E2E_TIMEOUT:-60}

fail() {
    echo "e2e: $*" >&2
    echo "--- program output:" >&2
    cat "$work/program.log" >&2 || true
    exit 1
}

# Waits until a window whose name matches the pattern exists and prints its id.
wait_window() {
    local pattern=$1 deadline=$((SECONDS + timeout)) id
    while ((SECONDS < deadline)); do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || fail "the program ended while waiting for '$pattern'"
        sleep 0.1
    done
    fail "no window '$pattern' within ${timeout}s"
}

# Waits until no visible window matches the pattern.
wait_gone() {
    local pattern=$1 deadline=$((SECONDS + timeout))
    while ((SECONDS < deadline)); do
        xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 || return 0
        sleep 0.1
    done
    fail "window '$pattern' still there after ${timeout}s"
}

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

# SIGTERM: the wallet is closed and the settings saved.
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the program ended with $status after SIGTERM"
settings="$XDG_CONFIG_HOME/halvorsgarden/registry-hkcu.ini"
grep -q '^Halvorsgarden\\Tallowmere%20Pro%205\\Count6=dword:00000001$' "$settings" || fail "the run was not counted"
grep -qF "MRU=sz:$wallet" "$settings" || fail "the wallet is not the last wallet: $(grep MRU "$settings")"
grep -qF '"' "$XDG_CONFIG_HOME/halvorsgarden/registry-hkcr.ini" || fail "the file types were not registered"
echo "e2e: the sample wallet opened, a second start handed over, settings saved"
