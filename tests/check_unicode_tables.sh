#!/bin/bash
# Regenerates the Unicode tables and compares them with the committed file.
# Without the Unicode Character Database this skips (77), except in CI.
set -euo pipefail
root=$1
ucd=/usr/share/unicode
if [[ ! -f $ucd/DerivedCoreProperties.txt ]]; then
    echo "Unicode Character Database not installed at $ucd (Debian package unicode-data)" >&2
    [[ ${CI:-} == true ]] && exit 1
    exit 77
fi
diff -u "$root/backend/unicode_tables.cpp" <(python3 "$root/tools/gen_unicode_tables.py" "$ucd")
