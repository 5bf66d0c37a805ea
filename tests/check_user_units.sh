#!/bin/bash
# The daily notice's systemd user units pass `systemd-analyze verify` with
# nothing to say, and hold what the notice relies on. The service runs the
# installed /usr/bin/sorvane-gui, which a build tree has not: a copy of it
# runs a stand-in there instead, and is otherwise the same.
#
# usage: check_user_units.sh <source directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

units=$1/gui/data/systemd
command -v systemd-analyze >/dev/null || skip "systemd-analyze is not installed"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 0700 "$work/runtime"
printf '#!/bin/sh\n' >"$work/sorvane-gui"
chmod 0755 "$work/sorvane-gui"
cp "$units/sorvane-update-notify.service" "$units/sorvane-update-notify.timer" "$work/"
sed -i "s|^ExecStart=/usr/bin/sorvane-gui |ExecStart=$work/sorvane-gui |" "$work/sorvane-update-notify.service"
grep -q "^ExecStart=$work/sorvane-gui --check --notify\$" "$work/sorvane-update-notify.service" ||
    fail "the service does not run /usr/bin/sorvane-gui --check --notify"

said=$(XDG_RUNTIME_DIR=$work/runtime systemd-analyze --user --man=no verify \
    "$work/sorvane-update-notify.service" "$work/sorvane-update-notify.timer" 2>&1) ||
    fail "systemd-analyze verify: $said"
[[ -z $said ]] || fail "systemd-analyze verify has something to say: $said"

# What each file must say: unit file, then the line.
while IFS='|' read -r file line; do
    grep -qx -- "$line" "$units/$file" || fail "$file lacks: $line"
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
! grep -q '^Restart=' "$units/sorvane-update-notify.service" || fail "the service restarts"
echo "user units: verified"
