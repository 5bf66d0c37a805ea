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

# What the tree holds: kind | path under the prefix | what it must be.
#   link: a relative link that leads to that path under the prefix
#   program: an executable file
#   line: a file that holds that whole line
rows='link|bin/sorvane|lib/sorvane/libexec/bin/sorvane
program|lib/sorvane/libexec/bin/sorvane|
program|lib/sorvane/scripts/detect-package-managers.sh|'
if [[ $window == 1 ]]; then
    # shellcheck disable=SC2016  # the unit's own variable
    rows+="
link|bin/sorvane-gui|lib/sorvane/libexec/bin/sorvane-gui
program|lib/sorvane/libexec/write-metrics|
program|lib/sorvane/libexec/check-as-user|
line|lib/systemd/user/sorvane-update-notify.service|ExecStart=$PREFIX/bin/sorvane-gui --check --notify
line|lib/systemd/system/sorvane-metrics.service|ExecStart=$PREFIX/lib/sorvane/libexec/write-metrics /var/lib/prometheus/node-exporter \${STATE_DIRECTORY}
line|lib/systemd/user-preset/80-sorvane-gui.preset|enable sorvane-update-notify.timer
line|lib/systemd/system-preset/80-sorvane-metrics.preset|disable sorvane-metrics.timer"
fi
while IFS='|' read -r kind path expected; do
    file=$root$PREFIX/$path
    case $kind in
        link)
            [[ -L $file && $(readlink "$file") != /* ]] || fail "$path is not a relative link"
            [[ $(readlink -f "$file") == "$root$PREFIX/$expected" ]] ||
                fail "$path leads to $(readlink -f "$file"), not $PREFIX/$expected" ;;
        program) [[ -f $file && -x $file ]] || fail "$path is not an executable file" ;;
        line) grep -qxF -- "$expected" "$file" || fail "$path lacks: $expected" ;;
    esac
done <<<"$rows"

# Every unit names only programs that this install holds, and nothing of
# /usr or of a template.
while IFS= read -r unit; do
    ! grep -n '/usr/\|@[A-Za-z_]*@' "$unit" || fail "${unit#"$root"} names /usr or a template's name"
    while read -r program _; do
        [[ -x $root$program ]] || fail "${unit#"$root"} runs $program, which is not installed"
    done < <(sed -n 's/^Exec[A-Za-z]*=[-@:+!]*//p' "$unit")
done < <(find "$root" -type f \( -name '*.service' -o -name '*.timer' -o -name '*.preset' \))
echo "installed under $PREFIX: every file there, the units naming its programs"
