#!/bin/bash
# Sorvane Update's check read by the engines that look after many machines
# (root only), each the real one from Debian 12's archive, in a chroot made
# with debootstrap (tests/chroot_support.sh) with the installed sorvane and
# sorvane-gui packages and a local apt repository with one security update
# and one other:
#  1. the packaged metrics timer is off until enabled, and its service, run
#     as it runs (the check as a user with no name, then root's move), puts
#     sorvane.prom in node_exporter's directory, whole and readable;
#  2. promtool (Debian's prometheus) finds nothing to fix in it;
#  3. prometheus-node-exporter, on 127.0.0.1, serves its values;
#  4. nagios4 runs --check --nagios as its plugin and records its status;
#  5. ansible's setup module gathers the packaged fact.
#
# It runs in private mount, host-name, network and process namespaces:
# nothing it starts is reachable from outside, every process and mount goes
# with them, and the machine's own files and services are never touched.
# The chroot is cached as a tarball in the cache directory, keyed by its
# package lists; without it, the first run makes it (with network access to
# Debian's archive). The checks themselves reach no network.
#
# usage: check_fleets.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
# shellcheck source=tests/chroot_support.sh
source "$(dirname "$0")/chroot_support.sh"
require_root "chroots, mounts, network namespaces and other users"
for tool in debootstrap zstd unshare setpriv dpkg-deb dpkg-scanpackages ip; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ $# -eq 4 ]] || fail "usage: check_fleets.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb>"
if [[ -z ${SORVANE_FLEETS_NAMESPACE:-} ]]; then
    SORVANE_FLEETS_NAMESPACE=1 exec unshare --mount --uts --propagation private "$0" "$@"
fi

source_dir=$(realpath "$1")
cache=$(realpath -m "$2")
deb=$(realpath "$3")
gui_deb=$(realpath "$4")
readonly FLEET_PACKAGES=(prometheus prometheus-node-exporter ansible-core nagios4-core curl)
readonly REPO=/srv/repo SOURCES=/etc/apt/sources.list.d/sorvane-test.list
readonly TEXTFILES=/var/lib/prometheus/node-exporter UNIT_DIR=/usr/lib/systemd/system
readonly PORT=9100

# --- the chroot: the window's root (tests/check_real_update.sh), and the engines ---

depends_of() {
    dpkg-deb --field "$1" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*//; s/[[:space:]]//g' |
        { grep -vx -e sorvane -e '' || true; }
}

if [[ -z ${SORVANE_FLEETS_ROOT:-} ]]; then
    hostname "$CHROOT_HOST"
    mkdir -p "$cache"
    mapfile -t BUILD_PACKAGES < <("$source_dir/tools/setup" --list build)
    mapfile -t WINDOW_PACKAGES < <({
        printf '%s\n' sudo pacman-package-manager
        depends_of "$deb"
        depends_of "$gui_deb"
    } | sort -u)
    minbase=$(root_tarball "$cache" minbase "${BUILD_PACKAGES[@]}")
    window=$(root_tarball "$cache" window "${BUILD_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}")
    fleets=$(root_tarball "$cache" fleets "${window##*/}" "${FLEET_PACKAGES[@]}")
    if [[ ! -f $fleets ]]; then
        scratch=$(mktemp -d "$cache/run.XXXXXX")
        trap 'remove_roots "$scratch"' EXIT
        [[ -f $minbase ]] || make_minbase "$minbase" "$scratch" "${BUILD_PACKAGES[@]}"
        if [[ ! -f $window ]]; then
            echo "making $window (the window's libraries, sudo and pacman, once)"
            install_on_minbase "$minbase" "$scratch/make-window" "$scratch" "${WINDOW_PACKAGES[@]}"
            pack "$scratch/make-window" "$window"
        fi
        echo "making $fleets (prometheus, node_exporter, ansible, nagios4, once)"
        install_on_minbase "$window" "$scratch/make-fleets" "$scratch" "${FLEET_PACKAGES[@]}"
        pack "$scratch/make-fleets" "$fleets"
        remove_roots "$scratch"
        trap - EXIT
    fi
    prune_roots "$fleets"
        # The rest in a network of its own: loopback, and a default route
    # through a pair of virtual devices that lead nowhere else, so that the
    # check counts the machine online (it looks for a default route) while
    # nothing leaves it. In processes of its own too: whatever a daemon
    # leaves behind ends with this script.
    SORVANE_FLEETS_ROOT=$fleets exec unshare --net --pid --fork "$0" "$@"
fi

ip link set lo up
ip link add sorvane0 type veth peer name sorvane1
ip address add 192.0.2.1/24 dev sorvane0
ip link set sorvane1 up
ip link set sorvane0 up
ip route add default via 192.0.2.2

