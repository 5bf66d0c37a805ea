#!/bin/bash
# The metrics service, its own commands run as systemd would run them (as
# root, the state directory as the unit asks, a DynamicUser= command as a
# user with no name), in a private mount namespace, with a stand-in check
# that attacks root's side. Whatever the check leaves behind, where it used
# to leave the file or straight in the textfile directory (a file of its own
# with mode 0666, a FIFO, a link to /dev/zero or /etc/shadow, a directory),
# node_exporter's sorvane.prom is a regular file of root's, mode 0644, with
# the check's metrics. A check that fails, says nothing or says more than
# 1 MiB leaves one that says sorvane_check_success 0, when it ran, and when
# the last good check was. `systemd-analyze verify` has nothing to say of
# the unit, as the package installs it.
#
# usage: check_metrics_service.sh <source directory> <build directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"

require_root "a private mount namespace and another user"
for tool in unshare setpriv setsid systemd-sysusers mkfifo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if [[ ${1:-} != --inside ]]; then
    exec unshare --mount --propagation private "$0" --inside "$(realpath "$1")" "$(realpath "$2")"
fi
source_dir=$2 build_dir=$3
readonly TEXTFILES=/var/lib/prometheus/node-exporter LIBEXEC=/usr/lib/sorvane/libexec
readonly DYNAMIC_UID=61234 LIMIT=$((1024 * 1024))
target=$TEXTFILES/sorvane.prom

scratch_in_namespace sorvane-metrics
if [[ -n ${SORVANE_METRICS_UNIT:-} ]]; then
    unit=$SORVANE_METRICS_UNIT
else
    install_window_files "$build_dir" "$work/window"
    unit=$(window_file "$work/window" sorvane-metrics.service)
fi
overlay_dir /usr/bin
overlay_dir /usr/lib
mkdir -p "$LIBEXEC"
install -m 0755 "$source_dir/gui/data/libexec/"* "$LIBEXEC/"
# The machine's own /var/lib and /run stay out of reach.
mount -t tmpfs -o mode=0755 sorvane-metrics /var/lib
mount -t tmpfs -o mode=0755 sorvane-metrics /run
install -d -m 0755 "$TEXTFILES"

mkdir -p "$work/root/etc"
cp /etc/passwd /etc/group "$work/root/etc/"
systemd-sysusers --root="$work/root" - <"$source_dir/gui/data/sorvane-gui.sysusers" >/dev/null 2>&1
mount --bind "$work/root/etc/passwd" /etc/passwd
mount --bind "$work/root/etc/group" /etc/group

# The check's stand-in, for one attack: it leaves its thing where it is
# told to write (--output) and straight in the textfile directory, and
# prints good metrics.
stand_in() {
    cat >/usr/bin/sorvane-gui <<STAND_IN
#!/bin/bash
attack=$1
STAND_IN
    cat >>/usr/bin/sorvane-gui <<'STAND_IN'
metrics='# HELP sorvane_check_success Whether the manager answered the check (1) or not (0).
# TYPE sorvane_check_success gauge
sorvane_check_success{manager="apt"} 1
# HELP sorvane_updates_pending Updates the manager would install.
# TYPE sorvane_updates_pending gauge
sorvane_updates_pending{manager="apt",security="true"} 7'
case $attack in
    fail) exit 1 ;;
    empty) metrics= ;;
    big) metrics=$(yes 'sorvane_updates_pending{manager="apt",security="true"} 7' | head -c 2000000) ;;
esac
leave() {
    case $attack in
        plain) printf '%s\n' "$metrics" >"$1" && chmod 0666 "$1" ;;
        fifo) mkfifo -m 0666 "$1" ;;
        zero) ln -s /dev/zero "$1" ;;
        shadow) ln -s /etc/shadow "$1" ;;
        directory) mkdir "$1" ;;
        *) [[ -z $metrics ]] || printf '%s\n' "$metrics" >"$1" ;;
    esac
}
# As the check does, it fails when it cannot write its file.
if [[ ${3:-} == --output ]]; then
    leave "$4" || exit 1
    exit 0
fi
leave /var/lib/prometheus/node-exporter/sorvane.prom 2>/dev/null
[[ -z $metrics ]] || printf '%s\n' "$metrics"
exit 0
STAND_IN
    chmod 0755 /usr/bin/sorvane-gui
}

