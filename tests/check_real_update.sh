#!/bin/bash
# A real update through the window (root only), in a Debian 12 chroot made
# with debootstrap from Debian's archive (tests/chroot_support.sh): the
# installed sorvane and sorvane-gui packages, the real apt, dpkg and sudo,
# and a local apt repository of small packages made here with dpkg-deb.
# The window's own model and widgets (tests/gui_e2e_driver) run as an
# ordinary user in the sudo group, with the password on standard input:
#  1. an upgrade of many packages, each taking a moment to configure: the
#     bar moves through many values while dpkg installs them, and the Done
#     screen counts what apt updated and what it kept back (a new version
#     that depends on a package found nowhere), and offers no restart;
#  2. a refresh with a source that cannot be reached: apt warns and exits
#     with 0, and the window ends with apt's warning, the log at its line;
#  3. a restart, each way it can be told in a chroot: a package whose
#     installation asks for one, as Debian's kernel hooks do
#     (/run/reboot-required and its .pkgs), and, with Debian's pacman and a
#     local pacman repository, an upgrade of the package that holds the
#     running kernel's modules, as on Arch: the Done screen offers a
#     restart, naming why. Nothing here ever restarts anything;
#  4. a configuration file the user edited, which the new version of its
#     package changes: dpkg keeps the user's file and puts the new one
#     beside it, without a question, and the update succeeds;
#  5. an update that ends after its window was closed, told at the next
#     start;
#  6. a package whose new postinst fails: the failure names the package,
#     Details opens at dpkg's error, and the bar says it failed.
#
# It runs in private mount and host-name namespaces; the machine's own files
# are never touched. The chroot with the window's libraries is cached as a
# tarball in the cache directory, keyed by its package lists; without it,
# the first run makes it (with network access to Debian's archive). The
# updates themselves reach no network.
#
# usage: check_real_update.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb> <gui_e2e_driver>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
# shellcheck source=tests/chroot_support.sh
source "$(dirname "$0")/chroot_support.sh"
require_root "chroots, mounts and another user"
for tool in debootstrap zstd unshare setpriv dpkg-deb dpkg-scanpackages; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ $# -eq 5 ]] || fail "usage: check_real_update.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb> <gui_e2e_driver>"
[[ -x $5 ]] || skip "the window's driver was not built: $5"
if [[ -z ${SORVANE_REAL_UPDATE_NAMESPACE:-} ]]; then
    SORVANE_REAL_UPDATE_NAMESPACE=1 exec unshare --mount --uts --propagation private "$0" "$@"
fi

source_dir=$(realpath "$1")
cache=$(realpath -m "$2")
deb=$(realpath "$3")
gui_deb=$(realpath "$4")
driver=$(realpath "$5")
mapfile -t BUILD_PACKAGES < <("$source_dir/tools/setup" --list build)
readonly DESK=desk DESK_UID=1000
# Packages that only take time to install, one that cannot be upgraded,
# and one that asks for a restart.
readonly SLOW_COUNT=30 KEPT=sv-kept KERNEL=sv-kernel-hook
# A package with a configuration file, which the user edits.
readonly CONF=sv-conf CONF_FILE=/etc/sorvane-test/sv-conf.conf
readonly REPO=/srv/repo SOURCES=/etc/apt/sources.list.d/sorvane-test.list
# pacman's: the kernel's package, and where pacman is kept while the Debian
# cases run (without a repository it would stop the update before apt).
readonly PACMAN_REPO=/srv/pacman HIDDEN_PACMAN=/usr/lib/sorvane-test/pacman
readonly UNREACHABLE=http://127.0.0.1:9/
# The quotation marks the window puts around a manager's own words.
readonly OPEN_QUOTE=$'\xe2\x80\x9c' CLOSE_QUOTE=$'\xe2\x80\x9d'

hostname "$CHROOT_HOST"
mkdir -p "$cache"
scratch=$(mktemp -d "$cache/run.XXXXXX")
trap 'remove_roots "$scratch"' EXIT
started=$SECONDS

# --- the chroot: minbase, sudo, and what the two packages depend on ---