scratch=$(mktemp -d "${TMPDIR:-/tmp}/sorvane-fleets.XXXXXX")
pids=()
clean_up() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    remove_roots "$scratch"
}
trap clean_up EXIT
started=$SECONDS

root=$scratch/root
mkdir "$root"
mount -t tmpfs -o mode=0755,size=4g sorvane-fleets "$root"
unpack "$SORVANE_FLEETS_ROOT" "$root"
cp "$deb" "$gui_deb" "$root/tmp/"
in_root "$root" apt-get install -y -qq --no-install-recommends "/tmp/${deb##*/}" "/tmp/${gui_deb##*/}" \
    >"$scratch/install.log" 2>&1 || fail "installing the .deb files failed: $(tail -n 30 "$scratch/install.log")"
rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
# Debian's pacman has no repository: the update would stop there. Hidden,
# so that apt's two updates are all there is.
mv "$root/usr/bin/pacman" "$root/usr/bin/.pacman-hidden"

# --- a local repository: one security update, one other ---

make_deb() {
    local name=$1 version=$2 dir=$3 tree=$scratch/debs/$1-$2
    mkdir -p "$tree/DEBIAN" "$tree/usr/share/sorvane-test"
    printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: Sorvane tests <tests@sorvane.invalid>\n' \
        "$name" "$version" >"$tree/DEBIAN/control"
    printf 'Section: misc\nPriority: optional\nDescription: a package for a test update\n' >>"$tree/DEBIAN/control"
    printf '%s\n' "$version" >"$tree/usr/share/sorvane-test/$name"
    dpkg-deb --root-owner-group -Zgzip --build "$tree" "$dir/${name}_${version}_all.deb" >/dev/null
}
# A flat repository whose Release names it as given: apt shows the label
# and suite as the update's origin, and Debian-Security's are security's.
index_repo() {
    local dir=$1 label=$2 suite=$3
    (cd "$dir" && dpkg-scanpackages --multiversion . 2>/dev/null >Packages)
    {
        printf 'Origin: %s\nLabel: %s\nSuite: %s\nCodename: %s\n' "$label" "$label" "$suite" "$suite"
        printf 'Date: %s\nArchitectures: all\n' "$(LC_ALL=C date -u '+%a, %d %b %Y %H:%M:%S UTC')"
        printf 'SHA256:\n %s %s Packages\n' "$(sha256sum <"$dir/Packages" | cut -d' ' -f1)" \
            "$(stat -c %s "$dir/Packages")"
    } >"$dir/Release"
}
mkdir -p "$root$REPO/old" "$root$REPO/main" "$root$REPO/security"
make_deb sv-plain 1.0 "$root$REPO/old"
make_deb sv-secure 1.0 "$root$REPO/old"
make_deb sv-plain 2.0 "$root$REPO/main"
make_deb sv-secure 2.0 "$root$REPO/security"
index_repo "$root$REPO/old" Sorvane old
index_repo "$root$REPO/main" Sorvane stable
index_repo "$root$REPO/security" Debian-Security stable-security
chmod -R a+rX "$root$REPO"
printf 'deb [trusted=yes] copy:%s/old ./\n' "$REPO" >"$root$SOURCES"
in_root "$root" apt-get update -qq >/dev/null 2>&1 || fail "apt-get update (old) failed"
in_root "$root" apt-get install -y -qq sv-plain sv-secure >/dev/null 2>&1 || fail "installing the old packages failed"
printf 'deb [trusted=yes] copy:%s/%s ./\n' "$REPO" main "$REPO" security >"$root$SOURCES"
in_root "$root" apt-get update -qq >/dev/null 2>&1 || fail "apt-get update (new) failed"

# --- 1. the metrics timer: off as shipped, and its service as it runs ---

service=$root$UNIT_DIR/sorvane-metrics.service
[[ -f $service && -f $root$UNIT_DIR/sorvane-metrics.timer ]] || fail "the package has no metrics timer"
grep -qx "ConditionPathIsDirectory=$TEXTFILES" "$service" || fail "the service runs without node_exporter's directory"
grep -q '^ExecStart=/usr/lib/sorvane/libexec/write-metrics ' "$service" ||
    fail "the service does not write the file as root from the check's output"
if in_root "$root" sh -c 'command -v systemctl' >/dev/null; then
    in_root "$root" systemctl preset sorvane-metrics.timer >/dev/null 2>&1 || true
    ! in_root "$root" systemctl is-enabled --quiet sorvane-metrics.timer ||
        fail "the metrics timer is on as installed"
