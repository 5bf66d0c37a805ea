#!/bin/bash
# The daily notice's systemd user units pass `systemd-analyze verify` with
# nothing to say, and hold what the notice relies on: the units as the
# packages install them, at /usr. The service runs the installed
# /usr/bin/sorvane-gui, which this machine may not have: a copy of it runs a
# stand-in there instead, and is otherwise the same.
#
# usage: check_user_units.sh <build directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

command -v systemd-analyze >/dev/null || skip "systemd-analyze is not installed"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
install_window_files "$1" "$work/root"
mkdir -m 0700 "$work/runtime"
printf '#!/bin/sh\n' >"$work/sorvane-gui"
chmod 0755 "$work/sorvane-gui"
for file in sorvane-update-notify.service sorvane-update-notify.timer; do
    cp "$(window_file "$work/root" "$file")" "$work/"
done
sed -i "s|^ExecStart=/usr/bin/sorvane-gui |ExecStart=$work/sorvane-gui |" "$work/sorvane-update-notify.service"
grep -q "^ExecStart=$work/sorvane-gui --check --notify\$" "$work/sorvane-update-notify.service" ||
    fail "the service does not run /usr/bin/sorvane-gui --check --notify"

said=$(XDG_RUNTIME_DIR=$work/runtime systemd-analyze --user --man=no verify \
    "$work/sorvane-update-notify.service" "$work/sorvane-update-notify.timer" 2>&1) ||
    fail "systemd-analyze verify: $said"
[[ -z $said ]] || fail "systemd-analyze verify has something to say: $said"

# What each file must say: unit file, then the line.
while IFS='|' read -r file line; do
    grep -qx -- "$line" "$(window_file "$work/root" "$file")" || fail "$file lacks: $line"
done <<'LINES'
sorvane-update-notify.service|Type=oneshot
sorvane-update-notify.service|SuccessExitStatus=100
sorvane-update-notify.service|TimeoutStartSec=infinity
sorvane-update-notify.timer|OnCalendar=daily
sorvane-update-notify.timer|Persistent=true
sorvane-update-notify.timer|OnStartupSec=5min
sorvane-update-notify.timer|RandomizedDelaySec=1h
sorvane-update-notify.timer|WantedBy=timers.target
80-sorvane-gui.preset|enable sorvane-update-notify.timer
LINES
# Nothing restarts it: one run, one notice at most.
! grep -q '^Restart=' "$work/sorvane-update-notify.service" || fail "the service restarts"
echo "user units: verified"
