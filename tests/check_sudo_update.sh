#!/bin/bash
# The whole path a desktop update takes, with the real sudo: Sorvane, run as
# an ordinary user, writes the script; the user runs it with the password on
# standard input. Stand-in package managers record how they were called.
#
# Everything happens in a private mount namespace: the test user exists only
# in copies of /etc/passwd, /etc/group and /etc/shadow bound over the real
# ones there, the sudoers rule only in a copy of /etc/sudoers, and the
# stand-ins only in a directory bound over /usr/local/bin. Nothing outside
# the namespace changes, so nothing needs undoing.
#
# usage: check_sudo_update.sh <build directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

readonly MANAGERS=(pacman apt dnf snap flatpak)
readonly USER_NAME=sorvane-e2e

# Prints a uid that is neither a user nor a group id on this machine.
free_id() {
    local id=61000
    while getent passwd "$id" >/dev/null || getent group "$id" >/dev/null; do
        id=$((id + 1))
    done
    echo "$id"
}

random_text() {
    tr -dc 'A-Za-z0-9' </dev/urandom | head -c "$1" || true
}

# A stand-in records its name, effective uid, the nearest sudo process
# above it (its pid, or "none") and its arguments.
write_stand_in() {
    local file=$1 log=$2
    cat >"$file" <<STAND_IN
#!/bin/bash
sudo_pid=none
pid=\$PPID
while [[ \$pid -gt 1 ]]; do
    read -r comm </proc/\$pid/comm
    if [[ \$comm == sudo ]]; then sudo_pid=\$pid; break; fi
    read -r _ _ _ pid _ </proc/\$pid/stat
done
printf '%s euid=%s sudo=%s args=%s\n' "\${0##*/}" "\$EUID" "\$sudo_pid" "\$*" >>$log
STAND_IN
    chmod 0755 "$file"
}

set_up() {
    local work=$1 uid=$2 password=$3
    mkdir -p "$work/etc" "$work/bin" "$work/home" "$work/log" "$work/ts"
    chmod 0755 "$work" "$work/bin"
    chmod 0700 "$work/ts"

    cp -p /etc/passwd /etc/group /etc/shadow "$work/etc/"
    local salt hash
    salt=$(random_text 16)
    hash=$(perl -e 'print crypt($ARGV[0], q($6$) . $ARGV[1] . q($))' "$password" "$salt")
    echo "$USER_NAME:x:$uid:$uid::$work/home:/bin/bash" >>"$work/etc/passwd"
    echo "$USER_NAME:x:$uid:" >>"$work/etc/group"
    echo "$USER_NAME:$hash:20000:0:99999:7:::" >>"$work/etc/shadow"

    cat >"$work/etc/sudoers" <<SUDOERS
Defaults env_reset
Defaults secure_path="/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
Defaults lecture=never, !syslog, !mail_badpass, timestampdir=$work/ts
root ALL=(ALL:ALL) ALL
$USER_NAME ALL=(root) ALL
SUDOERS
    chmod 0440 "$work/etc/sudoers"

    local manager
    for manager in "${MANAGERS[@]}"; do
        write_stand_in "$work/bin/$manager" "$work/log/calls"
    done
    chown "$uid:$uid" "$work/home" "$work/log"
    chmod 0700 "$work/home"
}

# Runs a command as the test user with a minimal login-like environment.
as_user() {
    local work=$1 uid=$2
    shift 2
    setpriv --reuid="$uid" --regid="$uid" --init-groups -- \
        env -i HOME="$work/home" USER="$USER_NAME" LOGNAME="$USER_NAME" PATH=/usr/bin:/bin "$@"
}

# Runs the update script with the given password line, leaving its exit
# status, stdout, stderr and the call log in $work/<name>.*
run_update() {
    local work=$1 uid=$2 password=$3 name=$4
    # Owned by the user, so flatpak can add to it; root can anyway.
    install -m 0644 -o "$uid" -g "$uid" /dev/null "$work/log/calls"
    local status=0
    printf '%s\n' "$password" |
        (cd "$work/home" && as_user "$work" "$uid" bash "$work/home/update/update.sh") \
            >"$work/$name.out" 2>"$work/$name.err" || status=$?
    echo "$status" >"$work/$name.status"
    cp "$work/log/calls" "$work/$name.calls"
}