fi
[[ ! -e $root/etc/systemd/system/timers.target.wants/sorvane-metrics.timer ]] ||
    fail "the metrics timer is enabled as installed"

# What systemd would give the service: its state directory, root's, then
# the unit's one command as root, which runs the check as sorvane-check
# (made by the package's postinst) and writes the file itself.
in_root "$root" getent passwd sorvane-check >/dev/null || fail "installing the package made no sorvane-check user"
state=/var/lib/sorvane-metrics
install -d -m "$(sed -n 's/^StateDirectoryMode=//p' "$service")" "$root$state"
read -ra exec_start <<<"$(sed -n 's/^ExecStart=//p' "$service" | sed "s|\${STATE_DIRECTORY}|$state|g")"
in_root "$root" setsid -w "${exec_start[@]}" </dev/null 2>"$scratch/metrics.err" ||
    fail "the service's check failed: $(cat "$scratch/metrics.err")"
prom=$root$TEXTFILES/sorvane.prom
[[ -f $prom && ! -L $prom && $(stat -c %u:%a "$prom") == 0:644 ]] ||
    fail "sorvane.prom is missing, not root's or not readable by all"
[[ $(ls -A "$root$state") == last-success ]] || fail "the service left other files behind: $(ls -A "$root$state")"
grep -qx 'sorvane_check_success{manager="apt"} 1' "$prom" || fail "sorvane.prom says the check failed: $(cat "$prom")"
grep -qx "sorvane_last_success_timestamp_seconds $(cat "$root$state/last-success")" "$prom" ||
    fail "sorvane.prom lacks the last good check's time: $(cat "$prom")"
grep -qx 'sorvane_updates_pending{manager="apt",security="true"} 1' "$prom" ||
    fail "sorvane.prom does not count the security update: $(cat "$prom")"
grep -qx 'sorvane_updates_pending{manager="apt",security="false"} 1' "$prom" ||
    fail "sorvane.prom does not count the other update: $(cat "$prom")"

# --- 2. promtool ---

lint=$(in_root "$root" promtool check metrics <"$prom" 2>&1) || fail "promtool check metrics: $lint"
[[ -z $lint ]] || fail "promtool check metrics has something to fix: $lint"
echo "promtool $(in_root "$root" promtool --version 2>&1 | head -n 1 | cut -d' ' -f3) finds nothing to fix"

# --- 3. node_exporter serves it ---

exporter_uid=$(in_root "$root" id -u prometheus)
chroot --userspec="$exporter_uid:$exporter_uid" "$root" /usr/bin/prometheus-node-exporter \
    --web.listen-address="127.0.0.1:$PORT" --collector.disable-defaults --collector.textfile \
    --collector.textfile.directory="$TEXTFILES" >"$scratch/node-exporter.log" 2>&1 &
pids+=($!)
metrics=
for _ in $(seq 1 100); do
    metrics=$(in_root "$root" curl -fsS "http://127.0.0.1:$PORT/metrics" 2>/dev/null) && break
    sleep 0.2
done
[[ -n $metrics ]] || fail "node_exporter did not answer: $(cat "$scratch/node-exporter.log")"
for line in 'sorvane_updates_pending{manager="apt",security="true"} 1' \
    'sorvane_updates_pending{manager="apt",security="false"} 1' \
    'sorvane_check_success{manager="apt"} 1' 'sorvane_reboot_required 0' \
    'node_textfile_scrape_error 0'; do
    grep -qxF "$line" <<<"$metrics" || fail "node_exporter's /metrics lacks: $line"
done
echo "prometheus-node-exporter $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f '${Version}' prometheus-node-exporter) serves sorvane.prom"

# --- 4. nagios4 runs the plugin ---

