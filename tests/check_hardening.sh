#!/bin/bash
# Fails unless the executable was built hardened: position-independent
# (PIE), full RELRO (a GNU_RELRO segment and BIND_NOW) and a stack that is
# not executable.
set -euo pipefail
binary=$1
headers=$(readelf -W --file-header --program-headers --dynamic "$binary")
failed=0
require() {
    if ! grep -Eq "$2" <<<"$headers"; then
        echo "missing: $1" >&2
        failed=1
    fi
}
require "PIE (type DYN)" 'Type:[[:space:]]+DYN'
require "PIE flag" '\(FLAGS_1\).*PIE'
require "RELRO segment" 'GNU_RELRO'
require "BIND_NOW" '\(FLAGS\).*BIND_NOW|\(FLAGS_1\).*NOW|\(BIND_NOW\)'
require "non-executable stack" 'GNU_STACK[[:space:]]+(0x[0-9a-f]+[[:space:]]+){5}RW[[:space:]]'
if grep -Eq 'GNU_STACK.*RWE' <<<"$headers"; then
    echo "executable stack" >&2
    failed=1
fi
exit "$failed"
