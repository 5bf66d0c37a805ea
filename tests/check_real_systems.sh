#!/bin/bash
# Sorvane on real systems (root only), in Debian 12 chroots made with
# debootstrap from Debian's archive:
#  1. a bare machine: a minbase chroot with the source tree copied in
#     without .git, where tools/run (doc/development.md) must build and run it;
#  2. the real package managers: pacman, dnf, flatpak and snap from Debian's
#     archive, Sorvane's own .deb installed with apt-get, run as root and as
#     an ordinary user, and the written script run by that user with the
#     password on standard input, as a front end runs it;
#  3. the layouts of other distributions, each an overlay on the chroot of 2.
#
# It runs in private mount and host-name namespaces: every mount goes away
# with them, whether a check passed or not, and the machine's own files are
# never touched. The two chroots are cached as tarballs in the cache
# directory, keyed by their package lists; without them the first run makes
# them (a few minutes, with network access to Debian's archive).
#
# usage: check_real_systems.sh <source dir> <cache dir> <sorvane .deb>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
# shellcheck source=tests/chroot_support.sh
source "$(dirname "$0")/chroot_support.sh"
require_root "chroots, mounts and other users"
for tool in debootstrap zstd unshare setpriv; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
if [[ -z ${SORVANE_REAL_SYSTEMS_NAMESPACE:-} ]]; then
    SORVANE_REAL_SYSTEMS_NAMESPACE=1 exec unshare --mount --uts --propagation private "$0" "$@"
fi

source_dir=$(realpath "$1")
cache=$(realpath -m "$2")
deb=$(realpath "$3")
mapfile -t BUILD_PACKAGES < <("$source_dir/tools/setup" --list build)
readonly MANAGER_PACKAGES=(pacman-package-manager dnf flatpak snapd sudo busybox)
readonly ALL_FIVE=(pacman flatpak apt dnf snap)
readonly DESK=desk DESK_UID=1000
readonly DETECTOR_FAILED="ERROR: could not run package-manager detector:"

hostname "$CHROOT_HOST"
mkdir -p "$cache"
scratch=$(mktemp -d "$cache/run.XXXXXX")
# The rootless case runs as an ordinary user, who may not be able to enter
# the cache (a clone in /root): its root is shown to the user here instead.
reachable=$(mktemp -d /run/sorvane-rootless.XXXXXX)
chmod 0755 "$reachable"
clean_up() {
    [[ -n ${bare_pid:-} ]] && kill "$bare_pid" 2>/dev/null && wait "$bare_pid" 2>/dev/null
    findmnt -rn -o TARGET | { grep "^$reachable\(/\|$\)" || true; } | sort -r | xargs -r umount -l
    remove_roots "$scratch"
    rmdir "$reachable"
}
trap clean_up EXIT

# --- chroots ---

# A minbase system with the build packages downloaded, for the bare machine.
minbase=$(root_tarball "$cache" minbase "${BUILD_PACKAGES[@]}")
# minbase plus the real managers, sudo and busybox.
managers=$(root_tarball "$cache" managers "${BUILD_PACKAGES[@]}" "${MANAGER_PACKAGES[@]}")

make_managers() {
    local root=$scratch/make-managers
    echo "making $managers (the real package managers, once)"
    install_on_minbase "$minbase" "$root" "$scratch" "${MANAGER_PACKAGES[@]}"
    pack "$root" "$managers"
}

[[ -f $minbase ]] || make_minbase "$minbase" "$scratch" "${BUILD_PACKAGES[@]}"
[[ -f $managers ]] || make_managers
prune_roots "$minbase" "$managers"

# --- 1. a bare machine ---

