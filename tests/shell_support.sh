# shellcheck shell=bash
# Helpers shared by the shell-level checks; sourced, not run.

# The SHA-256 of the update script Sorvane writes.
# shellcheck disable=SC2034  # used by the scripts that source this file
PAYLOAD_SHA256=e16173e39457218d2e2f1a4ef482b9bcd67f15e7d905d4017153d6113e7d4535

# The search path Sorvane gives the detector, and nothing else but LC_ALL=C.
# shellcheck disable=SC2034  # used by the scripts that source this file
DETECTOR_ENV_PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin

# ctest counts this exit status as a skip.
SKIP_STATUS=77

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Skips the check with a reason, except in CI, which runs as root with
# everything installed: there a skip would hide a check that never ran.
skip() {
    if [[ ${CI:-} == true ]]; then
        fail "would skip, but CI=true must run every check: $*"
    fi
    echo "SKIP: $*"
    exit "$SKIP_STATUS"
}

require_root() {
    [[ $(id -u) -eq 0 ]] || skip "needs root: $*"
}

# The report of a run that found the given managers and wrote the script.
expected_report() {
    printf 'Sorvane\n=======\n\nDetecting package managers...\n\nDetected package managers:\n'
    local name
    for name in "$@"; do printf '  %s\n' "$name"; done
    printf '\nUpdate script prepared successfully.\n'
}

# The managers this machine has on the detector's search path, in the
# report's order: what a run of the real detector should list here.
managers_here() {
    local name
    for name in pacman flatpak apt dnf snap; do
        PATH=$DETECTOR_ENV_PATH command -v "$name" >/dev/null && printf '%s\n' "$name"
    done
    return 0
}

# Fails unless $1 is the update script: the right bytes, mode 0600, owned
# by user $2 (a name, or a uid for a user of another system, such as a
# chroot's).
check_written_script() {
    local file=$1 owner=$2
    [[ $owner == +([0-9]) ]] || owner=$(id -u "$owner")
    [[ -f $file && ! -L $file ]] || fail "$file is not a regular file"
    [[ $(stat -c %a "$file") == 600 ]] || fail "$file has mode $(stat -c %a "$file")"
    [[ $(stat -c %u "$file") == "$owner" ]] || fail "$file is owned by uid $(stat -c %u "$file")"
    local sum
    sum=$(sha256sum <"$file")
    [[ ${sum%% *} == "$PAYLOAD_SHA256" ]] || fail "$file is not the update script"
}

# Inside a private mount namespace (unshare --mount): a scratch tmpfs in
# $work, gone when the check exits, and overlay_dir DIR, which makes DIR
# writable for this check alone; the machine's own DIR is never touched.
scratch_in_namespace() {
    work=$(mktemp -d)
    trap 'umount -R "$work" 2>/dev/null || true; rm -rf "$work"' EXIT
    mount -t tmpfs -o mode=0700 "$1" "$work"
}
overlay_dir() {
    mkdir -p "$work/upper$1" "$work/work$1"
    mount -t overlay sorvane-scratch -o "lowerdir=$1,upperdir=$work/upper$1,workdir=$work/work$1" "$1"
}

# Installs the window's files from build directory $1 under root $2, at
# /usr as its packages hold them: the systemd units are written at install
# time for the prefix, so the build tree has none to read.
install_window_files() {
    DESTDIR=$2 cmake --install "$1" --prefix /usr --component gui >/dev/null ||
        fail "cmake --install of the window's files failed"
}

# The one file named $2 that install_window_files put under root $1.
window_file() {
    local found
    mapfile -t found < <(find "$1" -name "$2" \( -type f -o -type l \))
    [[ ${#found[@]} -eq 1 ]] || fail "installed, $2 is at ${#found[@]} places: ${found[*]}"
    printf '%s\n' "${found[0]}"
}