# The dependencies' names, without versions or alternatives, and without
# sorvane itself (the packages under test are installed afresh each run).
depends_of() {
    dpkg-deb --field "$1" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*//; s/[[:space:]]//g' |
        { grep -vx -e sorvane -e '' || true; }
}
# Debian's pacman for the Arch case.
mapfile -t WINDOW_PACKAGES < <({
    printf '%s\n' sudo pacman-package-manager
    depends_of "$deb"
    depends_of "$gui_deb"
} | sort -u)
minbase=$(root_tarball "$cache" minbase "${BUILD_PACKAGES[@]}")
window=$(root_tarball "$cache" window "${BUILD_PACKAGES[@]}" "${WINDOW_PACKAGES[@]}")
[[ -f $minbase ]] || make_minbase "$minbase" "$scratch" "${BUILD_PACKAGES[@]}"
if [[ ! -f $window ]]; then
    echo "making $window (the window's libraries, sudo and pacman, once)"
    install_on_minbase "$minbase" "$scratch/make-window" "$scratch" "${WINDOW_PACKAGES[@]}"
    pack "$scratch/make-window" "$window"
fi
prune_roots "$window"

# In memory: unpacked sooner, and gone at once with the namespace. A mount
# point of its own, as a container's root is: pacman finds the mount that
# holds its cache among those the root sees.
root=$scratch/root
mkdir "$root"
mount -t tmpfs -o mode=0755,size=4g sorvane-real-update "$root"
unpack "$window" "$root"
cp "$deb" "$gui_deb" "$root/tmp/"
in_root "$root" apt-get install -y -qq --no-install-recommends "/tmp/${deb##*/}" "/tmp/${gui_deb##*/}" \
    >"$scratch/install.log" 2>&1 || fail "installing the .deb files failed: $(tail -n 30 "$scratch/install.log")"
# From now on the root's only source is the local repository: no update
# below reaches Debian's archive.
rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
in_root "$root" useradd --create-home --uid "$DESK_UID" --groups sudo --shell /bin/bash "$DESK"
password=$(tr -dc 'A-Za-z0-9' </dev/urandom | head -c 20 || true)
printf '%s:%s\n' "$DESK" "$password" | in_root "$root" chpasswd
# The user's runtime directory, as logind makes it for a desktop session.
mkdir -p "$root/run/user"
install -d -m 0700 -o "$DESK_UID" -g "$DESK_UID" "$root/run/user/$DESK_UID"
install -m 0755 "$driver" "$root/usr/local/bin/gui_e2e_driver"

# --- the local repository ---

# Builds a package into a directory: name, version, directory, then its
# Depends (may be empty), its postinst's body (may be empty) and a
# configuration file it ships (may be empty), whose text names the version.
make_deb() {
    local name=$1 version=$2 dir=$3 depends=${4:-} postinst=${5:-} conffile=${6:-}
    local tree=$scratch/debs/$name-$version
    rm -rf "$tree"
    mkdir -p "$tree/DEBIAN" "$tree/usr/share/sorvane-test"
    if [[ -n $conffile ]]; then
        mkdir -p "$tree${conffile%/*}"
        printf 'setting = %s\n' "$version" >"$tree$conffile"
        printf '%s\n' "$conffile" >"$tree/DEBIAN/conffiles"
    fi
    {
        printf 'Package: %s\nVersion: %s\nArchitecture: all\n' "$name" "$version"
        printf 'Maintainer: Sorvane tests <tests@sorvane.invalid>\n'
        [[ -z $depends ]] || printf 'Depends: %s\n' "$depends"
        printf 'Section: misc\nPriority: optional\nDescription: a package for a test update\n'
    } >"$tree/DEBIAN/control"
    printf '%s\n' "$version" >"$tree/usr/share/sorvane-test/$name"
    if [[ -n $postinst ]]; then
        printf '#!/bin/sh\nset -e\n%s\n' "$postinst" >"$tree/DEBIAN/postinst"
        chmod 0755 "$tree/DEBIAN/postinst"
    fi
    dpkg-deb --root-owner-group -Zgzip --build "$tree" "$dir/${name}_${version}_all.deb" >/dev/null
}

