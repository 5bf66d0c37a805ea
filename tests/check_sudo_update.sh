#!/bin/bash
# The whole path a desktop update takes, with the real sudo: Sorvane, run as
# an ordinary user, writes the script; the user runs it with the password on
# standard input. Then the same through the update window (when it was
# built): it looks, is given the password, and runs the update, under odd
# sudoers rules too. Stand-in package managers record how they were called,
# and fail if anything reaches their standard input.
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
# above it (its pid, or "none") and its arguments; anything on its standard
# input (the password, misrouted) is recorded too, and makes it fail. It
# fails while a file fail-<name> exists beside its log, and asks a question
# on standard input, as dpkg does about a changed configuration file, while
# a file ask-<name> does (its answer goes to the output, as a terminal's
# echo would put it there). A language variable that names a path (glibc
# would read its locale data and translations) is recorded as a fault.
write_stand_in() {
    local file=$1 log=$2
    cat >"$file" <<STAND_IN
#!/bin/bash
# The window's check before the update asks as the user: nothing pending;
# after it, whether a restart is due: none.
case "\${0##*/} \$*" in
    "pacman -Qu") exit 1 ;;
    "dnf -q needs-restarting -r") exit 0 ;;
    "dnf -q repolist --enabled") printf 'repo id   repo name\nstand-in  Stand-in\n'; exit 0 ;;
    "dnf -q check-update --refresh" | "snap refresh --list" | "flatpak remote-ls "*) exit 0 ;;
esac
if [[ -e ${log%/*}/ask-\${0##*/} ]]; then
    printf 'Configuration file changed. Keep yours? [Y/n] '
    read -r answer
    printf '%s\n' "\$answer"
    printf '%s asked, answer: %s\n' "\${0##*/}" "\$answer" >>$log
elif read -r -t 0.2 got; then
    printf '%s read stdin: %s\n' "\${0##*/}" "\$got" >>$log
    exit 1
fi
[[ \${LANG:-}:\${LANGUAGE:-}:\${LC_ALL:-}:\${LC_MESSAGES:-} != */* ]] ||
    printf '%s was given a locale path: %s\n' "\${0##*/}" "\${LANG:-}:\${LANGUAGE:-}:\${LC_ALL:-}" >>$log
sudo_pid=none
pid=\$PPID
while [[ \$pid -gt 1 ]]; do
    read -r comm </proc/\$pid/comm
    if [[ \$comm == sudo ]]; then sudo_pid=\$pid; break; fi
    read -r _ _ _ pid _ </proc/\$pid/stat
done
printf '%s euid=%s sudo=%s frontend=%s args=%s\n' "\${0##*/}" "\$EUID" "\$sudo_pid" \
    "\${DEBIAN_FRONTEND:-unset}" "\$*" >>$log
[[ ! -e ${log%/*}/fail-\${0##*/} ]]
STAND_IN
    chmod 0755 "$file"
}

