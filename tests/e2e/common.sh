# What the end-to-end scripts share: a private home with fresh settings and a copy of the sample
# wallet ($wallet), the program's process ($pid, killed at exit) and its log, and waiting for
# windows by name. Sourced by each script on its Xvfb display after it has set $sample.
# shellcheck shell=bash

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

