#!/bin/bash
# The window opened from the notice, closed during an update, under a real
# systemd --user: the notifier's unit ends with the window, and the update
# must go on. A private user manager runs in a private mount namespace
# (its runtime directory is the test's own; /run/systemd/system, which it
# looks for, is a tmpfs there), with its own session bus.
#
# usage: check_own_scope.sh <gui_scope_driver>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

readonly DRIVER=$1
if [[ $(id -u) -ne 0 ]]; then skip "needs root for a private mount namespace"; fi
for tool in unshare systemd-run systemctl; do
    command -v "$tool" >/dev/null || skip "no $tool"
done
[[ -x /lib/systemd/systemd ]] || skip "no systemd"
if [[ ${SORVANE_IN_NAMESPACE:-} != 1 ]]; then
    exec env SORVANE_IN_NAMESPACE=1 unshare --mount --propagation private "$0" "$@"
fi

work=$(mktemp -d)
manager=
cleanup() {
    [[ -z $manager ]] || kill "$manager" 2>/dev/null || true
    [[ -z $manager ]] || wait "$manager" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mount -t tmpfs tmpfs /run/systemd
mkdir -p /run/systemd/system
mkdir -m 0700 "$work/run"
export XDG_RUNTIME_DIR=$work/run
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
/lib/systemd/systemd --user --log-target=null >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do
    [[ -S $XDG_RUNTIME_DIR/bus && -S $XDG_RUNTIME_DIR/systemd/private ]] && break
    sleep 0.1
done
systemctl --user is-system-running --wait >/dev/null 2>&1 || true
[[ -S $XDG_RUNTIME_DIR/systemd/private ]] || skip "systemd --user does not run here"

# Runs the driver as the notifier runs: a oneshot user unit, with the
# notifier unit's kill mode. Prints what became of the update.
run_case() {
    local name=$1 mode=$2 kill_mode=$3
    local unit=notice-$name.service marker=$work/$name
    systemd-run --user --quiet --wait --collect --unit="$unit" -p Type=oneshot \
        -p TimeoutStartSec=infinity -p KillMode="$kill_mode" \
        -E XDG_RUNTIME_DIR -E DBUS_SESSION_BUS_ADDRESS \
        "$DRIVER" "$mode" "$marker" "$unit" >/dev/null ||
        fail "$name: the window did not run"
    [[ -s $marker.pid ]] || fail "$name: no update started"
    # The unit has ended: its update is either killed already or still
    # running, and then says so once it sees the unit gone.
    local pid
    pid=$(cat "$marker.pid")
    if kill -0 "$pid" 2>/dev/null; then
        for _ in $(seq 100); do
            [[ -s $marker ]] && break
            sleep 0.1
        done
    fi
    if [[ -s $marker ]]; then echo survived; else echo killed; fi
}

[[ $(run_case closed-in-unit stay control-group) == killed ]] ||
    fail "an update left in the unit was expected to die with it"
echo "scope: an update left in the notifier's unit dies when the window closes"

[[ $(run_case own-scope move control-group) == survived ]] ||
    fail "the window's own scope did not keep the update: $(cat "$work/own-scope.cgroup" 2>/dev/null)"
grep -q 'app-example.sorvane.SorvaneUpdate-[0-9]*\.scope' "$work/own-scope.cgroup" ||
    fail "the update is not in the window's scope: $(cat "$work/own-scope.cgroup")"
echo "scope: the window's own scope keeps the update going after the window closes"

[[ $(run_case kill-mode stay process) == survived ]] ||
    fail "KillMode=process did not keep the update"
echo "scope: without a scope, the unit's KillMode=process still keeps the update"
