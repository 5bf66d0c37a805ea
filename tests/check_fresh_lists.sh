#!/bin/bash
# Sorvane Update's check refreshes apt's lists as the desktop user, into a
# cache of its own, and never touches the system's (root only): in the
# window's chroot (tests/chroot_support.sh, the installed sorvane and
# sorvane-gui packages), a local signed repository served over HTTP on 127.0.0.1:
#  1. a version published after the system's last `apt update` is found
#     by the check as a user with no privilege, and the system's lists are
#     byte for byte as they were;
#     What it would download leaves out what the system's archive cache
#     holds already;
#  2. a second refresh fetches no list again (the server answers "not
#     modified");
#  3. a cache directory that is a link, or another user's, is refused:
#     the check answers from the system's lists and says why, and nothing
#     is written through the link;
#  4. a hostile mirror (tests/hostile_mirror.py) of the signed repository,
#     replaying older lists, serving endless files or an expired Release,
#     takes back no update the last good refresh found and fills no disk.
#
# Private mount, host-name, network and process namespaces: the server is
# reachable from nowhere else and ends with the script.
#
# usage: check_fresh_lists.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
# shellcheck source=tests/chroot_support.sh
source "$(dirname "$0")/chroot_support.sh"
require_root "chroots, mounts, network namespaces and other users"
for tool in debootstrap zstd unshare dpkg-deb dpkg-scanpackages ip python3 gpg; do
    command -v "$tool" >/dev/null || skip "$tool is not installed"
