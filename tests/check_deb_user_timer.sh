#!/bin/bash
# The .deb's maintainer scripts for the daily notice's user timer, run as
# dpkg would in a private mount namespace (empty /etc/systemd and
# /var/lib/systemd, the units in /usr/lib/systemd/user): installed, the
# timer is enabled for every user; an administrator's disabling survives an
# upgrade; removed, it is masked; purged, nothing is left. Installed, it
# makes sorvane-check, a system user with no home and no shell. The units
# are the ones the package installs.
#
# usage: check_deb_user_timer.sh <source directory> <build directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

require_root "a private mount namespace"
[[ -x /usr/bin/deb-systemd-helper ]] || skip "deb-systemd-helper (init-system-helpers) is not installed"

if [[ ${1:-} != --inside ]]; then
    exec unshare -m "$0" --inside "$(realpath "$1")" "$(realpath "$2")"
fi
source_dir=$2 build_dir=$3
scripts=$source_dir/packaging/debian/sorvane-gui
link=/etc/systemd/user/timers.target.wants/sorvane-update-notify.timer
work=$(mktemp -d)
trap 'umount -R "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
mount --make-rprivate /
# The user the postinst makes lands in this namespace's /etc alone, from
# the package's sysusers.d file laid over /usr/lib.
mount -t tmpfs sorvane-deb "$work"
for dir in /etc /usr/lib; do
    mkdir -p "$work/upper$dir" "$work/work$dir"
    mount -t overlay sorvane-deb -o "lowerdir=$dir,upperdir=$work/upper$dir,workdir=$work/work$dir" "$dir"
done
install -D -m 0644 "$source_dir/gui/data/sorvane-gui.sysusers" /usr/lib/sysusers.d/sorvane-gui.conf
mkdir -p "$work/units" /usr/lib/systemd/user
mount --bind "$work/units" /usr/lib/systemd/user
mount -t tmpfs none /etc/systemd
mount -t tmpfs none /var/lib/systemd
install_window_files "$build_dir" "$work/window"
for unit in sorvane-update-notify.service sorvane-update-notify.timer; do
    cp "$(window_file "$work/window" "$unit")" /usr/lib/systemd/user/
done

maintainer_script() {
    DPKG_MAINTSCRIPT_PACKAGE=sorvane-gui DPKG_MAINTSCRIPT_NAME=$1 sh "$scripts/$1" "${@:2}" 2>/dev/null ||
        fail "$1 $2 failed"
}

! getent passwd sorvane-check >/dev/null || skip "this machine already has a sorvane-check user"
maintainer_script postinst configure
entry=$(getent passwd sorvane-check) || fail "installed, there is no sorvane-check user"
IFS=: read -r _ _ check_uid _ _ check_home check_shell <<<"$entry"
[[ $check_uid -gt 0 && $check_home == / && $check_shell == */nologin ]] ||
    fail "sorvane-check is uid $check_uid, home $check_home, shell $check_shell"
[[ $(readlink "$link") == /usr/lib/systemd/user/sorvane-update-notify.timer ]] ||
    fail "installed, the timer is not enabled for every user"
rm "$link"
maintainer_script postinst configure 0.1.0-1
[[ ! -e $link ]] || fail "an upgrade enabled again the timer the administrator disabled"
maintainer_script postrm remove
[[ $(readlink /etc/systemd/user/sorvane-update-notify.timer) == /dev/null ]] ||
    fail "removed, the timer is not masked"
maintainer_script postrm purge
[[ -z $(find /etc/systemd /var/lib/systemd -mindepth 1 ! -type d) ]] ||
    fail "purged, something is left: $(find /etc/systemd /var/lib/systemd -mindepth 1 ! -type d)"
echo "deb user timer: enabled, kept disabled, masked, purged"
