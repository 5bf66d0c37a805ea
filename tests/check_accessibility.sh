#!/bin/bash
# The update window as a screen reader meets it: each screen of the
# window's own test, shown on a virtual X display (Xvfb) with Qt's AT-SPI
# bridge on, is read through the real accessibility bus by
# tests/atspi_reader.py, which compares every visible text with the
# accessible tree and waits for what the model announces to be spoken.
#
# Everything runs on a private session bus, display and accessibility bus,
# ended when the check ends. No root is needed, and root changes nothing:
# the window is the test's, not sorvane-gui (which refuses root).
#
# usage: check_accessibility.sh <gui_window_test executable>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

readonly TEST=$1
READER=$(dirname "$0")/atspi_reader.py
readonly READER
readonly LAUNCHER=/usr/libexec/at-spi-bus-launcher
readonly PYTHON=/usr/bin/python3  # Debian's, which has pyatspi
# The test functions that show the screens, and the screens they show.
readonly FUNCTIONS=(
    looking readyAsksForThePasswordOnlyWhenSudoWantsOne theReadyScreenSaysWhatTheCheckFound
    nothingFoundAndStopped updatingAndDone aFailureNamesItsStepAndOpensTheLogThere
    aWrongPasswordReturnsToReadyWithSudosWords aPasswordSudoCannotReadIsRefusedBeforeAnythingRuns
)
readonly SCREENS=looking,ready,would-fail,nothing-found,error,updating,done,failed,wrong-password,refused-password

command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"
command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed (Debian package dbus-daemon)"
command -v dbus-send >/dev/null || skip "dbus-send is not installed (Debian package dbus-bin)"
[[ -x $LAUNCHER ]] || skip "$LAUNCHER is missing (Debian package at-spi2-core)"
"$PYTHON" -c 'import pyatspi' 2>/dev/null || skip "pyatspi is missing (Debian package python3-pyatspi)"
[[ -x $TEST ]] || fail "$TEST is not built"

work=$(mktemp -d)
pids=()
# Ends what this check started, by process id, last started first.
finish() {
    local index
    for ((index = ${#pids[@]} - 1; index >= 0; index--)); do
        kill "${pids[index]}" 2>/dev/null || true
        wait "${pids[index]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap finish EXIT
chmod 0700 "$work"
mkdir -m 0700 "$work/runtime" "$work/home" "$work/screens"

# Waits up to 10 s for a command to succeed.
wait_for() {
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Nothing of the machine's own desktop is used: no user's bus, display or
# settings.
unset AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime GSETTINGS_BACKEND=memory
# No system bus at all: the window's logind must never be the machine's.
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/no-system-bus

dbus-daemon --session --nofork --nopidfile --address="unix:path=$work/bus" \
    >"$work/dbus.log" 2>&1 &
pids+=($!)
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
wait_for test -S "$work/bus" || fail "the session bus did not start: $(cat "$work/dbus.log")"

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_for test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

"$LAUNCHER" --launch-immediately >"$work/launcher.log" 2>&1 &
pids+=($!)
bus_up() {
    dbus-send --session --dest=org.a11y.Bus --print-reply /org/a11y/bus org.a11y.Bus.GetAddress \
        >/dev/null 2>&1
}
wait_for bus_up || fail "the accessibility bus did not start: $(cat "$work/launcher.log")"

# Qt's bridge is on without a screen reader having asked for it.
started=$SECONDS
status=0
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
    SORVANE_SCREENS=$work/screens "$PYTHON" "$READER" "$work/screens" "$SCREENS" -- \
    "$TEST" -maxwarnings 0 "${FUNCTIONS[@]}" >"$work/reader.log" 2>&1 || status=$?
grep -v -e propagateSizeHints -e '^QWARN' "$work/reader.log" || true
[[ $status -eq 0 ]] || fail "the window is not read as it is shown (status $status)"
echo "PASS: every screen read through AT-SPI in $((SECONDS - started)) s"