inside_namespace() {
    local work=$1 uid=$2 password=$3
    local file
    for file in passwd group shadow sudoers; do
        mount --bind "$work/etc/$file" "/etc/$file"
    done
    mount --bind "$work/bin" /usr/local/bin

    # Sorvane, installed as a package would be, run by the user.
    (cd "$work/home" && as_user "$work" "$uid" \
        SORVANE_SCRIPT_OUTPUT="$work/home/update/update.sh" "$work/prefix/bin/sorvane") \
        >"$work/sorvane.out" 2>"$work/sorvane.err" || fail "sorvane failed: $(cat "$work/sorvane.err")"
    diff <(expected_report pacman flatpak apt dnf snap) "$work/sorvane.out" >&2 ||
        fail "unexpected report"
    check_written_script "$work/home/update/update.sh" "$USER_NAME"

    run_update "$work" "$uid" "$password" right
    run_update "$work" "$uid" "wrong-$password" wrong
}

check_right_password() {
    local work=$1 uid=$2
    local status
    status=$(<"$work/right.status")
    [[ $status -eq 0 ]] || fail "update exited with $status: $(cat "$work/right.err")"
    diff - "$work/right.out" >&2 <<'OUT' || fail "unexpected output of the update"
Starting system update...

Updating pacman packages...
Updating apt packages...
Updating dnf packages...
Updating Snap packages...
Updating Flatpak packages...
Update complete.
OUT
    # All privileged managers under one sudo process, in the script's order.
    local sudo_pid
    sudo_pid=$(sed -n 's/^pacman euid=0 sudo=\([0-9]*\) .*/\1/p' "$work/right.calls")
    [[ -n $sudo_pid ]] || fail "pacman did not run as root under sudo: $(cat "$work/right.calls")"
    diff - "$work/right.calls" >&2 <<CALLS || fail "unexpected manager calls"
pacman euid=0 sudo=$sudo_pid args=-Syu --noconfirm
apt euid=0 sudo=$sudo_pid args=update
apt euid=0 sudo=$sudo_pid args=upgrade -y
dnf euid=0 sudo=$sudo_pid args=upgrade -y
snap euid=0 sudo=$sudo_pid args=refresh
flatpak euid=$uid sudo=none args=update -y
CALLS
}

check_wrong_password() {
    local work=$1
    [[ $(<"$work/wrong.status") -ne 0 ]] || fail "update with a wrong password exited with 0"
    ! grep -q ' euid=0 ' "$work/wrong.calls" || fail "a manager ran as root: $(cat "$work/wrong.calls")"
    [[ ! -s $work/wrong.calls ]] || fail "a manager ran after sudo failed: $(cat "$work/wrong.calls")"
    printf 'Starting system update...\n\n' | diff - "$work/wrong.out" >&2 ||
        fail "unexpected output of the failed update"
}

main() {
    local build_dir=$1
    require_root "a test user, sudo and a private mount namespace"
    command -v sudo >/dev/null || skip "sudo is not installed"
    [[ -u $(command -v sudo) ]] || skip "sudo is not setuid"

    local uid password
    WORK=$(mktemp -d)
    trap 'rm -rf "$WORK"' EXIT
    local work=$WORK
    uid=$(free_id)
    password=$(random_text 20)
    cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
    set_up "$work" "$uid" "$password"

    unshare -m --propagation private "$0" --inside "$work" "$uid" "$password"
    # Results travel through files: the namespace ran in another process.
    check_right_password "$work" "$uid"
    check_wrong_password "$work"
    # The password went to sudo alone: not into the script, an argument or
    # any output.
    ! grep -qF "$password" "$work/home/update/update.sh" "$work"/*.calls "$work"/*.out \
        "$work"/*.err || fail "the password leaked"
    ! getent passwd "$USER_NAME" >/dev/null || fail "the test user leaked out of the namespace"
    echo "update ran through sudo as expected"
}

if [[ ${1:-} == --inside ]]; then
    inside_namespace "$2" "$3" "$4"
else
    main "$@"
fi