# Indexes a flat repository: Packages, and a Release that lists it (no
# signature: the source is marked trusted).
index_repo() {
    local dir=$1
    (cd "$dir" && dpkg-scanpackages --multiversion . 2>/dev/null >Packages)
    {
        printf 'Origin: Sorvane tests\nLabel: Sorvane tests\nSuite: test\nCodename: test\n'
        printf 'Date: %s\nArchitectures: all\n' "$(LC_ALL=C date -u '+%a, %d %b %Y %H:%M:%S UTC')"
        printf 'SHA256:\n %s %s Packages\n' "$(sha256sum <"$dir/Packages" | cut -d' ' -f1)" \
            "$(stat -c %s "$dir/Packages")"
    } >"$dir/Release"
}

# The root's sources: the local repository's directory, copied into apt's
# cache as a download would be, and any others given.
use_sources() {
    local dir=$1
    shift
    {
        printf 'deb [trusted=yes] copy:%s/%s ./\n' "$REPO" "$dir"
        local extra
        for extra in "$@"; do printf '%s\n' "$extra"; done
    } >"$root$SOURCES"
}

# The daily refresh, as apt's timer runs it before anyone opens the window.
refresh_as_root() {
    in_root "$root" apt-get update -qq >"$scratch/refresh.log" 2>&1 ||
        fail "apt-get update failed: $(cat "$scratch/refresh.log")"
}

slow=()
for i in $(seq -w 1 "$SLOW_COUNT"); do slow+=("sv-slow-$i"); done
mkdir -p "$root$REPO/v1" "$root$REPO/v2"
for name in "${slow[@]}"; do
    make_deb "$name" 1.0 "$root$REPO/v1"
    make_deb "$name" 2.0 "$root$REPO/v2" '' 'sleep 0.3'
done
make_deb "$KEPT" 1.0 "$root$REPO/v1"
make_deb "$KEPT" 2.0 "$root$REPO/v2" sv-found-nowhere
make_deb "$KERNEL" 1.0 "$root$REPO/v1"
cp "$root$REPO/v1/${KERNEL}_1.0_all.deb" "$root$REPO/v2/"
make_deb "$CONF" 1.0 "$root$REPO/v1" '' '' "$CONF_FILE"
cp "$root$REPO/v1/${CONF}_1.0_all.deb" "$root$REPO/v2/"
index_repo "$root$REPO/v1"
index_repo "$root$REPO/v2"
chmod -R a+rX "$root$REPO"

use_sources v1
refresh_as_root
in_root "$root" apt-get install -y -qq --no-install-recommends "${slow[@]}" "$KEPT" "$KERNEL" "$CONF" \
    >"$scratch/v1.log" 2>&1 || fail "installing the first versions failed: $(cat "$scratch/v1.log")"
use_sources v2
refresh_as_root

# A pacman package: .PKGINFO and the files, as makepkg would pack them;
# and the repository's database, which lists it alone, as repo-add writes
# it (repo-add needs makepkg's libraries, which Debian's pacman lacks).
make_pacman_package() {
    local name=$1 version=$2 dir=$3 file=$4
    local tree=$scratch/pacman-packages/$name-$version
    mkdir -p "$tree/${file%/*}"
    printf '%s\n' "$version" >"$tree/$file"
    printf 'pkgname = %s\npkgbase = %s\npkgver = %s\npkgdesc = a package for a test update\n' \
        "$name" "$name" "$version" >"$tree/.PKGINFO"
    printf 'builddate = 0\npackager = Sorvane tests\nsize = %s\narch = any\nlicense = MIT\n' \
        "$(du -sb "$tree/usr" | cut -f1)" >>"$tree/.PKGINFO"
    mkdir -p "$dir"
    local package=$name-$version-any.pkg.tar.gz entry=$scratch/pacman-db/$name-$version
    tar --owner=0 --group=0 --numeric-owner -C "$tree" -czf "$dir/$package" .PKGINFO usr
    mkdir -p "$entry"
    printf '%%%s%%\n%s\n\n' FILENAME "$package" NAME "$name" BASE "$name" VERSION "$version" \
        DESC 'a package for a test update' CSIZE "$(stat -c %s "$dir/$package")" \
        ISIZE "$(du -sb "$tree/usr" | cut -f1)" SHA256SUM "$(sha256sum <"$dir/$package" | cut -d' ' -f1)" \
        ARCH any BUILDDATE 0 PACKAGER 'Sorvane tests' >"$entry/desc"
    tar --owner=0 --group=0 --numeric-owner -C "${entry%/*}" -czf "$dir/sorvane-test.db" "${entry##*/}"
}

