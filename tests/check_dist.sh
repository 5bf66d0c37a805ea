#!/bin/bash
# The release tarball (tools/dist): the same bytes when made twice, in two
# directories; the committed tree under sorvane-VERSION/ and nothing else,
# no build output however much of it lies in the tree.
#
# usage: check_dist.sh <source dir>
set -euo pipefail
# shellcheck source=tests/shell_support.sh
source "$(dirname "$0")/shell_support.sh"
source_dir=$(realpath "$1")
command -v git >/dev/null || skip "git is not installed"
git -C "$source_dir" rev-parse --is-inside-work-tree >/dev/null 2>&1 ||
    skip "not a git checkout (an unpacked tarball has no commit to make one from)"
# shellcheck source=packaging/metadata
source "$source_dir/packaging/metadata"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

first=$("$source_dir/tools/dist" "$scratch/one" 2>/dev/null)
second=$("$source_dir/tools/dist" "$scratch/two" 2>/dev/null)
[[ $first == "$scratch/one/sorvane-$SORVANE_VERSION.tar.gz" ]] || fail "unexpected name: $first"
cmp -s "$first" "$second" || fail "two tarballs of one commit differ"

tar -tzf "$first" | grep -v '/$' | sort >"$scratch/listed"
git -C "$source_dir" ls-tree -r --name-only HEAD | sed "s|^|sorvane-$SORVANE_VERSION/|" | sort >"$scratch/committed"
diff -u "$scratch/committed" "$scratch/listed" >"$scratch/diff" ||
    fail "the tarball is not the committed tree: $(head -n 20 "$scratch/diff")"
echo "tarball: $(stat -c %s "$first") bytes, $(wc -l <"$scratch/listed") files"