done
[[ $# -eq 4 ]] || fail "usage: check_fresh_lists.sh <source dir> <cache dir> <sorvane .deb> <sorvane-gui .deb>"
if [[ -z ${SORVANE_FRESH_NAMESPACE:-} ]]; then
    SORVANE_FRESH_NAMESPACE=1 exec unshare --mount --uts --net --pid --fork --propagation private "$0" "$@"
fi

source_dir=$(realpath "$1")
cache=$(realpath -m "$2")
deb=$(realpath "$3")
gui_deb=$(realpath "$4")
readonly REPO=/srv/repo SOURCES=/etc/apt/sources.list.d/sorvane-test.list PORT=8642
readonly KEYRING=/etc/apt/keyrings/sorvane-test.gpg
readonly USER_ID=1000 HOME_DIR=/home/tester

depends_of() {
    dpkg-deb --field "$1" Depends | tr ',' '\n' | sed 's/|.*//; s/(.*//; s/[[:space:]]//g' |
        { grep -vx -e sorvane -e '' || true; }
}

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
scratch=$(mktemp -d "${TMPDIR:-/tmp}/sorvane-fresh.XXXXXX")
server=
clean_up() {
    [[ -z $server ]] || { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; }
    remove_roots "$scratch"
}
trap clean_up EXIT
if [[ ! -f $window ]]; then
    # The same root tests/check_real_update.sh makes; made here when this
    # check runs first.
    [[ -f $minbase ]] || make_minbase "$minbase" "$scratch" "${BUILD_PACKAGES[@]}"
    install_on_minbase "$minbase" "$scratch/make-window" "$scratch" "${WINDOW_PACKAGES[@]}"
    pack "$scratch/make-window" "$window"
fi
started=$SECONDS

# Loopback, and a default route that leads nowhere: the check counts the
# machine online, and nothing leaves it.
ip link set lo up
ip link add sorvane0 type veth peer name sorvane1
ip address add 192.0.2.1/24 dev sorvane0
ip link set sorvane1 up
ip link set sorvane0 up
ip route add default via 192.0.2.2

root=$scratch/root
mkdir "$root"
mount -t tmpfs -o mode=0755,size=4g sorvane-fresh "$root"
unpack "$window" "$root"
cp "$deb" "$gui_deb" "$root/tmp/"
in_root "$root" apt-get install -y -qq --no-install-recommends "/tmp/${deb##*/}" "/tmp/${gui_deb##*/}" \
    >"$scratch/install.log" 2>&1 || fail "installing the .deb files failed: $(tail -n 30 "$scratch/install.log")"
rm -f "$root/etc/apt/sources.list" "$root"/etc/apt/sources.list.d/*
# Only apt is asked: Debian's pacman has no repository.
mv "$root/usr/bin/pacman" "$root/usr/bin/.pacman-hidden"

# --- a local repository, served as a mirror is ---

make_deb() {
    local name=$1 version=$2 tree=$scratch/debs/$1-$2
    mkdir -p "$tree/DEBIAN"
    printf 'Package: %s\nVersion: %s\nArchitecture: all\nMaintainer: Sorvane tests <tests@sorvane.invalid>\n' \
        "$name" "$version" >"$tree/DEBIAN/control"
    printf 'Section: misc\nPriority: optional\nDescription: a package refreshed as the user\n' >>"$tree/DEBIAN/control"
    dpkg-deb --root-owner-group -Zgzip --build "$tree" "$root$REPO/${name}_${version}_all.deb" >/dev/null
}
publish() {
    local dir=$root$REPO stamp
    # The server says a file changed by its time and the Release when it was
    # made, each to the second: each publication a second after the last, or
    # apt, asking "changed since?", is told it did not, and takes an older
    # Release for as new as its own.
    stamp=$(($(date +%s) - 1))
    [[ $stamp -gt $published ]] || stamp=$((published + 1))
    published=$stamp
    (cd "$dir" && dpkg-scanpackages --multiversion . 2>/dev/null >Packages)
    {
        printf 'Origin: Sorvane\nLabel: Sorvane\nSuite: stable\nCodename: stable\n'
        printf 'Changelogs: http://127.0.0.1:%s/changelogs/@CHANGEPATH@\n' "$PORT"
        printf 'Date: %s\nArchitectures: all\n' "$(LC_ALL=C date -u -d "@$stamp" '+%a, %d %b %Y %H:%M:%S UTC')"
        [[ -z ${VALID_UNTIL:-} ]] || printf 'Valid-Until: %s\n' "$VALID_UNTIL"
        printf 'SHA256:\n %s %s Packages\n' "$(sha256sum <"$dir/Packages" | cut -d' ' -f1)" \
            "$(stat -c %s "$dir/Packages")"
    } >"$dir/Release"
    gpg --batch --yes --quiet --local-user "$KEY_ID" --clearsign --output "$dir/InRelease" "$dir/Release"
    touch -d "@$stamp" "$dir/Packages" "$dir/Release" "$dir/InRelease"
}
published=0
# Signed as a real archive is: a mirror can replay or withhold what the
# archive signed, never forge it.
export GNUPGHOME=$scratch/gnupg
install -d -m 0700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-gen-key 'Sorvane tests <tests@sorvane.invalid>' ed25519 sign never
KEY_ID=$(gpg --batch --with-colons --list-keys | awk -F: '$1 == "fpr" { print $10; exit }')
install -d -m 0755 "$root/etc/apt/keyrings"
gpg --batch --export "$KEY_ID" >"$root$KEYRING"
mkdir -p "$root$REPO"
make_deb sv-fresh 1.0
publish
# The repository as it was before 2.0, for a mirror that stops there.
cp -a "$root$REPO" "$scratch/stale"
: >"$scratch/mirror.mode"
python3 "$source_dir/tests/hostile_mirror.py" "$PORT" "$root$REPO" "$scratch/mirror.mode" >>"$scratch/server.log" 2>&1 &
server=$!
for _ in $(seq 50); do
    grep -q 'Serving HTTP' "$scratch/server.log" && break
    sleep 0.1
done
printf 'deb [signed-by=%s] http://127.0.0.1:%s/ ./\n' "$KEYRING" "$PORT" >"$root$SOURCES"
in_root "$root" apt-get update -qq >/dev/null 2>&1 || fail "apt-get update (system) failed"
in_root "$root" apt-get install -y -qq sv-fresh >/dev/null 2>&1 || fail "installing sv-fresh 1.0 failed"
# Published after the system's last update: only a fresh list knows it.
make_deb sv-fresh 2.0
publish
system_lists() { (cd "$root/var/lib/apt/lists" && find . -type f -print0 | sort -z | xargs -0 sha256sum; stat -c '%n %Y' ./*); }
before=$(system_lists)

install -d -m 0755 -o "$USER_ID" -g "$USER_ID" "$root$HOME_DIR"
as_user() {
    mountpoint -q "$root/proc" || mount_system "$root"
    chroot --userspec="$USER_ID:$USER_ID" "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME="$HOME_DIR" "$@"
}
check_json() { as_user sorvane-gui --check --json 2>"$scratch/check.err" || true; }
json_field() { python3 -c 'import json,sys; d=json.load(sys.stdin); m=[m for m in d["managers"] if m["name"]=="apt"][0]; print(eval(sys.argv[1]))' "$1"; }
# The mirror logs "METHOD PATH STATUS BYTES" for each request.
served_bytes() { awk '$1 == "GET" && $3 == 200 { sum += $4 } END { print sum + 0 }' "$scratch/server.log"; }

# --- 1. the check as the user finds what was published since ---

: >"$scratch/server.log"
json=$(check_json)
[[ $(json_field 'm["fetched_for_check"]' <<<"$json") == True ]] ||
    fail "the check did not refresh its own lists: $json $(cat "$scratch/check.err")"
[[ $(json_field '[u["to"] for u in m["updates"] if u["name"]=="sv-fresh"]' <<<"$json") == "['2.0']" ]] ||
    fail "the check did not find sv-fresh 2.0: $json"
[[ $(json_field 'm["checked_at"] is not None and m["data_age_seconds"] < 120' <<<"$json") == True ]] ||
    fail "the check does not say its lists are fresh: $json"
[[ $(system_lists) == "$before" ]] || fail "the system's lists changed"
own=$root$HOME_DIR/.cache/sorvane/apt
[[ $(stat -c '%a %u' "$own") == "700 $USER_ID" ]] || fail "the private cache is not the user's alone"
first_bytes=$(served_bytes)
[[ $(json_field '[(u["description"], u["changelog_available"]) for u in m["updates"]]' <<<"$json") == \
    "[('a package refreshed as the user', True)]" ]] || fail "the update has no description: $json"

# The changelog where the repository's Release says, fetched by the real
# apt as the user with the private lists (the options the check gives it).
options=(-c "$HOME_DIR/.cache/sorvane/apt/apt.conf" -o "Dir::State::Lists=$HOME_DIR/.cache/sorvane/apt/lists/"
    -o "Dir::Cache=$HOME_DIR/.cache/sorvane/apt/cache/" -o Debug::NoLocking=true)
uri=$(as_user apt-get -q changelog --print-uris sv-fresh=2.0 "${options[@]}" | tr -d "'" | cut -d' ' -f1)
[[ $uri == "http://127.0.0.1:$PORT/changelogs/"* ]] || fail "apt names no changelog for the repository: $uri"
mkdir -p "$root$REPO/changelogs/$(dirname "${uri#*/changelogs/}")"
printf '%s\n' 'sv-fresh (2.0) stable; urgency=high' '' '  * Fix CVE-2026-12345 (DSA-6001-1).' '' \
    ' -- T <t@sorvane.invalid>  Thu, 10 Dec 2026 00:00:00 +0000' '' 'sv-fresh (1.0) stable; urgency=low' '' \
    '  * First.' '' ' -- T <t@sorvane.invalid>  Mon, 07 Dec 2026 00:00:00 +0000' \
    >"$root$REPO/changelogs/${uri#*/changelogs/}"
as_user apt-get -q changelog sv-fresh=2.0 "${options[@]}" >"$scratch/changelog" 2>&1 ||
    fail "apt-get changelog as the user failed: $(cat "$scratch/changelog") [$uri] $(find "$root$REPO/changelogs")"
grep -q 'CVE-2026-12345' "$scratch/changelog" || fail "the changelog was not fetched: $(cat "$scratch/changelog")"

# What the update would download is what is not in the system's archive
# cache yet: apt-get upgrade fetches nothing it finds there.
deb_bytes=$(stat -c %s "$root$REPO/sv-fresh_2.0_all.deb")
[[ $(json_field 'm["download_bytes"]' <<<"$json") == "$deb_bytes" ]] ||
    fail "the download is not sv-fresh 2.0's $deb_bytes bytes: $json"
cp "$root$REPO/sv-fresh_2.0_all.deb" "$root/var/cache/apt/archives/"
json=$(check_json)
[[ $(json_field 'm["download_bytes"]' <<<"$json") == 0 ]] ||
    fail "the download counts a package already in the system's archive cache: $json"
rm "$root/var/cache/apt/archives/sv-fresh_2.0_all.deb"

# --- 2. a second refresh fetches no list again ---

: >"$scratch/server.log"
second_start=$(date +%s%N)
json=$(check_json)
second_ms=$((($(date +%s%N) - second_start) / 1000000))
[[ $(json_field 'm["fetched_for_check"]' <<<"$json") == True ]] || fail "the second refresh failed: $json"
second_bytes=$(served_bytes)
[[ $second_bytes -eq 0 ]] || fail "the second refresh fetched $second_bytes bytes: $(cat "$scratch/server.log")"
grep -Eq '^GET /(\./)?InRelease 304 ' "$scratch/server.log" ||
    fail "apt did not ask whether the InRelease changed: $(cat "$scratch/server.log")"
echo "fresh lists: first refresh $first_bytes bytes; unchanged refresh $second_bytes bytes, the whole check in $second_ms ms"

# --- 3. a cache that is a link, or another user's, is refused ---

rm -rf "$own"
install -d -m 0700 -o "$USER_ID" -g "$USER_ID" "$root/tmp/elsewhere"
ln -s /tmp/elsewhere "$own"
json=$(check_json)
[[ $(json_field 'm["fetched_for_check"]' <<<"$json") == False ]] || fail "the check wrote through a link: $json"
[[ $(json_field 'bool(m["not_fetched"])' <<<"$json") == True ]] || fail "the check does not say why: $json"
[[ -z $(ls -A "$root/tmp/elsewhere") ]] || fail "files were written through the link"
rm "$own"
install -d -m 0700 -o 0 -g 0 "$own"
json=$(check_json)
[[ $(json_field 'm["fetched_for_check"]' <<<"$json") == False ]] || fail "the check used root's directory: $json"
[[ $(json_field 'len(m["updates"])' <<<"$json") == 0 ]] ||
    fail "from the system's lists nothing is pending, yet: $json"
[[ $(system_lists) == "$before" ]] || fail "the system's lists changed"

# --- 4. a hostile mirror ---
# It can replay, withhold or spoil what the archive signed, never forge it:
# apt keeps the newer lists, bounds what it reads, and the check answers
# from the lists its last refresh that worked left, saying why they are
# not fresh; nothing fills the user's disk.

rm -rf "$own"
json=$(check_json)
[[ $(json_field '[u["to"] for u in m["updates"] if u["name"]=="sv-fresh"]' <<<"$json") == "['2.0']" ]] ||
    fail "the check's lists are not fresh again: $json"
mirror() { printf '%s\n' "$*" >"$scratch/mirror.mode"; : >"$scratch/server.log"; }
# fetched, the version found, and whether it says why not
answer() { json_field '(m["fetched_for_check"], [u["to"] for u in m["updates"]], bool(m["not_fetched"]))'; }
expect() {
    local what=$1 wanted=$2 got
    json=$(check_json)
    got=$(answer <<<"$json")
    [[ $got == "$wanted" ]] || fail "$what: the check answered $got, not $wanted: $json $(cat "$scratch/server.log")"
    [[ $(du -sk "$own" | cut -f1) -lt 16384 ]] || fail "$what: the private cache grew to $(du -sh "$own")"
    [[ $(system_lists) == "$before" ]] || fail "$what: the system's lists changed"
}
mirror from "$scratch/stale"
expect "a mirror that replays the lists before 2.0" "(True, ['2.0'], False)"
mirror endless InRelease
expect "a mirror whose InRelease never ends" "(False, ['2.0'], True)"
grep -q '^GET /\(\./\)\?InRelease 200 ' "$scratch/server.log" || fail "the endless InRelease was not asked for"
make_deb sv-fresh 3.0
publish
mirror endless Packages
expect "a mirror whose Packages never ends" "(False, ['2.0'], True)"
mirror honest
VALID_UNTIL=$(LC_ALL=C date -u -d '-1 day' '+%a, %d %b %Y %H:%M:%S UTC') publish
expect "a mirror that serves an expired Release" "(False, ['2.0'], True)"
publish
expect "the mirror honest again" "(True, ['3.0'], False)"

echo "ok: the check's own lists, in $((SECONDS - started)) s"