# pacman's configuration: Debian's, and the local repository's directory.
use_pacman_repo() {
    {
        cat "$root/etc/pacman.conf.debian"
        printf '[sorvane-test]\nSigLevel = Never\nServer = file://%s/%s\n' "$PACMAN_REPO" "$1"
    } >"$root/etc/pacman.conf"
}

# The running kernel's modules, in the package that holds them, then in
# its next version those of a newer kernel only, as an Arch upgrade does.
kernel=$(uname -r)
make_pacman_package linux 1.0-1 "$root$PACMAN_REPO/v1" "usr/lib/modules/$kernel/modules.dep"
make_pacman_package linux 2.0-1 "$root$PACMAN_REPO/v2" usr/lib/modules/99.0.0-sorvane-test/modules.dep
chmod -R a+rX "$root$PACMAN_REPO"
cp "$root/etc/pacman.conf" "$root/etc/pacman.conf.debian"
use_pacman_repo v1
# pacman checks free space on the mounts of /etc/mtab, as a booted system
# lists them.
ln -sfn /proc/self/mounts "$root/etc/mtab"
in_root "$root" pacman -Sy --noconfirm linux >"$scratch/pacman-v1.log" 2>&1 ||
    fail "pacman could not install linux 1.0: $(cat "$scratch/pacman-v1.log")"
[[ -f $root/usr/lib/modules/$kernel/modules.dep ]] || fail "linux 1.0 did not install the running kernel's modules"
mkdir -p "$root${HIDDEN_PACMAN%/*}"
mv "$root/usr/bin/pacman" "$root$HIDDEN_PACMAN"
echo "the root: sorvane and sorvane-gui installed, $SLOW_COUNT packages and three more at 1.0, linux 1.0-1 with pacman ($((SECONDS - started)) s)"

# --- the window ---

# Runs the window's driver as the user, the password on its standard
# input; leaves its report in $scratch/window-<name>.out.
run_window() {
    local name=$1 out=$scratch/window-$1.out status=0
    install -m 0600 /dev/null "$scratch/typed"
    printf '%s\n' "$password" >"$scratch/typed"
    in_root "$root" setpriv --reuid="$DESK" --regid="$DESK" --init-groups \
        env -C "/home/$DESK" HOME="/home/$DESK" USER="$DESK" LOGNAME="$DESK" LC_ALL=C.UTF-8 \
        XDG_RUNTIME_DIR="/run/user/$DESK_UID" QT_QPA_PLATFORM=offscreen "${window_env[@]}" \
        /usr/local/bin/gui_e2e_driver /usr/lib/sorvane/libexec/bin/sorvane-gui "/run/user/$DESK_UID" \
        <"$scratch/typed" >"$out" 2>"$scratch/window-$name.err" || status=$?
    rm -f "$scratch/typed"
    [[ $status -eq 0 ]] || fail "window ($name) ended with $status: $(cat "$out" "$scratch/window-$name.err")"
    ! grep -qF -- "$password" "$out" || fail "window ($name): the password is in its report"
}

window_env=()  # what the driver is told to do otherwise

# Fails unless the window's report after the update holds the line.
expect_line() {
    local name=$1 line=$2
    sed -n '/^--- after update$/,$p' "$scratch/window-$name.out" | grep -qxF -- "$line" ||
        fail "window ($name): no line '$line' after the update: $(cat "$scratch/window-$name.out")"
}

