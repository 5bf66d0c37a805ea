#!/bin/bash
# The window's conversations with the desktop (tests/gui_desktop_test.cpp)
# on a virtual X display of its own (Xvfb), where its request for attention
# reaches the root window as a window manager would see it. The test starts
# its own system and session buses: nothing of the machine's is used.
#
# usage: check_desktop_window.sh <gui_desktop_test executable>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

readonly TEST=$1

command -v Xvfb >/dev/null || skip "Xvfb is not installed (Debian package xvfb)"
command -v dbus-daemon >/dev/null || skip "dbus-daemon is not installed (Debian package dbus-daemon)"
[[ -x $TEST ]] || fail "$TEST is not built"

work=$(mktemp -d)
xvfb=
finish() {
    if [[ -n $xvfb ]]; then
        kill "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap finish EXIT
chmod 0700 "$work"
mkdir -m 0700 "$work/runtime" "$work/home"

unset AT_SPI_BUS_ADDRESS WAYLAND_DISPLAY XAUTHORITY SESSION_MANAGER
export HOME=$work/home XDG_RUNTIME_DIR=$work/runtime

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
for ((tries = 0; tries < 100; tries++)); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
[[ -s $work/display ]] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

QT_QPA_PLATFORM=xcb "$TEST" -maxwarnings 0
