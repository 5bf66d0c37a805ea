#!/bin/bash
# Installs a build into a fresh prefix and runs the installed sorvane the
# way users do: through the bin/ link, by full path and from PATH.
#
# usage: check_install.sh <build directory>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
build_dir=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Into a DESTDIR: a directory a packager made absolute stays in $work too.
prefix=$work/root/prefix
DESTDIR=$work/root cmake --install "$build_dir" --prefix /prefix >/dev/null

# The private tree and the links where the build was configured to put
# them: the packages' lib/sorvane and bin, unless a packager chose others.
private_dir=$(sed -n 's/^SORVANE_PRIVATE_DIR:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
bin_dir=$(sed -n 's/^CMAKE_INSTALL_BINDIR:[A-Z]*=//p' "$build_dir/CMakeCache.txt")
[[ -n $private_dir && -n $bin_dir ]] || fail "the build names no private tree or bin directory"
[[ $private_dir != /* && $bin_dir != /* ]] ||
    skip "the build puts the private tree at $private_dir and the links in $bin_dir, outside any prefix"
private=$prefix/$private_dir
link=$prefix/$bin_dir/sorvane
[[ -L $link ]] || fail "$bin_dir/sorvane is not a symbolic link"
[[ $(readlink "$link") == "$(realpath -m --relative-to="$prefix/$bin_dir" "$private/libexec/bin/sorvane")" ]] ||
    fail "$bin_dir/sorvane points to $(readlink "$link")"
[[ -x $private/libexec/bin/sorvane ]] || fail "executable missing"
detector=$private/scripts/detect-package-managers.sh
[[ $(stat -c %a "$detector") == 755 ]] || fail "detector has mode $(stat -c %a "$detector")"
if [[ $(id -u) -eq 0 ]]; then
    [[ $(stat -c %u "$detector") == 0 ]] || fail "detector is not owned by root"
fi
for dir in "$prefix/$bin_dir" "$private" "$private/scripts" "$private/libexec/bin"; do
    [[ $(stat -c %a "$dir") == 755 ]] || fail "$dir has mode $(stat -c %a "$dir")"
done
gzip -t "$prefix/share/man/man1/sorvane.1.gz" || fail "manual page is not a gzip file"

# A machine without any supported manager cannot show a written script.
mapfile -t managers < <(managers_here)
[[ ${#managers[@]} -gt 0 ]] || skip "no supported package manager on this machine"

run_from() {
    local label=$1
    shift
    local dir=$work/run-$label
    mkdir "$dir"
    (cd "$dir" && env -i "$@" >"$dir/stdout" 2>"$dir/stderr") || fail "$label: exit status $?"
    [[ ! -s $dir/stderr ]] || fail "$label: stderr: $(cat "$dir/stderr")"
    diff <(expected_report "${managers[@]}") "$dir/stdout" >&2 || fail "$label: unexpected report"
    check_written_script "$dir/scripts/update-script-output.sh" "$(id -un)"
}
run_from link "$link"
run_from real "$private/libexec/bin/sorvane"
run_from path PATH="$prefix/$bin_dir:/usr/bin:/bin" sorvane
# From elsewhere in the tree, through a chain of links.
ln -s "$link" "$work/another-link"
run_from chain "$work/another-link"
echo "installed tree works"