installed_version() {
    # shellcheck disable=SC2016  # dpkg-query's field, not the shell's
    in_root "$root" dpkg-query -W -f='${Version}' "$1"
}

# A package whose new version's postinst fails (while a flag file is there):
# the failure names the package, Details opens at dpkg's error, the bar is
# not full. dpkg is then finished by hand, for the cases after it.
failing_postinst() {
    local broken=sv-broken flag=/etc/sv-broken-fails
    echo "6. a package whose maintainer script fails"
    part=$SECONDS
    make_deb "$broken" 1.0 "$scratch"
    cp "$scratch/${broken}_1.0_all.deb" "$root/tmp/"
    in_root "$root" dpkg -i "/tmp/${broken}_1.0_all.deb" >"$scratch/broken-v1.log" 2>&1 ||
        fail "installing $broken 1.0 failed: $(cat "$scratch/broken-v1.log")"
    make_deb "$broken" 2.0 "$root$REPO/v2" '' \
        "if [ -e $flag ]; then echo '$broken: the service cannot start' >&2; exit 1; fi"
    index_repo "$root$REPO/v2"
    chmod -R a+rX "$root$REPO"
    use_sources v2
    refresh_as_root
    touch "$root$flag"
    run_window broken
    expect_line broken "done-text=The apt step failed: the package $broken could not be set up; its installation script failed. Its message is in Details. Other packages may be left unfinished."
    local error
    error=$(sed -n 's/^finish-line=//p' "$scratch/window-broken.out")
    [[ $error == "dpkg: error processing package $broken (--configure):" ]] ||
        fail "window (broken): the failure is not at dpkg's error: $(cat "$scratch/window-broken.out")"
    expect_line broken "details-line=$error"
    sed -n '/^--- after update$/,$p' "$scratch/window-broken.out" | grep -qx 'bar-text=Failed at [0-9]*%' ||
        fail "window (broken): the bar does not say it failed: $(cat "$scratch/window-broken.out")"
    rm "$root$flag"
    in_root "$root" dpkg --configure -a >"$scratch/broken-repair.log" 2>&1 ||
        fail "dpkg --configure -a failed: $(cat "$scratch/broken-repair.log")"
    echo "   '$broken could not be set up', the log at '$error', the bar failed ($((SECONDS - part)) s)"
}

echo "1. an upgrade of $SLOW_COUNT packages, one kept back"
part=$SECONDS
run_window upgrade
grep -qx 'row0=apt — [0-9]* updates.*' "$scratch/window-upgrade.out" ||
    fail "window (upgrade): apt's pending updates not shown: $(cat "$scratch/window-upgrade.out")"
grep -qx 'password-field=shown' "$scratch/window-upgrade.out" || fail "window (upgrade): no password asked"
expect_line upgrade 'done-text=Update complete'
expect_line upgrade 'bar-text=100%'
expect_line upgrade "change=apt: $SLOW_COUNT packages updated, 1 package kept back"
expect_line upgrade 'restart-offered=no'
# The bar's values while packages installed, strictly between empty and full.
values=$(sed -n 's|^bar=\([0-9]*\)/1000$|\1|p' "$scratch/window-upgrade.out" |
    awk '$1 > 0 && $1 < 1000' | sort -un | wc -l)
[[ $values -ge 10 ]] || fail "window (upgrade): the bar took $values values between 0 and 100 %: $(cat "$scratch/window-upgrade.out")"
texts=$(grep -cE "^progress-text=apt: (unpacking|setting up) [0-9]+ of $SLOW_COUNT — sv-slow-" "$scratch/window-upgrade.out" || true)
[[ $texts -ge 10 ]] || fail "window (upgrade): $texts texts counted packages: $(cat "$scratch/window-upgrade.out")"
# debconf's complaint that it cannot ask is never the line shown.
! grep -q '^latest=debconf: ' "$scratch/window-upgrade.out" ||
    fail "window (upgrade): debconf's noise was shown as the latest line"
for name in "${slow[@]}"; do
    [[ $(installed_version "$name") == 2.0 ]] || fail "$name was not upgraded"