# In the background: it spends most of its time installing and compiling.
bare_machine() {
    local root=$scratch/bare
    unpack "$minbase" "$root"
    mount --bind "$root" "$root"  # a mount point of its own, as a container's root is
    mkdir "$root/src"
    (cd "$source_dir" && tools/source-files | tar --null -T - -cf -) | tar -C "$root/src" -xf -
    [[ ! -e $root/src/.git ]] || fail "bare machine: .git was copied"
    in_root "$root" /bin/bash -c 'cd /src && tools/run' >"$scratch/bare.out" 2>"$scratch/bare.err" ||
        fail "bare machine: tools/run failed: $(tail -n 20 "$scratch/bare.err")"
    diff <(expected_report apt) "$scratch/bare.out" >&2 || fail "bare machine: unexpected report"
    check_written_script "$root/src/scripts/update-script-output.sh" root
    echo "1. bare machine: tools/run built and ran Sorvane without .git or test tools"
}
bare_machine >"$scratch/bare.log" 2>&1 &
bare_pid=$!

# --- 2. the real package managers ---

base=$scratch/base
unpack "$managers" "$base"
cp "$deb" "$base/tmp/"
in_root "$base" apt-get install -y -qq --no-install-recommends "/tmp/${deb##*/}" \
    >"$scratch/install.log" 2>&1 || fail "installing Sorvane's .deb failed: $(cat "$scratch/install.log")"
in_root "$base" useradd --create-home --uid "$DESK_UID" --groups sudo --shell /bin/bash "$DESK"
password=$(tr -dc 'A-Za-z0-9' </dev/urandom | head -c 20 || true)
printf '%s:%s\n' "$DESK" "$password" | in_root "$base" chpasswd
umount -R "$base/proc" "$base/dev"

# Prints what running Sorvane in a root gave: "status=N", then stderr,
# then stdout. As root by default; with --user as the ordinary user, from
# a login shell in the user's home.
sorvane_in() {
    local root=$1 as=root program=/usr/bin/sorvane out=$scratch/sorvane.out err=$scratch/sorvane.err
    shift
    [[ ${1:-} == --user ]] && { as=$DESK; shift; }
    [[ -n ${1:-} ]] && program=$1
    local status=0
    if [[ $as == root ]]; then
        in_root "$root" env SORVANE_SCRIPT_OUTPUT=/root/update.sh "$program" >"$out" 2>"$err" || status=$?
    else
        in_root "$root" su - "$DESK" -c "$program" >"$out" 2>"$err" || status=$?
    fi
    printf 'status=%s\n' "$status"
    cat "$err" "$out"
}

expect_report() {
    local label=$1 actual=$2
    shift 2
    diff <(printf 'status=0\n'; expected_report "$@") <(printf '%s\n' "$actual") >&2 ||
        fail "$label: unexpected report"
}

expect_error() {
    local label=$1 actual=$2 line=$3
    diff <(printf 'status=1\n%s\n' "$line") <(printf '%s\n' "$actual") >&2 ||
        fail "$label: unexpected outcome"
}

# A fresh overlay on the base, for changes that must not outlive one case.
overlay() {
    local name=$1 dir=$scratch/overlay-$1
    mkdir -p "$dir/upper" "$dir/work" "$dir/root"
    mount -t overlay "overlay-$name" -o "lowerdir=$base,upperdir=$dir/upper,workdir=$dir/work" "$dir/root"
    echo "$dir/root"
}

drop_overlay() {
    umount -R "$1"
    rm -rf --one-file-system "${1%/root}"
}

# The user runs the written script with the password (or another text) on
# standard input, as a front end does. Prints "status=N" and the output.
update_as_user() {
    local root=$1 secret=$2 status=0 out=$scratch/update.out
    printf '%s\n' "$secret" | in_root "$root" su - "$DESK" -c 'bash scripts/update-script-output.sh' \
        >"$out" 2>&1 || status=$?
    printf 'status=%s\n' "$status"
    cat "$out"
}

echo "2. the real package managers"
root=$(overlay managers)
expect_report "as root" "$(sorvane_in "$root")" "${ALL_FIVE[@]}"
expect_report "as the user" "$(sorvane_in "$root" --user)" "${ALL_FIVE[@]}"
check_written_script "$root/home/$DESK/scripts/update-script-output.sh" "$DESK_UID"
[[ $(readlink -f "$root/usr/bin/dnf") == "$root/usr/bin/dnf-3" ]] || fail "dnf is not a link to dnf-3"