# The sudoers copy: the user may run anything as root with a password; any
# further lines (an odd rule) go at the end. Rewritten in place, so a copy
# already bound over /etc/sudoers changes too.
write_sudoers() {
    local work=$1
    shift
    cat >"$work/etc/sudoers" <<SUDOERS
Defaults env_reset
Defaults secure_path="/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin"
Defaults lecture=never, !syslog, !mail_badpass, timestampdir=$work/ts
root ALL=(ALL:ALL) ALL
$USER_NAME ALL=(root) ALL
SUDOERS
    [[ $# -eq 0 ]] || printf '%s\n' "$@" >>"$work/etc/sudoers"
    chmod 0440 "$work/etc/sudoers"
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
    # A desktop user who may administer: in the sudo group, as Debian's
    # installer makes the first user. A second copy has them in none.
    cp -p "$work/etc/group" "$work/etc/group.plain"
    awk -F: -v OFS=: -v user="$USER_NAME" \
        '$1 == "sudo" { $4 = ($4 == "" ? user : $4 "," user) } { print }' \
        "$work/etc/group.plain" >"$work/etc/group"
    cp -p "$work/etc/group" "$work/etc/group.member"
    echo "$USER_NAME:$hash:20000:0:99999:7:::" >>"$work/etc/shadow"

    write_sudoers "$work"

    local manager
    for manager in "${MANAGERS[@]}"; do
        write_stand_in "$work/bin/$manager" "$work/log/calls"
    done
    # pacman's configuration, as the window's check reads it: one repository.
    printf '#!/bin/sh\necho core\n' >"$work/bin/pacman-conf"
    chmod 0755 "$work/bin/pacman-conf"
    # The state the check looks at: snapd's socket is there.
    mkdir -p "$work/state/run"
    touch "$work/state/run/snapd.socket"
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
    if [[ -x $DRIVER ]]; then
        gui_cases "$work" "$uid" "$password"
    fi
}

# --- the update window ---

# Runs the window's driver as the user, typing `typed`, while every
# process's arguments and environment are searched for the password.
# Leaves its report in $work/gui-<name>.out and the calls in .calls. A
# sixth argument limits sudo's password probe to that many milliseconds,
# as a slow sudo (a dead name server) would have it time out.
run_window() {
    local work=$1 uid=$2 password=$3 typed=$4 name=$5 probe_ms=${6:-}
    install -m 0644 -o "$uid" -g "$uid" /dev/null "$work/log/calls"
    install -m 0600 -o "$uid" -g "$uid" /dev/null "$work/home/typed"
    printf '%s\n' "$typed" >"$work/home/typed"
    (
        while [[ ! -e $work/scan-stop ]]; do
            grep -lsF -- "$password" /proc/[0-9]*/cmdline /proc/[0-9]*/environ >>"$work/leaks" || true
            sleep 0.05
        done
    ) &
    local scanner=$! status=0
    as_user "$work" "$uid" QT_QPA_PLATFORM=offscreen LANG="${WINDOW_LANG:-C.UTF-8}" \
        ${WINDOW_LANG:+LANGUAGE="$WINDOW_LANG:de" LC_ALL="$WINDOW_LANG"} ASAN_OPTIONS=detect_leaks=0 \
        SORVANE_E2E_PROBE_MS="$probe_ms" XDG_RUNTIME_DIR="$work/home/runtime" \
        SORVANE_E2E_STATE_ROOT="$work/state" \
        "$work/driver" "$work/prefix/lib/sorvane/libexec/bin/sorvane-gui" \
        "$work/home/runtime" <"$work/home/typed" >"$work/gui-$name.out" 2>"$work/gui-$name.err" ||
        status=$?
    touch "$work/scan-stop"
    wait "$scanner"
    rm -f "$work/scan-stop" "$work/home/typed"
    [[ $status -eq 0 ]] || fail "window ($name) ended with $status: $(cat "$work/gui-$name.err")"
    cp "$work/log/calls" "$work/gui-$name.calls"
    [[ ! -s $work/leaks ]] || fail "window ($name): the password is in $(cat "$work/leaks")"
    ! grep -rqF -- "$password" "$work/home/runtime" || fail "window ($name): the password is in a file"
    ! grep -q 'read stdin' "$work/gui-$name.calls" ||
        fail "window ($name): a manager read the password: $(cat "$work/gui-$name.calls")"
    ! grep -qF -- "$password" "$work/gui-$name.calls" ||
        fail "window ($name): a manager was given the password: $(cat "$work/gui-$name.calls")"
    ! grep -q 'rc file ran' "$work/gui-$name.calls" ||
        fail "window ($name): a bash rc file ran: $(cat "$work/gui-$name.calls")"
    ! grep -q 'was given a locale path' "$work/gui-$name.calls" ||
        fail "window ($name): a manager's language is a path: $(cat "$work/gui-$name.calls")"
}

# Expects the window to have updated every manager.
expect_complete() {
    local work=$1 name=$2
    after_update "$work/gui-$name.out" | grep -qx 'message=Update complete' ||
        fail "window ($name): $(cat "$work/gui-$name.out")"
    [[ $(grep -c ' args=' "$work/gui-$name.calls") -eq 6 ]] ||
        fail "window ($name): not every manager ran: $(cat "$work/gui-$name.calls")"
}

after_update() {
    sed -n '/^--- after update$/,$p' "$1"
}

gui_cases() {
    local work=$1 uid=$2 password=$3
    mkdir -p "$work/home/runtime"
    chown "$uid:$uid" "$work/home/runtime"
    chmod 0700 "$work/home/runtime"

    run_window "$work" "$uid" "$password" "$password" right
    grep -qx 'password-field=shown' "$work/gui-right.out" || fail "window: no password asked"
    after_update "$work/gui-right.out" | grep -qx 'message=Update complete' ||
        fail "window: no success: $(cat "$work/gui-right.out")"
    cp "$work/gui-right.calls" "$work/right.calls"  # the same calls as from the shell
    check_right_password "$work" "$uid"
    # Rows in sorvane's order: apt third, with what the real apt-get says.
    grep -qx 'row2=apt — \(up to date\|nothing to update, [0-9]* kept back\|[0-9]* updates\?\).*' "$work/gui-right.out" ||
        fail "window: apt's pending updates not shown: $(cat "$work/gui-right.out")"
    echo "window: updated every manager with the password typed once"

    headless_languages "$work" "$uid"
    headless_offline "$work" "$uid"

    # Not in the sudo group: sudo will most likely refuse, and the screen
    # says so; a sudoers rule naming the user still works on request.
    cat "$work/etc/group.plain" >"$work/etc/group"
    run_window "$work" "$uid" "$password" "$password" no-group
    cat "$work/etc/group.member" >"$work/etc/group"
    grep -qx 'password-anyway=shown' "$work/gui-no-group.out" ||
        fail "window (no group): $(cat "$work/gui-no-group.out")"
    grep -q 'none of the groups' "$work/gui-no-group.out" || fail "window (no group): not said"
    after_update "$work/gui-no-group.out" | grep -qx 'message=Update complete' ||
        fail "window (no group): the password asked for anyway did not work"
    echo "window: a user in no admin group is told, and may still give the password"

    run_window "$work" "$uid" "$password" "wrong-$password" wrong
    after_update "$work/gui-wrong.out" | grep -qx 'state=ready' || fail "window: wrong password not refused"
    after_update "$work/gui-wrong.out" | grep -q 'incorrect password' ||
        fail "window: sudo's words not shown: $(cat "$work/gui-wrong.out")"
    [[ ! -s $work/gui-wrong.calls ]] || fail "window: a manager ran with a wrong password"
    echo "window: a wrong password returns to Ready with sudo's message, nothing ran"

    touch "$work/log/fail-dnf"
    run_window "$work" "$uid" "$password" "$password" failing
    rm "$work/log/fail-dnf"
    after_update "$work/gui-failing.out" | grep -q '^message=The dnf step failed (exit status 1)' ||
        fail "window: the failing step is not named: $(cat "$work/gui-failing.out")"
    ! grep -qE '^(snap|flatpak) ' "$work/gui-failing.calls" || fail "window: steps after dnf ran"
    echo "window: a failing manager is named, and later steps did not run"

    write_sudoers "$work" "$USER_NAME ALL=(root) NOPASSWD: /usr/bin/bash"
    run_window "$work" "$uid" "$password" "$password" nopasswd
    grep -qx 'password-field=hidden' "$work/gui-nopasswd.out" ||
        fail "window: asked for a password sudo does not want"
    after_update "$work/gui-nopasswd.out" | grep -qx 'message=Update complete' ||
        fail "window (NOPASSWD): $(cat "$work/gui-nopasswd.out")"
    echo "window: with a NOPASSWD rule for bash, no password is asked or written"

    write_sudoers "$work" "Defaults requiretty"
    run_window "$work" "$uid" "$password" "$password" requiretty
    # sudo refuses before it reads: the password is never written, and
    # sudo's own words say why.
    after_update "$work/gui-requiretty.out" | grep -q 'you must have a tty' ||
        fail "window (requiretty): $(cat "$work/gui-requiretty.out")"
    [[ ! -s $work/gui-requiretty.calls ]] || fail "window (requiretty): a manager ran"
    echo "window: with requiretty, the password is never written and sudo says why"

    # sudo drops a language variable with "/" unless sudoers keeps it.
    write_sudoers "$work" 'Defaults env_keep += "LANG LANGUAGE LC_ALL"'
    WINDOW_LANG=$work/home/locale run_window "$work" "$uid" "$password" "$password" locale-path
    expect_complete "$work" locale-path
    echo "window: a language variable that names a path reaches no manager, even where sudoers keeps it"

    write_sudoers "$work" "Defaults timestamp_type=global"
    run_window "$work" "$uid" "$password" "$password" global
    after_update "$work/gui-global.out" | grep -qx 'message=Update complete' ||
        fail "window (global time stamps): $(cat "$work/gui-global.out")"
    write_sudoers "$work"
    echo "window: global time stamps change nothing"

    password_only_for_sudo "$work" "$uid" "$password"
    no_rc_file_runs "$work" "$uid" "$password"

    # Planted programs: each refused by name before any password is asked.
    install -m 0755 -o "$uid" -g "$uid" "$work/bin/apt" "$work/bin/sudo"
    expect_refusal "$work" "$uid" "$password" planted-sudo \
        '/usr/local/bin/sudo belongs to another user'
    rm "$work/bin/sudo"
    chmod 0777 "$work/bin/pacman"
    expect_refusal "$work" "$uid" "$password" writable-manager \
        '/usr/local/bin/pacman can be changed by other users'
    chmod 0755 "$work/bin/pacman"
    mkdir -m 0775 "$work/sbin"
    mount --bind "$work/sbin" /usr/local/sbin
    expect_refusal "$work" "$uid" "$password" writable-directory \
        '/usr/local/sbin can be changed by other users'
    umount /usr/local/sbin
    # Root runs a file with any execute bit, though the user could not.
    chmod 0755 "$work/sbin"
    install -m 0722 "$work/bin/apt" "$work/sbin/apt"
    mount --bind "$work/sbin" /usr/local/sbin
    expect_refusal "$work" "$uid" "$password" owner-only-manager \
        '/usr/local/sbin/apt can be changed by other users'
    umount /usr/local/sbin
    echo "window: a planted sudo, a writable manager and a writable PATH directory are refused by name"
}

# Runs the headless check as the user, with the given environment and
# arguments after it; leaves its output in $work/check-<name>.out.
headless_check() {
    local work=$1 uid=$2 name=$3
    shift 3
    local status=0
    (cd "$work/home" && as_user "$work" "$uid" XDG_RUNTIME_DIR="$work/home/runtime" "$@") \
        >"$work/check-$name.out" 2>"$work/check-$name.err" || status=$?
    # 0 up to date, 100 pending, 1 a check failed: any is an answer.
    [[ $status -eq 0 || $status -eq 1 || $status -eq 100 ]] ||
        fail "headless check ($name) ended with $status: $(cat "$work/check-$name.err")"
}

# The headless check is for people too: it speaks the user's language,
# from LANG alone (no locale is generated for it here) or from LANGUAGE
# before it; the JSON's keys stay English.
headless_languages() {
    local work=$1 uid=$2
    local gui=$work/prefix/lib/sorvane/libexec/bin/sorvane-gui
    headless_check "$work" "$uid" en LANG=C.UTF-8 "$gui" --check
    grep -q '^pacman — up to date' "$work/check-en.out" ||
        fail "headless check (English): $(cat "$work/check-en.out")"
    headless_check "$work" "$uid" de LANG=de_DE.UTF-8 "$gui" --check
    grep -q '^pacman — aktuell' "$work/check-de.out" ||
        fail "headless check (LANG=de_DE.UTF-8) is not German: $(cat "$work/check-de.out")"
    headless_check "$work" "$uid" fr LANG=de_DE.UTF-8 LANGUAGE=fr:de "$gui" --check
    grep -q '^pacman — à jour' "$work/check-fr.out" ||
        fail "headless check (LANGUAGE=fr:de) is not French: $(cat "$work/check-fr.out")"
    headless_check "$work" "$uid" de-json LANG=de_DE.UTF-8 "$gui" --check --json
    local key
    for key in '"managers"' '"name": "pacman"' '"stops_update"'; do
        grep -qF "$key" "$work/check-de-json.out" ||
            fail "headless check (German JSON) lacks $key: $(cat "$work/check-de-json.out")"
    done
    echo "headless check: in English, German (LANG) and French (LANGUAGE); JSON keys in English"
}

# Offline (a network namespace of its own: no route at all), the headless
# check refuses as the window does: exit status 1, "online": false, and the
# window's own words, the same in the report as in the JSON's "problems".
headless_offline() {
    local work=$1 uid=$2
    local gui=$work/prefix/lib/sorvane/libexec/bin/sorvane-gui
    local format status
    for format in json text; do
        status=0
        local args=(--check)
        [[ $format == json ]] && args+=(--json)
        (cd "$work/home" && unshare -n -- setpriv --reuid="$uid" --regid="$uid" --init-groups -- \
            env -i HOME="$work/home" USER="$USER_NAME" LOGNAME="$USER_NAME" PATH=/usr/bin:/bin \
            LANG=C.UTF-8 XDG_RUNTIME_DIR="$work/home/runtime" "$gui" "${args[@]}") \
            >"$work/check-offline.$format" 2>"$work/check-offline.$format.err" || status=$?
        [[ $status -eq 1 ]] ||
            fail "headless check offline ($format) ended with $status: $(cat "$work/check-offline.$format")"
    done
    local said='This computer is not connected to a network, so the update could download nothing. Connect, then check again.'
    grep -qF '"online": false' "$work/check-offline.json" ||
        fail "headless check offline: JSON says online: $(cat "$work/check-offline.json")"
    grep -qF '"stops_update": true,' "$work/check-offline.json" ||
        fail "headless check offline: JSON lets the update go: $(cat "$work/check-offline.json")"
    grep -qF "\"$said\"" "$work/check-offline.json" ||
        fail "headless check offline: JSON lacks the window's words: $(cat "$work/check-offline.json")"
    grep -qxF "$said" "$work/check-offline.text" ||
        fail "headless check offline: report lacks the window's words: $(cat "$work/check-offline.text")"
    echo "headless check: offline refused, in the report and the JSON, with the window's words"
}

# sudo does not always read the password it is given: a PAM module that
# lets the user in without a prompt (a fingerprint reader, a security key),
# or a NOPASSWD rule that the probe missed (it took too long). The managers,
# one of which asks a question on standard input, must get none of it.
password_only_for_sudo() {
    local work=$1 uid=$2 password=$3
    touch "$work/log/ask-apt"
    printf '%s\n' 'auth sufficient pam_permit.so' '@include common-account' \
        '@include common-session-noninteractive' >"$work/etc/pam-sudo"
    mount --bind "$work/etc/pam-sudo" /etc/pam.d/sudo
    run_window "$work" "$uid" "$password" "$password" promptless
    umount /etc/pam.d/sudo
    grep -qx 'password-field=shown' "$work/gui-promptless.out" || fail "window (promptless): no password asked"
    expect_complete "$work" promptless
    grep -qx 'apt asked, answer: ' "$work/gui-promptless.calls" ||
        fail "window (promptless): the question had an answer: $(cat "$work/gui-promptless.calls")"
    echo "window: with PAM that asks nothing, the unread password reaches no manager"

    write_sudoers "$work" "$USER_NAME ALL=(root) NOPASSWD: /usr/bin/bash"
    run_window "$work" "$uid" "$password" "$password" slow-probe 0
    grep -qx 'password-field=shown' "$work/gui-slow-probe.out" || fail "window (slow probe): no password asked"
    expect_complete "$work" slow-probe
    # Nothing written at all: the question still sees the end of its input.
    run_window "$work" "$uid" "$password" "$password" nopasswd-question
    grep -qx 'password-field=hidden' "$work/gui-nopasswd-question.out" ||
        fail "window (NOPASSWD, a question): a password was asked"
    expect_complete "$work" nopasswd-question
    write_sudoers "$work"
    rm "$work/log/ask-apt"
    echo "window: under NOPASSWD a password written after a slow probe reaches no manager, and a question ends"
}

# bash started with -c on a socket believes a remote shell daemon started
# it, and would read its rc files: root's shell must read none, not even
# the user's own when sudo keeps HOME.
no_rc_file_runs() {
    local work=$1 uid=$2 password=$3
    local marker="echo \"rc file ran: \$BASH_SOURCE as \$EUID\" >>$work/log/calls"
    mkdir -m 0700 "$work/root-home"
    printf '%s\n' "$marker" | tee "$work/root-home/.bashrc" "$work/etc/bash.bashrc" \
        "$work/home/.bashrc" >/dev/null
    chown "$uid:$uid" "$work/home/.bashrc"
    mount --bind "$work/root-home" /root
    mount --bind "$work/etc/bash.bashrc" /etc/bash.bashrc
    run_window "$work" "$uid" "$password" "$password" rc-root
    expect_complete "$work" rc-root
    write_sudoers "$work" 'Defaults env_keep += "HOME"'
    run_window "$work" "$uid" "$password" "$password" rc-home
    expect_complete "$work" rc-home
    write_sudoers "$work"
    umount /root /etc/bash.bashrc
    rm "$work/home/.bashrc"
    echo "window: root's shell reads no rc file, root's or the user's"
}

# The window must stop before the password, saying why.
expect_refusal() {
    local work=$1 uid=$2 password=$3 name=$4 why=$5
    run_window "$work" "$uid" "$password" "$password" "$name"
    grep -qx 'state=stopped' "$work/gui-$name.out" || fail "window ($name) did not refuse: $(cat "$work/gui-$name.out")"
    grep -qF "$why" "$work/gui-$name.out" || fail "window ($name) said: $(cat "$work/gui-$name.out")"
    [[ ! -s $work/gui-$name.calls ]] || fail "window ($name): a manager ran"
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
pacman euid=0 sudo=$sudo_pid frontend=unset args=-Syu --noconfirm
apt euid=0 sudo=$sudo_pid frontend=unset args=update
apt euid=0 sudo=$sudo_pid frontend=noninteractive args=upgrade -y -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold
dnf euid=0 sudo=$sudo_pid frontend=unset args=upgrade -y
snap euid=0 sudo=$sudo_pid frontend=unset args=refresh
flatpak euid=$uid sudo=none frontend=unset args=update -y
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
    # Under /run, root's alone all the way up: the window refuses to run a
    # sorvane installed below a directory others can write, such as /tmp.
    WORK=$(mktemp -d /run/sorvane-e2e.XXXXXX)
    chmod 0755 "$WORK"
    trap '[[ -n ${KEEP_WORK:-} ]] || rm -rf "$WORK"' EXIT
    local work=$WORK
    uid=$(free_id)
    password=$(random_text 20)
    cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
    # The user must reach the driver, and the build may lie in a directory
    # only root can enter (a clone in /root).
    if [[ -x $build_dir/tests/gui_e2e_driver ]]; then
        install -m 0755 "$build_dir/tests/gui_e2e_driver" "$work/driver"
    fi
    set_up "$work" "$uid" "$password"

    # The password reaches the namespace in a file: an argument would show
    # in every process list the window's check searches.
    install -m 0600 /dev/null "$work/password"
    printf '%s' "$password" >"$work/password"
    unshare -m --propagation private "$0" --inside "$work" "$uid" "$build_dir"
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
    DRIVER=$2/driver
    inside_namespace "$2" "$3" "$(<"$2/password")"
else
    main "$@"
fi