done
[[ $(installed_version "$KEPT") == 1.0 ]] || fail "$KEPT was not kept back"
echo "   the bar took $values values between 0 and 100 %, with $texts package counts;" \
    "'apt: $SLOW_COUNT packages updated, 1 package kept back', no restart ($((SECONDS - part)) s)"

echo "2. a refresh with an unreachable source"
part=$SECONDS
use_sources v2 "deb [trusted=yes] $UNREACHABLE ./"
run_window unreachable
warning=$(sed -n 's/^finish-line=//p' "$scratch/window-unreachable.out")
[[ $warning == "W: Failed to fetch ${UNREACHABLE}./"* ]] ||
    fail "window (unreachable): the log is not at the warning: $(cat "$scratch/window-unreachable.out")"
expect_line unreachable "done-text=Finished with warnings from apt: $OPEN_QUOTE$warning$CLOSE_QUOTE"
expect_line unreachable "details-line=$warning"
! grep -qx 'done-text=Update complete' "$scratch/window-unreachable.out" ||
    fail "window (unreachable): said the update was complete"
echo "   'Finished with warnings from apt', the log at '$warning' ($((SECONDS - part)) s)"

echo "3. a package that asks for a restart, as a kernel's hooks do"
part=$SECONDS
# As update-notifier's hook under /etc/kernel/postinst.d does for a kernel.
make_deb "$KERNEL" 2.0 "$root$REPO/v2" '' \
    "touch /run/reboot-required; echo $KERNEL >>/run/reboot-required.pkgs; sleep 0.3"
rm "$root$REPO/v2/${KERNEL}_1.0_all.deb"
index_repo "$root$REPO/v2"
chmod -R a+rX "$root$REPO"
use_sources v2
refresh_as_root
[[ ! -e $root/run/reboot-required ]] || fail "a restart was asked for before the update"
run_window restart
expect_line restart 'done-text=Update complete'
expect_line restart 'change=apt: 1 package updated, 1 package kept back'
expect_line restart 'restart-offered=yes'
expect_line restart "restart-text=Restart the computer to finish the update: $KERNEL takes effect only then."
expect_line restart 'restart-button=shown'
[[ $(installed_version "$KERNEL") == 2.0 ]] || fail "$KERNEL was not upgraded"
echo "   Debian: the Done screen offers a restart for $KERNEL ($((SECONDS - part)) s)"

echo "4. a configuration file the user edited, changed by the new version"
part=$SECONDS
printf '# my own setting\n' >>"$root$CONF_FILE"
rm "$root$REPO/v2/${CONF}_1.0_all.deb"
make_deb "$CONF" 2.0 "$root$REPO/v2" '' '' "$CONF_FILE"
index_repo "$root$REPO/v2"
chmod -R a+rX "$root$REPO"
refresh_as_root
dpkg_log_lines=$(wc -l <"$root/var/log/dpkg.log")
run_window conffile
expect_line conffile 'done-text=Update complete'
expect_line conffile "Your changes to $CONF_FILE were kept; the new version is beside it: $CONF_FILE.dpkg-dist."
[[ $(installed_version "$CONF") == 2.0 ]] || fail "$CONF was not upgraded"
audit=$(in_root "$root" dpkg --audit) || true
[[ -z $audit ]] || fail "dpkg was left unfinished: $audit"
# The user's file as they left it; the package's new one beside it; and
# dpkg's own word that it kept the user's.
printf 'setting = 1.0\n# my own setting\n' | diff - "$root$CONF_FILE" >&2 ||
    fail "the edited $CONF_FILE was not kept"
printf 'setting = 2.0\n' | diff - "$root$CONF_FILE.dpkg-dist" >&2 ||
    fail "the new $CONF_FILE was not put beside it"
tail -n +"$((dpkg_log_lines + 1))" "$root/var/log/dpkg.log" | grep -q " conffile $CONF_FILE keep$" ||
    fail "dpkg's log does not say it kept $CONF_FILE: $(tail -n 20 "$root/var/log/dpkg.log")"