# pacman runs first and, with no repositories configured, fails: set -e
# stops the script there, before apt.
result=$(update_as_user "$root" "$password")
grep -qx 'status=1' <<<"$result" || fail "the update did not fail at pacman: $result"
grep -qx 'Updating pacman packages...' <<<"$result" || fail "pacman did not run: $result"
grep -q 'no usable package repositories' <<<"$result" || fail "pacman failed otherwise: $result"
grep -q 'Updating apt packages' <<<"$result" && fail "the script went on after pacman failed"
echo "   all five listed as root and as the user; the update stops at pacman, which has no repositories"

# A wrong password: sudo refuses, and nothing runs as root (every
# "Updating" line of a privileged manager is printed under sudo).
result=$(update_as_user "$root" "not-$password")
grep -qx 'status=1' <<<"$result" || fail "a wrong password did not fail: $result"
grep -q 'Updating' <<<"$result" && fail "something ran as root with a wrong password: $result"
echo "   a wrong password runs nothing as root"
drop_overlay "$root"

# Without pacman, dnf and snap, apt updates from Debian's archive and
# flatpak (no remotes) has nothing to do.
root=$(overlay apt-flatpak)
rm "$root/usr/bin/pacman" "$root/usr/bin/dnf" "$root/usr/bin/snap"
expect_report "apt and flatpak" "$(sorvane_in "$root" --user)" flatpak apt
result=$(update_as_user "$root" "$password")
grep -qx 'status=0' <<<"$result" || fail "the apt and flatpak update failed: $result"
for line in 'Updating apt packages...' 'Updating Flatpak packages...' 'Update complete.'; do
    grep -qx "$line" <<<"$result" || fail "no '$line' line: $result"
done
echo "   without pacman, dnf and snap: apt and flatpak update, 'Update complete.'"
drop_overlay "$root"

# --- 3. layouts ---

# Each case changes a fresh overlay, then says what Sorvane must print.
case_separate_bin() {  # bash only in /bin, a directory apart from /usr/bin
    local r=${1:?the overlay root}
    rm "$r/bin"
    mkdir -m 0755 "$r/bin"
    mv "$r/usr/bin/bash" "$r/bin/bash"
    echo "report ${ALL_FIVE[*]}"
}
case_arch_like() {  # /usr/sbin -> bin, /bin -> usr/bin, /sbin -> usr/bin
    local r=${1:?the overlay root}
    cp -an "$r/usr/sbin/." "$r/usr/bin/"
    rm -r "${r:?}/usr/sbin" "${r:?}/bin" "${r:?}/sbin"
    ln -s bin "$r/usr/sbin"
    ln -s usr/bin "$r/bin"
    ln -s usr/bin "$r/sbin"
    echo "report ${ALL_FIVE[*]}"
}
case_dnf5_through_alternatives() {  # dnf -> /etc/alternatives/dnf -> dnf5
    local r=${1:?the overlay root}
    cp -a "$r/usr/bin/dnf-3" "$r/usr/bin/dnf5"
    ln -sf /etc/alternatives/dnf "$r/usr/bin/dnf"
    ln -sf /usr/bin/dnf5 "$r/etc/alternatives/dnf"
    echo "report ${ALL_FIVE[*]}"
}
case_ubuntu_like() {  # apt and /usr/bin/snap, apps in /snap/bin
    local r=${1:?the overlay root}
    rm "$r/usr/bin/pacman" "$r/usr/bin/flatpak" "$r/usr/bin/dnf"
    mkdir -p "$r/snap/bin"
    ln -s /usr/bin/snap "$r/snap/bin/hello"
    echo "report apt snap"
}
case_no_system_bash() {  # NixOS-like: bash only in a store
    local r=${1:?the overlay root}
    mkdir -p "$r/nix/store/sorvane-bash/bin"
    mv "$r/usr/bin/bash" "$r/nix/store/sorvane-bash/bin/bash"
    echo "error ERROR: a trusted system Bash executable was not found"
}
local_pacman() {  # the real pacman moved to /usr/local/bin
    local r=${1:?the overlay root}
    mv "$r/usr/bin/pacman" "$r/usr/local/bin/pacman"
}
case_local_pacman_root_0755() {
    local r=${1:?the overlay root}
    local_pacman "$r"
    echo "report ${ALL_FIVE[*]}"
}
case_local_pacman_user_owned() {
    local r=${1:?the overlay root}
    local_pacman "$r"
    chown "$DESK_UID:$DESK_UID" "$r/usr/local/bin/pacman"
    echo "report flatpak apt dnf snap"
}
case_local_pacman_0777() {
    local r=${1:?the overlay root}
    local_pacman "$r"
    chmod 0777 "$r/usr/local/bin/pacman"
    echo "report flatpak apt dnf snap"
}
case_local_pacman_group_writable_dir() {
    local r=${1:?the overlay root}
    local_pacman "$r"
    chmod 0775 "$r/usr/local/bin"
    echo "report flatpak apt dnf snap"
}
case_bash_links_to_dash() {
    local r=${1:?the overlay root}
    ln -sf dash "$r/usr/bin/bash"
    echo "error $DETECTOR_FAILED it exited with status 2"
}
case_bash_links_to_busybox() {  # busybox has no applet of the script's name
    local r=${1:?the overlay root}
    ln -sf busybox "$r/usr/bin/bash"
    echo "error $DETECTOR_FAILED it exited with status 127"
}
case_copied_without_scripts() {
    local r=${1:?the overlay root}
    cp "$r/usr/lib/sorvane/libexec/bin/sorvane" "$r/opt/sorvane"
    echo "program /opt/sorvane"
    echo "error $DETECTOR_FAILED No such file or directory (os error 2) at path \"/opt/../../scripts/detect-package-managers.sh\""
}
case_ordinary_user_owns_usr_bin() {  # the trust test asks for matching owners, not root
    local r=${1:?the overlay root}
    chown -hR "$DESK_UID:$DESK_UID" "$r/usr/bin"
    echo "report ${ALL_FIVE[*]}"
}

