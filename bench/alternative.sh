#!/bin/bash
# What a user might write instead of Sorvane: run the detector with a
# scrubbed environment, then write the update script with mktemp, chmod,
# sync and mv. The benchmark passes the detector, bash and the script's
# text in BENCH_DETECTOR, BENCH_BASH and BENCH_PAYLOAD.
set -eu
managers=$(env -i LC_ALL=C PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    "$BENCH_BASH" "$BENCH_DETECTOR")
[ -n "$managers" ] || exit 0
echo "$managers"
out=$SORVANE_SCRIPT_OUTPUT
tmp=$(mktemp "${out%/*}/.update-script-XXXXXX")
printf '%s' "$BENCH_PAYLOAD" >"$tmp"
chmod 600 "$tmp"
sync "$tmp"
mv "$tmp" "$out"