echo "   the edited file kept and named at Done, the new one beside it as .dpkg-dist, no question ($((SECONDS - part)) s)"

echo "5. an update that ends after its window was closed"
part=$SECONDS
later=("${slow[@]:0:5}")
for name in "${later[@]}"; do
    rm "$root$REPO/v2/${name}_2.0_all.deb"
    make_deb "$name" 3.0 "$root$REPO/v2" '' 'sleep 0.3'
done
index_repo "$root$REPO/v2"
chmod -R a+rX "$root$REPO"
refresh_as_root
window_env=(SORVANE_E2E_LEAVE=1)
touch "$scratch/window-next.ready"
sleep 1  # the log made after it is newer by its time stamp
run_window leave
grep -qx 'left=updating' "$scratch/window-leave.out" ||
    fail "window (leave): it did not leave during the update: $(cat "$scratch/window-leave.out")"
# The update goes on alone, its output holding the log's claim until it ends.
running_log=$(find "$root/run/user/$DESK_UID" -path '*/sorvane-update-*/update.log' -newer "$scratch/window-next.ready" 2>/dev/null | head -n 1)
[[ -n $running_log ]] || fail "window (leave): no log of the update it left"
deadline=$((SECONDS + 300))
until flock --nonblock --exclusive "$running_log" true; do
    ((SECONDS < deadline)) || fail "the update without its window did not end"
    sleep 0.2
done
for name in "${later[@]}"; do
    [[ $(installed_version "$name") == 3.0 ]] || fail "$name was not upgraded without the window"
done
window_env=(SORVANE_E2E_LOOK_ONLY=1)
run_window next-start
grep -qx 'last-run=The update started at .* finished: 5 packages updated by apt\.' \
    "$scratch/window-next-start.out" ||
    fail "window (next start): the last run was not told of: $(cat "$scratch/window-next-start.out")"
kept=$(sed -n "s|^log-file=\(/run/user/$DESK_UID/sorvane-update-[^/]*/update\.log\)$|\1|p" \
    "$scratch/window-next-start.out")
[[ -n $kept ]] || fail "window (next start): no log shown: $(cat "$scratch/window-next-start.out")"
grep -qxF 'Update complete.' "$root$kept" || fail "the kept log is not the update's: $(cat "$root$kept")"
# Told once: the log is made read-only, and the next start is silent.
[[ $(stat -c %a "$root$kept") == 400 ]] || fail "the told log is $(stat -c %a "$root$kept"), not 400"
run_window told
grep -qx 'last-run=' "$scratch/window-told.out" ||
    fail "window (told): the last run was told of twice: $(cat "$scratch/window-told.out")"
window_env=()
echo "   the next start says '$(sed -n 's/^last-run=//p' "$scratch/window-next-start.out")', with its log, once ($((SECONDS - part)) s)"

failing_postinst

part=$SECONDS
mv "$root$HIDDEN_PACMAN" "$root/usr/bin/pacman"
use_pacman_repo v2
# -yy: both databases may bear the same second, and pacman, going by
# time, would keep the first.
in_root "$root" pacman -Syy >"$scratch/pacman-v2.log" 2>&1 || fail "pacman -Syy failed: $(cat "$scratch/pacman-v2.log")"
rm -f "$root/run/reboot-required" "$root/run/reboot-required.pkgs"
run_window arch
grep -qx 'row0=pacman — 1 update.*' "$scratch/window-arch.out" ||
    fail "window (arch): pacman's pending update not shown: $(cat "$scratch/window-arch.out")"
expect_line arch 'done-text=Update complete'
expect_line arch 'change=pacman: 1 package updated'
expect_line arch 'restart-offered=yes'
expect_line arch 'restart-text=Restart the computer to finish the update: linux takes effect only then.'
[[ ! -e $root/usr/lib/modules/$kernel ]] || fail "the running kernel's modules are still there"
echo "   Arch: once pacman upgraded linux and the running kernel's modules went, a restart for linux ($((SECONDS - part)) s)"

echo "real update: every check passed ($((SECONDS - started)) s)"