layout_cases=$(declare -F | sed -n 's/^declare -f case_//p')
for name in $layout_cases; do
    root=$(overlay "$name")
    [[ $root == "$scratch"/overlay-*/root ]] || fail "overlay root is '$root'"
    "case_$name" "$root" >"$scratch/case"
    program=/usr/bin/sorvane expected=
    while read -r word rest; do
        case $word in
            program) program=$rest ;;
            report | error) expected="$word $rest" ;;
        esac
    done <"$scratch/case"
    actual=$(sorvane_in "$root" "$program")
    case $expected in
        report*) read -ra names <<<"${expected#report }"; expect_report "$name" "$actual" "${names[@]}" ;;
        error*) expect_error "$name" "$actual" "${expected#error }" ;;
    esac
    printf '3. %-36s %s\n' "$name" "$expected"
    drop_overlay "$root"
done

# A rootless container: an ordinary user maps itself to root in a user
# namespace. Root's files show as owned by the overflow user there, a
# matching owner for their directories, so all five still pass.
root=$(overlay rootless)
mount_system "$root"
mount --rbind "$root" "$reachable"
status=0
setpriv --reuid="$DESK_UID" --regid="$DESK_UID" --clear-groups \
    unshare --user --map-root-user chroot "$reachable" /usr/bin/env -i PATH=/usr/bin:/bin \
    SORVANE_SCRIPT_OUTPUT=/tmp/rootless/update.sh /usr/bin/sorvane \
    >"$scratch/rootless.out" 2>&1 || status=$?
expect_report rootless "$(printf 'status=%s\n' "$status"; cat "$scratch/rootless.out")" "${ALL_FIVE[@]}"
printf '3. %-36s %s\n' "rootless (unshare -Ur as $DESK)" "report ${ALL_FIVE[*]}"
umount -R "$reachable"
drop_overlay "$root"

wait "$bare_pid" || { cat "$scratch/bare.log" >&2; fail "the bare-machine check failed"; }
cat "$scratch/bare.log"
echo "real systems: every check passed"