nagios=/etc/nagios4/sorvane-test
mkdir -p "$root$nagios/results"
in_root "$root" chown nagios:nagios "$nagios" "$nagios/results"
cat >"$root$nagios/nagios.cfg" <<CFG
log_file=$nagios/nagios.log
cfg_file=$nagios/objects.cfg
object_cache_file=$nagios/objects.cache
precached_object_file=$nagios/objects.precache
status_file=$nagios/status.dat
status_update_interval=1
temp_file=$nagios/nagios.tmp
temp_path=$nagios
lock_file=$nagios/nagios.lock
check_result_path=$nagios/results
command_file=$nagios/nagios.cmd
check_external_commands=1
command_check_interval=1s
nagios_user=nagios
nagios_group=nagios
retain_state_information=0
max_service_check_spread=1
check_result_reaper_frequency=1
enable_notifications=0
illegal_macro_output_chars=\`~\$&|'"<>
CFG
cat >"$root$nagios/objects.cfg" <<'CFG'
define timeperiod {
    timeperiod_name always
    alias           always
    sunday          00:00-24:00
    monday          00:00-24:00
    tuesday         00:00-24:00
    wednesday       00:00-24:00
    thursday        00:00-24:00
    friday          00:00-24:00
    saturday        00:00-24:00
}
define command {
    command_name check_sorvane
    command_line /usr/bin/sorvane-gui --check --nagios --warning 5
}
define command {
    command_name check_nothing
    command_line /bin/true
}
define contact {
    contact_name                  nobody
    host_notifications_enabled    0
    service_notifications_enabled 0
    host_notification_period      always
    service_notification_period   always
    host_notification_options     n
    service_notification_options  n
    host_notification_commands    check_nothing
    service_notification_commands check_nothing
}
define host {
    host_name             desk
    address               127.0.0.1
    check_command         check_nothing
    max_check_attempts    1
    check_period          always
    notification_period   always
    contacts              nobody
}
define service {
    host_name             desk
    service_description   updates
    check_command         check_sorvane
    max_check_attempts    1
    check_interval        1
    retry_interval        1
    check_period          always
    notification_period   always
    contacts              nobody
}
CFG
in_root "$root" nagios4 -v "$nagios/nagios.cfg" >"$scratch/nagios-verify.log" 2>&1 ||
    fail "nagios4 refuses the configuration: $(tail -n 20 "$scratch/nagios-verify.log")"
chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin nagios4 "$nagios/nagios.cfg" \
    >"$scratch/nagios.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do [[ -p $root$nagios/nagios.cmd ]] && break; sleep 0.2; done
[[ -p $root$nagios/nagios.cmd ]] || fail "nagios4 did not start: $(cat "$scratch/nagios.log")"
printf '[%s] SCHEDULE_FORCED_SVC_CHECK;desk;updates;%s\n' "$(date +%s)" "$(date +%s)" >"$root$nagios/nagios.cmd"
recorded=
for _ in $(seq 1 300); do
    recorded=$(sed -n '/^servicestatus {/,/}/p' "$root$nagios/status.dat" 2>/dev/null |
        grep -E '^\s*(current_state|plugin_output|performance_data|has_been_checked)=' || true)
    grep -q 'has_been_checked=1' <<<"$recorded" && break
    sleep 0.2
done
grep -q 'has_been_checked=1' <<<"$recorded" || fail "nagios4 never ran the plugin: $(tail -n 20 "$root$nagios/nagios.log")"
# One security update: CRITICAL, whatever --warning says of the count.
grep -qx '\s*current_state=2' <<<"$recorded" || fail "nagios4 recorded another state: $recorded"
grep -qx '\s*plugin_output=SORVANE CRITICAL - 2 updates (1 security)' <<<"$recorded" ||
    fail "nagios4 recorded another status line: $recorded"
grep -q '^\s*performance_data=updates=2;5;;0 security=1;;0;0 held_back=0;;;0 .*restart=0;;;0;1$' <<<"$recorded" ||
    fail "nagios4 recorded other performance data: $recorded"
echo "nagios4 $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f '${Version}' nagios4-core) runs the plugin"

# --- 5. ansible gathers the fact ---

in_root "$root" install -D -m 0755 /usr/share/doc/sorvane-gui/examples/sorvane.fact /etc/ansible/facts.d/sorvane.fact
# Its workers share memory through /dev/shm, which the root's /dev (the
# machine's, read-only) does not give.
mount -t tmpfs -o mode=1777,size=64m sorvane-fleets-shm "$root/dev/shm"
facts=$(chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LC_ALL=C.UTF-8 \
    ansible localhost -c local -m setup -a filter=ansible_local 2>&1) || fail "ansible failed: $facts"
pending=$(sed -n '/^localhost | SUCCESS => {/,$p' <<<"$facts" | sed '1s/^[^{]*//' | python3 -c '
import json, sys
fact = json.load(sys.stdin)["ansible_facts"]["ansible_local"]["sorvane"]
apt = [m for m in fact["managers"] if m["name"] == "apt"][0]
print(" ".join(sorted(u["name"] + ("+security" if u["security"] else "") for u in apt["updates"])))
') || fail "ansible_local.sorvane is not the check's document: $facts"
[[ $pending == "sv-plain sv-secure+security" ]] || fail "ansible_local.sorvane has other updates: $pending"
echo "ansible-core $(dpkg-query --admindir="$root/var/lib/dpkg" -W -f '${Version}' ansible-core) gathers the fact"

echo "fleets: all engines read the check ($((SECONDS - started)) s)"