# The unit's own commands, as systemd runs them: its state directory, its
# environment, ExecStart= as the unit's user (root, or a user with no name
# for DynamicUser=), "+" as root, and ExecStartPost= only after success;
# no terminal, stdin from /dev/null.
unit_lines() { sed -n "s/^$1=//p" "$unit"; }
run_unit() {
    local state=/var/lib/sorvane-metrics dynamic=false mode line
    local -a env=(PATH=/usr/sbin:/usr/bin:/sbin:/bin) command
    grep -qx 'DynamicUser=yes' "$unit" && dynamic=true
    mode=$(unit_lines StateDirectoryMode)
    if [[ ! -d $state ]]; then
        install -d -m "${mode:-0755}" "$state"
        ! $dynamic || chown "$DYNAMIC_UID:$DYNAMIC_UID" "$state"
    fi
    if [[ -n $(unit_lines RuntimeDirectory) && ! -d /run/sorvane-metrics ]]; then
        install -d -m "$(unit_lines RuntimeDirectoryMode)" /run/sorvane-metrics
        ! $dynamic || chown "$DYNAMIC_UID:$DYNAMIC_UID" /run/sorvane-metrics
    fi
    while read -r line; do
        [[ -n $line ]] && env+=("${line//%t/\/run}")
    done < <(unit_lines Environment)
    env+=(STATE_DIRECTORY="$state")
    local key status=0
    for key in ExecStart ExecStartPost; do
        while read -r line; do
            [[ -n $line ]] || continue
            read -ra command <<<"${line//\$\{STATE_DIRECTORY\}/$state}"
            if [[ ${command[0]} == +* ]]; then
                command[0]=${command[0]#+}
                (cd / && env -i "${env[@]}" setsid -w "${command[@]}") </dev/null >/dev/null 2>&1 || return 1
            elif $dynamic; then
                (cd / && env -i "${env[@]}" setsid -w setpriv --reuid="$DYNAMIC_UID" --regid="$DYNAMIC_UID" \
                    --clear-groups "${command[@]}") </dev/null >/dev/null 2>&1 || return 1
            else
                (cd / && env -i "${env[@]}" setsid -w "${command[@]}") </dev/null >/dev/null 2>&1 || status=1
                # A oneshot's ExecStartPost= runs only after ExecStart= succeeded.
                [[ $status -eq 0 ]] || return 1
            fi
        done < <(unit_lines "$key")
    done
}

# Fails unless sorvane.prom is root's regular file, mode 0644, not too big,
# with the given line and nothing of /etc/shadow.
root_file_with() {
    local what=$1 line=$2
    [[ -f $target && ! -L $target ]] || fail "$what: sorvane.prom is a $(stat -c %F "$target" 2>/dev/null || echo nothing)"
    [[ $(stat -c %u:%a "$target") == 0:644 ]] ||
        fail "$what: sorvane.prom is uid $(stat -c %u "$target")'s, mode $(stat -c %a "$target")"
    [[ $(stat -c %s "$target") -le $((LIMIT + 4096)) ]] || fail "$what: sorvane.prom is $(stat -c %s "$target") bytes"
    grep -qxF -- "$line" "$target" || fail "$what: sorvane.prom lacks $line: $(head -c 2000 "$target")"
    ! grep -q '^root:' "$target" || fail "$what: sorvane.prom has /etc/shadow in it"
}
value_of() { sed -n "s/^$1 //p" "$target"; }
readonly PENDING='sorvane_updates_pending{manager="apt",security="true"} 7'

stand_in good
said=$(systemd-analyze --man=no verify "$unit" 2>&1) || fail "systemd-analyze verify: $said"
[[ -z $said ]] || fail "systemd-analyze verify has something to say: $said"
run_unit || fail "the unit failed with a good check"
root_file_with "a good check" "$PENDING"
[[ $(value_of sorvane_last_success_timestamp_seconds) == "$(value_of sorvane_check_timestamp_seconds)" ]] ||
    fail "a good check: the last success is not its time: $(cat "$target")"

for attack in plain fifo zero shadow directory; do
    stand_in "$attack"
    # A directory in the way, planted by the first run, would make every
    # later run fail.
    [[ $attack != directory ]] || rm -f "$target"
    run_unit || true
    if [[ $attack == directory ]]; then
        stand_in good
        run_unit || true
    fi
    root_file_with "a check that leaves a $attack" "$PENDING"
done

for attack in fail empty big; do
    stand_in good
    run_unit || fail "the unit failed with a good check"
    good_at=$(value_of sorvane_last_success_timestamp_seconds)
    stand_in "$attack"
    ! run_unit || fail "a check that failed ($attack) reads as success to systemd"
    root_file_with "a check that failed ($attack)" "sorvane_check_success 0"
    ! grep -q '^sorvane_updates_pending' "$target" || fail "a check that failed ($attack) kept old numbers"
    [[ $(value_of sorvane_last_success_timestamp_seconds) == "$good_at" ]] ||
        fail "a check that failed ($attack) lost the last success's time: $(cat "$target")"
    [[ $(value_of sorvane_check_timestamp_seconds) -ge $good_at ]] ||
        fail "a check that failed ($attack) does not say when it ran: $(cat "$target")"
done
echo "metrics service: root's own file, whatever the check leaves or however it fails"
