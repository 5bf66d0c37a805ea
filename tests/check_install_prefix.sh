#!/bin/bash
# A build installed under a prefix other than /usr, into a DESTDIR as
# packagers install, keeps to that prefix: every file is under it, the
# links lead within it, and the systemd units name its own sorvane-gui and
# write-metrics, which are there. Only a directory the build was
# configured with as absolute (a packager's choice) may lie outside.
#
# usage: check_install_prefix.sh <build directory> <1 when the window is built, else 0>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
build_dir=$1 window=$2
readonly PREFIX=/opt/sorvane

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
DESTDIR=$root cmake --install "$build_dir" --prefix "$PREFIX" >/dev/null || fail "cmake --install failed"

# Nothing outside the prefix, or an absolute directory of the build's cache,
# but the directories that lead to them.
places=("$PREFIX")
while IFS='=' read -r _ dir; do
    places+=("$dir")
done < <(grep -E '^(SORVANE|CMAKE_INSTALL)_[A-Z_]*DIR:[A-Z]+=/' "$build_dir/CMakeCache.txt" || true)
leading=()
for dir in "${places[@]}"; do
    while [[ $dir != / ]]; do
        dir=$(dirname "$dir")
        leading+=("$dir")
    done
done
while IFS= read -r path; do
    inside=false
    for dir in "${places[@]}"; do
        [[ $path == "$dir" || $path == "$dir"/* ]] && inside=true
    done
    for dir in "${leading[@]}"; do
        [[ $path == "$dir" && -d $root$path && ! -L $root$path ]] && inside=true
    done
    $inside || fail "installed outside $PREFIX: $path"
done < <(cd "$root" && find . -mindepth 1 | sed 's|^\.||')

# Where the build puts one of its cache's directories: under the prefix,
# unless a packager made it absolute.
place() {
    local dir
    dir=$(sed -n "s/^$1:[A-Z]*=//p" "$build_dir/CMakeCache.txt")
    [[ -n $dir ]] || fail "the build has no $1"
    [[ $dir == /* ]] && printf '%s\n' "$dir" || printf '%s\n' "$PREFIX/$dir"
}
bin=$(place CMAKE_INSTALL_BINDIR) private=$(place SORVANE_PRIVATE_DIR)

# What the install holds: kind | path | what it must be.
#   link: a link that leads to that path, within the install when relative
#   program: an executable file
#   line: a file that holds that whole line
rows="link|$bin/sorvane|$private/libexec/bin/sorvane
program|$private/libexec/bin/sorvane|
program|$private/scripts/detect-package-managers.sh|"
if [[ $window == 1 ]]; then
    user_units=$(place SORVANE_SYSTEMD_USER_UNIT_DIR) system_units=$(place SORVANE_SYSTEMD_SYSTEM_UNIT_DIR)
    rows+="
link|$bin/sorvane-gui|$private/libexec/bin/sorvane-gui
program|$private/libexec/write-metrics|
program|$private/libexec/check-as-user|
line|$user_units/sorvane-update-notify.service|ExecStart=$bin/sorvane-gui --check --notify
line|$system_units/sorvane-metrics.service|ExecStart=$private/libexec/write-metrics /var/lib/prometheus/node-exporter \${STATE_DIRECTORY}
line|$(place SORVANE_SYSTEMD_USER_PRESET_DIR)/80-sorvane-gui.preset|enable sorvane-update-notify.timer
line|$(place SORVANE_SYSTEMD_SYSTEM_PRESET_DIR)/80-sorvane-metrics.preset|disable sorvane-metrics.timer"
fi
while IFS='|' read -r kind path expected; do
    file=$root$path
    case $kind in
        link)
            [[ -L $file ]] || fail "$path is not a link"
            target=$(readlink "$file")
            [[ $target == /* ]] || target=$(readlink -f "$file") target=${target#"$root"}
            [[ $target == "$expected" ]] || fail "$path leads to $target, not $expected" ;;
        program) [[ -f $file && -x $file ]] || fail "$path is not an executable file" ;;
        line) grep -qxF -- "$expected" "$file" || fail "$path lacks: $expected" ;;
    esac
done <<<"$rows"

# Every unit runs only programs that this install holds, and keeps no name
# of its template's.
while IFS= read -r unit; do
    ! grep -n '@[A-Za-z_]*@' "$unit" || fail "${unit#"$root"} keeps a template's name"
    while read -r program _; do
        [[ -x $root$program ]] || fail "${unit#"$root"} runs $program, which is not installed"
    done < <(sed -n 's/^Exec[A-Za-z]*=[-@:+!]*//p' "$unit")
done < <(find "$root" -type f \( -name '*.service' -o -name '*.timer' -o -name '*.preset' \))
echo "installed under $PREFIX: every file there, the units running its programs"
